// Window objects: geometry, order among siblings, state, drawing, colours, fonts, drag
// detection and minimum size.
#include <windows.h>

#include <detail/ilaybits.hpp>
#include <detail/iscoped.hpp>
#include <windowsx.h>

#include <cstdlib>
#include <cstring>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/iframlnk.hpp"
#include "detail/iwincore.hpp"
#include "detail/iwindata.hpp"
#include "icoordsy.hpp"
#include "iprivmsg.hpp"
#include "iwindow.hpp"

namespace {

// A recorded owner chain longer than this is a loop, not a chain.
constexpr int kMaximumOwnerChain = 64;

IRectangle rectangleOf(const RECT& r)
{
    return IRectangle(r.left, r.top, r.right, r.bottom);
}

// The window whose client area holds a window's coordinates. GetParent answers the owner of an
// owned top-level window, whose coordinates are the screen's all the same.
HWND coordinateParent(HWND handle)
{
    HWND parent = handle ? GetAncestor(handle, GA_PARENT) : nullptr;
    return parent ? parent : GetDesktopWindow();
}

ISize clientSize(HWND handle)
{
    RECT client{};
    GetClientRect(handle ? handle : GetDesktopWindow(), &client);
    return ISize(client.right - client.left, client.bottom - client.top);
}

bool classIs(HWND handle, const char* name)
{
    char text[64] = {};
    GetClassNameA(handle, text, sizeof text);
    return lstrcmpiA(text, name) == 0;
}

// Controls that paint their own background and text: they do not take their owner's colours.
bool keepsOwnColors(HWND handle)
{
    char text[64] = {};
    GetClassNameA(handle, text, sizeof text);
    for (const char* name : {"Edit", "OVK Native SpinButton", "ListBox", "ComboBox"}) {
        if (lstrcmpiA(text, name) == 0)
            return true;
    }
    return false;
}

void setWindowPos(HWND handle, HWND after, int x, int y, int width, int height, UINT flags,
                  const char* function)
{
    if (!SetWindowPos(handle, after, x, y, width, height, flags)) {
        IThrow::systemError("SetWindowPos", GetLastError(),
                            IEXCEPTION_LOCATION("iwindow3", function));
    }
}

constexpr UINT kOrderFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME;

} // namespace

// Geometry ------------------------------------------------------------------------------------------

IWindow& IWindow::moveTo(const IPoint& position)
{
    const IRectangle current = rect();
    return moveSizeTo(IRectangle(position, current.size()));
}

IWindow& IWindow::sizeTo(const ISize& size)
{
    const IRectangle current = rect();
    return moveSizeTo(IRectangle(current.minimum(), size));
}

IWindow& IWindow::moveSizeTo(const IRectangle& rectangle)
{
    if (this == desktopWindow())
        return *this;
    const IRectangle native = ICoordinateSystem::convertToNative(rectangle, parentSize());
    setWindowPos(handle(), nullptr, native.minX(), native.minY(), native.width(), native.height(),
                 SWP_NOZORDER, "IWindow::moveSizeTo(const IRectangle&)");
    return *this;
}

IPoint IWindow::position() const
{
    return IPoint(rect().minimum());
}

ISize IWindow::parentSize() const
{
    return clientSize(coordinateParent(fHandle));
}

ISize IWindow::size() const
{
    return rect().size();
}

IRectangle IWindow::nativeRect() const
{
    RECT bounds{};
    GetWindowRect(fHandle, &bounds);
    MapWindowPoints(HWND_DESKTOP, coordinateParent(fHandle), reinterpret_cast<POINT*>(&bounds), 2);
    return rectangleOf(bounds);
}

IRectangle IWindow::rect() const
{
    return ICoordinateSystem::convertToApplication(nativeRect(), parentSize());
}

IPoint IWindow::mapPoint(const IPoint& point, const IWindowHandle& from, const IWindowHandle& to)
{
    const HWND source = from ? static_cast<HWND>(from) : GetDesktopWindow();
    POINT native = {point.x(), point.y()};
    if (ICoordinateSystem::isConversionNeeded()) {
        RECT bounds{};
        GetWindowRect(source, &bounds);
        native.y = (bounds.bottom - bounds.top) - native.y;
    }
    // A library frame's points count from its outer corner, the system's from its client area.
    char name[16] = {};
    if (from && GetClassNameA(source, name, sizeof name) && std::strncmp(name, "OVK Frame", 9) == 0) {
        native.x -= GetSystemMetrics(SM_CXFRAME);
        native.y -= GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
        if (!(GetWindowLongPtrA(source, GWL_STYLE) & WS_CHILD) && GetMenu(source))
            native.y -= GetSystemMetrics(SM_CYMENU);
    }
    MapWindowPoints(from, to, &native, 1);
    return IPoint(native.x, native.y);
}

