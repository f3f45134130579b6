// Fuzzes the bitmap reader: any input must give a code or a model, never a fault; a model that
// was read must also survive our writer and reader unchanged.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Hostile sizes are refused by the size check anyway; a small limit keeps each run fast.
    static const int64_t previousLimit = ModSetDataLimit(1 << 20);
    (void)previousLimit;

    // The last byte picks the read options, so that every option's path is fuzzed too.
    static const char* const kOptions[] = {nullptr, "inv", "invb", "inv,invb"};
    const char* options = size ? kOptions[data[size - 1] & 3] : nullptr;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatBitmap, options, &model) != 0)
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatBitmap, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatBitmap, "inv", &again) != 0 ||
        again.dataSize != model.dataSize ||
        std::memcmp(again.data, model.data, static_cast<size_t>(model.dataSize)) != 0)
        std::abort();
    return 0;
}
