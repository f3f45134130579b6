// Fuzzes the Greymap reader: any input must give a code or a model, never a fault; a model that
// was read must come back with the same greys through our writer and reader.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatGreymap, nullptr, &model) != 0)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatGreymap, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatGreymap, nullptr, &again) != 0)
        std::abort();
    for (int y = 0; y < model.height; ++y)
        for (int x = 0; x < model.width; ++x)
            if (imgtest::paletteEntry(model, int(imgtest::pixel(model, x, y))) !=
                imgtest::paletteEntry(again, int(imgtest::pixel(again, x, y))))
                std::abort();
    return 0;
}