IPoint IWindow::pointerPosition()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    return ICoordinateSystem::convertToApplication(IPoint(cursor.x, cursor.y), clientSize(nullptr));
}

IRectangle IWindow::layoutAdjustment() const
{
    return IRectangle(0, 0, 0, 0);
}

IRectangle IWindow::visibleRectangle() const
{
    return rect();
}

// Order among siblings ---------------------------------------------------------------------------

IWindow& IWindow::positionOnSiblings()
{
    setWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, kOrderFlags, "IWindow::positionOnSiblings()");
    return *this;
}

IWindow& IWindow::positionBehindSiblings()
{
    setWindowPos(handle(), HWND_BOTTOM, 0, 0, 0, 0, kOrderFlags, "IWindow::positionBehindSiblings()");
    return *this;
}

IWindow& IWindow::positionBehindSibling(const IWindowHandle& sibling)
{
    setWindowPos(handle(), sibling, 0, 0, 0, 0, kOrderFlags,
                 "IWindow::positionBehindSibling(const IWindowHandle&)");
    return *this;
}

// State ----------------------------------------------------------------------------------------------

IWindow& IWindow::show(IBase::Boolean show)
{
    ShowWindow(handle(), show ? SW_SHOW : SW_HIDE);
    return *this;
}

IWindow& IWindow::hide()
{
    return show(false);
}

IBase::Boolean IWindow::isVisible() const
{
    return fHandle && IsWindowVisible(fHandle);
}

IWindow& IWindow::enable(IBase::Boolean enable)
{
    EnableWindow(handle(), enable ? TRUE : FALSE);
    return *this;
}

IWindow& IWindow::disable()
{
    return enable(false);
}

IBase::Boolean IWindow::isEnabled() const
{
    return fHandle && IsWindowEnabled(fHandle);
}

// SetFocus works only for windows of the calling thread while it owns the foreground; for
// another thread's window the foreground has to move there instead. With no foreground window
// at all (a fresh session) the calling thread may take the focus itself.
IWindow& IWindow::setFocus()
{
    const HWND window = handle();
    const DWORD self = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const bool ours = GetWindowThreadProcessId(window, nullptr) == self &&
                      (!foreground || GetWindowThreadProcessId(foreground, nullptr) == self);
    if (IPlatform::isPlatformVariant() || ours)
        SetFocus(window);
    else
        SetForegroundWindow(window);
    return *this;
}

IBase::Boolean IWindow::hasFocus() const
{
    return fHandle && GetFocus() == fHandle;
}

IBase::Boolean IWindow::isTabStop() const
{
    return (style() & WS_TABSTOP) != 0;
}

IBase::Boolean IWindow::isGroup() const
{
    return (style() & WS_GROUP) != 0;
}

IWindow& IWindow::capturePointer(IBase::Boolean capture)
{
    if (!capture)
        return releasePointer();
    const HWND window = handle();
    const HWND holder = GetCapture();
    if (holder && holder != window) {
        IThrow::systemError("SetCapture", ERROR_ACCESS_DENIED,
                            IEXCEPTION_LOCATION("iwindow3", "IWindow::capturePointer(int)"));
    }
    if (!holder)
        SetCapture(window);
    return *this;
}

IWindow& IWindow::releasePointer()
{
    if (fHandle && GetCapture() == fHandle)
        ovk_native::releaseCapture();
    return *this;
}

IBase::Boolean IWindow::hasPointerCaptured() const
{
    return fHandle && GetCapture() == fHandle;
}

IWindowHandle IWindow::handleWithPointerCaptured()
{
    return GetCapture();
}

// Drawing --------------------------------------------------------------------------------------------

IWindow& IWindow::enableUpdate(IBase::Boolean enable)
{
    handle().sendEvent(WM_SETREDRAW, enable ? 1 : 0);
    return *this;
}

IWindow& IWindow::disableUpdate()
{
    return enableUpdate(false);
}

// RDW_ERASENOW erases at once but leaves WM_PAINT to the message loop; RDW_UPDATENOW sends it
// before RedrawWindow returns, to the window and to each child the invalidation reached, as
// UpdateWindow does after the rectangle's invalidation.
IWindow& IWindow::refresh(RefreshType type)
{
    if (type != paintAllNoChildren)
        RedrawWindow(handle(), nullptr, nullptr,
                     kRedrawFlags | (type == immediate ? RDW_UPDATENOW : 0));
    return *this;
}

