// Fuzzes the Sprite reader: the last byte picks the sprite ("index=0" to "index=3"). A model of 1
// or 4 bits that was read must survive our writer and reader unchanged (at 8 bits the writer
// maps colours to the standard palette, so only the round trip itself must succeed).
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr, "index=1", "index=2", "index=3"};
    static const fuzzreader::Checks kChecks = {
        16 << 20, nullptr, nullptr,
        [](const MOD& read, const MOD& again) {
            return read.bpp == 8 || imgtest::samePixels(read, again);
        }};
    return fuzzreader::run(data, size, ModFormatSprite, kOptions, 4, kChecks);
}
