// Fuzzes the YUV12C reader. The format is lossy, so a model that was read is only written and
// read again, both of which must succeed with the same size.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    static const fuzzreader::Checks kChecks = {
        16 << 20, nullptr, nullptr, [](const MOD& read, const MOD& again) {
            return again.width == read.width && again.height == read.height;
        }};
    return fuzzreader::run(data, size, ModFormatYUV12C, kOptions, 1, kChecks);
}
