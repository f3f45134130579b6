// What the file and font dialogs share around the system's common dialogs: taking charge of the
// dialog window from the hook, placing it, its colours and the dispatch of its messages.
#pragma once

#include <windows.h>

#include <memory>

#include <detail/iscoped.hpp>
#include <icolor.hpp>
#include <iexcept.hpp>
#include <ipoint.hpp>

class IHandler;
class IObjectWindow;
class IWindow;

namespace ovkcommondialog {

// The Apply push button of a dialog template, and the extended style bit that asks for it.
constexpr unsigned int applyButton = 0x402;
constexpr unsigned long applyBit = 0x8000;

// What a file or font dialog keeps of the system dialog that is or was open.
struct DialogState {
    explicit DialogState(unsigned long dialogId) : id(dialogId) {}
    unsigned long id;
    // 1 = OK, 2 = cancelled or failed.
    unsigned long result = 2;
    // The extended error of the last failed dialog.
    unsigned long error = 0;
    IColor background;
    bool backgroundSet = false;
    // The brush of the last colour answer.
    ovk_native::Brush brush;

    // A new run of the dialog counts as cancelled until it ends with OK.
    void begin()
    {
        result = 2;
        error = 0;
    }
    bool pressedOK() const { return result == 1; }
    // The hook answers the colour requests of the dialog's controls with it from now on.
    void setBackground(const IColor& color)
    {
        background = color;
        backgroundSet = true;
    }
};

// Notes how the system's dialog function (`call`, as the error names it) ended, and answers
// whether the user chose OK. A dialog that failed rather than being cancelled leaves its
// extended error (CommDlgExtendedError) in the state and throws it as a system error at
// `location`.
bool ended(DialogState& state, BOOL chose, const char* call, const IExceptionLocation& location);

// Files the dialog window with the dialog object and attaches the handler given to the
// dialog's constructor. The object never destroys the window: the common dialog ends it.
// The frame's own handlers stay off it, because they would paint, close and answer text
// queries for a window whose dialog procedure belongs to the system.
void takeDialogWindow(IWindow& dialog, HWND window, IHandler* handler);

// Puts the dialog at the position relative to the owner (the desktop without one): x from the
// owner's left edge, y from its bottom edge in the bottom-left orientation, else from its top.
void placeDialog(HWND window, HWND owner, const IPoint& position);

// What both dialogs do with a command before their handlers see it: OK sets the result, the
// Help button (0x40E) asks the frame for help.
void noteCommand(DialogState& state, HWND window, unsigned int id);

// The hook's answer: the dialog's background colour, when one was set, for the colour requests
// of its controls (WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLORSTATIC), 0 for a scroll bar's;
// else the result of the dialog object's handlers. A help request becomes WM_HELP first.
UINT_PTR dispatch(IWindow& dialog, DialogState& state, HWND window, UINT message, WPARAM wParam,
                  LPARAM lParam);

// The native owner of the dialog: the owner's window, or with an Apply button a new hidden
// object window (kept in `holder` until the dialog returns), so that the application's windows
// stay enabled.
HWND nativeOwner(IWindow* owner, bool applyButton, std::unique_ptr<IObjectWindow>& holder);

} // namespace ovkcommondialog
