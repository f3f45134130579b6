// Fuzzes the PLVN reader: the last byte picks the option "fixrec". A model that our writer can
// hold must survive it and our reader unchanged.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr, "fixrec"};
    // Larger pictures are beyond what the writer stores; writing out a large one from a few bytes
    // would take the run's time without reaching new code.
    static const fuzzreader::Checks kChecks = {16 << 20, [](const MOD& model) {
        return model.width <= 2400 && model.height <= 2400 && model.dataSize <= (256 << 10);
    }};
    return fuzzreader::run(data, size, ModFormatPLVN, kOptions, 2, kChecks);
}