IWindow& IWindow::refresh(const IRectangle& area, IBase::Boolean immediate)
{
    const HWND window = handle();
    const IRectangle native = ICoordinateSystem::convertToNative(area, size());
    const RECT bounds = {native.minX(), native.minY(), native.maxX(), native.maxY()};
    RedrawWindow(window, &bounds, nullptr, kRedrawFlags);
    if (immediate)
        UpdateWindow(window);
    return *this;
}

IWindow& IWindow::showSourceEmphasis()
{
    return *this;
}

IWindow& IWindow::hideSourceEmphasis()
{
    return *this;
}

IPresSpaceHandle IWindow::presSpace() const
{
    HDC context = GetDC(handle());
    if (!context)
        IThrow::systemError("GetDC", GetLastError(), IEXCEPTION_LOCATION("iwindow3", "IWindow::presSpace() const"));
    return context;
}

void IWindow::releasePresSpace(const IPresSpaceHandle& context) const
{
    HDC given = context;
    if (!ovk_native::closeWindowDC(fHandle, given)) {
        IThrow::message(OVK_MSG_INVALID_HANDLE,
                        IEXCEPTION_LOCATION("iwindow3",
                                            "IWindow::releasePresSpace(const IPresSpaceHandle&) const"));
    }
}

IWindowHandle IWindow::defaultPushButton() const
{
    return IWindowHandle();
}

IWindow* IWindow::matchForMnemonic(unsigned short) const
{
    return nullptr;
}

// Colours ----------------------------------------------------------------------------------------------

IColor IWindow::systemColor(unsigned long color) const
{
    return IGUIColor(static_cast<IColor::SystemColor>(color));
}

namespace {

const IColor* colorSetOn(const IWindowData& data, unsigned long area)
{
    if (area == 1 && data.hasFlag(IWindowData::foregroundColorSet))
        return data.foregroundColor;
    if (area == 3 && data.hasFlag(IWindowData::backgroundColorSet))
        return data.backgroundColor;
    return nullptr;
}

} // namespace

IColor IWindow::findColor(unsigned long area, const IColor& defaultColor) const
{
    const IWindow* window = this;
    for (int step = 0; window && step < kMaximumOwnerChain; ++step) {
        const IWindowData& data = *window->fData;
        const HWND handle = window->fHandle;
        if (const IColor* color = colorSetOn(data, area))
            return *color;
        if (area == 3 && handle && classIs(handle, "ScrollBar"))
            return systemColor(0x1C);
        if (!data.ownerHandle || !handle || keepsOwnColors(handle))
            break;
        window = windowWithHandle(data.ownerHandle, true);
    }
    return defaultColor;
}

IColor IWindow::color(unsigned long area) const
{
    const IWindow* window = this;
    for (int step = 0; window && step < kMaximumOwnerChain; ++step) {
        if (const IColor* color = colorSetOn(*window->fData, area))
            return *color;
        const HWND owner = window->fData->ownerHandle;
        window = owner ? windowWithHandle(owner, true) : nullptr;
    }
    IThrow::message(OVK_MSG_NO_COLOR_VALUE, IEXCEPTION_LOCATION("iwindow3", "IWindow::color(unsigned long) const"));
}

IWindow& IWindow::setColor(unsigned long area, const IColor& color)
{
    if (area != 1 && area != 3)
        return *this;
    IColor*& slot = area == 1 ? fData->foregroundColor : fData->backgroundColor;
    IColor* copy = new IColor(color);
    delete slot;
    slot = copy;
    fData->setFlag(area == 1 ? IWindowData::foregroundColorSet : IWindowData::backgroundColorSet);
    setLayoutDistorted(ovk_layout::colorChanged, 0);
    if (isValid())
        refresh();
    return *this;
}

IWindow& IWindow::resetColor(unsigned long area)
{
    if (area != 1 && area != 3)
        return *this;
    const IWindowData::Flag flag =
        area == 1 ? IWindowData::foregroundColorSet : IWindowData::backgroundColorSet;
    if (!fData->hasFlag(flag))
        return *this;
    fData->setFlag(flag, false);
    IColor*& slot = area == 1 ? fData->foregroundColor : fData->backgroundColor;
    delete slot;
    slot = nullptr;
    if (isValid())
        refresh();
    return *this;
}

