// The ovkwin demo: a native notebook fills the window's client, with the pages "Controls",
// "Data", "Document" and "Values".
//
// "Controls" is a form laid out by canvases. A multi-cell canvas holds right-aligned labels
// with mnemonics in its first column and the fields in an expandable second one; beside it a
// bitmap control shows ovkdemo.bmp (found next to the executable and read through the format
// table) and a graphic canvas paints a few shapes; a titled set canvas holds the "Options"
// radio buttons, check boxes and an outline box, another the row of push buttons at the
// bottom. "Data" is a native container with its title; "Document" a page of text; "Values" a
// text spin button over the month names whose arrows also serve the day's numeric spin button,
// and a zero-padded numeric spin button from 1 to 100. Tab, the arrows, Enter and Alt with a
// mnemonic move through the controls as in a dialog; keys that no control or canvas takes climb
// the owner chain to the window. The status text lists the notifications of the option
// controls.
//
// The window is a frame: a tool bar above the page holds the owner-drawn buttons (tool bar
// buttons latching as a group, a latchable custom button, an animated button and a graphic push
// button), a second tool bar floats beside the window in a frame of its own, and both can be
// dragged by their edges to another side. Fly-over help shows each button's short text in a
// tool tip and its long text in the information area along the bottom.
//
// The menu bar has File, Edit, View and Help menus. Edit > Copy puts the name and the city on
// the clipboard, as text and under a format registered by name, and the status text shows the
// clipboard's first format and the text read back. Help > About opens the About frame, loaded
// from a dialog template and shown modally, its title composed of object text, view text and
// view number. A right click shows a pop-up menu from a resource, through a menu handler.
//
// With "--autoclose MS" it types a name, clicks two options, presses Tab twice and Alt+A, copies,
// turns to "Values" and spins, shows the first tool bar button's long fly-over text, opens the About frame and presses its OK
// button, shows the right-click menu, and closes after MS ms, so that a script can take
// screenshots and go on.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ovkcnr.hpp>
#include <iframext.hpp>
#include <iprivmsg.hpp>
#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT_PTR kPlayTimer = 2;
constexpr UINT_PTR kAboutTimer = 3;
constexpr UINT_PTR kAboutAnswerTimer = 4;
// When the autoplay opens the About frame and presses its OK button (ms after the start): the
// screenshots of tools/run-demo are taken before and while it is open.
constexpr UINT kAboutAt = 3600;
constexpr UINT kAboutAnswerAt = 2400;
// Then it shows the right-click menu for a moment.
constexpr UINT_PTR kMenuTimer = 5;
constexpr UINT_PTR kMenuEndTimer = 6;
constexpr UINT kMenuAt = 6400;
// The long fly-over text of a tool bar button shows in the information area before the first
// screenshot.
constexpr UINT_PTR kFlyOverTimer = 7;
constexpr UINT kFlyOverAt = 2400;
constexpr UINT kMenuFor = 600;
constexpr unsigned long kOk = 41, kApply = 42, kReset = 43, kCancel = 44;

// The menu bar's items.
enum MenuId : unsigned long {
    kFileMenu = 1100, kExit = 1101,
    kViewMenu = 1200, kStatusBar = 1201, kGrid = 1202,
    kHelpMenu = 1300, kHelpIndex = 1301, kAbout = 1302,
    kEditMenu = 1400, kCopy = 1401,
};
// The demo's own clipboard format, registered by this name.
constexpr char kDemoFormat[] = "ovkdemo texts";

std::string windowText(const IWindow& window)
{
    char text[128] = {};
    GetWindowTextA(window.handle(), text, sizeof text);
    return text;
}

// What the status text says: the last button's effect and the latest notifications.
struct Status {
    std::string note = "Tab, the arrows, Enter and Alt with a mnemonic move through the form.";
    std::deque<std::string> lines;
    std::function<void()> changed;

