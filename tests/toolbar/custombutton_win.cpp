// The custom button: latching by mouse and by program, groups of auto-latch buttons, keys and
// clicks, and the faces drawn into memory contexts.
#include "buttontest.hpp"

#include <functional>

namespace {

using toolbartest::ButtonFixture;
using toolbartest::DrawnFace;
using toolbartest::LatchObserver;
using toolbartest::sys;

using CustomButton = ButtonFixture;

struct LatchCase {
    const char* name;
    ICustomButton::Style style;
    // The latched state after each of three clicks, and the notifications on the way.
    bool states[3];
    const char* notified;
};

class CustomButtonLatch : public ButtonFixture, public ::testing::WithParamInterface<LatchCase> {};

TEST_P(CustomButtonLatch, ClicksLatchAsTheStyleSays)
{
    const LatchCase& c = GetParam();
    ICustomButton& button = addButton(c.style);
    LatchObserver observer(button);
    for (bool expected : c.states) {
        click(button);
        EXPECT_EQ(button.isLatched() != 0, expected);
    }
    EXPECT_EQ(observer.trace(), c.notified);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CustomButtonLatch,
    ::testing::Values(LatchCase{"plain", ICustomButton::Style(0), {false, false, false}, ""},
                      LatchCase{"latchable", ICustomButton::latchable, {true, false, true}, "1 0 1"},
                      // A click never releases a latched auto-latch button.
                      LatchCase{"autoLatch", ICustomButton::autoLatch, {true, true, true}, "1"}),
    [](const ::testing::TestParamInfo<LatchCase>& info) { return std::string(info.param.name); });

TEST_F(CustomButton, WithoutLatchStyleNotEvenTheProgramLatchesIt)
{
    ICustomButton& button = addButton(ICustomButton::Style(0));
    LatchObserver observer(button);
    button.setLatched(true);
    EXPECT_FALSE(button.isLatched());
    button.enableLatching();
    button.setLatched(true);
    EXPECT_TRUE(button.isLatched());
    button.disableLatching();
    EXPECT_FALSE(button.isLatched());
    EXPECT_FALSE(button.allowsLatching());
    EXPECT_EQ(observer.trace(), "1 0");
}

TEST_F(CustomButton, ReleaseOverAnotherButtonLatchesNothing)
{
    ICustomButton& pressed = addButton(ICustomButton::latchable);
    ICustomButton& other = addButton(ICustomButton::latchable);
    click(pressed, &other);
    EXPECT_FALSE(pressed.isLatched());
    EXPECT_FALSE(other.isLatched());
}

TEST_F(CustomButton, FirstChildWithoutGroupsReleasesEveryOtherChild)
{
    ICustomButton& first = addButton(ICustomButton::autoLatch);
    ICustomButton& second = addButton(ICustomButton::autoLatch);
    ICustomButton& third = addButton(ICustomButton::autoLatch);
    ovktest::Recorder released(IPrivateMessage::releaseLatch);
    released.attach(second, "second");
    released.attach(third, "third");
    third.setLatched(true);
    EXPECT_EQ(released.trace(), "second");
    released.clear();
    first.setLatched(true);
    EXPECT_TRUE(first.isLatched());
    EXPECT_FALSE(third.isLatched());
    EXPECT_EQ(released.trace(), "second third");
}

TEST_F(CustomButton, AGroupEndsAtTheNextChildWithTheGroupStyle)
{
    ICustomButton& a = addButton(ICustomButton::autoLatch);
    ICustomButton& b = addButton(ICustomButton::autoLatch);
    ICustomButton& c = addButton(ICustomButton::autoLatch);
    ICustomButton& d = addButton(ICustomButton::autoLatch);
    c.enableGroup();
    b.setLatched(true);
    d.setLatched(true);
    EXPECT_TRUE(b.isLatched()) << "another group";
    c.setLatched(true);
    EXPECT_FALSE(d.isLatched());
    a.setLatched(true);
    EXPECT_FALSE(b.isLatched());
    EXPECT_TRUE(c.isLatched());
}

TEST_F(CustomButton, EnterClicksAndTheOwnerHearsACommand)
{
    ICustomButton& button = addButton(ICustomButton::Style(0), 321);
    ovktest::Recorder commands(WM_COMMAND);
    unsigned long source = 0;
    commands.attach(*parent, "command").setAction([&](IEvent& event) {
        if (event.parameter1().lowNumber() == 321)
            source = event.parameter1().highNumber();
        return false;
    });
    PostMessageA(button.handle(), WM_CHAR, VK_RETURN, 1);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return source != 0; }));
    EXPECT_EQ(source, 2u);
}

