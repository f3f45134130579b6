// The ovkwin demo: a form laid out by canvases. A multi-cell canvas holds right-aligned labels
// with mnemonics in its first column and the controls in an expandable second one; beside it a
// bitmap control shows ovkdemo.bmp (found next to the executable and read through the format
// table) and a graphic canvas paints a few shapes; a set canvas holds the row of push buttons at
// the bottom. Tab, the arrows, Enter and Alt with a mnemonic move through the controls as in a
// dialog; keys that no control or canvas takes climb the owner chain to the window.
//
// With "--autoclose MS" it types a name, presses Tab twice and Alt+A, and closes after MS ms, so
// that a script can take a screenshot and go on.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ovkcnr.hpp>
#include <ovkwin.hpp>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT_PTR kPlayTimer = 2;
constexpr unsigned long kApply = 41, kReset = 42, kClose = 43;

std::string windowText(const IWindow& window)
{
    char text[128] = {};
    GetWindowTextA(window.handle(), text, sizeof text);
    return text;
}

// What the status text says: the last button's effect and a hint.
struct Status {
    std::string note = "Ready.";
    std::function<void()> changed;
};

// Esc, when the control with the focus and the canvases above it leave it unhandled, climbs
// the owner chain to the window, which closes.
class KeyHandler : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() == WM_KEYDOWN && event.parameter1().asUnsignedLong() == VK_ESCAPE) {
            DestroyWindow(event.handle());
            return true;
        }
        return false;
    }
};

// The page fills the window's client area.
class PageSizer : public IHandler {
public:
    explicit PageSizer(IWindow& page) : fPage(page) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() == WM_SIZE)
            fPage.sizeTo(ISize(LOWORD(event.parameter2().asLong()), HIWORD(event.parameter2().asLong())));
        return false;
    }

private:
    IWindow& fPage;
};

// The library's view of a native edit control, until the library has entry fields.
std::unique_ptr<IWindow> makeField(IWindow& parent, unsigned long id)
{
    auto field = std::make_unique<IWindow>();
    field->startHandlingEventsFor(field->create(
        id, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, "Edit",
        parent.handle(), parent.handle(), IRectangle(), nullptr, nullptr));
    field->setMinimumSize(ISize(150, 22));
    return field;
}

std::unique_ptr<IStaticText> makeLabel(IWindow& parent, unsigned long id, const char* text)
{
    auto label = std::make_unique<IStaticText>(
        id, &parent, &parent, IRectangle(),
        IStaticText::defaultStyle() | IStaticText::_mnemonic);
    label->setAlignment(IStaticText::centerRight);
    label->setText(text);
    return label;
}

// The shapes of the graphic canvas, each with its own colours.
struct Shapes {
    IGRectangle box{IRectangle(8, 8, 78, 58)};
    IGEllipse disc{IRectangle(56, 24, 136, 84)};
    IGLine line{IPoint(8, 92), IPoint(150, 70)};
    IGList list;

    Shapes() {
        paint(box, IColor(40, 70, 120));
        paint(disc, IColor(200, 120, 40));
        paint(line, IColor(30, 140, 60));
        list.addAsLast(box).addAsLast(disc).addAsLast(line);
    }
    static void paint(IGraphic& graphic, const IColor& color) {
        IGraphicBundle bundle;
        bundle.setFillColor(color).setPenColor(color).setDrawOperation(IGraphicBundle::fillAndFrame);
        graphic.setGraphicBundle(bundle);
    }
};

// Plays the keys of an unattended run to the focused control, one step per timer tick, and
// closes the window when the time is up.
class TimerHandler : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_TIMER)
            return false;
        const HWND window = event.handle();
        if (event.parameter1().asUnsignedLong() == kCloseTimer) {
            DestroyWindow(window);
            return true;
        }
        if (event.parameter1().asUnsignedLong() != kPlayTimer)
            return false;
        const HWND focus = GetFocus();
        switch (fStep++) {
        case 0:
            for (char c : std::string("ovkwin"))
                PostMessageA(focus, WM_CHAR, static_cast<WPARAM>(c), 1);
            break;
        case 1:
        case 2:
            PostMessageA(focus, WM_CHAR, VK_TAB, 1);
            break;
        case 3:
            // Alt+A: the mnemonic of the Apply button.
            PostMessageA(focus, WM_SYSKEYDOWN, 'A', 0x20000001);
            break;
        default:
            KillTimer(window, kPlayTimer);
            break;
        }
        return true;
    }

private:
    int fStep = 0;
};

// The buttons' clicks, which their row hears as control notifications.
class ButtonHandler : public IHandler {
public:
    ButtonHandler(IWindow& top, IWindow& name, IWindow& city, Status& status)
        : fTop(top), fName(name), fCity(city), fStatus(status) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != IPrivateMessage::controlNotification ||
            event.parameter1().highNumber() != BN_CLICKED)
            return false;
        switch (event.parameter1().lowNumber()) {
        case kApply:
            fStatus.note = std::string("Applied: name \"") + windowText(fName) + "\", city \"" +
                           windowText(fCity) + "\".";
            fStatus.changed();
            return true;
        case kReset:
            SetWindowTextA(fName.handle(), "");
            SetWindowTextA(fCity.handle(), "");
            fStatus.note = "Reset.";
            fStatus.changed();
            return true;
        case kClose:
            DestroyWindow(fTop.handle());
            return true;
        default:
            return false;
        }
    }

private:
    IWindow& fTop;
    IWindow& fName;
    IWindow& fCity;
    Status& fStatus;
};

std::string picturePath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1) + "ovkdemo.bmp";
}