    void add(const std::string& line) {
        lines.push_back(line);
        if (lines.size() > 4)
            lines.pop_front();
        if (changed)
            changed();
    }
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
// Places the frame's extensions at their edges and the page in what is left, whenever the frame
// is sized or its layout is due; the frame handler takes this over once the library has it.
class FrameLayout : public IHandler {
public:
    explicit FrameLayout(IFrameWindow& frame) : fFrame(frame) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_SIZE && event.eventId() != IPrivateMessage::frameLayout)
            return false;
        RECT client{};
        GetClientRect(fFrame.handle(), &client);
        IRectangle reference(0, 0, client.right, client.bottom);
        for (unsigned long i = 0; i < fFrame.extensionCount(); ++i) {
            IFrameExtension* extension = fFrame.extensionAt(i);
            const IRectangle placed = extension->place(reference);
            extension->window()->moveSizeTo(placed);
        }
        if (IWindow* page = fFrame.client())
            page->moveSizeTo(reference);
        return event.eventId() == IPrivateMessage::frameLayout;
    }

private:
    IFrameWindow& fFrame;
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

// The "Options" group: a titled set canvas stacking radio buttons, check boxes and an outline
// box. Their notifications join the status text, so that a click on a radio button shows both
// the click told at once and the selection told after the button has it.
class OptionsPanel : public IObserver {
public:
    OptionsPanel(IWindow& page, Status& status)
        : fStatus(status),
          fCanvas(60, &page, &page, IRectangle(),
                  ISetCanvas::Style(WS_VISIBLE, 0) | ISetCanvas::verticalDecks |
                      ISetCanvas::packTight | ISetCanvas::leftAlign | ISetCanvas::topAlign),
          fFirst(61, &fCanvas, &fCanvas, IRectangle(),
                 IRadioButton::classDefault | IControl::_group | IControl::_tabStop),
          fSecond(62, &fCanvas, &fCanvas),
          fThird(63, &fCanvas, &fCanvas),
          fCheck(64, &fCanvas, &fCanvas, IRectangle(),
                 ICheckBox::classDefault | IControl::_group | IControl::_tabStop),
          fTriple(65, &fCanvas, &fCanvas, IRectangle(),
                  I3StateCheckBox::classDefault | IControl::_tabStop),
          fOutline(66, &fCanvas, &fCanvas)
    {
        fCanvas.setText("Options");
        fCanvas.setPad(ISize(0, 2));
        fFirst.setText("&First choice");
        fSecond.setText("&Second choice");
        fThird.setText("&Third choice");
        fCheck.setText("Check &box");
        fTriple.setText("Three stat&es");
        fOutline.setMinimumSize(ISize(140, 12));
        fFirst.select();
        fTriple.setIndeterminate();
        for (IWindow* control : std::initializer_list<IWindow*>{&fFirst, &fSecond, &fThird,
                                                                 &fCheck, &fTriple}) {
            handleNotificationsFor(*control);
            control->enableNotification();
        }
    }

    IWindow& canvas() { return fCanvas; }
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
        const auto* button = dynamic_cast<const ITextControl*>(&event.notifier());
        std::string line = "notify " + id;
        if (id == ISettingButton::selectId)
            line += "=" + std::to_string(event.eventData().asUnsignedLong());
        if (button)
            line += "  (" + std::string(static_cast<const char*>(button->text())) + ")";
        fStatus.add(line);
        return *this;
    }

private:
    Status& fStatus;
    ISetCanvas fCanvas;
    IRadioButton fFirst, fSecond, fThird;
    ICheckBox fCheck;
    I3StateCheckBox fTriple;
    IOutlineBox fOutline;
};

// The menu bar, built through the menu operations before the window shows it: File; View with
// a checked item; Help with an item that is not available.
HMENU buildMenuBar()
{
    IMenu bar{IMenuHandle(CreateMenu())};
    bar.addText(kFileMenu, "&File").addSubmenu(kFileMenu);
    bar.addText(kExit, "E&xit", kFileMenu);
    bar.addText(kEditMenu, "&Edit").addSubmenu(kEditMenu);
    bar.addText(kCopy, "&Copy", kEditMenu);
    bar.addText(kViewMenu, "&View").addSubmenu(kViewMenu);
    bar.addText(kStatusBar, "&Status bar", kViewMenu).addText(kGrid, "&Grid", kViewMenu);
    bar.checkItem(kStatusBar);
    bar.addText(kHelpMenu, "&Help").addSubmenu(kHelpMenu);
    bar.addText(kHelpIndex, "Help &index", kHelpMenu).addSeparator(kHelpMenu);
    bar.addText(kAbout, "&About", kHelpMenu);
    bar.disableItem(kHelpIndex);
    return bar.menuHandle();
}

