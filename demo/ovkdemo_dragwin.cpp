// The demo's drag and drop between its own windows. Each of the two containers on the
// notebook's "Data" page becomes a drag source and a drop target with one call; the tool bar's
// buttons enabled themselves when the tool bar took them. With the autoplay, the first button of
// the tool bar is dragged onto the right half of the third, and the selected files are dragged,
// by a press and moves of the mouse on their list and with Ctrl held, onto the tree beside its
// first line, which gets copies of them (the tree holds every file already, so a move there is
// refused). The screenshot "drag2" shows both.
#include <windows.h>

#include <memory>

#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kDragWindowsTimer = 46;
// The list control inside a native container.
constexpr int kFileListId = 0x3000;
constexpr UINT kDragWindowsAt = 11000;

// A point of a window on the screen, as far across and down as the fractions say.
POINT screenPoint(HWND window, double across, double down)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{rect.left + static_cast<LONG>((rect.right - rect.left) * across),
                 rect.top + static_cast<LONG>((rect.bottom - rect.top) * down)};
}

// Drag-start messages carry the press point in the window's application coordinates.
IEventParameter1 pressAt(IWindow& window, const IPoint& point)
{
    (void)window;
    return IEventParameter1(static_cast<std::uint16_t>(point.x()),
                            static_cast<std::uint16_t>(point.y()));
}

// Holds Ctrl down in the thread's key state for the scope: OLE's drag loop reads that state
// and the drop target makes a copy of it.
class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(fSaved);
        BYTE held[256];
        GetKeyboardState(held);
        held[VK_CONTROL] |= 0x80;
        held[VK_LCONTROL] |= 0x80;
        SetKeyboardState(held);
    }
    ~CtrlHeld() { SetKeyboardState(fSaved); }
    CtrlHeld(const CtrlHeld&) = delete;
    CtrlHeld& operator=(const CtrlHeld&) = delete;

private:
    BYTE fSaved[256] = {};
};

} // namespace

class DragWindowsDemo : public IHandler {
public:
    DragWindowsDemo(IWindow& frame, ICnrCtl& files, ICnrCtl& types, IToolBar& bar, bool autoplay)
        : fFrame(frame), fFiles(files), fTypes(types), fBar(bar)
    {
        // Several files travel at once.
        files.setMultipleSelection();
        IDMSupport::enableDragDropFor<IDMCnrItem>(&files);
        IDMSupport::enableDragDropFor<IDMCnrItem>(&types);
        if (autoplay) {
            handleEventsFor(&frame);
            SetTimer(frame.handle(), kDragWindowsTimer, kDragWindowsAt, nullptr);
        }
    }
    ~DragWindowsDemo() override {
        if (fFrame.isValid())
            stopHandlingEventsFor(&fFrame);
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_TIMER || event.parameter1().asUnsignedLong() != kDragWindowsTimer)
            return false;
        // The rest of the autoplay goes first: a modal dialog disables the frame, a menu holds
        // the pointer.
        HWND frame = fFrame.handle();
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetCurrentThreadId(), &thread);
        if (!IsWindowEnabled(frame) || (thread.flags & GUI_INMENUMODE) || thread.hwndCapture) {
            SetTimer(frame, kDragWindowsTimer, 250, nullptr);
            return true;
        }
        KillTimer(frame, kDragWindowsTimer);
        play();
        return true;
    }

private:
    void play() {
        dragButton();
        // The page's window stands in the notebook's page area, somewhere below the notebook.
        INotebook* notebook = nullptr;
        for (IWindow* up = fFiles.parent(); up && !notebook; up = up->parent())
            notebook = dynamic_cast<INotebook*>(up);
        IPageHandle before;
        if (notebook) {
            before = notebook->topPage();
            for (IPageHandle page = notebook->firstPage(); page.isValid();
                 page = notebook->nextPage(page))
                if (notebook->window(page) == fFiles.parent()) {
                    notebook->turnToPage(page);
                    break;
                }
        }
        dragFiles();
        // The page and the containers paint themselves before the screenshot.
        RedrawWindow(fFrame.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        requestScreenshot("drag2");
        if (notebook && before.isValid())
            notebook->turnToPage(before);
    }

    // The first tool bar button goes behind the third.
    void dragButton() {
        IToolBar::WindowCursor cursor(fBar);
        IWindow* buttons[3] = {};
        int found = 0;
        for (cursor.setToFirst(); cursor.isValid() && found < 3; cursor.setToNext())
            if (IWindow* window = fBar.windowAt(cursor); dynamic_cast<IToolBarButton*>(window))
                buttons[found++] = window;
        if (found < 3)
            return;
        const POINT over = screenPoint(buttons[2]->handle(), 0.75, 0.5);
        SetCursorPos(over.x, over.y);
        buttons[0]->sendEvent(IPrivateMessage::dragStart, pressAt(*buttons[0], IPoint(4, 4)), 0);
    }

    // The first two files, selected, are copied into the tree: dropped beside its first line,
    // on no object, they show at its top.
    void dragFiles() {
        ICnrCtl::ObjectCursor cursor(fFiles);
        ICnrObj* first = nullptr;
        int selected = 0;
        for (cursor.setToFirst(); cursor.isValid() && selected < 2; cursor.setToNext(), ++selected) {
            fFiles.setEmphasis(cursor.current(), CRA_SELECTED, true);
            if (!first)
                first = cursor.current();
        }
        if (!first)
            return;
        // The first line lies below the title and its separator, once the tree shows it.
        ICnrCtl::ObjectCursor lines(fTypes);
        if (lines.setToFirst())
            fTypes.makeObjectVisible(lines.current());
        POINT over = screenPoint(fTypes.handle(), 0.5, 0);
        over.y += 34;
        SetCursorPos(over.x, over.y);
        // The press on the first file's icon, in the list control that shows the files.
        const HWND list = GetDlgItem(fFiles.handle(), kFileListId);
        const IRectangle icon =
            ICoordinateSystem::convertToNative(fFiles.iconRectangle(first, false), fFiles.size());
        POINT press{icon.minX() + icon.width() / 2, icon.minY() + icon.height() / 2};
        MapWindowPoints(fFiles.handle(), list, &press, 1);
        // As the user's hand gives them: the list's own drag detection takes the queued moves
        // while it holds the press, so they are posted before the press is sent. The move it
        // leaves starts the drag, which drops where the pointer stands.
        for (const LONG step : {8, 16})
            PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + step, press.y + step));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(press.x + 16, press.y + 16));
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
        CtrlHeld ctrl;
        MSG message{};
        while (PeekMessageA(&message, list, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
            DispatchMessageA(&message);
    }

    IWindow& fFrame;
    ICnrCtl& fFiles;
    ICnrCtl& fTypes;
    IToolBar& fBar;
};

void DragWindowsDemoDeleter::operator()(DragWindowsDemo* demo) const
{
    delete demo;
}

std::unique_ptr<DragWindowsDemo, DragWindowsDemoDeleter>
makeDragWindowsDemo(IWindow& frame, ICnrCtl& files, ICnrCtl& types, IToolBar& bar, bool autoplay)
{
    return std::unique_ptr<DragWindowsDemo, DragWindowsDemoDeleter>(
        new DragWindowsDemo(frame, files, types, bar, autoplay));
}
