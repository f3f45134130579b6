// Fuzzes the TIFF reader (imagefmt/itiff.cpp) and its directory reader (itiffdir.cpp).
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr, "index=1"};
    return fuzzreader::run(data, size, ModFormatTIFF, kOptions, 2);
}
