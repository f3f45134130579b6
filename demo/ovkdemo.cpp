// The ovkwin demo: a window object whose handlers paint it and answer the keyboard and the
// mouse, and which shows the road of each message: which handlers were offered it, in which
// order, and which one took it. With "--autoclose MS" it plays a few keys and clicks to itself
// and closes after MS ms, so that a script can take a screenshot and go on; on the way it opens
// the About box from its menu bar's Help menu and answers it. Behind the text it
// shows ovkdemo.bmp, found next to the executable, read through the format table and drawn by the
// bitmap graphic, scaled to the window.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <ovkwin.hpp>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT_PTR kPlayTimer = 2;
constexpr UINT_PTR kAboutTimer = 3;
constexpr UINT_PTR kAboutAnswerTimer = 4;
// When the autoplay opens the About box and answers it (ms after the start): the screenshots of
// tools/run-demo are taken before and while it is open.
constexpr UINT kAboutAt = 3600;
constexpr UINT kAboutAnswerAt = 2400;

// The menu bar's items.
enum MenuId : unsigned long {
    kFileMenu = 1100, kExit = 1101,
    kViewMenu = 1200, kStatusBar = 1201, kGrid = 1202,
    kHelpMenu = 1300, kHelpIndex = 1301, kAbout = 1302,
};
constexpr unsigned long kAboutHelpId = 4711;
// The private click event that the library derives from a press and a release.
constexpr unsigned long kLeftClick = 0xFFD8;

std::string messageName(unsigned long id)
{
    switch (id) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK (derived)";
    case kLeftClick: return "click (derived)";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04lX", id);
        return text;
    }
    }
}

// The window paints the picture under its controls, and they draw themselves over it again:
// the group and outline boxes leave their insides to the window.
void redraw(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// What the window shows: the road of the last messages and the marks of the clicks.
struct Road {
    struct Mark {
        int x, y;
        bool dbl;
    };
    std::deque<std::string> lines;
    std::string current;
    std::vector<Mark> marks;
    std::string typed;

    void offered(const char* handler) {
        current += current.empty() ? "" : " -> ";
        current += handler;
    }
    void finish(const IEvent& event, const char* outcome) {
        lines.push_back(messageName(event.eventId()) + ":  " + current + "  [" + outcome + "]");
        if (lines.size() > 13)
            lines.pop_front();
        current.clear();
    }
};

// Attached last, so offered every message first: it notes where the road begins and lets the
// message go on.
class RoadHandler : public IHandler {
public:
    explicit RoadHandler(Road& road) : fRoad(road) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        switch (event.eventId()) {
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case kLeftClick:
            fRoad.current.clear();
            fRoad.offered("road");
            break;
        default:
            break;
        }
        return false;
    }

private:
    Road& fRoad;
};

class KeyHandler : public IHandler {
public:
    explicit KeyHandler(Road& road) : fRoad(road) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() == WM_KEYDOWN) {
            fRoad.offered("keys");
            if (event.parameter1().asUnsignedLong() == VK_ESCAPE) {
                fRoad.finish(event, "keys: close");
                DestroyWindow(event.handle());
                return true;
            }
            // Other keys go on to the previous procedure; their characters come as WM_CHAR.
            fRoad.finish(event, "unhandled: previous procedure");
            return false;
        }
        if (event.eventId() == WM_CHAR) {
            fRoad.offered("keys");
            fRoad.typed += static_cast<char>(event.parameter1().lowNumber());
            fRoad.finish(event, "handled by keys");
            redraw(event.handle());
            return true;
        }
        return false;
    }

private:
    Road& fRoad;
};

