// Fuzzes the ZVX reader: the first two bytes give the "width=" option (0 means none), the rest
// is the file. A model that was read must come back unchanged through our writer and reader.
#include "fuzz_reader.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int64_t previousLimit = ModSetDataLimit(16 << 20);
    (void)previousLimit;
    if (size < 2)
        return 0;
    const unsigned width = data[0] | unsigned(data[1]) << 8;
    const std::string options = width ? "width=" + std::to_string(width) : std::string();

    imgtest::Model model;
    if (imgtest::readFromBytes(data + 2, size - 2, ModFormatZVX, options.c_str(), &model) != 0)
        return 0;
    const std::string again = "width=" + std::to_string(model.width);
    fuzzreader::checkRoundTrip(model, ModFormatZVX, again.c_str());
    return 0;
}
