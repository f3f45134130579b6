// Fuzzes the bitmap reader (imagefmt/ibmp.cpp) with each of its read options; a model that was
// read must come back byte for byte through our writer and reader.
#include "fuzz_reader.hpp"

#include <cstring>

namespace {

bool sameBytes(const MOD& read, const MOD& again)
{
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