class MouseHandler : public IHandler {
public:
    explicit MouseHandler(Road& road) : fRoad(road) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        const unsigned long id = event.eventId();
        if (id != WM_LBUTTONDOWN && id != WM_LBUTTONUP && id != WM_LBUTTONDBLCLK && id != kLeftClick)
            return false;
        fRoad.offered("mouse");
        const int x = GET_X_LPARAM(event.parameter2().asLong());
        const int y = GET_Y_LPARAM(event.parameter2().asLong());
        // The controls pass the clicks they leave to their owner, this window: those are the
        // controls' to show.
        const POINT point{x, y};
        if (ChildWindowFromPoint(event.handle(), point) != event.handle())
            return false;
        if (id == kLeftClick || id == WM_LBUTTONDBLCLK) {
            fRoad.marks.push_back({x, y, id == WM_LBUTTONDBLCLK});
            fRoad.finish(event, "handled by mouse");
            redraw(event.handle());
            return true;
        }
        // Presses and releases go on, so the library can see them and derive the click.
        fRoad.finish(event, "unhandled: previous procedure");
        redraw(event.handle());
        return false;
    }

private:
    Road& fRoad;
};

// The picture behind the text: read once, or the reason it could not be.
struct Picture {
    std::unique_ptr<IGBitmap> bitmap;
    std::string failure;
};

class PaintHandler : public IHandler {
public:
    PaintHandler(Road& road, const Picture& picture) : fRoad(road), fPicture(picture) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_PAINT)
            return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(event.handle(), &paint);
        RECT client;
        GetClientRect(event.handle(), &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        drawPicture(dc, client);
        SetBkMode(dc, TRANSPARENT);

        RECT band = client;
        band.bottom = 34;
        HBRUSH bandBrush = CreateSolidBrush(RGB(40, 70, 120));
        FillRect(dc, &band, bandBrush);
        DeleteObject(bandBrush);
        SetTextColor(dc, RGB(255, 255, 255));
        text(dc, 12, 9, "ovkwin demo: the road of one message (handlers attached last are offered first)");

        SetTextColor(dc, RGB(0, 0, 0));
        text(dc, 12, 46, "Handlers: road, keys, mouse, paint. Type, click or double-click; Esc closes.");
        text(dc, 12, 70, ("Typed: " + fRoad.typed).c_str());
        if (!fPicture.failure.empty())
            text(dc, 12, client.bottom - 24, fPicture.failure.c_str());
        int y = 100;
        for (const std::string& line : fRoad.lines) {
            text(dc, 12, y, line.c_str());
            y += 20;
        }
        for (const Road::Mark& mark : fRoad.marks) {
            HBRUSH brush = CreateSolidBrush(mark.dbl ? RGB(200, 60, 60) : RGB(60, 140, 60));
            HGDIOBJ old = SelectObject(dc, brush);
            const int r = mark.dbl ? 9 : 6;
            Ellipse(dc, mark.x - r, mark.y - r, mark.x + r, mark.y + r);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        EndPaint(event.handle(), &paint);
        return true;
    }

private:
    static void text(HDC dc, int x, int y, const char* line) {
        TextOutA(dc, x, y, line, static_cast<int>(std::strlen(line)));
    }
    // The whole picture stretched over the client area below the title band. The context is
    // closed before the text is drawn, so the device context has its own pen and brush again.
    void drawPicture(HDC dc, const RECT& client) {
        if (!fPicture.bitmap)
            return;
        IGraphicContext context{IPresSpaceHandle(dc)};
        const ISize size = fPicture.bitmap->size();
        fPicture.bitmap->drawWithPoints(context, IPoint(0, 34),
                                        IPoint(client.right, client.bottom), IPoint(0, 0),
                                        IPoint(size.width(), size.height()));
    }
    Road& fRoad;
    const Picture& fPicture;
};

// Reads ovkdemo.bmp from the executable's folder through the format table.
Picture readPicture() {
    Picture picture;
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length);
    file = file.substr(0, file.find_last_of("\\/") + 1) + "ovkdemo.bmp";
    try {
        picture.bitmap = std::make_unique<IGBitmap>(IString(file.c_str()));
    } catch (const IException& failure) {
        picture.failure = "ovkdemo.bmp: " + std::string(failure.what());
    }
    return picture;
}

