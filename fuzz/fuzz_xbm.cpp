// Fuzzes the XBitmap reader: any text must give a code or a model, never a fault; a model that
// was read must survive our writer and reader unchanged.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    // A few bytes of text may declare a large picture that stays clear; writing it out as text
    // would take the run's time without reaching new code.
    static const fuzzreader::Checks kChecks = {
        16 << 20, [](const MOD& model) { return model.dataSize <= (256 << 10); }};
    return fuzzreader::run(data, size, ModFormatXBitmap, kOptions, 1, kChecks);
}
