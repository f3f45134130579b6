// The window procedure and its companions: the parts of the window core that Windows calls.
#pragma once

#include <windows.h>

#include <idefs.hpp>

class IEvent;
class IWindow;
struct IWindowData;

// Exported for the test programs only; the library's own subsystems use it from inside.
class OVKWIN_API IWindowCore {
public:
    // Installed on every window that a window object takes charge of.
    static LRESULT CALLBACK _pfnwpOVKWinProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    // Installed on native controls inside the library's composite controls: passes the keys
    // that belong to the composite (enter, escape, tab) on to it.
    static LRESULT CALLBACK pfnwpOVKControlProc(HWND control, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    // Subclasses a native control of `owner` with the control procedure.
    static void subclassControl(HWND control, HWND owner);

    // Forgets the window procedure's one-entry cache; done whenever a window object leaves its
    // window set or is deleted, so that the cache never answers a stale object.
    static void clearCache() noexcept;

    static IWindowData* data(const IWindow& window) noexcept;
    // The count of child order changes seen for the window's children (see IWindowData), and
    // the note of one for the parent of `child` when that parent is a window object's.
    static unsigned long childOrderChanges(const IWindow& parent) noexcept;
    static void noteChildOrderChange(HWND child) noexcept;
    static HWND rawHandle(const IWindow& window) noexcept;
    // Whether the object is filed in the calling thread's window set under its handle: then its
    // window is this thread's and alive, since an object leaves its set as its window's
    // WM_DESTROY passes the library's procedure. Answered without asking the system; false
    // says only that this thread's set does not know the object.
    static bool isFiledOnThisThread(const IWindow& window) noexcept;

    // A window's identifier: GWLP_ID for a child; for a top-level window, where that slot holds
    // the menu (and a dialog's extra bytes at offset 8 hold its procedure on 64-bit Windows),
    // the identifier lives in this window property.
    static constexpr const char* topLevelIdProperty = "OVK_WINDOW_ID";
    static unsigned long windowId(HWND window) noexcept;
    // Writes the identifier where windowId reads it; false when Windows refused.
    static bool setWindowId(HWND window, unsigned long id) noexcept;
    // A window object for a handle that the library must not subclass (the desktop's).
    static void setRawHandle(IWindow& window, HWND handle) noexcept;
    // Answers the mnemonic query: 1 when the window is a visible, enabled child whose text
    // marks `character` as its mnemonic, else 0. An entry field (any edit control) answers 0
    // without its text being read.
    static LRESULT answerMnemonic(HWND window, WPARAM character) noexcept;

private:
    // Whether the first single '&' of the text marks `character`, in either case.
    static bool markedMnemonic(const char* text, int length, unsigned short character) noexcept;
    static LRESULT route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT routeNotification(HWND window, IEvent& event);
    static void notificationTargets(HWND window, unsigned long controlId, IWindow*& control,
                                    IWindow*& owner);
    static LRESULT answerWindowQuery(HWND window, WPARAM wParam, LPARAM lParam);
    static LRESULT defaultProcessing(HWND window, IEvent& event, IWindow* target);
    static LRESULT offerToOwners(IWindow& window, IEvent& event);
    static LRESULT controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
};