// The About frame's OK button (a native button without a window object) reaches the frame as
// a command; the frame then ends its modal loop with the button's identifier.
class AboutHandler : public IHandler {
public:
    explicit AboutHandler(IFrameWindow& frame) : fFrame(frame) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        const bool command = event.eventId() == WM_COMMAND &&
                             (event.parameter1().lowNumber() == IDOK ||
                              event.parameter1().lowNumber() == IDCANCEL);
        if (!command && event.eventId() != WM_CLOSE)
            return false;
        fFrame.dismiss(command ? event.parameter1().lowNumber() : IDCANCEL);
        return true;
    }

private:
    IFrameWindow& fFrame;
};

// The About frame that is open, for the autoplay to press its OK button.
IFrameWindow* gAbout = nullptr;

// The About frame: loaded from its dialog template, modal to the window, titled
// "ovkwin demo - About:1" by ITitle.
void showAbout(IWindow& window)
{
    if (gAbout)
        return;
    IFrameWindow about(IResourceId(kAboutFrame, IApplication::current().userResourceLibrary()),
                       &window, IFrameWindow::dialogResource);
    ITitle title(&about, "ovkwin demo", "About", 1);
    AboutHandler handler(about);
    handler.handleEventsFor(&about);
    gAbout = &about;
    about.showModally();
    gAbout = nullptr;
    handler.stopHandlingEventsFor(&about);
}

// A right click anywhere on the window shows the pop-up menu of the resource; its commands
// reach the window as menu commands.
class ContextMenuHandler : public IMenuHandler {
public:
    explicit ContextMenuHandler(IWindow& window) : fWindow(window) {}

protected:
    IBase::Boolean makePopUpMenu(IMenuEvent& event) override {
        IPopUpMenu menu(IResourceId(kContextMenu, IApplication::current().userResourceLibrary()),
                        &fWindow);
        IPoint where = event.mousePosition();
        if (event.parameter2().asLong() == -1)
            where = IPoint(40, 40);
        menu.show(where);
        return true;
    }

private:
    IWindow& fWindow;
};

// Answers the menu bar's commands. Plays the keys of an unattended run to the focused control,
// one step per timer tick, opens and answers the About frame, and closes the window when the
// time is up.
class TimerHandler : public IHandler {
public:
    TimerHandler(IWindow& window, OptionsPanel& options, std::function<void()> values)
        : fWindow(window), fOptions(options), fValues(std::move(values)) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        // A menu command comes without a control window.
        if (event.eventId() == WM_COMMAND && event.parameter2().asLong() == 0) {
            const unsigned long id = event.parameter1().lowNumber();
            if (id == kAbout || id == kContextAbout)
                showAbout(fWindow);
            else if (id == kExit)
                DestroyWindow(event.handle());
            return id == kAbout || id == kContextAbout || id == kExit;
        }
        if (event.eventId() != WM_TIMER)
            return false;
        const HWND window = event.handle();
        // The frame runs its own loop, which still delivers this window's timers.
        if (event.parameter1().asUnsignedLong() == kAboutTimer) {
            KillTimer(window, kAboutTimer);
            SetTimer(window, kAboutAnswerTimer, kAboutAnswerAt, nullptr);
            showAbout(fWindow);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kAboutAnswerTimer) {
            KillTimer(window, kAboutAnswerTimer);
            if (gAbout)
                SendMessageA(GetDlgItem(gAbout->handle(), IDOK), BM_CLICK, 0, 0);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kMenuTimer) {
            KillTimer(window, kMenuTimer);
            // The pop-up's own loop still delivers this window's timers.
            SetTimer(window, kMenuEndTimer, kMenuFor, nullptr);
            PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kMenuEndTimer) {
            KillTimer(window, kMenuEndTimer);
            EndMenu();
            return true;
        }
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
            fOptions.play();
            break;
        case 1:
        case 2:
            PostMessageA(focus, WM_CHAR, VK_TAB, 1);
            break;
        case 3:
            // Alt+A: the mnemonic of the Apply button.
            PostMessageA(focus, WM_SYSKEYDOWN, 'A', 0x20000001);
            break;
        case 4:
            PostMessageA(window, WM_COMMAND, kCopy, 0);
            break;
        case 5:
            // Turns to "Values" and spins.
            fValues();
            break;
        default:
            KillTimer(window, kPlayTimer);
            break;
        }
        return true;
    }

