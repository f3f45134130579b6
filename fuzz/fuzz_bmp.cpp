// Fuzzes the bitmap reader (imagefmt/ibmp.cpp) with each of its read options; a model that was
// read must come back byte for byte through our writer and reader (a two-colour one pixel for
// pixel, dark and light).
#include "fuzz_reader.hpp"

#include <cstring>

namespace {

// Which palette entry of a two-colour model is its darker one (the first when they are alike).
uint32_t darkerEntry(const MOD& model)
{
    const auto brightness = [&model](int i) {
        const unsigned char* e = model.palette + 3 * i;
        return 77 * e[0] + 151 * e[1] + 28 * e[2];
    };
    return brightness(0) <= brightness(1) ? 0u : 1u;
}

bool sameBytes(const MOD& read, const MOD& again)
{
    // Two colours are written black and white, so the bits may come back complemented: each
    // pixel must keep its side, dark or light.
    if (read.bpp == 1) {
        if (again.bpp != 1 || again.width != read.width || again.height != read.height)
            return false;
        const uint32_t readDark = darkerEntry(read), againDark = darkerEntry(again);
        for (int y = 0; y < read.height; ++y)
            for (int x = 0; x < read.width; ++x)
                if ((imgtest::pixel(read, x, y) == readDark) !=
                    (imgtest::pixel(again, x, y) == againDark))
                    return false;
        return true;
    }
    return again.dataSize == read.dataSize &&
           std::memcmp(again.data, read.data, static_cast<size_t>(read.dataSize)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kOptions[] = {nullptr, "inv", "invb", "inv,invb"};
    static const fuzzreader::Checks kChecks = {1 << 20, nullptr, "inv", sameBytes};
    return fuzzreader::run(data, size, ModFormatBitmap, kOptions, 4, kChecks);
}
