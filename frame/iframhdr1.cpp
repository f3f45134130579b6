// The frame handler: the layout pass, the close path, destruction and the caption drawn in the
// frame's own font.
#include <windows.h>

#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <detail/iscoped.hpp>
#include <detail/istthread.hpp>
#include <detail/iwincore.hpp>
#include <icolor.hpp>
#include <iprivmsg.hpp>

#include "detail/iframdat.hpp"
#include "detail/ifrmhdr.hpp"
#include "detail/imenuown.hpp"
#include "iframe.hpp"
#include "iframhdr.hpp"
#include "isysmenu.hpp"
#include "ititle.hpp"


using namespace iframhdr;

namespace {

// The controls a template frame subclasses: those that want characters or arrows, and buttons.
constexpr LRESULT kSubclassedCodes = DLGC_BUTTON | DLGC_WANTCHARS | DLGC_WANTARROWS;

bool hasClass(HWND window, const char* name)
{
    char buffer[32] = {};
    return GetClassNameA(window, buffer, sizeof buffer) && lstrcmpiA(buffer, name) == 0;
}

HWND firstEditChild(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (hasClass(child, "Edit"))
            return child;
        if (HWND nested = firstEditChild(child))
            return nested;
    }
    return nullptr;
}

bool isWrapped(HWND window)
{
    return IWindow::windowWithHandle(IWindowHandle(window), true) != nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The layout pass

// The edit fields and buttons of a template keep the keys that belong to the frame (Enter,
// Esc, Tab) only when they run the library's control procedure.
void IFrameHandler::subclassTemplateControls(IFrameWindow& frame)
{
    const HWND handle = frame.handle();
    ISubclassedControls& known = IStartedThread::current()->subclassedControls();
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HWND control = child;
        if (hasClass(control, "ComboBox") && !isWrapped(control)) {
            control = firstEditChild(control);
            if (!control)
                continue;
        }
        if (!(SendMessageA(control, WM_GETDLGCODE, 0, 0) & kSubclassedCodes))
            continue;
        if (known.find(control) || isWrapped(control))
            continue;
        const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
        if (!(original && original != &IWindowCore::pfnwpOVKControlProc))
            IThrow::state("control.fOriginalProc && control.fOriginalProc != pfnwpOVKControlProc",
                          IEXCEPTION_LOCATION(kFile, kDispatch));
        IWindowCore::subclassControl(control, handle);
    }
}

IBase::Boolean IFrameHandler::layoutPass(IEvent& event)
{
    IFrameWindow& frame = *frameOf(event);
    const HWND handle = event.handle();
    if (frame.frameFlags() & IFrameWindowData::templateControls)
        subclassTemplateControls(frame);
    RECT client{};
    GetClientRect(handle, &client);
    const unsigned long count = SendMessageA(handle, IPrivateMessage::frameFirst, 0, 0);
    // Records that nothing fills ask for nothing, so that the pass leaves their windows alone.
    std::vector<IWindowPosRecord> records(count);
    unsigned long filled = 0;
    for (HWND child = GetWindow(handle, GW_CHILD); child && filled < count;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IWindowCore::windowId(child) != IFrameWindow::clientId)
            records[filled++].window = child;
    }
    IWindowPosList list{records.data(), count};
    SendMessageA(handle, IPrivateMessage::frameFormat, reinterpret_cast<WPARAM>(&list),
                 reinterpret_cast<LPARAM>(&client));

    HDWP batch = BeginDeferWindowPos(static_cast<int>(count));
    if (!batch)
        systemError("BeginDeferWindowPos");
    if (const HWND clientWindow = frame.clientHandle()) {
        batch = DeferWindowPos(batch, clientWindow, nullptr, client.left, client.top,
                               client.right - client.left, client.bottom - client.top,
                               SWP_NOZORDER);
    }
    for (const IWindowPosRecord& record : records) {
        IWindowPosRecord copy = record;
        const IWindowPosFlags flags(copy);
        if (!batch || !record.window || !(flags.isPositionChanged() || flags.isSizeChanged()))
            continue;
        // One batch moves siblings only: a window that lives elsewhere now (a tool bar that
        // floats in a frame of its own) would make the system refuse the whole batch.
        if (GetParent(static_cast<HWND>(record.window)) != handle)
            continue;
        batch = DeferWindowPos(batch, static_cast<HWND>(record.window), nullptr, record.x,
                               record.y, record.width, record.height, record.flags);
    }
    if (!batch || !EndDeferWindowPos(batch))
        systemError("EndDeferWindowPos");
    return true;
}

// ---------------------------------------------------------------------------------------------
// Closing and destruction

IBase::Boolean IFrameHandler::closePath(IEvent& event)
{
    frameOf(event)->setFrameFlags(IFrameWindowData::closing, 0);
    return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::closeFrame, event);
}