private:
    IWindow& fWindow;
    OptionsPanel& fOptions;
    std::function<void()> fValues;
    int fStep = 0;
};

// Edit > Copy: the form's texts go to the clipboard as text and under the demo's registered
// format, and the status text shows what the clipboard holds first and the text read back.
class CopyHandler : public IHandler {
public:
    CopyHandler(IWindow& window, IWindow& name, IWindow& city, Status& status)
        : fWindow(window), fName(name), fCity(city), fStatus(status) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_COMMAND || event.parameter2().asLong() != 0 ||
            event.parameter1().lowNumber() != kCopy)
            return false;
        const std::string text = windowText(fName) + ", " + windowText(fCity);
        IClipboard clipboard(fWindow.handle());
        clipboard.empty();
        clipboard.setText(text.c_str());
        clipboard.setData(kDemoFormat, text.c_str(), static_cast<unsigned long>(text.size()));
        const std::string primary = static_cast<const char*>(IClipboard::primaryFormat());
        const std::string back = static_cast<const char*>(clipboard.text());
        fStatus.add("copy: first format " + primary + ", read back \"" + back + "\"" +
                    (clipboard.hasData(kDemoFormat) ? " (and as " + std::string(kDemoFormat) + ")"
                                                    : std::string()));
        return true;
    }

private:
    IWindow& fWindow;
    IWindow& fName;
    IWindow& fCity;
    Status& fStatus;
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
        case kOk:
            fStatus.note = "OK.";
            fStatus.changed();
            return true;
        case kReset:
            SetWindowTextA(fName.handle(), "");
            SetWindowTextA(fCity.handle(), "");
            fStatus.note = "Reset.";
            fStatus.changed();
            return true;
        case kCancel:
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

// The row of owner-drawn buttons: three tool bar buttons that latch as a group (the first
// latched), a latchable custom button, an animated button that animates and a graphic push
// button with the demo's picture, so that each face shows.
// Fly-over texts of the tool bars' windows: the tip at kTipBase plus the window's id, the long
// text at kLongTipBase plus the id, in the demo's string table.
constexpr unsigned long kTipBase = 0x1000, kLongTipBase = 0x2000;

// The owner-drawn buttons in a tool bar above the client: tool bar buttons latching as a group, a
// latchable custom button, an animated button and a graphic push button; a second tool bar,
// with three more tool bar buttons, floats beside the window once that shows.
struct ToolBars {
    explicit ToolBars(IFrameWindow& frame)
        : top(70, &frame, IToolBar::aboveClient), floating(80, &frame, IToolBar::hidden)
    {
        // The library's animation pictures, 24 by 24 on a grey that the buttons leave out.
        IToolBarButton::setStandardBitmapSize(ISize(24, 24));
        for (unsigned long id : {0x7113UL, 0x7114UL, 0x7117UL})
            top.addAsLast(addTool(top, frame, id, IToolBarButton::defaultStyle() |
                                                      ICustomButton::autoLatch));
        auto& first = static_cast<IToolBarButton&>(*buttons.front());
        first.enableGroup();
        first.setLatched(true);

        auto custom = std::make_unique<ICustomButton>(
            71, &top, &frame, IRectangle(),
            ICustomButton::defaultStyle() | ICustomButton::latchable);
        custom->setFont(IFont("Arial", 9));
        custom->setText("Latchable");
        custom->setMinimumSize(ISize(90, 34));
        // The tool bar buttons' group ends here.
        top.addAsLast(custom.get(), true);
        buttons.push_back(std::move(custom));

        auto animated = std::make_unique<IAnimatedButton>(72, &top, &frame, IRectangle());
        animated->setBitmaps(IAnimatedButton::animation11);
        animated->setAnimationRate(150);
        animated->startAnimation(0);
        top.addAsLast(animated.get());
        buttons.push_back(std::move(animated));

        // The picture, shrunk to fit a button.
        try {
            IGBitmap small(IString(picturePath().c_str()));
            small.sizeTo(ISize(54, 28));
            buttons.push_back(std::make_unique<IGraphicPushButton>(73, &top, &frame,
                                                                   small.handle()));
            top.addAsLast(buttons.back().get());
        } catch (const IException& failure) {
            std::fprintf(stderr, "ovkdemo.bmp: %s\n", failure.what());
        }

        for (unsigned long id : {0x711AUL, 0x711DUL, 0x7120UL})
            floating.addAsLast(addTool(floating, frame, id, IToolBarButton::defaultStyle()));
        floating.setFloatingTitle("Tools");
        floating.setFloatingPosition(IPoint(770, 60));
    }

