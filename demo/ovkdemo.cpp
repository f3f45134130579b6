// The ovkwin demo. The frame's client is a notebook (ovkdemo_notebook.cpp): its "Controls" page
// is a form laid out by canvases, its "Data" page the containers, "Values" its spin buttons.
// The form: a multi-cell canvas holds right-aligned labels with mnemonics in its first column
// and the fields in an expandable second one; beside it a bitmap control shows ovkdemo.bmp
// (found next to the executable and read through the format table) and a graphic canvas paints
// a few shapes; a titled set canvas holds the "Options" radio buttons, check boxes and an
// outline box, and a column beside it the "Data" controls: an entry field with a selected word,
// a list box of cities kept in order, a drop-down and a read-only drop-down combo box. Another
// set canvas holds the row of push buttons at the bottom. The "Data" page has a native
// container showing the files of the demo's folder in a details view, with their shell icons,
// types, sizes, dates and times, and a tree of the same files by type. Tab, the arrows, Enter
// and Alt with a mnemonic move through the controls as in a dialog; keys that no control or
// canvas takes climb the owner chain to the window. The status text lists the notifications of
// the option controls. A "Drop here" window beside the frame (ovkdemo_drag.cpp) lists the drag
// events it receives and holds two entry fields that drag text to each other.
//
// The window is a frame with a menu bar from a resource and an information area below the
// page that tells what the menu item under the cursor does. A tool bar above the page holds the
// owner-drawn buttons (tool bar buttons latching as a group, a latchable custom button, an
// animated button and a graphic push button), a second tool bar floats beside the window in a
// frame of its own, and both can be dragged by their edges to another side. Fly-over help shows each button's short text in a
// tool tip and its long text in the information area along the bottom.
//
// The menu bar has File, Edit, View and Help menus. Edit > Copy puts the name and the city on
// the clipboard, as text and under a format registered by name, and the status text shows the
// clipboard's first format and the text read back. Help > About opens the About frame, loaded
// from a dialog template and shown modally, its title composed of object text, view text and
// view number. A right click shows a pop-up menu from a resource, through a menu handler.
//
// With "--autoclose MS" it resizes the frame, moves through the View menu, types a name, clicks
// two options, presses Tab twice and Alt+A, copies and opens the drop-down combo box's list for
// a moment, shows the first tool bar button's long
// fly-over text, opens the About frame and presses its OK button, shows the right-click menu,
// turns to the notebook's "Values" page and spins, and closes after MS ms. With "--shots DIR"
// it asks the script that runs it for a screenshot at each moment worth showing (see
// ovkdemo.h).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <iframext.hpp>
#include <iprivmsg.hpp>
#include <ovkwin.hpp>

#include "ovkdemo.h"
#include "ovkdemo_container.h"
#include "ovkdemo_container_events.h"
#include "ovkdemo_notebook.h"
#include "ovkdemo_sliders.h"

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
// The screenshot of the main window, once the fly-over text shows.
constexpr UINT_PTR kShotTimer = 8;
constexpr UINT kShotAt = 3400;
// The notebook turns to its "Values" page and spins, once the right-click menu has gone.
constexpr UINT kValuesAt = 8600;
// First of all (before the keys, which an open menu would take) it resizes the frame, opens
// the View menu of the menu bar, moves down over an item, whose text the information area
// shows, and closes the menu again.
constexpr UINT_PTR kResizeTimer = 17;
constexpr UINT_PTR kBarMenuTimer = 18;
constexpr UINT_PTR kBarMenuMoveTimer = 19;
constexpr UINT_PTR kBarMenuEndTimer = 20;
constexpr UINT kResizeAt = 120;
constexpr UINT kBarMenuAt = 160;
constexpr UINT kBarMenuMoveAfter = 80;
constexpr UINT kBarMenuEndAfter = 190;
// Then it opens the file and font dialogs for a moment each.
constexpr UINT_PTR kDocsTimer = 21;
constexpr UINT kDocsAt = 11500;
constexpr unsigned long kOk = 41, kApply = 42, kReset = 43, kCancel = 44;

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

