// Fuzzes the Greymap reader: a model that was read must come back with the same greys through
// our writer and reader.
#include "fuzz_reader.hpp"

namespace {

bool sameGreys(const MOD& read, const MOD& again)
{
    for (int y = 0; y < read.height; ++y)
        for (int x = 0; x < read.width; ++x)
            if (imgtest::paletteEntry(read, int(imgtest::pixel(read, x, y))) !=
                imgtest::paletteEntry(again, int(imgtest::pixel(again, x, y))))
                return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr};
    static const fuzzreader::Checks kChecks = {16 << 20, nullptr, nullptr, sameGreys};
    return fuzzreader::run(data, size, ModFormatGreymap, kOptions, 1, kChecks);
}
