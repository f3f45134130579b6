// trackRectangle: lets the user drag an outline rectangle with the mouse, as split bars and
// movable cells need.
#pragma once

#include <cstdint>

#include <irect.hpp>

#include <idefs.hpp>

class IWindow;

// Rectangles in screen coordinates. The leading words are kept for callers that fill a larger
// tracking record; the tracking does not read them.
struct ITrackInfo {
    std::int32_t reserved[6] = {};
    IRectangle track;
    IRectangle boundary;
};

// Runs a modal loop until the button that was down at the start (left, else right, else
// middle) goes up, and answers true with the final rectangle in `info.track`; Escape answers
// false and leaves `info` alone; other keys are dispatched as usual. Losing the focus or the
// capture ends the drag as finished; a WM_QUIT ends it as well and is posted again for the
// outer loop; a failing message retrieval cancels it. False without tracking when the drawing
// objects cannot be made.
OVKWIN_API IBase::Boolean trackRectangle(IWindow* window, ITrackInfo& info);
