// Fuzzes the GIF reader (imagefmt/igif.cpp), its image selection and its tolerant mode.
#include "fuzz_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Most files hold one image: the second is asked for only now and then.
    static const char* const kOptions[] = {nullptr, "errok", nullptr,   "errok",
                                           nullptr, "errok", "index=2", "index=2,errok"};
    return fuzzreader::run(data, size, ModFormatGIF, kOptions, 8);
}