// The menu bar, built through the menu operations before the window shows it: File; View with
// a checked item; Help with an item that is not available.
HMENU buildMenuBar()
{
    IMenu bar{IMenuHandle(CreateMenu())};
    bar.addText(kFileMenu, "&File").addSubmenu(kFileMenu);
    bar.addText(kExit, "E&xit", kFileMenu);
    bar.addText(kViewMenu, "&View").addSubmenu(kViewMenu);
    bar.addText(kStatusBar, "&Status bar", kViewMenu).addText(kGrid, "&Grid", kViewMenu);
    bar.checkItem(kStatusBar);
    bar.addText(kHelpMenu, "&Help").addSubmenu(kHelpMenu);
    bar.addText(kHelpIndex, "Help &index", kHelpMenu).addSeparator(kHelpMenu);
    bar.addText(kAbout, "&About", kHelpMenu);
    bar.disableItem(kHelpIndex);
    return bar.menuHandle();
}

// The About box, modal to the window; its Help button asks the window for help id 4711.
void showAbout(IWindow& window)
{
    IMessageBox box(&window);
    box.setTitle("About ovkwin demo");
    box.show("ovkwin demo\n\nA window object with handlers, a menu bar wrapped by IMenu and "
             "this box, shown by IMessageBox.",
             IMessageBox::_enterCancelButton | IMessageBox::_informationIcon, kAboutHelpId);
}

BOOL CALLBACK findSystemDialog(HWND candidate, LPARAM result)
{
    char name[16] = {};
    GetClassNameA(candidate, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(result) = candidate;
    return FALSE;
}

// The About box of this thread, when it is open.
HWND findAboutBox()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findSystemDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

class OptionsPanel;
void playOptions(OptionsPanel& options);

// Closes the window when the auto-close time is up, and plays a few keys and clicks to the
// window so that an unattended run shows some roads.
class TimerHandler : public IHandler {
public:
    TimerHandler(IWindow& window, OptionsPanel* options = nullptr)
        : fWindow(window), fOptions(options) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        // A menu command comes without a control window.
        if (event.eventId() == WM_COMMAND && event.parameter2().asLong() == 0) {
            const unsigned long id = event.parameter1().lowNumber();
            if (id == kAbout)
                showAbout(fWindow);
            else if (id == kExit)
                DestroyWindow(event.handle());
            return id == kAbout || id == kExit;
        }
        if (event.eventId() != WM_TIMER)
            return false;
        const HWND window = event.handle();
        // The box runs its own loop, which still delivers this window's timers.
        if (event.parameter1().asUnsignedLong() == kAboutTimer) {
            KillTimer(window, kAboutTimer);
            SetTimer(window, kAboutAnswerTimer, kAboutAnswerAt, nullptr);
            showAbout(fWindow);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kAboutAnswerTimer) {
            KillTimer(window, kAboutAnswerTimer);
            if (HWND box = findAboutBox())
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kCloseTimer) {
            DestroyWindow(window);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kPlayTimer) {
            KillTimer(window, kPlayTimer);
            PostMessageA(window, WM_KEYDOWN, VK_F2, 0);
            for (char c : std::string("ovkwin"))
                PostMessageA(window, WM_CHAR, static_cast<WPARAM>(c), 0);
            const LPARAM at = MAKELPARAM(120, 330);
            PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(window, WM_LBUTTONUP, 0, at);
            const LPARAM twice = MAKELPARAM(220, 330);
            for (int i = 0; i < 2; ++i) {
                PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, twice);
                PostMessageA(window, WM_LBUTTONUP, 0, twice);
            }
            if (fOptions)
                playOptions(*fOptions);
            return true;
        }
        return false;
    }

private:
    IWindow& fWindow;
    OptionsPanel* fOptions;
};


