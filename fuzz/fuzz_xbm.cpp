// Fuzzes the XBitmap reader: any text must give a code or a model, never a fault; a model that
// was read must survive our writer and reader unchanged.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatXBitmap, nullptr, &model) != 0)
        return 0;
    // A few bytes of text may declare a large picture that stays clear; writing it out as text
    // would take the run's time without reaching new code.
    if (model.dataSize > (256 << 10))
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatXBitmap, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatXBitmap, nullptr, &again) != 0 ||
        !imgtest::samePixels(model, again))
        std::abort();
    return 0;
}
