// Rectangle tracking.
#include <windows.h>

#include <detail/iscoped.hpp>

#include <algorithm>
#include <atomic>

#include <iexcept.hpp>

#include "detail/itrackmsg.hpp"
#include "itrack.hpp"
#include "iwindow.hpp"

namespace {

// The halftone that the outline is drawn with.
const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};

std::atomic<ITrackMessageSource> gMessageSource{nullptr};

BOOL nextMessage(MSG& message)
{
    const ITrackMessageSource source = gMessageSource.load(std::memory_order_relaxed);
    return source ? source(&message, nullptr, 0, 0) : GetMessageA(&message, nullptr, 0, 0);
}

// What the drag draws with, released in reverse order whatever happens.
class Outline {
public:
    explicit Outline(HWND window)
        : fDc(window, ovk_native::WindowDC::whole),
          fBitmap(CreateBitmap(8, 8, 1, 1, kHalftone)),
          fBrush(fBitmap ? CreatePatternBrush(fBitmap.get()) : nullptr),
          fSelection(fDc.get(), fBrush.get())
    {
        RECT r{};
        GetWindowRect(window, &r);
        fOrigin = POINT{r.left, r.top};
    }
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;

    bool isReady() const { return fDc && fBrush; }
    // Inverting twice restores what was there: drawing is also erasing.
    void draw(const RECT& screen) const
    {
        const int left = screen.left - fOrigin.x;
        const int top = screen.top - fOrigin.y;
        const int width = screen.right - screen.left;
        const int height = screen.bottom - screen.top;
        constexpr int kThickness = 2;
        PatBlt(fDc.get(), left, top, width, kThickness, PATINVERT);
        PatBlt(fDc.get(), left, top + height - kThickness, width, kThickness, PATINVERT);
        PatBlt(fDc.get(), left, top + kThickness, kThickness, height - 2 * kThickness, PATINVERT);
        PatBlt(fDc.get(), left + width - kThickness, top + kThickness, kThickness,
               height - 2 * kThickness, PATINVERT);
    }

private:
    // Declared in the order of making: the selection is undone first, the context given back
    // last.
    ovk_native::WindowDC fDc;
    ovk_native::Bitmap fBitmap;
    ovk_native::Brush fBrush;
    ovk_native::Selection fSelection;
    POINT fOrigin;
};

UINT endMessage()
{
    if (GetKeyState(VK_LBUTTON) & 0x8000)
        return WM_LBUTTONUP;
    if (GetKeyState(VK_RBUTTON) & 0x8000)
        return WM_RBUTTONUP;
    return WM_MBUTTONUP;
}

// Moves the rectangle by (dx, dy), kept inside the boundary (an empty boundary bounds nothing).
void moveInside(RECT& r, int dx, int dy, const RECT& bound)
{
    if (bound.right > bound.left) {
        dx = std::max<int>(dx, bound.left - r.left);
        dx = std::min<int>(dx, bound.right - r.right);
    }
    if (bound.bottom > bound.top) {
        dy = std::max<int>(dy, bound.top - r.top);
        dy = std::min<int>(dy, bound.bottom - r.bottom);
    }
    OffsetRect(&r, dx, dy);
}

// The cursor may only go where the rectangle it drags stays inside the boundary.
RECT cursorClip(const RECT& track, const RECT& bound, POINT cursor)
{
    return RECT{bound.left + (cursor.x - track.left), bound.top + (cursor.y - track.top),
                bound.right - (track.right - cursor.x) + 1,
                bound.bottom - (track.bottom - cursor.y) + 1};
}

RECT toRect(const IRectangle& r)
{
    return RECT{r.minX(), r.minY(), r.maxX(), r.maxY()};
}

enum class Ending { finished, cancelled };

Ending runDrag(HWND window, RECT& track, const RECT& bound, const Outline& outline)
{
    const UINT ending = endMessage();
    HWND focus = GetFocus();
    POINT last{};
    GetCursorPos(&last);
    MSG msg;
    while (GetCapture() == window && GetFocus() == focus) {
        const BOOL got = nextMessage(msg);
        // -1 is a failure of the retrieval itself: no WM_QUIT came, so none is passed on, and
        // the drag the user did not finish is cancelled.
        if (got == -1)
            return Ending::cancelled;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return Ending::finished;
        }
        if (msg.message == ending)
            return Ending::finished;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            return Ending::cancelled;
        if (msg.message == WM_MOUSEMOVE) {
            POINT now{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ClientToScreen(msg.hwnd, &now);
            outline.draw(track);
            moveInside(track, now.x - last.x, now.y - last.y, bound);
            outline.draw(track);
            last = now;
            continue;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return Ending::finished;
}

} // namespace

ITrackMessageSource setTrackMessageSource(ITrackMessageSource source) noexcept
{
    return gMessageSource.exchange(source);
}

IBase::Boolean trackRectangle(IWindow* window, ITrackInfo& info)
{
    if (!window)
        IThrow::argument("window != 0",
                         IEXCEPTION_LOCATION("itrack", "trackRectangle(IWindow*,ITrackInfo&)"));
    HWND handle = window->handle();
    const Outline outline(handle);
    if (!outline.isReady())
        return false;
    RECT track = toRect(info.track);
    const RECT bound = toRect(info.boundary);
    POINT cursor{};
    GetCursorPos(&cursor);
    SetCapture(handle);
    if (bound.right > bound.left && bound.bottom > bound.top) {
        const RECT clip = cursorClip(track, bound, cursor);
        ClipCursor(&clip);
    }
    outline.draw(track);
    const Ending ending = runDrag(handle, track, bound, outline);
    outline.draw(track);
    ClipCursor(nullptr);
    if (GetCapture() == handle)
        ovk_native::releaseCapture();
    if (ending == Ending::cancelled)
        return false;
    info.track = IRectangle(track.left, track.top, track.right, track.bottom);
    return true;
}
