// Checks shared by the model's own sources.
#pragma once

#include <imodel.hpp>

#include <cstring>

namespace imgfmt {

// 0 when the model has a valid size and a data block of exactly that size; otherwise
// ModCodecError + the codec code that says why (6 for a missing or mis-sized block).
int checkModel(const MOD* model);

// Allocates the data block of a model whose width, height and bpp are set, as ModAllocData does
// but without clearing it: for a reader that writes every byte of every row, padding included,
// and clears what the file does not supply (the rest of a short row, the rows after a cut).
bool allocFreshData(MOD* model);
// For tests and fuzzers: a byte from 0 to 255 fills every fresh block, so that a reader that
// leaves a byte unwritten gives different pixels for different bytes; -1 (the default) leaves
// fresh blocks as the allocator hands them out. Returns the previous setting.
OVKWIN_API int setFreshDataByte(int byte);

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