// The data controls: an entry field whose word "city" is selected (the selection shows while
// the field has no focus too), twenty cities added in scrambled order and kept in ascending
// order by the list box, one of them selected, and two combo boxes.
class DataGroup {
public:
    explicit DataGroup(IWindow& page)
        : fCanvas(70, &page, &page, IRectangle(),
                  ISetCanvas::Style(WS_VISIBLE, 0) | ISetCanvas::verticalDecks |
                      ISetCanvas::packTight | ISetCanvas::leftAlign | ISetCanvas::topAlign),
          fField(71, &fCanvas, &fCanvas, IRectangle(),
                 IEntryField::defaultStyle() | IEntryField::Style(ES_NOHIDESEL) |
                     IControl::_tabStop | IControl::_group),
          fCities(72, &fCanvas, &fCanvas, IRectangle(),
                  IListBox::defaultStyle() | IControl::_tabStop),
          fSizes(74, &fCanvas, &fCanvas, IRectangle(),
                 IComboBox::Style(WS_VISIBLE) | IComboBox::readOnlyDropDownType |
                     IComboBox::_border3D | IControl::_tabStop),
          fColours(73, &fCanvas, &fCanvas, IRectangle(),
                   IComboBox::Style(WS_VISIBLE) | IComboBox::dropDownType |
                       IComboBox::_autoScroll | IComboBox::_border3D | IControl::_tabStop)
    {
        fCanvas.setText("Data");
        fCanvas.setPad(ISize(0, 6));
        fField.setLimit(20);
        fField.setText("Pick a city below");
        fField.selectRange(IRange(7, 10));
        for (const char* city : {"Oslo", "Athens", "Vienna", "Berlin", "Rome", "Dublin", "Paris",
                                 "Amsterdam", "Lisbon", "Helsinki", "Warsaw", "Bern", "Madrid",
                                 "Riga", "Prague", "Copenhagen", "Stockholm", "Brussels",
                                 "London", "Reykjavik"})
            fCities.addAscending(city);
        fCities.setMinimumCharacters(12);
        fCities.setMinimumRows(5);
        const unsigned long oslo = fCities.locateText("Oslo", true, IBaseListBox::exactMatch);
        fCities.select(oslo);
        // Two cities above the selected one show the order.
        fCities.setTop(oslo - 2);
        for (const char* colour : {"Red", "Green", "Blue", "Yellow", "Violet"})
            fColours.addAsLast(colour);
        fColours.setLimit(12);
        fColours.select(2);
        for (const char* size : {"Small", "Medium", "Large"})
            fSizes.addAsLast(size);
        fSizes.setLimit(10);
        fSizes.select(1);
    }

    IWindow& canvas() { return fCanvas; }
    // What the autoplay does: opens the drop-down list, and closes it again before the
    // screenshots and the About frame come.
    void play(bool open) { fColours.showList(open); }

private:
    ISetCanvas fCanvas;
    IEntryField fField;
    IListBox fCities;
    IComboBox fSizes;
    IComboBox fColours;
};

