// The demo's drop target: a small window beside the main frame that lists the drag events it
// receives. With the autoplay, the cursor is put over it and a text item is dragged there from
// the main frame through OLE; the list then shows the enter, the drop and the text that the
// drag information carried. Above the list stand two entry fields that drag text to each
// other: with the autoplay, a hand (real mouse input from a second thread, as a user's) presses
// on the word selected in the upper one, carries it down onto the lower one and lets go there;
// the lower one takes it, and the upper one loses it (a move). The screenshot "dragtext" shows
// the selected word before the drag, "drag" both fields after it.
#include <windows.h>

#include <memory>
#include <string>

#include <handdrag.hpp>
#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kDragTimer = 41;
// At the end of the autoplay, after the drags between the main frame's windows: the hand takes
// about a second, and nothing else may move the pointer or open a window meanwhile.
constexpr UINT kDragAt = 21000;
// How often the demo looks whether the hand has let go.
constexpr UINT_PTR kHandTimer = 43;
constexpr UINT kHandLook = 100;
constexpr int kListId = 10;
constexpr int kFromId = 11;
constexpr int kToId = 12;
constexpr int kFieldHeight = 22;

bool gHandAtWork = false;

// Lists the drag events of the window in its list box and plays the target's part: each drag
// that enters gets a target operation made from its drag information.
class DropLog : public IHandler {
public:
    DropLog(HWND list, HWND source, IEntryField& from, IEntryField& to)
        : fList(list), fSource(source), fFrom(from), fTo(to) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        switch (event.eventId()) {
        case IPrivateMessage::dragOver:
            return over(event);
        case IPrivateMessage::dragLeave:
            add("leave");
            IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
            return true;
        case IPrivateMessage::dragDrop:
            return drop(event);
        case WM_TIMER:
            if (event.parameter1().asUnsignedLong() == kHandTimer)
                return lookAtTheHand(event.handle());
            if (event.parameter1().asUnsignedLong() != kDragTimer)
                return false;
            // The rest of the autoplay goes first: a modal frame or dialog disables the main
            // frame, a menu or another drag holds the pointer.
            if (!isQuiet()) {
                SetTimer(event.handle(), kDragTimer, 250, nullptr);
                return true;
            }
            KillTimer(event.handle(), kDragTimer);
            dragText(event.handle());
            if (startDragBetweenFields())
                SetTimer(event.handle(), kHandTimer, kHandLook, nullptr);
            else
                requestScreenshot("drag");
            return true;
        default:
            return false;
        }
    }

private:
    bool isQuiet() const {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetCurrentThreadId(), &thread);
        return IsWindowEnabled(fSource) && !(thread.flags & GUI_INMENUMODE) && !thread.hwndCapture &&
               !isHandAtWork();
    }

    void add(const std::string& line) {
        SendMessageA(fList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }

    IBase::Boolean over(IEvent& event) {
        IDMTargetEnterEvent enter(event);
        if (!IDMTargetOperation::currentTargetOperation()) {
            IReference<IDMTargetOperation> target(new IDMTargetOperation(enter));
            IDMTargetOperation::setCurrentTargetOperation(target);
            add("enter: " + std::to_string(target->numberOfItems()) + " item(s) at " +
                std::to_string(enter.position().x()) + "," +
                std::to_string(enter.position().y()));
            if (target->numberOfItems())
                add("  types: " + std::string(target->item(1)->types()));
        }
        event.setResult(1);
        return true;
    }

    IBase::Boolean drop(IEvent& event) {
        const IReference<IDMTargetOperation> target = IDMTargetOperation::currentTargetOperation();
        const unsigned long operation = target ? target->operation() : 0;
        add("drop: operation " + std::to_string(operation));
        if (target && target->numberOfItems())
            add("  text: " + std::string(target->item(1)->sourceName()));
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
        event.setResult(operation == IDMOperation::move ? IDMOperation::move : IDMOperation::copy);
        return true;
    }

    // The source's part: one text item from the main frame, dragged to where the cursor is.
    void dragText(HWND target) {
        RECT area{};
        GetWindowRect(target, &area);
        SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        IReference<IDMSourceOperation> source(new IDMSourceOperation(IWindowHandle(fSource)));
        source->addRef();
        IDMItem::Handle item(new IDMItem(source.get(), IDMNames::text,
                                         IDMItem::copyable | IDMItem::moveable));
        item->setSourceName("Hello from the main frame");
        source->addItem(item);
        IDMSourceOperation::setCurrentSourceOperation(source);
        source->begin();
        IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
    }

    // The user's road: the left button goes down on the word selected in the upper field, the
    // pointer carries it to the lower one and lingers there, and the button comes up. The drag
    // runs in the field's press, inside this thread's own message loop, while the hand works on
    // its own thread.
    bool startDragBetweenFields() {
        const std::string text = static_cast<const char*>(fFrom.text());
        const std::size_t word = text.find("word ");
        if (word == std::string::npos)
            return false;
        fFrom.selectRange(IRange(static_cast<IRange::Bound>(word),
                                 static_cast<IRange::Bound>(word + 3)));
        const LRESULT at = SendMessageA(fFrom.handle(), EM_POSFROMCHAR, word + 1, 0);
        POINT press{LOWORD(at), static_cast<LONG>(HIWORD(at)) + kFieldHeight / 4};
        ClientToScreen(fFrom.handle(), &press);
        RECT over{};
        GetWindowRect(fTo.handle(), &over);
        ovktest::HandPath path;
        path.from = press;
        path.to = POINT{(over.left + over.right) / 2, (over.top + over.bottom) / 2};
        SetCursorPos(press.x, press.y);
        requestScreenshot("dragtext");
        setHandAtWork(true);
        fHand = std::make_unique<ovktest::HandDrag>(path);
        fHandDoneLooks = 0;
        return true;
    }

    // Once the hand has let go, and the release has reached the drag loop: the result, shown.
    IBase::Boolean lookAtTheHand(HWND window) {
        if (!fHand || !fHand->done() || ++fHandDoneLooks < 3)
            return true;
        KillTimer(window, kHandTimer);
        fHand.reset();
        setHandAtWork(false);
        add("fields: moved by a drag");
        add("  upper: \"" + std::string(fFrom.text()) + "\"");
        add("  lower: \"" + std::string(fTo.text()) + "\"");
        requestScreenshot("drag");
        return true;
    }

    HWND fList;
    HWND fSource;
    IEntryField& fFrom;
    IEntryField& fTo;
    std::unique_ptr<ovktest::HandDrag> fHand;
    int fHandDoneLooks = 0;
};

} // namespace