TEST_F(CustomButton, NeverReportsTheDefaultPushButtonCode)
{
    ICustomButton& button = addButton(ICustomButton::Style(0));
    const LRESULT code = SendMessageA(button.handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(code & DLGC_UNDEFPUSHBUTTON, 0);
    EXPECT_NE(code & DLGC_BUTTON, 0);
    EXPECT_EQ(code & DLGC_DEFPUSHBUTTON, 0);
}

TEST_F(CustomButton, NullParentFailsTheArgumentCheck)
{
    const IException failure = ovktest::caught(
        [] { ICustomButton button(1, nullptr, nullptr, IRectangle(0, 0, 10, 10)); });
    EXPECT_EQ(ovktest::str(failure.text()), "parent!=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "icustbut");
}

// Faces --------------------------------------------------------------------------------------------

struct FaceCase {
    const char* name;
    unsigned int itemState;
    bool latched;
    // Top-left edge colour and bottom-right edge colour (system colour indexes).
    int topLeft;
    int bottomRight;
};

class CustomButtonFace : public ButtonFixture, public ::testing::WithParamInterface<FaceCase> {};

// One pixel inside the outline: the top and left edges, then the bottom and right ones.
TEST_P(CustomButtonFace, EdgesShowTheState)
{
    const FaceCase& c = GetParam();
    ICustomButton& button = addButton(ICustomButton::latchable);
    button.setLatched(c.latched);
    DrawnFace face(button, c.itemState);
    face.drawWith(ICustomButtonDrawHandler::defaultHandler());
    const long w = button.size().width();
    const long h = button.size().height();
    EXPECT_EQ(face.at(0, 0), sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(face.at(w - 1, h - 1), sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(face.at(w / 2, 1), sys(c.topLeft));
    EXPECT_EQ(face.at(1, h / 2), sys(c.topLeft));
    EXPECT_EQ(face.at(w / 2, h - 2), sys(c.bottomRight));
    EXPECT_EQ(face.at(w - 2, h / 2), sys(c.bottomRight));
    if (c.bottomRight == COLOR_BTNSHADOW) {
        EXPECT_EQ(face.at(w - 3, h / 2), sys(COLOR_BTNSHADOW)) << "two lines deep";
        EXPECT_EQ(face.at(w / 2, h - 3), sys(COLOR_BTNSHADOW)) << "two lines deep";
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, CustomButtonFace,
    ::testing::Values(FaceCase{"up", 0, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
                      FaceCase{"pressed", ODS_SELECTED, false, COLOR_BTNSHADOW, COLOR_BTNFACE},
                      FaceCase{"disabled", ODS_DISABLED, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW}),
    [](const ::testing::TestParamInfo<FaceCase>& info) { return std::string(info.param.name); });

TEST_F(CustomButton, PressedContentMovesOneBorderWidthDownAndRight)
{
    ICustomButton& button = addButton(ICustomButton::Style(0));
    SetWindowTextA(button.handle(), "Go");
    button.setForegroundColor(IColor(0, 0, 255));
    DrawnFace up(button, 0);
    up.drawWith(ICustomButtonDrawHandler::defaultHandler());
    DrawnFace pressed(button, ODS_SELECTED);
    pressed.drawWith(ICustomButtonDrawHandler::defaultHandler());
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);

    IRectangle upFace = up.event().faceRectangle();
    IRectangle pressedFace = pressed.event().faceRectangle();
    EXPECT_EQ(pressedFace, upFace.moveBy(IPoint(cx, cy)));
    const IRectangle all(button.size());
    const IRectangle upText = up.boxOf(RGB(0, 0, 255), all);
    const IRectangle pressedText = pressed.boxOf(RGB(0, 0, 255), all);
    ASSERT_FALSE(upText.isEmpty());
    // Text goes one pixel lower still when the button is down.
    IRectangle moved = upText;
    EXPECT_EQ(pressedText, moved.moveBy(IPoint(cx, cy + 1)));
}

TEST_F(CustomButton, LatchedFaceUsesTheLatchedColoursAndHalftone)
{
    ICustomButton& button = addButton(ICustomButton::latchable);
    button.setLatched(true);
    button.setLatchedBackgroundColor(IColor(255, 0, 0), false);
    DrawnFace plain(button, 0);
    plain.drawWith(ICustomButtonDrawHandler::defaultHandler());
    const IRectangle face = plain.event().faceRectangle();
    EXPECT_EQ(plain.count(RGB(255, 0, 0), face), face.width() * face.height());
    EXPECT_EQ(plain.at(1, 1), sys(COLOR_BTNSHADOW)) << "a latched button is down";

    button.setLatchedBackgroundColor(IColor(255, 0, 0), true);
    DrawnFace halftoned(button, 0);
    halftoned.drawWith(ICustomButtonDrawHandler::defaultHandler());
    const long white = halftoned.count(RGB(255, 255, 255), face);
    EXPECT_GT(white, 0);
    EXPECT_LT(white, face.width() * face.height() / 2);

    // Pressed, a latched button shows its usual background.
    DrawnFace pressed(button, ODS_SELECTED);
    pressed.drawWith(ICustomButtonDrawHandler::defaultHandler());
    EXPECT_EQ(pressed.count(RGB(255, 0, 0), pressed.event().faceRectangle()), 0);
}

TEST_F(CustomButton, DisabledFaceCoversPartOfTheText)
{
    ICustomButton& button = addButton(ICustomButton::Style(0));
    SetWindowTextA(button.handle(), "WWW");
    button.setForegroundColor(IColor(0, 0, 255));
    DrawnFace enabled(button, 0);
    enabled.drawWith(ICustomButtonDrawHandler::defaultHandler());
    DrawnFace disabled(button, ODS_DISABLED);
    disabled.drawWith(ICustomButtonDrawHandler::defaultHandler());
    const IRectangle all(button.size());
    const long before = enabled.count(RGB(0, 0, 255), all);
    const long after = disabled.count(RGB(0, 0, 255), all);
    EXPECT_GT(after, 0);
    EXPECT_LT(after, before);
}

} // namespace
