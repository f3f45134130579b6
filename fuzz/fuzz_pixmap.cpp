// Fuzzes the Pixmap reader: a model that was read must survive our writer and reader unchanged.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    static const fuzzreader::Checks kChecks = {16 << 20};
    return fuzzreader::run(data, size, ModFormatPixmap, kOptions, 1, kChecks);
}