class DragDemo {
public:
    DragDemo(IWindow& mainFrame, bool autoplay) {
        IDMSupport::initializeOle();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.lpszClassName = "ovkdemo drop";
        RegisterClassA(&windowClass);
        // Owned by the main frame, so that it goes with it and the loop still ends with it.
        const HWND native = CreateWindowExA(
            WS_EX_TOOLWINDOW, "ovkdemo drop", "Drop here", WS_POPUP | WS_CAPTION | WS_VISIBLE,
            826, 230, 194, 300, mainFrame.handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        fWindow = std::make_unique<IWindow>(IWindowHandle(native));
        RECT client{};
        GetClientRect(native, &client);
        // Two fields that take text from each other by dragging, above the list.
        const long width = client.right - 4;
        // The selection stays in sight while the field is not focused.
        fFrom = std::make_unique<IEntryField>(
            kFromId, fWindow.get(), fWindow.get(), IRectangle(IPoint(2, 2), ISize(width, kFieldHeight)),
            IEntryField::defaultStyle() | IEntryField::Style(ES_NOHIDESEL));
        fTo = std::make_unique<IEntryField>(
            kToId, fWindow.get(), fWindow.get(),
            IRectangle(IPoint(2, 4 + kFieldHeight), ISize(width, kFieldHeight)));
        fFrom->setText("drag this word down");
        fTo->setText("(drop text here)");
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(fFrom.get());
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(fTo.get());
        const int listTop = 6 + 2 * kFieldHeight;
        const HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                          2, listTop, client.right - 4, client.bottom - listTop - 2,
                                          native, reinterpret_cast<HMENU>(kListId), nullptr, nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     0);
        SendMessageA(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>("Drag events of this window:"));
        for (IEntryField* field : {fFrom.get(), fTo.get()})
            SendMessageA(field->handle(), WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        fLog = std::make_unique<DropLog>(list, static_cast<HWND>(mainFrame.handle()), *fFrom, *fTo);
        fLog->handleEventsFor(fWindow.get());
        // The registration counts its own OLE use, given back when the window is destroyed.
        IDMSupport::initializeOle();
        fRegistration.handleEventsFor(fWindow.get());
        if (autoplay)
            SetTimer(native, kDragTimer, kDragAt, nullptr);
    }
    ~DragDemo() {
        if (fWindow && fWindow->isValid())
            fLog->stopHandlingEventsFor(fWindow.get());
        fFrom.reset();
        fTo.reset();
        fWindow.reset();
        fLog.reset();
        IDMSupport::uninitializeOle();
    }

private:
    std::unique_ptr<IWindow> fWindow;
    std::unique_ptr<IEntryField> fFrom;
    std::unique_ptr<IEntryField> fTo;
    std::unique_ptr<DropLog> fLog;
    IDMDropTargetHandler fRegistration;
};

bool isHandAtWork()
{
    return gHandAtWork;
}

void setHandAtWork(bool atWork)
{
    gHandAtWork = atWork;
}

std::unique_ptr<DragDemo, DragDemoDeleter> makeDragDemo(IWindow& mainFrame, bool autoplay)
{
    return std::unique_ptr<DragDemo, DragDemoDeleter>(new DragDemo(mainFrame, autoplay));
}

void DragDemoDeleter::operator()(DragDemo* demo) const
{
    delete demo;
}
