// Fuzzes the PCX reader (imagefmt/ipcx.cpp), with runs carried across lines and cut at them.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr, "trunc"};
    return fuzzreader::run(data, size, ModFormatPCX, kOptions, 2);
}
