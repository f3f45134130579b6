// Halftoning: mode 2 of the colour reduction.
#pragma once

#include <imodel.hpp>

namespace imgfmt {

// Reduces a 24-bpp model into an output of the kind's depth and the same size: kinds 1 and 2 in
// blocks of 3 x 3, kinds 4, 5 and 8 in blocks of 2 x 2. masks (blue, green, red) serve kind 8.
void halftone(const MOD& source, MOD& out, int kind, const unsigned masks[3]);

}  // namespace imgfmt
