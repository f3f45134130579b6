// Checks shared by the model's own sources.
#pragma once

#include <imodel.hpp>

namespace imgfmt {

// 0 when the model has a valid size and a data block of exactly that size; otherwise
// ModCodecError + the codec code that says why (6 for a missing or mis-sized block).
int checkModel(const MOD* model);

}  // namespace imgfmt
