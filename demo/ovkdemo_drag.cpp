// The demo's drop target: a small window beside the main frame that lists the drag events it
// receives. With the autoplay, the cursor is put over it and a text item is dragged there from
// the main frame through OLE; the list then shows the enter, the drop and the text that the
// drag information carried. Above the list stand two entry fields that drag text to each
// other: with the autoplay, a press on the word selected in the upper one drags it, through
// OLE, onto the lower one, which takes it, and the upper one loses it (a move). The screenshot
// "dragtext" shows the selected word before the drag, "drag" both fields after it.
#include <windows.h>

#include <memory>
#include <string>

#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kDragTimer = 41;
constexpr UINT kDragAt = 2200;
constexpr int kListId = 10;
constexpr int kFromId = 11;
constexpr int kToId = 12;
constexpr int kFieldHeight = 22;

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
            if (event.parameter1().asUnsignedLong() != kDragTimer)
                return false;
            KillTimer(event.handle(), kDragTimer);
            dragText(event.handle());
            dragBetweenFields();
            requestScreenshot("drag");
            return true;
        default:
            return false;
        }
    }

private:
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

    // The user's road: the cursor waits over the lower field and the left button goes down on
    // the word selected in the upper one. The field starts the drag and OLE drops at once, as
    // no button is really held.
    void dragBetweenFields() {
        const std::string text = static_cast<const char*>(fFrom.text());
        const std::size_t word = text.find("word ");
        if (word == std::string::npos)
            return;
        fFrom.selectRange(IRange(static_cast<IRange::Bound>(word),
                                 static_cast<IRange::Bound>(word + 4)));
        RECT over{};
        GetWindowRect(fTo.handle(), &over);
        SetCursorPos((over.left + over.right) / 2, (over.top + over.bottom) / 2);
        requestScreenshot("dragtext");
        const LRESULT at = SendMessageA(fFrom.handle(), EM_POSFROMCHAR, word + 1, 0);
        const LPARAM press = MAKELPARAM(LOWORD(at), HIWORD(at) + kFieldHeight / 4);
        SendMessageA(fFrom.handle(), WM_LBUTTONDOWN, MK_LBUTTON, press);
        SendMessageA(fFrom.handle(), WM_LBUTTONUP, 0, press);
        add("fields: moved by a drag");
        add("  upper: \"" + std::string(fFrom.text()) + "\"");
        add("  lower: \"" + std::string(fTo.text()) + "\"");
    }

    HWND fList;
    HWND fSource;
    IEntryField& fFrom;
    IEntryField& fTo;
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

std::unique_ptr<DragDemo, DragDemoDeleter> makeDragDemo(IWindow& mainFrame, bool autoplay)
{
    return std::unique_ptr<DragDemo, DragDemoDeleter>(new DragDemo(mainFrame, autoplay));
}

void DragDemoDeleter::operator()(DragDemo* demo) const
{
    delete demo;
}
