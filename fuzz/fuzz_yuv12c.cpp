// Fuzzes the YUV12C reader: any input must give a code or a model, never a fault. The format is
// lossy, so a model that was read is only written and read again, both of which must succeed.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatYUV12C, nullptr, &model) != 0)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatYUV12C, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatYUV12C, nullptr, &again) != 0 ||
        again.width != model.width || again.height != model.height)
        std::abort();
    return 0;
}
