// Fuzzes the Sprite reader: the last byte picks the sprite ("index=0" to "index=3"). Any input
// must give a code or a model, never a fault; a model of 1 or 4 bits that was read must survive
// our writer and reader unchanged (at 8 bits the writer maps colours to the standard palette).
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;
    static const char* const kOptions[] = {nullptr, "index=1", "index=2", "index=3"};
    const char* options = size ? kOptions[data[size - 1] & 3] : nullptr;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatSprite, options, &model) != 0)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatSprite, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatSprite, nullptr, &again) != 0 ||
        (model.bpp != 8 && !imgtest::samePixels(model, again)))
        std::abort();
    return 0;
}
