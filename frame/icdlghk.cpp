// The common dialogs' shared hook work: the dialog window, its place, its colours and the
// dispatch of its messages.
#include <windows.h>

#include <icoordsy.hpp>
#include <ihandler.hpp>
#include <iobjwnd.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "detail/icdlghk.hpp"
#include "iframhdr.hpp"

namespace ovkcommondialog {

void takeDialogWindow(IWindow& dialog, HWND window, IHandler* handler)
{
    IWindow::addToWindowSet(&dialog, IWindowHandle(window));
    dialog.setDestroyOnDelete(false);
    if (handler)
        handler->handleEventsFor(&dialog);
}

void placeDialog(HWND window, HWND owner, const IPoint& position)
{
    RECT area{};
    if (owner)
        GetWindowRect(owner, &area);
    else
        GetWindowRect(GetDesktopWindow(), &area);
    RECT own{};
    GetWindowRect(window, &own);
    const int x = area.left + position.x();
    const int y = ICoordinateSystem::isConversionNeeded()
                      ? area.bottom - position.y() - (own.bottom - own.top)
                      : area.top + position.y();
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ended(DialogState& state, BOOL chose, const char* call, const IExceptionLocation& location)
{
    if (chose) {
        state.result = 1;
        return true;
    }
    state.result = 2;
    state.error = CommDlgExtendedError();
    if (state.error)
        IThrow::systemError(call, state.error, location);
    return false;
}

void noteCommand(DialogState& state, HWND window, unsigned int id)
{
    if (id == IDOK)
        state.result = 1;
    else if (id == 0x40E)
        PostMessageA(window, IPrivateMessage::frameEvent, 0, 0);
}

namespace {

bool answerColorRequest(UINT message, WPARAM wParam, DialogState& state, UINT_PTR& answer)
{
    if (message == WM_CTLCOLORSCROLLBAR) {
        answer = 0;
        return true;
    }
    if (!state.backgroundSet || (message != WM_CTLCOLORBTN && message != WM_CTLCOLORDLG &&
                                 message != WM_CTLCOLORSTATIC))
        return false;
    const COLORREF value = static_cast<COLORREF>(state.background.asRGBLong());
    SetBkColor(reinterpret_cast<HDC>(wParam), value);
    state.brush.reset(CreateSolidBrush(value));
    answer = reinterpret_cast<UINT_PTR>(state.brush.get());
    return true;
}

} // namespace

UINT_PTR dispatch(IWindow& dialog, DialogState& state, HWND window, UINT message, WPARAM wParam,
                  LPARAM lParam)
{
    UINT_PTR answer = 0;
    if (answerColorRequest(message, wParam, state, answer))
        return answer;
    IEvent event(IWindowHandle(window), message, wParam, lParam);
    // The Help button's request reaches the dialog, which has no frame handler to turn it
    // into WM_HELP; the help window of the owner's frame hears it as the owner passes it up.
    if (message == IPrivateMessage::frameEvent)
        IFrameHandler::contextHelpRequest(event);
    dialog.dispatch(event);
    return static_cast<UINT_PTR>(event.result().asUnsignedLong());
}

HWND nativeOwner(IWindow* owner, bool applyButton, std::unique_ptr<IObjectWindow>& holder)
{
    if (applyButton) {
        holder = std::make_unique<IObjectWindow>();
        holder->setDestroyOnDelete();
        return holder->handle();
    }
    return owner ? static_cast<HWND>(owner->handle()) : nullptr;
}

} // namespace ovkcommondialog
