// The demo's drag and drop between its own windows. Each of the two containers on the
// notebook's "Data" page becomes a drag source and a drop target with one call; the tool bar's
// buttons enabled themselves when the tool bar took them. With the autoplay, a hand (real mouse
// input from a second thread, as a user's) drags the first button of the tool bar onto the right
// half of the third, and then the two selected files from their list onto the tree beside its
// first line: they move there (the tree holds copies of its own, so that the list's files are
// new to it), and leave the list. The screenshot "drag2" shows both.
#include <windows.h>

#include <memory>

#include <handdrag.hpp>
#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kDragWindowsTimer = 46;
// After the document dialogs: nothing else of the autoplay may move the pointer or open a
// window while a hand drags.
constexpr UINT kDragWindowsAt = 13500;
// How often the demo looks whether the hand has let go.
constexpr UINT_PTR kHandTimer = 47;
constexpr UINT kHandLook = 100;

// A point of a window on the screen, as far across and down as the fractions say.
POINT screenPoint(HWND window, double across, double down)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{rect.left + static_cast<LONG>((rect.right - rect.left) * across),
                 rect.top + static_cast<LONG>((rect.bottom - rect.top) * down)};
}

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
        if (event.eventId() != WM_TIMER)
            return false;
        const unsigned long timer = event.parameter1().asUnsignedLong();
        if (timer == kHandTimer)
            return lookAtTheHand();
        if (timer != kDragWindowsTimer)
            return false;
        // The rest of the autoplay goes first: a modal dialog disables the frame, a menu holds
        // the pointer.
        HWND frame = fFrame.handle();
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetCurrentThreadId(), &thread);
        if (!IsWindowEnabled(frame) || (thread.flags & GUI_INMENUMODE) || thread.hwndCapture ||
            isHandAtWork()) {
            SetTimer(frame, kDragWindowsTimer, 250, nullptr);
            return true;
        }
        KillTimer(frame, kDragWindowsTimer);
        if (!dragButton())
            dragFiles();
        return true;
    }

private:
    enum class Step { none, button, files };

    // Hands the path to a hand, and looks every while whether it has let go.
    void startHand(const ovktest::HandPath& path, Step step) {
        SetCursorPos(path.from.x, path.from.y);
        setHandAtWork(true);
        fHand = std::make_unique<ovktest::HandDrag>(path);
        fStep = step;
        fDoneLooks = 0;
        SetTimer(fFrame.handle(), kHandTimer, kHandLook, nullptr);
    }

    // Once the hand has let go, and the release has reached the drag loop: the next drag, or
    // the picture of both.
    IBase::Boolean lookAtTheHand() {
        if (!fHand || !fHand->done() || ++fDoneLooks < 3)
            return true;
        KillTimer(fFrame.handle(), kHandTimer);
        fHand.reset();
        const Step done = fStep;
        fStep = Step::none;
        if (done == Step::button)
            dragFiles();
        else if (done == Step::files)
            showResult();
        return true;
    }

    // The first tool bar button goes behind the third: pressed in its middle, let go over the
    // right quarter of the third.
    bool dragButton() {
        IToolBar::WindowCursor cursor(fBar);
        IWindow* buttons[3] = {};
        int found = 0;
        for (cursor.setToFirst(); cursor.isValid() && found < 3; cursor.setToNext())
            if (IWindow* window = fBar.windowAt(cursor); dynamic_cast<IToolBarButton*>(window))
                buttons[found++] = window;
        if (found < 3)
            return false;
        ovktest::HandPath path;
        path.from = screenPoint(buttons[0]->handle(), 0.5, 0.5);
        path.to = screenPoint(buttons[2]->handle(), 0.75, 0.5);
        path.lingerTicks = 10;
        startHand(path, Step::button);
        return true;
    }

    // The first two files, selected, move into the tree: pressed on the first one's icon, let
    // go beside the tree's first line, on no object, where they show at its top.
    void dragFiles() {
        turnToTheContainers();
        ICnrCtl::ObjectCursor cursor(fFiles);
        ICnrObj* first = nullptr;
        int selected = 0;
        for (cursor.setToFirst(); cursor.isValid() && selected < 2; cursor.setToNext(), ++selected) {
            fFiles.setEmphasis(cursor.current(), CRA_SELECTED, true);
            if (!first)
                first = cursor.current();
        }
        if (!first) {
            showResult();
            return;
        }
        // The first line lies below the title and its separator, once the tree shows it.
        ICnrCtl::ObjectCursor lines(fTypes);
        if (lines.setToFirst())
            fTypes.makeObjectVisible(lines.current());
        RedrawWindow(fFrame.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        // The press on the first file's icon.
        const IRectangle icon =
            ICoordinateSystem::convertToNative(fFiles.iconRectangle(first, false), fFiles.size());
        POINT press{icon.minX() + icon.width() / 2, icon.minY() + icon.height() / 2};
        MapWindowPoints(fFiles.handle(), nullptr, &press, 1);
        ovktest::HandPath path;
        path.from = press;
        path.to = screenPoint(fTypes.handle(), 0.5, 0);
        path.to.y += 34;
        path.lingerTicks = 10;
        startHand(path, Step::files);
    }

    // The page's window stands in the notebook's page area, somewhere below the notebook.
    void turnToTheContainers() {
        INotebook* notebook = nullptr;
        for (IWindow* up = fFiles.parent(); up && !notebook; up = up->parent())
            notebook = dynamic_cast<INotebook*>(up);
        if (!notebook)
            return;
        fNotebook = notebook;
        fPageBefore = notebook->topPage();
        for (IPageHandle page = notebook->firstPage(); page.isValid();
             page = notebook->nextPage(page))
            if (notebook->window(page) == fFiles.parent()) {
                notebook->turnToPage(page);
                break;
            }
    }

    void showResult() {
        setHandAtWork(false);
        // The page and the containers paint themselves before the screenshot.
        RedrawWindow(fFrame.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        requestScreenshot("drag2");
        if (fNotebook && fPageBefore.isValid())
            fNotebook->turnToPage(fPageBefore);
    }

    IWindow& fFrame;
    ICnrCtl& fFiles;
    ICnrCtl& fTypes;
    IToolBar& fBar;
    std::unique_ptr<ovktest::HandDrag> fHand;
    Step fStep = Step::none;
    int fDoneLooks = 0;
    INotebook* fNotebook = nullptr;
    IPageHandle fPageBefore;
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