IColor IWindow::defaultBackgroundColor(const IWindowHandle& window)
{
    if (window && IsWindow(window)) {
        const HWND frameHandle = reinterpret_cast<HWND>(
            window.sendEvent(IPrivateMessage::windowQuery, IPrivateMessage::queryFrame).asPointer());
        IWindow* frame = frameHandle ? windowWithHandle(frameHandle, true) : nullptr;
        if (frame && ovk_window::hasDialogBackground(frame))
            return IGUIColor(static_cast<IColor::SystemColor>(0x13));
    }
    return IGUIColor(static_cast<IColor::SystemColor>(0x21));
}

IColor IWindow::foregroundColor() const
{
    return findColor(1, systemColor(0x24));
}

IColor IWindow::backgroundColor() const
{
    return findColor(3, defaultBackgroundColor(fHandle));
}

IColor IWindow::borderColor() const { return systemColor(0x22); }
IColor IWindow::shadowColor() const { return systemColor(0x11); }
IColor IWindow::disabledForegroundColor() const { return systemColor(0x0A); }
IColor IWindow::disabledBackgroundColor() const { return systemColor(0x21); }
IColor IWindow::hiliteForegroundColor() const { return systemColor(0x14); }
IColor IWindow::hiliteBackgroundColor() const { return systemColor(0x15); }
IColor IWindow::activeColor() const { return systemColor(0x28); }
IColor IWindow::inactiveColor() const { return systemColor(0x29); }

IWindow& IWindow::setForegroundColor(const IColor& color)
{
    setColor(1, color);
    notifyObservers(foregroundColorId);
    return *this;
}

IWindow& IWindow::setBackgroundColor(const IColor& color)
{
    setColor(3, color);
    notifyObservers(backgroundColorId);
    return *this;
}

IWindow& IWindow::resetForegroundColor()
{
    const bool wasSet = fData->hasFlag(IWindowData::foregroundColorSet);
    resetColor(1);
    if (wasSet)
        notifyObservers(foregroundColorId);
    return *this;
}

IWindow& IWindow::resetBackgroundColor()
{
    const bool wasSet = fData->hasFlag(IWindowData::backgroundColorSet);
    resetColor(3);
    if (wasSet)
        notifyObservers(backgroundColorId);
    return *this;
}

// The base keeps no colour for these areas; controls that draw them override.
IWindow& IWindow::setBorderColor(const IColor&) { return *this; }
IWindow& IWindow::setShadowColor(const IColor&) { return *this; }
IWindow& IWindow::setDisabledForegroundColor(const IColor&) { return *this; }
IWindow& IWindow::setDisabledBackgroundColor(const IColor&) { return *this; }
IWindow& IWindow::setHiliteForegroundColor(const IColor&) { return *this; }
IWindow& IWindow::setHiliteBackgroundColor(const IColor&) { return *this; }
IWindow& IWindow::setActiveColor(const IColor&) { return *this; }
IWindow& IWindow::setInactiveColor(const IColor&) { return *this; }
IWindow& IWindow::resetBorderColor() { return *this; }
IWindow& IWindow::resetShadowColor() { return *this; }
IWindow& IWindow::resetDisabledForegroundColor() { return *this; }
IWindow& IWindow::resetDisabledBackgroundColor() { return *this; }
IWindow& IWindow::resetHiliteForegroundColor() { return *this; }
IWindow& IWindow::resetHiliteBackgroundColor() { return *this; }
IWindow& IWindow::resetActiveColor() { return *this; }
IWindow& IWindow::resetInactiveColor() { return *this; }

// Fonts -------------------------------------------------------------------------------------------------

IFont IWindow::font() const
{
    if (fData->hasFlag(IWindowData::ownedFont) && fData->font)
        return *fData->font;
    return IFont(this);
}

// WM_SETFONT only lends the native font to the window: the window keeps a copy of the font
// object, which keeps the native font alive as long as the window uses it.
IWindow& IWindow::setFont(const IFont& font)
{
    const HWND window = handle();
    IFont* copy = new IFont(font);
    IFont* previous = fData->font;
    fData->font = copy;
    fData->setFlag(IWindowData::ownedFont);
    fData->cachedCharacterWidth = static_cast<LONG>(copy->avgCharWidth());
    fData->cachedCharacterHeight = static_cast<LONG>(copy->maxCharHeight());
    IWindowHandle(window).sendEvent(WM_SETFONT, IEventParameter1(static_cast<void*>(copy->handle())), 1);
    delete previous;
    return *this;
}

IWindow& IWindow::resetFont()
{
    if (fData->hasFlag(IWindowData::ownedFont)) {
        // The window must let go of the native font before the font object deletes it.
        if (isValid())
            IWindowHandle(fHandle).sendEvent(WM_SETFONT, 0, 1);
        delete fData->font;
        fData->font = nullptr;
        fData->setFlag(IWindowData::ownedFont, false);
    }
    fData->cachedCharacterWidth = 0;
    fData->cachedCharacterHeight = 0;
    characterSize();
    return *this;
}