int runDemo(HWND native, int show, const char* commandLine)
{
    IWindow window(native);
    window.setDestroyOnDelete();
    RECT client{};
    GetClientRect(native, &client);

    // The page: margins and gaps are columns and rows of fixed size; the form's column and the
    // status row take the room the window has beyond the minimum.
    Status state;
    IMultiCellCanvas page(1, &window, &window, IRectangle(0, 0, client.right, client.bottom));
    const unsigned long gap = 10;
    for (unsigned long c : {1UL, 3UL, 5UL, 7UL})
        page.setColumnWidth(c, gap);
    for (unsigned long r : {1UL, 3UL, 5UL, 7UL})
        page.setRowHeight(r, gap);
    page.setColumnWidth(2, 0, true);
    page.setRowHeight(4, 0, true);

    IMultiCellCanvas form(10, &page, &page);
    auto nameLabel = makeLabel(form, 11, "&Name:");
    auto name = makeField(form, 12);
    auto cityLabel = makeLabel(form, 13, "C&ity:");
    auto city = makeField(form, 14);
    auto optionsLabel = makeLabel(form, 15, "&Options:");
    ICheckBox option(16, &form, &form, IRectangle(), IWindow::visible | IControl::_tabStop);
    option.setText("Show &grid lines");
    form.addToCell(nameLabel.get(), 1, 1).addToCell(name.get(), 3, 1);
    form.addToCell(cityLabel.get(), 1, 3).addToCell(city.get(), 3, 3);
    form.addToCell(optionsLabel.get(), 1, 5).addToCell(&option, 3, 5);
    form.setColumnWidth(2, 8);
    form.setColumnWidth(3, 0, true);
    form.setRowHeight(2, 6);
    form.setRowHeight(4, 6);

    std::unique_ptr<IGBitmap> picture;
    try {
        picture = std::make_unique<IGBitmap>(IString(picturePath().c_str()));
    } catch (const IException& failure) {
        std::fprintf(stderr, "ovkdemo.bmp: %s\n", failure.what());
    }
    IBitmapControl bitmap(20, &page, &page, picture ? picture->handle() : IBitmapHandle());
    bitmap.setMinimumSize(ISize(160, 100));

    Shapes shapes;
    IGraphicCanvas drawing(30, &page, &page);
    drawing.setBackgroundColor(IColor(IColor::white));
    drawing.setGraphicList(&shapes.list);

    IStaticText status(50, &page, &page, IRectangle(),
                       IStaticText::defaultStyle() | IStaticText::_border3D);
    status.setAlignment(IStaticText::topLeftWrapped);
    // A wrapped text asks for the room of its longest line unwrapped; the page decides instead.
    status.setMinimumSize(ISize(200, 60));
    status.setFillColor(IColor(255, 255, 230));

    ISetCanvas buttons(40, &page, &page);
    buttons.setMargin(ISize(0, 0));
    buttons.setPad(ISize(8, 0));
    IPushButton apply(kApply, &buttons, &buttons, IRectangle(),
                      IWindow::visible | IControl::_tabStop | IControl::_group |
                          IPushButton::_defaultButton);
    apply.setText("&Apply");
    IPushButton reset(kReset, &buttons, &buttons, IRectangle(), IWindow::visible | IControl::_tabStop);
    reset.setText("&Reset");
    IPushButton close(kClose, &buttons, &buttons, IRectangle(), IWindow::visible | IControl::_tabStop);
    close.setText("&Close");

    // A native container with its title and separator, in a column of its own at the right.
    // The message-driven container class, which every thread's record allocation window uses,
    // comes from ovkcnr.
    OvkCnrRegisterClass();
    ICnrCtl container(60, &page, &page, IRectangle(), ICnrCtl::defaultStyle(),
                      ICnrCtl::iconView | ICnrCtl::containerTitle | ICnrCtl::titleSeparator);
    ICnrInfo title;
    char titleText[] = "Container";
    title.pszCnrTitle = titleText;
    container.setContainerInfo(&title, CMA_CNRTITLE);
    container.setMinimumSize(ISize(150, 120));

    page.addToCell(&form, 2, 2).addToCell(&bitmap, 4, 2).addToCell(&container, 6, 2, 1, 3);
    page.addToCell(&status, 2, 4).addToCell(&drawing, 4, 4);
    page.addToCell(&buttons, 2, 6, 3, 1);

    state.changed = [&] {
        status.setText((state.note + "\n\nTab, the arrows, Enter and Alt with a mnemonic move "
                                     "through the form; Esc closes.").c_str());
    };
    state.changed();
    KeyHandler keys;
    TimerHandler timers;
    PageSizer sizer(page);
    ButtonHandler clicks(window, *name, *city, state);
    keys.handleEventsFor(&window);
    timers.handleEventsFor(&window);
    sizer.handleEventsFor(&window);
    clicks.handleEventsFor(&buttons);

    ShowWindow(native, show);
    SetFocus(name->handle());
    if (const char* option = std::strstr(commandLine, "--autoclose ")) {
        SetTimer(native, kPlayTimer, 400, nullptr);
        SetTimer(native, kCloseTimer, static_cast<UINT>(std::atoi(option + 12)), nullptr);
    }
    // The loop ends when the last top-level window of the thread is destroyed.
    IApplication::current().run();
    clicks.stopHandlingEventsFor(&buttons);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "ovkdemo";
    RegisterClassA(&windowClass);
    HWND native = CreateWindowExA(0, "ovkdemo", "ovkwin demo", WS_OVERLAPPEDWINDOW, 10, 40, 780,
                                  420, nullptr, nullptr, instance, nullptr);
    if (!native)
        return 1;
    try {
        return runDemo(native, show, commandLine);
    } catch (const IException& failure) {
        std::fprintf(stderr, "ovkdemo: %s\n", failure.what());
        return 1;
    }
}
