// Fuzzes the Targa reader (imagefmt/itarga.cpp).
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    return fuzzreader::run(data, size, ModFormatTarga, kOptions, 1);
}
