// Fuzzes the VORN reader together with its palette side file. The input is split: byte 0 picks
// the side file's form (bit 0: ".vrl") and whether there is one at all (bit 1), bytes 1 and 2
// give the side file's length, then come the side file's bytes and the image's.
#include "imgio.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;
    if (size < 3)
        return 0;
    const bool vrl = data[0] & 1;
    const bool side = !(data[0] & 2);
    size_t sideBytes = size_t(data[1]) | size_t(data[2]) << 8;
    if (sideBytes > size - 3)
        sideBytes = size - 3;

    const std::string image = imgtest::tempPath("fuzz.vrn");
    const std::string pal = imgtest::tempPath("fuzz.pal");
    const std::string vrlPath = imgtest::tempPath("fuzz.vrl");
    std::remove(pal.c_str());
    std::remove(vrlPath.c_str());
    if (side)
        imgtest::writeFile(vrl ? vrlPath : pal, data + 3, sideBytes);
    imgtest::writeFile(image, data + 3 + sideBytes, size - 3 - sideBytes);

    const char* options = vrl ? "vrl" : nullptr;
    imgtest::Model model;
    int format = ModFormatVORN;
    if (ModReadFromFile(image.c_str(), &format, options, &model) != 0)
        return 0;
    const std::string out = imgtest::tempPath("fuzz-out.vrn");
    imgtest::Model again;
    if (ModWriteToFile(&model, ModFormatVORN, out.c_str(), options) != 0 ||
        ModReadFromFile(out.c_str(), &format, options, &again) != 0 ||
        !imgtest::samePixels(model, again) ||
        std::memcmp(model.palette, again.palette, sizeof model.palette) != 0)
        std::abort();
    return 0;
}
