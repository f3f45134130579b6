// What the file and font dialogs share around the system's common dialogs: taking charge of the
// dialog window from the hook, placing it, its colours and the dispatch of its messages.
#pragma once

#include <windows.h>

#include <memory>

#include <detail/iscoped.hpp>
#include <icolor.hpp>
#include <ipoint.hpp>

class IHandler;
class IObjectWindow;
class IWindow;

namespace ovkcommondialog {

// Files the dialog window with the dialog object and attaches the handler given to the
// dialog's constructor. The object never destroys the window: the common dialog ends it.
// The frame's own handlers stay off it, because they would paint, close and answer text
// queries for a window whose dialog procedure belongs to the system.
void takeDialogWindow(IWindow& dialog, HWND window, IHandler* handler);

// Puts the dialog at the position relative to the owner (the desktop without one): x from the
// owner's left edge, y from its bottom edge in the bottom-left orientation, else from its top.
void placeDialog(HWND window, HWND owner, const IPoint& position);

// The dialog's background colour, when one was set, as the answer to a colour request of its
// controls (WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLORSTATIC); scroll bars get 0. Answers
// false when the request is to go its ordinary way.
bool answerColorRequest(UINT message, WPARAM wParam, const IColor* color,
                        ovk_native::Brush& brush, UINT_PTR& answer);

// Offers the message to the dialog object's handlers; their result is the hook's answer.
UINT_PTR dispatch(IWindow& dialog, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The native owner of the dialog: the owner's window, or with an Apply button a new hidden
// object window (kept in `holder` until the dialog returns), so that the application's windows
// stay enabled.
HWND nativeOwner(IWindow* owner, bool applyButton, std::unique_ptr<IObjectWindow>& holder);

} // namespace ovkcommondialog
