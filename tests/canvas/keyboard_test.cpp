// Keyboard navigation in canvases: keys sent to the focused control as Windows delivers them,
// passed on to the canvases that own it when the control leaves them unhandled. The controls
// are the library's push buttons, radio buttons and static text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <icanvas.hpp>
#include <ientryfd.hpp>
#include <ipushbut.hpp>
#include <iradiobt.hpp>
#include <istattxt.hpp>
#include <iprivmsg.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

constexpr LPARAM kAlt = 0x20000000;

// Adds the button's tag to the trace for each click it reports.
class ClickRecorder : public IHandler {
public:
    ClickRecorder(ovktest::Trace& trace, std::string tag) : fTrace(trace), fTag(std::move(tag)) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() == IPrivateMessage::controlNotification &&
            event.parameter1().highNumber() == BN_CLICKED)
            fTrace.add(fTag);
        return false;
    }

private:
    ovktest::Trace& fTrace;
    std::string fTag;
};

// An outer canvas with a push button, a nested canvas of two push buttons, a label and a push
// button that share a mnemonic, a pair of radio buttons and a default push button that is no
// tab stop.
class Navigation : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        outer = std::make_unique<ICanvas>(1, top.get(), top.get(), IRectangle(0, 0, 380, 250));
        const IWindow::Style tabStop = IWindow::visible | IControl::_tabStop;
        first = push(*outer, "&First", IRectangle(5, 5, 60, 25), tabStop);
        inner = std::make_unique<ICanvas>(2, outer.get(), outer.get(), IRectangle(5, 30, 200, 60));
        innerA = push(*inner, "Inner &A", IRectangle(0, 0, 60, 20), tabStop);
        innerB = push(*inner, "Inner &B", IRectangle(70, 0, 130, 20), tabStop);
        last = push(*outer, "&Last", IRectangle(5, 65, 60, 85), tabStop);
        auto text = std::make_unique<IStaticText>(++nextId, outer.get(), outer.get(),
                                                  IRectangle(70, 65, 120, 85));
        text->setText("&Name");
        label = &keep(std::move(text));
        named = push(*outer, "&Nope", IRectangle(130, 65, 190, 85), IWindow::visible);
        radio1 = radio(*outer, "One", IRectangle(5, 90, 60, 110),
                       tabStop | IControl::_group | IRadioButton::_autoSelect);
        radio2 = radio(*outer, "Two", IRectangle(70, 90, 130, 110),
                       IWindow::visible | IRadioButton::_autoSelect);
        defaultButton = push(*outer, "OK", IRectangle(5, 120, 60, 140),
                             IWindow::visible | IControl::_group | IPushButton::_defaultButton);
        for (IWindow* b : {first, innerA, innerB, last, named, defaultButton}) {
            recorders.push_back(std::make_unique<ClickRecorder>(trace, label_of(b)));
            recorders.back()->handleEventsFor(b);
        }
        SendMessageA(radio1->handle(), BM_SETCHECK, BST_CHECKED, 0);
        ovktest::pumpPending();
    }
    void TearDown() override {
        setShift(false);
        recorders.clear();
        children.clear();
        inner.reset();
        outer.reset();
        CanvasTest::TearDown();
    }

    // Notifications find their control by id: each gets its own.
    IWindow* push(IWindow& parent, const char* text, const IRectangle& r,
                  const IWindow::Style& style) {
        auto button = std::make_unique<IPushButton>(++nextId, &parent, &parent, r, style);
        button->setText(text);
        return &keep(std::move(button));
    }
    IWindow* radio(IWindow& parent, const char* text, const IRectangle& r,
                   const IWindow::Style& style) {
        auto button = std::make_unique<IRadioButton>(++nextId, &parent, &parent, r, style);
        button->setText(text);
        return &keep(std::move(button));
    }
    std::string label_of(IWindow* b) {
        char text[32] = {};
        GetWindowTextA(b->handle(), text, sizeof text);
        return text;
    }
    static void setShift(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // Focuses the control, sends the key to it as the focused window gets it, and lets the
    // posted focus notices settle.
    void press(IWindow* from, UINT message, WPARAM key, LPARAM data = 1) {
        SetFocus(from->handle());
        ovktest::pumpPending();
        ovktest::send(from->handle(), message, key, data);
        ovktest::pumpPending();
    }
    static LONG_PTR buttonType(IWindow* b) {
        return GetWindowLongPtrA(b->handle(), GWL_STYLE) & 0xF;
    }

public:
    std::unique_ptr<ICanvas> outer, inner;
    IWindow *first, *innerA, *innerB, *last, *label, *named, *radio1, *radio2, *defaultButton;
    unsigned long nextId = 100;
    ovktest::Trace trace;
    std::vector<std::unique_ptr<ClickRecorder>> recorders;
    std::string clicks() const { return trace.text(); }
};

} // namespace