// Answers the menu bar's commands. Plays the keys of an unattended run to the focused control,
// one step per timer tick, opens and answers the About frame, and closes the window when the
// time is up.
class TimerHandler : public IHandler {
public:
    TimerHandler(IWindow& window, OptionsPanel& options, DataGroup& data, DemoNotebook& notebook)
        : fWindow(window), fOptions(options), fData(data), fNotebook(notebook) {}

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
            requestScreenshot("about");
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
        if (event.parameter1().asUnsignedLong() == kResizeTimer) {
            KillTimer(window, kResizeTimer);
            fWindow.sizeTo(ISize(820, 700));
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kBarMenuTimer) {
            KillTimer(window, kBarMenuTimer);
            // The menu's own loop still delivers this window's timers and takes the key.
            SetTimer(window, kBarMenuMoveTimer, kBarMenuMoveAfter, nullptr);
            SetTimer(window, kBarMenuEndTimer, kBarMenuEndAfter, nullptr);
            PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 'v');
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kBarMenuMoveTimer) {
            KillTimer(window, kBarMenuMoveTimer);
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 1);
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kMenuEndTimer ||
            event.parameter1().asUnsignedLong() == kBarMenuEndTimer) {
            KillTimer(window, static_cast<UINT_PTR>(event.parameter1().asUnsignedLong()));
            EndMenu();
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kShotTimer) {
            KillTimer(window, kShotTimer);
            // A dropped-down list is a pop-up window of its own: it stays where it is whatever
            // page shows. The autoplay's tick that closes it may come after this one (timer
            // messages come only when the queue is empty, and ticks missed meanwhile fold into
            // one), so it is closed here, before any page turns.
            fData.play(false);
            // The document page in the main picture, then the containers after the autoplay's
            // sorting, opening and editing, and the controls.
            fNotebook.turnTo(DemoNotebook::Page::document);
            requestScreenshot("main");
            fNotebook.turnTo(DemoNotebook::Page::data);
            playContainerEvents();
            fNotebook.turnTo(DemoNotebook::Page::controls);
            requestScreenshot("controls");
            return true;
        }
        if (event.parameter1().asUnsignedLong() == kDocsTimer) {
            KillTimer(window, kDocsTimer);
            playDocumentDialogs(fWindow);
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
            fData.play(true);
            break;
        case 5:
        case 6:
            break;
        case 7:
            fData.play(false);
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
    DataGroup& fData;
    DemoNotebook& fNotebook;
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

int runDemo(HWND native, int show, const char* commandLine)
{
    // The menu bar comes from the resource of the main frame's identifier.
    setScreenshotFolder(commandLine);
    SetMenu(native, LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMainFrame)));
    IFrameWindow window{IWindowHandle(native)};
    window.setDestroyOnDelete();
    ITitle frameTitle(&window, "ovkwin demo", "Controls", 1);

    // The page: margins and gaps are columns and rows of fixed size; the form's column and the
    // status row take the room the window has beyond the minimum.
    Status state;
    DemoNotebook notebook(window);
    IMultiCellCanvas page(1, &notebook.window(), &window);
    const unsigned long gap = 10;
    for (unsigned long c : {1UL, 3UL, 5UL, 7UL, 9UL})
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
    DataGroup data(page);

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
    page.addToCell(&data.canvas(), 8, 2, 1, 3);
    page.addToCell(&buttons, 2, 6, 5, 1);

    // The "Data" page: a native container with its title and separator.
    ICnrCtl container(60, &notebook.dataPage(), &notebook.dataPage(), IRectangle(),
                      ICnrCtl::defaultStyle(),
                      ICnrCtl::iconView | ICnrCtl::containerTitle | ICnrCtl::titleSeparator);
    container.setTitle("Files of the demo's folder");
    container.setMinimumSize(ISize(200, 110));
    ICnrCtl types(61, &notebook.dataPage(), &notebook.dataPage(), IRectangle(),
                  ICnrCtl::defaultStyle(),
                  ICnrCtl::treeView | ICnrCtl::nameView | ICnrCtl::miniIcons |
                      ICnrCtl::containerTitle | ICnrCtl::titleSeparator);
    types.setTitle("By type");
    types.setMinimumSize(ISize(160, 110));
    notebook.dataPage().addToCell(&container, 2, 2).addToCell(&types, 4, 2);
    FolderObjects files(container, types);
    ContainerEvents containerEvents(container);

    state.changed = [&] {
        std::string text = state.note;
        for (const std::string& line : state.lines)
            text += "\n" + line;
        status.setText(text.c_str());
    };
    state.changed();
    KeyHandler keys;
    TimerHandler timers(window, options, data, notebook);
    // The tool bars above the page and floating beside the window, and the information area
    // below it, which shows the long fly-over text of the window under the pointer.
    notebook.addPages(page);
    // The "Document" page: split panes, a multi-line edit that starts with ovkdemo.txt beside a
    // caption above a view port that scrolls the picture at four times its size.
    std::unique_ptr<IMultiLineEdit> document(createDocumentEdit(notebook.window(), 70));
    DemoDocuments documents(notebook.window(), picturePath().c_str(), document.get());
    notebook.setDocument(documents.canvas());
    window.setClient(&notebook.window());
    ToolBars toolBars(window);
    // The information area docks itself below the client and follows the menus.
    IInfoArea info(90, &window);
    info.setDefaultText("Ready. Move through the menus to read here what their items do.");
    IFlyOverToolTip tip(&window);
    IFlyOverHelpHandler flyOver(&tip, &info);
    flyOver.setTextBaseId(kTipBase).setLongTextBaseId(kLongTipBase);
    flyOver.handleEventsFor(&toolBars.top);
    flyOver.handleEventsFor(&toolBars.floating);
    FlyOverPlayer flyOverPlayer(tip, *toolBars.buttons.front());
    ButtonHandler clicks(window, *name, *city, state);
    CopyHandler copier(window, *name, *city, state);
    ContextMenuHandler contextMenu(window);
    keys.handleEventsFor(&window);
    copier.handleEventsFor(&window);
    timers.handleEventsFor(&window);
    contextMenu.handleEventsFor(&window);
    flyOverPlayer.handleEventsFor(&window);
    clicks.handleEventsFor(&buttons);

    ShowWindow(native, show);
    // The sliders on the notebook's "Values" page, below the spin buttons.
    DemoSliders sliders(notebook.valuesArea(),
                        IRectangle(0, 0, DemoNotebook::valuesWidth, DemoNotebook::valuesHeight));
    // A floating frame shows with its owner; the window is visible now.
    toolBars.floating.setLocation(IToolBar::floating);
    const auto dragDemo = makeDragDemo(window, std::strstr(commandLine, "--autoclose ") != nullptr);
    const auto dragWindows = makeDragWindowsDemo(
        window, container, types, toolBars.top, std::strstr(commandLine, "--autoclose ") != nullptr);
    SetFocus(name->handle());
    if (const char* option = std::strstr(commandLine, "--autoclose ")) {
        SetTimer(native, kPlayTimer, 400, nullptr);
        SetTimer(native, kAboutTimer, kAboutAt, nullptr);
        SetTimer(native, kMenuTimer, kMenuAt, nullptr);
        SetTimer(native, kResizeTimer, kResizeAt, nullptr);
        SetTimer(native, kBarMenuTimer, kBarMenuAt, nullptr);
        SetTimer(native, kFlyOverTimer, kFlyOverAt, nullptr);
        SetTimer(native, kShotTimer, kShotAt, nullptr);
        // The sliders' arm moves while "Values" is on top.
        notebook.startAutoplay(kValuesAt, [&] { sliders.moveArm(); });
        SetTimer(native, kDocsTimer, kDocsAt, nullptr);
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
    HWND native = CreateWindowExA(0, "ovkdemo", "ovkwin demo", WS_OVERLAPPEDWINDOW, 20, 20, 980,
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