// The "Options" group box and its controls. Their notifications join the road panel, so that
// a click on a radio button shows both the click told at once and the selection told after
// the button has it.
class OptionsPanel : public IObserver {
public:
    OptionsPanel(IWindow& window, Road& road)
        : fRoad(road),
          fGroup(100, &window, &window, IRectangle(IPoint(500, 44), ISize(230, 330))),
          fFirst(101, &window, &window, row(0), IRadioButton::classDefault | IControl::_group | IControl::_tabStop),
          fSecond(102, &window, &window, row(1)),
          fThird(103, &window, &window, row(2)),
          fCheck(104, &window, &window, row(3)),
          fTriple(105, &window, &window, row(4)),
          fOutline(106, &window, &window, IRectangle(IPoint(512, 244), ISize(206, 70))),
          fOk(107, &window, &window, IRectangle(IPoint(520, 330), ISize(90, 28)),
              IPushButton::classDefault | IPushButton::_defaultButton | IControl::_group),
          fCancel(108, &window, &window, IRectangle(IPoint(624, 330), ISize(90, 28)))
    {
        fGroup.setText("Options");
        fFirst.setText("First choice");
        fSecond.setText("Second choice");
        fThird.setText("Third choice");
        fCheck.setText("Check box");
        fTriple.setText("Three states");
        fOk.setText("OK");
        fCancel.setText("Cancel");
        fFirst.select();
        fTriple.setIndeterminate();
        for (IWindow* control : std::initializer_list<IWindow*>{&fFirst, &fSecond, &fThird, &fCheck,
                                                                 &fTriple, &fOk, &fCancel}) {
            handleNotificationsFor(*control);
            control->enableNotification();
        }
    }

    // What the autoplay clicks.
    void play()
    {
        fSecond.click();
        fCheck.click();
    }

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override
    {
        const std::string id = event.notificationId();
        if (id.rfind("IWindow::", 0) == 0)
            return *this;
        auto& control = static_cast<IWindow&>(event.notifier());
        const auto* button = dynamic_cast<const ITextControl*>(&control);
        std::string line = "notify " + id;
        if (id == ISettingButton::selectId)
            line += "=" + std::to_string(event.eventData().asUnsignedLong());
        if (button)
            line += "  (" + std::string(static_cast<const char*>(button->text())) + ")";
        fRoad.lines.push_back(line);
        if (fRoad.lines.size() > 13)
            fRoad.lines.pop_front();
        redraw(GetParent(control.handle()));
        return *this;
    }

private:
    static IRectangle row(int index) { return IRectangle(IPoint(516, 68 + 28 * index), ISize(190, 24)); }

    Road& fRoad;
    IGroupBox fGroup;
    IRadioButton fFirst, fSecond, fThird;
    ICheckBox fCheck;
    I3StateCheckBox fTriple;
    IOutlineBox fOutline;
    IPushButton fOk, fCancel;
};

void playOptions(OptionsPanel& options)
{
    options.play();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "ovkdemo";
    RegisterClassA(&windowClass);
    HWND native = CreateWindowExA(0, "ovkdemo", "ovkwin demo", WS_OVERLAPPEDWINDOW, 20, 20, 760,
                                  440, nullptr, nullptr, instance, nullptr);
    if (!native)
        return 1;

    try {
        SetMenu(native, buildMenuBar());
        // The window object takes the native window over; the handlers give it its behaviour.
        IWindow window(native);
        window.setDestroyOnDelete();
        Road road;
        const Picture picture = readPicture();
        PaintHandler painter(road, picture);
        MouseHandler mouse(road);
        KeyHandler keys(road);
        OptionsPanel options(window, road);
        TimerHandler timers(window, &options);
        RoadHandler first(road);
        painter.handleEventsFor(&window);
        mouse.handleEventsFor(&window);
        keys.handleEventsFor(&window);
        timers.handleEventsFor(&window);
        first.handleEventsFor(&window);

        ShowWindow(native, show);
        UpdateWindow(native);
        if (const char* option = std::strstr(commandLine, "--autoclose ")) {
            SetTimer(native, kPlayTimer, 300, nullptr);
            SetTimer(native, kAboutTimer, kAboutAt, nullptr);
            SetTimer(native, kCloseTimer, static_cast<UINT>(std::atoi(option + 12)), nullptr);
        }
        // The loop ends when the last top-level window of the thread is destroyed.
        IApplication::current().run();
    } catch (const IException& failure) {
        std::fprintf(stderr, "ovkdemo: %s\n", failure.what());
        return 1;
    }
    return 0;
}