    IToolBarButton* addTool(IToolBar& toolBar, IFrameWindow& frame, unsigned long id,
                            const IToolBarButton::Style& style)
    {
        auto tool = std::make_unique<IToolBarButton>(id, &toolBar, &frame, IRectangle(), style);
        tool->setTransparentColor(IColor(212, 208, 200));
        IToolBarButton* made = tool.get();
        buttons.push_back(std::move(tool));
        return made;
    }

    IToolBar top;
    IToolBar floating;
    std::vector<std::unique_ptr<IWindow>> buttons;
};

// In an unattended run, asks for the fly-over texts of a window as the tool tip does when the
// pointer rests on it, so that its long text shows in the information area.
class FlyOverPlayer : public IHandler {
public:
    FlyOverPlayer(const IFlyOverToolTip& tip, const IWindow& window) : fTip(tip), fWindow(window) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != WM_TIMER || event.parameter1().asUnsignedLong() != kFlyOverTimer)
            return false;
        KillTimer(event.handle(), kFlyOverTimer);
        const HWND tool = fWindow.handle();
        NMTTDISPINFOA request{};
        request.hdr.hwndFrom = fTip.handle();
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
        request.hdr.code = TTN_NEEDTEXTA;
        request.uFlags = TTF_IDISHWND;
        SendMessageA(tool, WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
        return true;
    }

private:
    const IFlyOverToolTip& fTip;
    const IWindow& fWindow;
};

