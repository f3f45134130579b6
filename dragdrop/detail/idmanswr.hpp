// The answers a drop target gives while the pointer is over it. Private to the drag and drop
// sources; the enter event carries them as a plain byte, which stored drag information and
// derived renderers read as such.
#pragma once

namespace ovk_dragdrop {

// No drop here now: the pointer may move on to a place that takes it. The drop target shows no
// effect.
constexpr unsigned char noDropHereNow = 0;
// The drop is taken.
constexpr unsigned char dropHere = 1;
// No drop for this operation; another operation may be taken.
constexpr unsigned char noDropForOperation = 2;
// Never a drop on this window, wherever the pointer goes in it. The drop target shows no effect.
constexpr unsigned char neverDropHere = 3;

} // namespace ovk_dragdrop
