// Fuzzes the PLVN reader: the last byte picks the option "fixrec". Any input must give a code or
// a model, never a fault; a model that our writer can hold must survive it and our reader.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;
    const char* options = size && (data[size - 1] & 1) ? "fixrec" : nullptr;

    imgtest::Model model;
    if (imgtest::readFromBytes(data, size, ModFormatPLVN, options, &model) != 0)
        return 0;
    // Larger pictures are beyond what the writer stores; writing out a large one from a few bytes
    // would take the run's time without reaching new code.
    if (model.width > 2400 || model.height > 2400 || model.dataSize > (256 << 10))
        return 0;
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, ModFormatPLVN, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, ModFormatPLVN, nullptr, &again) != 0 ||
        !imgtest::samePixels(model, again))
        std::abort();
    return 0;
}
