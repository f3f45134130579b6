// The body of the reader fuzzers: any input must give a code or a model, never a fault; a model
// that was read must survive our writer and reader as the format allows (unchanged, by default).
#pragma once

#include "detail/imodelint.hpp"
#include "imgio.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzzreader {

// What a target asks of the model it read, where its format differs from the default.
struct Checks {
    // Hostile sizes are refused by the size check anyway; a small limit keeps each run fast.
    int64_t dataLimit = 1 << 20;
    // Whether the model is written back at all: a lossy depth, or a large picture from a few
    // bytes that would take the run's time without reaching new code, is not. Null: always.
    bool (*worthWriting)(const MOD& model) = nullptr;
    // The options of the second read.
    const char* rereadOptions = nullptr;
    // Whether the model read again is the one that was written. Null: the same pixels.
    bool (*same)(const MOD& read, const MOD& again) = nullptr;
};

// Writes the model with our writer and reads the file again; aborts when either step fails or
// the two models differ.
inline void checkRoundTrip(const MOD& model, int format, const char* rereadOptions,
                           bool (*same)(const MOD& read, const MOD& again) = nullptr)
{
    int code = -1;
    const auto file = imgtest::writeToBytes(&model, format, nullptr, &code);
    imgtest::Model again;
    if (code != 0 || imgtest::readFromBytes(file, format, rereadOptions, &again) != 0 ||
        !(same ? same(model, again) : imgtest::samePixels(model, again)))
        std::abort();
}

// The last byte of the input picks one of the read options, so that every option's path is
// fuzzed too.
inline int run(const uint8_t* data, size_t size, int format, const char* const* options,
               size_t optionCount, const Checks& checks = Checks())
{
    static const int64_t previousLimit = ModSetDataLimit(checks.dataLimit);
    (void)previousLimit;

    const char* option = size ? options[data[size - 1] % optionCount] : options[0];
    imgtest::Model model;
    // Readers write every byte of a block that is not cleared for them: read into a block of
    // 0x00 bytes and again into one of 0xFF bytes, the input must give the same bytes.
    imgfmt::setFreshDataByte(0x00);
    const int code = imgtest::readFromBytes(data, size, format, option, &model);
    imgtest::Model again;
    imgfmt::setFreshDataByte(0xFF);
    const int againCode = imgtest::readFromBytes(data, size, format, option, &again);
    imgfmt::setFreshDataByte(-1);
    if (code != againCode ||
        (code == 0 && (model.dataSize != again.dataSize ||
                       std::memcmp(model.data, again.data, size_t(model.dataSize)) != 0)))
        std::abort();
    if (code != 0)
        return 0;
    if (checks.worthWriting && !checks.worthWriting(model))
        return 0;
    checkRoundTrip(model, format, checks.rereadOptions, checks.same);
    return 0;
}

}  // namespace fuzzreader
