// Fuzzes the ILBM reader (imagefmt/iilbm.cpp). 24-bit models are written back as HAM6, which
// keeps four bits a component, so only the plane depths are compared after a round trip.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    static const fuzzreader::Checks kChecks = {
        1 << 20, [](const MOD& model) { return model.bpp != 24; }};
    return fuzzreader::run(data, size, ModFormatILBM, kOptions, 1, kChecks);
}
