// Drawing switched off while a canvas moves its children, and on again however the layout
// ends.
#pragma once

#include <windows.h>

#include <exception>

#include <detail/icallgrd.hpp>

#include "iwindow.hpp"

namespace ovk_canvas {

// WM_SETREDRAW(TRUE) sets WS_VISIBLE on the window it reaches: a canvas that is hidden (a
// notebook's page in the background, asked for its minimum size) is left drawing as it is, or
// turning drawing back on would show it over its siblings. A layout that throws must not
// leave a shown canvas without drawing either, which the platform reports as hidden.
class QuietLayout {
public:
    explicit QuietLayout(IWindow& canvas)
        : fCanvas(canvas),
          fFrozen((GetWindowLongPtrA(canvas.handle(), GWL_STYLE) & WS_VISIBLE) != 0)
    {
        if (fFrozen)
            canvas.disableUpdate();
    }
    ~QuietLayout()
    {
        if (!fFrozen)
            return;
        try {
            fCanvas.enableUpdate();
        } catch (...) {
            // Already unwinding from the layout's own failure, which goes on to the caller. What
            // turning drawing on threw (a handler's exception the send rethrew) waits again in
            // this thread's slot, to be thrown at the next return from Windows.
            ICallbackGuard::keep(std::current_exception());
        }
    }
    QuietLayout(const QuietLayout&) = delete;
    QuietLayout& operator=(const QuietLayout&) = delete;

    // The ordinary way out, where a failure to turn drawing on is the caller's to hear of.
    void end()
    {
        if (!fFrozen)
            return;
        fFrozen = false;
        fCanvas.enableUpdate();
    }

private:
    IWindow& fCanvas;
    bool fFrozen;
};

} // namespace ovk_canvas