// The close command obeys the system menu: with its close item disabled the frame stays.
IBase::Boolean IFrameHandler::systemCommand(IEvent& event)
{
    if ((event.parameter1().asUnsignedLong() & 0xFFF0) != SC_CLOSE)
        return false;
    IFrameWindow* frame = frameOf(event);
    if (GetWindowLongPtrA(event.handle(), GWL_STYLE) & WS_SYSMENU) {
        try {
            if (!ISystemMenu(frame).isItemEnabled(ISystemMenu::idClose))
                return true;
        } catch (const IInvalidRequest&) {
            return true;
        }
    }
    return closePath(event);
}

// A frame destroyed without closing still gets its close callback, but must not be destroyed
// a second time by it.
IBase::Boolean IFrameHandler::destroyed(IEvent& event)
{
    IFrameWindow* frame = frameOf(event);
    if (!(frame->frameFlags() & IFrameWindowData::closing)) {
        frame->setDestroyOnClose(false);
        frame->setFrameFlags(IFrameWindowData::closing, 0);
        IFrameHandlerEvent typed(event);
        closeFrame(typed);
    }
    if (!IPlatform::hasNewShell())
        RemovePropA(event.handle(), IFrameWindowData::menuBarProperty);
    // The system destroys the menu bar with the window, after the last message the library
    // sees: the sub-menus of the library's own taken off it go now.
    imenu::holderGoing(GetMenu(event.handle()));
    if (frame->isModal() && frame->isDeleteOnDestroy()) {
        frame->setDeleteOnModalEnd(true);
        frame->setDeleteOnDestroy(false);
    }
    return false;
}

IBase::Boolean IFrameHandler::destroyRequest(IEvent& event)
{
    const HWND handle = event.handle();
    char name[256] = {};
    GetClassNameA(handle, name, sizeof name);
    // The object may go with its window: only the copies above are used afterwards.
    if (!DestroyWindow(handle))
        systemError("IDESTROYWINDOW");
    UnregisterClassA(name, GetModuleHandleA(nullptr));
    return true;
}

// ---------------------------------------------------------------------------------------------
// The caption in the frame's font

IBase::Boolean IFrameHandler::fontMessage(IEvent& event)
{
    IFrameWindowData& data = IFrameWindowData::of(*frameOf(event));
    if (event.eventId() == WM_GETFONT) {
        event.setResult(IEventData(static_cast<void*>(data.font)));
        return true;
    }
    data.font = static_cast<HFONT>(event.parameter1().asPointer());
    if (event.parameter2().lowNumber())
        RedrawWindow(event.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    return true;
}

// While the system draws the caption, the frame has no text, so that only the library's text
// in the frame's font is seen.
IBase::Boolean IFrameHandler::textQuery(IEvent& event)
{
    const IFrameWindowData& data = IFrameWindowData::of(*frameOf(event));
    if (!data.font || !data.has(IFrameWindowData::captionRepaint))
        return false;
    // A zero-size buffer has no room even for the terminator.
    if (event.eventId() == WM_GETTEXT && event.parameter1().asUnsignedLong() > 0) {
        if (char* buffer = static_cast<char*>(event.parameter2().asPointer()))
            buffer[0] = '\0';
    }
    event.setResult(0);
    return true;
}

IBase::Boolean IFrameHandler::captionRepaint(IEvent& event)
{
    IFrameWindow* frame = frameOf(event);
    IFrameWindowData& data = IFrameWindowData::of(*frame);
    // A frame without a caption has no title bar to draw into: the title would refuse it, and
    // its error would end up in the program's message loop at every non-client paint.
    if (!data.font || !ITitle(frame).isValid())
        return false;
    data.set(IFrameWindowData::captionRepaint);
    try {
        defaultProcedure(event);
    } catch (...) {
        data.set(IFrameWindowData::captionRepaint, false);
        throw;
    }
    data.set(IFrameWindowData::captionRepaint, false);

    const HWND handle = event.handle();
    bool active;
    if (event.eventId() == WM_NCACTIVATE)
        active = event.parameter1().asUnsignedLong() != 0;
    else
        active = (IPlatform::isPlatformVariant() ? GetActiveWindow() : GetForegroundWindow()) == handle;
    ITitle title(frame);
    const IRectangle box = title.nativeRect();
    const IString text = title.text();
    const ovk_native::WindowDC context(handle, ovk_native::WindowDC::whole);
    if (!context)
        systemError("GetWindowDC");
    const ovk_native::Selection font(context.get(), data.font);
    const COLORREF oldBack = SetBkColor(
        context.get(), IGUIColor(static_cast<IColor::SystemColor>(active ? 23 : 22)).asRGBLong());
    const COLORREF oldText = SetTextColor(
        context.get(), IGUIColor(static_cast<IColor::SystemColor>(active ? 25 : 24)).asRGBLong());
    RECT r{box.minX(), box.minY(), box.maxX(), box.maxY()};
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                        (IPlatform::hasNewShell() ? 0 : DT_CENTER);
    DrawTextA(context.get(), text, -1, &r, format);
    SetTextColor(context.get(), oldText);
    SetBkColor(context.get(), oldBack);
    event.setResult(1);
    return true;
}