ISize IWindow::characterSize() const
{
    IWindowData& data = *fData;
    if (data.cachedCharacterWidth > 0 && !isLayoutDistorted(ovk_layout::fontChanged))
        return ISize(data.cachedCharacterWidth, data.cachedCharacterHeight);
    const IFont current = font();
    data.cachedCharacterWidth = static_cast<LONG>(current.avgCharWidth());
    data.cachedCharacterHeight = static_cast<LONG>(current.maxCharHeight());
    data.layoutFlags &= ~ovk_layout::fontChanged;
    return ISize(data.cachedCharacterWidth, data.cachedCharacterHeight);
}

// Drag detection ----------------------------------------------------------------------------------------

IBase::Boolean IWindow::isDragStarting(IEvent& event)
{
    IWindowData& data = *fData;
    const POINT point = {GET_X_LPARAM(event.parameter2().asLong()),
                         GET_Y_LPARAM(event.parameter2().asLong())};
    switch (event.eventId()) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const HWND window = event.handle();
        const HWND child = ChildWindowFromPoint(window, point);
        const HWND holder = GetCapture();
        if (child && child != window && IsWindowEnabled(child) && (!holder || holder == window)) {
            if (!holder)
                SetCapture(window);
            data.dragPending = true;
            data.dragStart = point;
            data.dragButton = event.eventId() == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
        }
        return false;
    }
    case WM_MOUSEMOVE:
        // A move without the pressing button held means that its release went to another
        // window (the capture was taken away): that press is over, and no hover starts a drag.
        if (data.dragPending && !(event.parameter1().asUnsignedLong() & data.dragButton)) {
            if (GetCapture() == event.handle())
                ovk_native::releaseCapture();
            data.dragPending = false;
            data.dragStart = POINT{0, 0};
            return false;
        }
        if (data.dragPending &&
            (std::abs(point.x - data.dragStart.x) > 2 || std::abs(point.y - data.dragStart.y) > 2)) {
            ovk_native::releaseCapture();
            data.dragPending = false;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (data.dragPending && !IPlatform::isPlatformVariant())
            ovk_native::releaseCapture();
        data.dragPending = false;
        data.dragStart = POINT{0, 0};
        return false;
    default:
        return false;
    }
}

// Minimum size -------------------------------------------------------------------------------------------

ISize IWindow::calcMinimumSize() const
{
    return size();
}

ISize IWindow::minimumSize(IBase::Boolean recalculate) const
{
    IWindowData& data = *fData;
    if (!recalculate && data.explicitMinimumWidth != -1) {
        data.layoutFlags &= ~ovk_layout::minimumSizeChanged;
        return ISize(data.explicitMinimumWidth, data.explicitMinimumHeight);
    }
    const bool cachedValid =
        !(data.layoutFlags & (ovk_layout::minimumSizeChanged | ovk_layout::layoutDue)) &&
        (data.cachedMinimumWidth != 0 || data.cachedMinimumHeight != 0) &&
        data.hasFlag(IWindowData::minimumSizeCacheOn);
    if (!recalculate && cachedValid)
        return ISize(data.cachedMinimumWidth, data.cachedMinimumHeight);
    const ISize calculated = calcMinimumSize();
    data.cachedMinimumWidth = calculated.width();
    data.cachedMinimumHeight = calculated.height();
    data.layoutFlags &= ~ovk_layout::minimumSizeChanged;
    return calculated;
}

IWindow& IWindow::setMinimumSize(const ISize& size)
{
    fData->minimumSizeUpdate = true;
    fData->explicitMinimumWidth = size.width();
    fData->explicitMinimumHeight = size.height();
    try {
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    } catch (...) {
        fData->minimumSizeUpdate = false;
        throw;
    }
    fData->minimumSizeUpdate = false;
    return *this;
}

IWindow& IWindow::disableMinimumSizeCaching()
{
    fData->setFlag(IWindowData::minimumSizeCacheOn, false);
    return *this;
}

IWindow& IWindow::enableMinimumSizeCaching(IBase::Boolean enable)
{
    fData->setFlag(IWindowData::minimumSizeCacheOn, enable != 0);
    return *this;
}

IBase::Boolean IWindow::isMinimumSizeCachingEnabled() const
{
    return fData->hasFlag(IWindowData::minimumSizeCacheOn);
}
