// The body of the GIF, TIFF, PCX, Targa and ILBM reader fuzzers: any input must give a code or a
// model, never a fault; a model that was read must survive our writer and reader unchanged where
// the format stores it losslessly.
#pragma once

#include "imgio.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzzreader {

// The last byte of the input picks one of the read options, so that every option's path is
// fuzzed too. lossless24: whether a 24-bit model written by the format reads back unchanged.
inline int run(const uint8_t* data, size_t size, int format, const char* const* options,
               size_t optionCount, bool lossless24 = true)
{
    // Hostile sizes are refused by the size check anyway; a small limit keeps each run fast.
    static const int64_t previousLimit = ModSetDataLimit(1 << 20);
    (void)previousLimit;

    const char* option = size ? options[data[size - 1] % optionCount] : options[0];
    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, format, option, &model) != 0)
        return 0;
    if (model.bpp == 24 && !lossless24)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, format, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, format, nullptr, &again) != 0 ||
        !imgtest::samePixels(model, again))
        std::abort();
    return 0;
}

}  // namespace fuzzreader
