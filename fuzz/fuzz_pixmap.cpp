// Fuzzes the Pixmap reader: any input must give a code or a model, never a fault; a model that
// was read must survive our writer and reader unchanged.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatPixmap, nullptr, &model) != 0)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatPixmap, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatPixmap, nullptr, &again) != 0 ||
        !imgtest::samePixels(model, again))
        std::abort();
    return 0;
}
