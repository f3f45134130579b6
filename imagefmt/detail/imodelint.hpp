// Checks shared by the model's own sources.
#pragma once

#include <imodel.hpp>

#include <cstring>

namespace imgfmt {

// 0 when the model has a valid size and a data block of exactly that size; otherwise
// ModCodecError + the codec code that says why (6 for a missing or mis-sized block).
int checkModel(const MOD* model);

// Each result is built in a record of its own and handed to the caller's record only when it is
// complete, so a failure leaves the caller's record without a block and the source untouched.
inline void handOver(const MOD& result, MOD* out)
{
    out->width = result.width;
    out->height = result.height;
    out->bpp = result.bpp;
    std::memcpy(out->palette, result.palette, sizeof out->palette);
    out->data = result.data;
    out->dataSize = result.dataSize;
}

}  // namespace imgfmt