// The "Values" page: the month's text spin button is the master whose arrows also serve the
// day's numeric spin button when it has the focus; the amount pads its number with zeros.
struct ValuesPage {
    explicit ValuesPage(INotebook& notebook, IWindow& owner)
        : canvas(80, &notebook, &owner),
          monthLabel(makeLabel(canvas, 81, "&Month:")),
          month(82, &canvas, &canvas),
          dayLabel(makeLabel(canvas, 83, "&Day:")),
          day(84, &canvas, &canvas, IRectangle(),
              // Numeric (the extended bit 0x40) without arrows of its own.
              IBaseSpinButton::Style(WS_VISIBLE, 0x40) | IBaseSpinButton::servant |
                  IBaseSpinButton::leftAlign),
          amountLabel(makeLabel(canvas, 85, "&Amount:")),
          amount(86, &canvas, &canvas, IRectangle(),
                 INumericSpinButton::classDefaultStyle | INumericSpinButton::padWithZeros)
    {
        static const char* const months[] = {"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
        month.addAsLast(months, 12);
        month.setLimit(9);
        day.setMaster(month);
        day.setRange(IRange(1, 31));
        day.setLimit(2);
        day.spinTo(1);
        amount.setLimit(3);
        amount.setRange(IRange(1, 100));
        amount.spinTo(7);
        for (IWindow* spin : std::initializer_list<IWindow*>{&month, &day, &amount})
            spin->setMinimumSize(ISize(spin->minimumSize().width(), 24));
        canvas.addToCell(monthLabel.get(), 2, 2).addToCell(&month, 4, 2);
        canvas.addToCell(dayLabel.get(), 2, 4).addToCell(&day, 4, 4);
        canvas.addToCell(amountLabel.get(), 2, 6).addToCell(&amount, 4, 6);
        for (unsigned long c : {1UL, 3UL})
            canvas.setColumnWidth(c, 10);
        for (unsigned long r : {1UL, 3UL, 5UL})
            canvas.setRowHeight(r, 10);
    }
    // What the autoplay does: spins the month on by two, and the day and the amount by one.
    void spin()
    {
        month.spinUp(2);
        day.spinUp();
        amount.spinUp();
    }

    IMultiCellCanvas canvas;
    std::unique_ptr<IStaticText> monthLabel;
    ITextSpinButton month;
    std::unique_ptr<IStaticText> dayLabel;
    INumericSpinButton day;
    std::unique_ptr<IStaticText> amountLabel;
    INumericSpinButton amount;
};

int runDemo(HWND native, int show, const char* commandLine)
{
    SetMenu(native, buildMenuBar());
    IFrameWindow window{IWindowHandle(native)};
    window.setDestroyOnDelete();
    RECT client{};
    GetClientRect(native, &client);

    // The page: margins and gaps are columns and rows of fixed size; the form's column and the
    // status row take the room the window has beyond the minimum.
    Status state;
    INotebook notebook(91, &window, &window, IRectangle(0, 0, client.right, client.bottom));
    IMultiCellCanvas page(1, &notebook, &window);
    const unsigned long gap = 10;
    for (unsigned long c : {1UL, 3UL, 5UL, 7UL})
        page.setColumnWidth(c, gap);
    for (unsigned long r : {1UL, 3UL, 5UL, 7UL, 9UL, 11UL})
        page.setRowHeight(r, gap);
    page.setColumnWidth(2, 0, true);
    page.setRowHeight(4, 0, true);

    IMultiCellCanvas form(10, &page, &page);
    auto nameLabel = makeLabel(form, 11, "&Name:");
    auto name = makeField(form, 12);
    auto cityLabel = makeLabel(form, 13, "C&ity:");
    auto city = makeField(form, 14);
    form.addToCell(nameLabel.get(), 1, 1).addToCell(name.get(), 3, 1);
    form.addToCell(cityLabel.get(), 1, 3).addToCell(city.get(), 3, 3);
    form.setColumnWidth(2, 8);
    form.setColumnWidth(3, 0, true);
    form.setRowHeight(2, 6);

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
    OptionsPanel options(page, state);

    ISetCanvas buttons(40, &page, &page);
    buttons.setMargin(ISize(0, 0));
    buttons.setPad(ISize(8, 0));
    const IWindow::Style tabStop = IWindow::visible | IControl::_tabStop;
    IPushButton ok(kOk, &buttons, &buttons, IRectangle(),
                   tabStop | IControl::_group | IPushButton::_defaultButton);
    ok.setText("OK");
    IPushButton apply(kApply, &buttons, &buttons, IRectangle(), tabStop);
    apply.setText("&Apply");
    IPushButton reset(kReset, &buttons, &buttons, IRectangle(), tabStop);
    reset.setText("&Reset");
    IPushButton cancel(kCancel, &buttons, &buttons, IRectangle(), tabStop);
    cancel.setText("Cancel");

    page.addToCell(&form, 2, 2).addToCell(&bitmap, 4, 2);
    page.addToCell(&status, 2, 4).addToCell(&drawing, 4, 4);
    page.addToCell(&options.canvas(), 6, 2, 1, 3);
    page.addToCell(&buttons, 2, 6, 5, 1);

    // The "Data" page: a native container with its title and separator. The message-driven
    // container class, which every thread's record allocation window uses, comes from ovkcnr.
    OvkCnrRegisterClass();
    ICnrCtl container(60, &notebook, &window, IRectangle(), ICnrCtl::defaultStyle(),
                      ICnrCtl::iconView | ICnrCtl::containerTitle | ICnrCtl::titleSeparator);
    ICnrInfo title;
    char titleText[] = "Container";
    title.pszCnrTitle = titleText;
    container.setContainerInfo(&title, CMA_CNRTITLE);

    IStaticText document(95, &notebook, &window, IRectangle(),
                         IStaticText::defaultStyle() | IStaticText::_border3D);
    document.setAlignment(IStaticText::topLeftWrapped);
    document.setFillColor(IColor(IColor::white));
    document.setText("A notebook shows one page at a time; its tabs turn the pages, and so do "
                     "Alt+Page Up and Alt+Page Down.\n\nEach page here is a window of its own, "
                     "moved into the notebook's page area and sized to it.");
    ValuesPage values(notebook, window);

    const INotebook::PageSettings::Attribute sized = INotebook::PageSettings::autoPageSize;
    notebook.addLastPage(INotebook::PageSettings("Controls", nullptr, sized), &page);
    notebook.addLastPage(INotebook::PageSettings("Data", nullptr, sized), &container);
    notebook.addLastPage(INotebook::PageSettings("Document", nullptr, sized), &document);
    const IPageHandle valuesPage =
        notebook.addLastPage(INotebook::PageSettings("Values", nullptr, sized), &values.canvas);

    state.changed = [&] {
        std::string text = state.note;
        for (const std::string& line : state.lines)
            text += "\n" + line;
        status.setText(text.c_str());
    };
    state.changed();
    KeyHandler keys;
    TimerHandler timers(window, options, [&] {
        notebook.turnToPage(valuesPage);
        SetFocus(values.day.entryField());
        values.spin();
    });
    // The tool bars above the page and floating beside the window, and the information area
    // below it, which shows the long fly-over text of the window under the pointer.
    window.setClient(&notebook);
    ToolBars toolBars(window);
    IStaticText info(90, &window, &window);
    info.setMinimumSize(ISize(100, 22));
    window.addExtension(&info, IFrameWindow::belowClient, IFrameWindow::thinSeparator);
    IFlyOverToolTip tip(&window);
    IFlyOverHelpHandler flyOver(&tip, &info);
    flyOver.setTextBaseId(kTipBase).setLongTextBaseId(kLongTipBase);
    flyOver.handleEventsFor(&toolBars.top);
    flyOver.handleEventsFor(&toolBars.floating);
    FlyOverPlayer flyOverPlayer(tip, *toolBars.buttons.front());
    FrameLayout layout(window);
    ButtonHandler clicks(window, *name, *city, state);
    CopyHandler copier(window, *name, *city, state);
    ContextMenuHandler contextMenu(window);
    keys.handleEventsFor(&window);
    copier.handleEventsFor(&window);
    timers.handleEventsFor(&window);
    contextMenu.handleEventsFor(&window);
    layout.handleEventsFor(&window);
    flyOverPlayer.handleEventsFor(&window);
    clicks.handleEventsFor(&buttons);

    ShowWindow(native, show);
    // A floating frame shows with its owner; the window is visible now.
    toolBars.floating.setLocation(IToolBar::floating);
    SetFocus(name->handle());
    if (const char* option = std::strstr(commandLine, "--autoclose ")) {
        SetTimer(native, kPlayTimer, 250, nullptr);
        SetTimer(native, kAboutTimer, kAboutAt, nullptr);
        SetTimer(native, kMenuTimer, kMenuAt, nullptr);
        SetTimer(native, kFlyOverTimer, kFlyOverAt, nullptr);
        SetTimer(native, kCloseTimer, static_cast<UINT>(std::atoi(option + 12)), nullptr);
    }
    // The loop ends when the last top-level window of the thread is destroyed.
    IApplication::current().run();
    clicks.stopHandlingEventsFor(&buttons);
    contextMenu.stopHandlingEventsFor(&window);
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
    HWND native = CreateWindowExA(0, "ovkdemo", "ovkwin demo", WS_OVERLAPPEDWINDOW, 20, 20, 760,
                                  640, nullptr, nullptr, instance, nullptr);
    if (!native)
        return 1;
    try {
        return runDemo(native, show, commandLine);
    } catch (const IException& failure) {
        std::fprintf(stderr, "ovkdemo: %s\n", failure.what());
        return 1;
    }
}