TEST_F(Navigation, TabAndShiftTabMoveBetweenTabStopsAcrossNestedCanvases)
{
    struct Case {
        const char* name;
        IWindow* Navigation::*from;
        bool shift;
        IWindow* Navigation::*to;
    };
    const Case cases[] = {
        // Into the nested canvas: the canvas takes the focus and hands it to its first stop.
        {"into nested", &Navigation::first, false, &Navigation::innerA},
        {"within nested", &Navigation::innerA, false, &Navigation::innerB},
        // Past the nested canvas's last control the enclosing canvas moves on.
        {"out of nested", &Navigation::innerB, false, &Navigation::last},
        {"back within nested", &Navigation::innerB, true, &Navigation::innerA},
        {"back into nested", &Navigation::last, true, &Navigation::innerA},
        {"on to the radio group", &Navigation::last, false, &Navigation::radio1},
        // The outer canvas is in no frame: past its last stop nothing wraps.
        {"past the last", &Navigation::radio1, false, &Navigation::radio1},
    };
    for (const Case& c : cases) {
        setShift(c.shift);
        press(this->*c.from, WM_CHAR, VK_TAB);
        EXPECT_EQ(GetFocus(), (this->*c.to)->handle()) << c.name;
    }
    EXPECT_EQ(clicks(), "");
}

TEST_F(Navigation, EscapeInACanvasIsNotHandled)
{
    IEvent escape(outer->handle(), WM_CHAR, VK_ESCAPE, 1);
    EXPECT_FALSE(outer->dispatch(escape));
    press(first, WM_CHAR, VK_ESCAPE);
    EXPECT_EQ(GetFocus(), first->handle());
    EXPECT_EQ(clicks(), "");
}

TEST_F(Navigation, EnterClicksTheDefaultButtonOnlyWhileVisibleAndEnabled)
{
    struct Case {
        const char* name;
        bool visible, enabled;
        const char* trace;
    };
    const Case cases[] = {
        {"visible and enabled", true, true, "OK"},
        {"hidden", false, true, ""},
        {"disabled", true, false, ""},
    };
    for (const Case& c : cases) {
        trace.clear();
        defaultButton->show(c.visible);
        defaultButton->enable(c.enabled);
        press(first, WM_CHAR, VK_RETURN);
        EXPECT_EQ(clicks(), c.trace) << c.name;
    }
}

TEST_F(Navigation, MnemonicOfALabelGoesToTheLaterControlWithTheSameMnemonic)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM key;
        LPARAM data;
    };
    const Case cases[] = {
        {"Alt+N", WM_SYSKEYDOWN, 'N', kAlt | 1},
        {"typed n", WM_CHAR, 'n', 1},
    };
    for (const Case& c : cases) {
        trace.clear();
        press(first, c.message, c.key, c.data);
        EXPECT_EQ(GetFocus(), named->handle()) << c.name;
        EXPECT_EQ(clicks(), "&Nope") << c.name;
    }
    // A mnemonic inside the nested canvas is found through it.
    trace.clear();
    press(first, WM_SYSKEYDOWN, 'B', kAlt | 1);
    EXPECT_EQ(GetFocus(), innerB->handle());
    EXPECT_EQ(clicks(), "Inner &B");
}

// A password field is no label: its text takes no mnemonic from the button that shows it, in
// the canvas's search and by the keyboard (Alt+Q, twice in a row).
TEST_F(Navigation, APasswordFieldAnswersNoMnemonic)
{
    const std::string secret = "x&qSecretPassword73";
    auto field = std::make_unique<IEntryField>(++nextId, outer.get(), outer.get(),
                                               IRectangle(200, 5, 300, 25),
                                               IEntryField::defaultStyle() |
                                                   IEntryField::_unreadable | IWindow::visible);
    field->setText(secret.c_str());
    keep(std::move(field));
    IWindow* quit = push(*outer, "Later &Quit", IRectangle(200, 30, 300, 50), IWindow::visible);
    recorders.push_back(std::make_unique<ClickRecorder>(trace, label_of(quit)));
    recorders.back()->handleEventsFor(quit);

    EXPECT_EQ(outer->matchForMnemonic('Q'), quit);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        trace.clear();
        SetFocus(first->handle());
        ovktest::pumpPending();
        INPUT keys[4] = {};
        const WORD order[4][2] = {{VK_MENU, 0}, {'Q', 0}, {'Q', KEYEVENTF_KEYUP},
                                  {VK_MENU, KEYEVENTF_KEYUP}};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = order[i][0];
            keys[i].ki.dwFlags = order[i][1];
        }
        SendInput(4, keys, sizeof(INPUT));
        EXPECT_TRUE(ovktest::pumpUntil([&] { return !clicks().empty(); }));
        EXPECT_EQ(GetFocus(), quit->handle());
        EXPECT_EQ(clicks(), "Later &Quit");
    }
}

TEST_F(Navigation, ArrowOntoARadioButtonSelectsItAndLeavingClicksNothing)
{
    press(radio1, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(GetFocus(), radio2->handle());
    EXPECT_EQ(SendMessageA(radio2->handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(radio1->handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    press(radio2, WM_KEYDOWN, VK_UP);
    EXPECT_EQ(GetFocus(), radio1->handle());
    EXPECT_EQ(SendMessageA(radio1->handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks(), "");
}

TEST_F(Navigation, DefaultLookFollowsTheFocusedPushButton)
{
    ASSERT_EQ(buttonType(defaultButton), BS_DEFPUSHBUTTON);
    press(first, WM_CHAR, VK_TAB);
    EXPECT_EQ(GetFocus(), innerA->handle());
    EXPECT_EQ(buttonType(innerA), BS_DEFPUSHBUTTON);
    EXPECT_EQ(buttonType(defaultButton), BS_PUSHBUTTON);
    // Enter now presses the focused default.
    press(innerA, WM_CHAR, VK_RETURN);
    EXPECT_EQ(clicks(), "Inner &A");
}
