// Window geometry, order, state, drawing, colours by area, fonts, drag detection and minimum
// size.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <icoordsy.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

class Geometry : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<TestWindow>();
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        child = std::make_unique<TestWindow>(parent->hwnd(), WS_VISIBLE, 1);
    }
    void TearDown() override
    {
        child.reset();
        parent.reset();
    }
    RECT nativeBounds() const
    {
        RECT bounds{};
        GetWindowRect(child->hwnd(), &bounds);
        MapWindowPoints(HWND_DESKTOP, parent->hwnd(), reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    }

    std::unique_ptr<TestWindow> parent;
    std::unique_ptr<TestWindow> child;
};

TEST_F(Geometry, MovingAndSizingLandWhereAskedInEitherOrientation)
{
    const ISize client = child->parentSize();
    RECT parentClient{};
    GetClientRect(parent->hwnd(), &parentClient);
    EXPECT_EQ(client.width(), parentClient.right);
    EXPECT_EQ(client.height(), parentClient.bottom);

    struct Case {
        ICoordinateSystem::Orientation orientation;
        IRectangle rectangle;
        RECT native;
    };
    const LONG h = parentClient.bottom;
    const Case cases[] = {
        {ICoordinateSystem::kOriginUpperLeft, IRectangle(10, 20, 60, 50), {10, 20, 60, 50}},
        {ICoordinateSystem::kOriginLowerLeft, IRectangle(10, 20, 60, 50), {10, h - 50, 60, h - 20}},
    };
    for (const Case& c : cases) {
        const ovktest::CoordinateSystem system(c.orientation);
        child->moveSizeTo(c.rectangle);
        const RECT bounds = nativeBounds();
        EXPECT_EQ(bounds.left, c.native.left);
        EXPECT_EQ(bounds.top, c.native.top);
        EXPECT_EQ(bounds.right, c.native.right);
        EXPECT_EQ(bounds.bottom, c.native.bottom);
        EXPECT_EQ(child->rect().asString(), c.rectangle.asString());
        EXPECT_EQ(child->position().asString(), IPoint(10, 20).asString());
        EXPECT_EQ(child->size().asString(), ISize(50, 30).asString());
    }

    child->moveTo(IPoint(5, 6));
    child->sizeTo(ISize(70, 15));
    EXPECT_EQ(child->rect().asString(), IRectangle(5, 6, 75, 21).asString());
    EXPECT_EQ(child->nativeRect().asString(), IRectangle(5, 6, 75, 21).asString());
}

TEST_F(Geometry, PointsMapBetweenWindowsAndThePointerIsInScreenCoordinates)
{
    child->moveSizeTo(IRectangle(10, 20, 60, 50));
    EXPECT_EQ(IWindow::mapPoint(IPoint(1, 2), child->hwnd(), parent->hwnd()).asString(),
              IPoint(11, 22).asString());
    EXPECT_EQ(IWindow::mapPoint(IPoint(11, 22), parent->hwnd(), child->hwnd()).asString(),
              IPoint(1, 2).asString());
    {
        // Lower-left origin: the point is flipped against the source window's height first.
        const ovktest::CoordinateSystem system(ICoordinateSystem::kOriginLowerLeft);
        EXPECT_EQ(IWindow::mapPoint(IPoint(1, 30), child->hwnd(), child->hwnd()).asString(),
                  IPoint(1, 0).asString());
    }

    SetCursorPos(37, 41);
    EXPECT_EQ(IWindow::pointerPosition().asString(), IPoint(37, 41).asString());
}

TEST_F(Geometry, SiblingOrderPutsTheWindowOnTopOrAtTheBottom)
{
    TestWindow second(parent->hwnd(), WS_VISIBLE, 2);
    TestWindow third(parent->hwnd(), WS_VISIBLE, 3);
    child->positionBehindSiblings();
    EXPECT_NE(GetWindow(parent->hwnd(), GW_CHILD), child->hwnd());
    EXPECT_EQ(GetWindow(child->hwnd(), GW_HWNDNEXT), nullptr);
    child->positionOnSiblings();
    EXPECT_EQ(GetWindow(parent->hwnd(), GW_CHILD), child->hwnd());
    child->positionBehindSibling(second.hwnd());
    EXPECT_EQ(GetWindow(second.hwnd(), GW_HWNDNEXT), child->hwnd());
}

TEST_F(Geometry, ShowEnableFocusAndCaptureFollowTheNativeState)
{
    child->hide();
    EXPECT_FALSE(child->isVisible());
    child->show();
    EXPECT_TRUE(IsWindowVisible(parent->hwnd()) ? child->isVisible() : !child->isVisible());
    EXPECT_TRUE(GetWindowLongPtrA(child->hwnd(), GWL_STYLE) & WS_VISIBLE);

    child->disable();
    EXPECT_FALSE(child->isEnabled());
    child->enable();
    EXPECT_TRUE(child->isEnabled());

    parent->show();
    child->setFocus();
    EXPECT_TRUE(child->hasFocus());

    child->capturePointer();
    EXPECT_TRUE(child->hasPointerCaptured());
    EXPECT_EQ(IWindow::handleWithPointerCaptured(), IWindowHandle(child->hwnd()));
    EXPECT_THROW(parent->capturePointer(), ISystemError);
    child->capturePointer(false);
    EXPECT_FALSE(child->hasPointerCaptured());
    EXPECT_EQ(IWindow::handleWithPointerCaptured(), IWindowHandle());
}

TEST_F(Geometry, TabStopAndGroupAreStyleBits)
{
    EXPECT_FALSE(child->isTabStop());
    EXPECT_FALSE(child->isGroup());
    child->setStyle(child->style() | WS_TABSTOP | WS_GROUP);
    EXPECT_TRUE(child->isTabStop());
    EXPECT_TRUE(child->isGroup());
}

// paintAll leaves the window and its children to the message loop; immediate, in either form,
// paints both before the call returns; paintAllNoChildren does nothing. Each twice in a row.
TEST_F(Geometry, RefreshPaintsAtOnceOnlyWhenImmediate)
{
    parent->show();
    TestWindow grandchild(child->hwnd(), WS_VISIBLE, 2);
    ovktest::Recorder paints(WM_PAINT);
    paints.attach(*child, "child");
    paints.attach(grandchild, "grandchild");
    struct Case {
        const char* what;
        std::function<void()> refresh;
        bool pending;
        const char* painted;
    };
    const Case cases[] = {
        {"paintAll", [&] { child->refresh(IWindow::paintAll); }, true, ""},
        {"paintAllNoChildren", [&] { child->refresh(IWindow::paintAllNoChildren); }, false, ""},
        {"immediate", [&] { child->refresh(IWindow::immediate); }, false, "child grandchild"},
        {"a rectangle", [&] { child->refresh(IRectangle(0, 0, 5, 5)); }, true, ""},
        {"a rectangle at once", [&] { child->refresh(IRectangle(0, 0, 5, 5), true); }, false,
         "child grandchild"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int round = 0; round < 2; ++round) {
            UpdateWindow(parent->hwnd());
            RedrawWindow(child->hwnd(), nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
            paints.clear();
            c.refresh();
            EXPECT_EQ(paints.trace(), c.painted);
            EXPECT_EQ(GetUpdateRect(child->hwnd(), nullptr, FALSE) != FALSE, c.pending);
        }
    }
    RECT update{};
    child->refresh(IRectangle(0, 0, 5, 5));
    EXPECT_TRUE(GetUpdateRect(child->hwnd(), &update, FALSE));
    EXPECT_EQ(update.right, 5);
}

TEST_F(Geometry, UpdatesCanBeSwitchedOffAndADeviceContextComesAndGoes)
{
    child->disableUpdate();
    EXPECT_FALSE(GetWindowLongPtrA(child->hwnd(), GWL_STYLE) & WS_VISIBLE);
    child->enableUpdate();
    EXPECT_TRUE(GetWindowLongPtrA(child->hwnd(), GWL_STYLE) & WS_VISIBLE);

    const IPresSpaceHandle context = child->presSpace();
    EXPECT_TRUE(context.isValid());
    child->releasePresSpace(context);
    EXPECT_THROW(child->releasePresSpace(context), IInvalidRequest);
}

// Colours ---------------------------------------------------------------------------------------

TEST(GeometryColors, UnsetAreasAnswerTheirSystemDefaults)
{
    struct Case {
        const char* area;
        IColor (IWindow::*get)() const;
        unsigned int systemColor;
    };
    const Case cases[] = {
        {"foreground", &IWindow::foregroundColor, 0x24},
        {"background", &IWindow::backgroundColor, 0x21},
        {"border", &IWindow::borderColor, 0x22},
        {"shadow", &IWindow::shadowColor, 0x11},
        {"disabled foreground", &IWindow::disabledForegroundColor, 0x0A},
        {"disabled background", &IWindow::disabledBackgroundColor, 0x21},
        {"hilite foreground", &IWindow::hiliteForegroundColor, 0x14},
        {"hilite background", &IWindow::hiliteBackgroundColor, 0x15},
        {"active", &IWindow::activeColor, 0x28},
        {"inactive", &IWindow::inactiveColor, 0x29},
    };
    TestWindow window;
    for (const Case& c : cases) {
        const IColor expected = IGUIColor(static_cast<IColor::SystemColor>(c.systemColor));
        EXPECT_EQ((window.*c.get)().asRGBLong(), expected.asRGBLong()) << c.area;
    }
}

TEST(GeometryColors, SettingABackgroundMarksTheLayoutRedrawsAndReadsBack)
{
    TestWindow window;
    ShowWindow(window.hwnd(), SW_SHOW);
    window.setLayoutDistorted(0, 0xFFFF);
    ValidateRect(window.hwnd(), nullptr);
    window.setBackgroundColor(IColor(IColor::darkRed));
    EXPECT_TRUE(window.isLayoutDistorted(2));
    EXPECT_TRUE(GetUpdateRect(window.hwnd(), nullptr, FALSE));
    EXPECT_EQ(window.backgroundColor().asRGBLong(), IColor(128, 0, 0).asRGBLong());
    EXPECT_EQ(window.color(3).asRGBLong(), IColor(128, 0, 0).asRGBLong());

    window.resetBackgroundColor();
    ValidateRect(window.hwnd(), nullptr);
    window.resetBackgroundColor();
    EXPECT_FALSE(GetUpdateRect(window.hwnd(), nullptr, FALSE));
    try {
        window.color(3);
        FAIL() << "answered a colour that nobody set";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), OVK_MSG_NO_COLOR_VALUE);
    }
}

// A child made with its parent as owner takes the owner's colours, unless it is a control that
// paints its own.
TEST(GeometryColors, AChildInheritsItsOwnersBackgroundUnlessItPaintsItsOwn)
{
    struct Case {
        const char* className;
        bool inherits;
    };
    const Case cases[] = {
        {nullptr, true}, {"Static", true}, {"Button", true},
        {"Edit", false}, {"ListBox", false}, {"ComboBox", false},
    };
    TestWindow owner;
    owner.setBackgroundColor(IColor(IColor::darkGreen));
    owner.setForegroundColor(IColor(IColor::yellow));
    for (const Case& c : cases) {
        struct Child : IWindow {
            Child(const char* className, HWND parent)
            {
                startHandlingEventsFor(create(40, "", WS_CHILD, className ? className : ovktest::testClassName(),
                                              parent, parent, IRectangle(0, 0, 20, 20), nullptr, nullptr));
            }
        } child(c.className, owner.hwnd());
        const IColor fallback = IGUIColor(static_cast<IColor::SystemColor>(0x21));
        const IColor expected = c.inherits ? IColor(IColor::darkGreen) : fallback;
        EXPECT_EQ(child.backgroundColor().asRGBLong(), expected.asRGBLong())
            << (c.className ? c.className : "test class");
        EXPECT_EQ(child.color(1).asRGBLong(), IColor(IColor::yellow).asRGBLong());
    }
    // A scroll bar has a background of its own.
    TestWindow scrollBarOwner;
    struct Bar : IWindow {
        explicit Bar(HWND parent)
        {
            startHandlingEventsFor(create(41, "", WS_CHILD, "ScrollBar", parent, parent,
                                          IRectangle(0, 0, 20, 20), nullptr, nullptr));
        }
    } bar(owner.hwnd());
    EXPECT_EQ(bar.backgroundColor().asRGBLong(),
              IGUIColor(static_cast<IColor::SystemColor>(0x1C)).asRGBLong());
}

// Fonts -----------------------------------------------------------------------------------------

TEST(GeometryFonts, AFontGivenToAWindowStaysAliveWithTheWindow)
{
    // A class whose own procedure keeps the font it is given.
    TestWindow window(nullptr, 0, 0, "Static");
    HFONT native = nullptr;
    {
        IFont font("Arial", 14);
        window.setFont(font);
        native = font.handle();
    }
    // The caller's font object is gone; the window's copy keeps the native font.
    EXPECT_EQ(reinterpret_cast<HFONT>(window.sendEvent(WM_GETFONT).asPointer()), native);
    EXPECT_NE(GetObjectType(native), 0U);
    EXPECT_EQ(window.font().handle(), native);
    const ISize characters = window.characterSize();
    EXPECT_GT(characters.width(), 0);
    EXPECT_GT(characters.height(), 0);
    // A font built for the window shares the window's record.
    EXPECT_EQ(IFont(&window).handle(), native);

    window.resetFont();
    EXPECT_EQ(window.sendEvent(WM_GETFONT).asPointer(), nullptr);
    EXPECT_GT(window.characterSize().height(), 0);
}

TEST(GeometryFonts, AFontSetsItselfAsAWindowsFontTheSameWay)
{
    TestWindow window(nullptr, 0, 0, "Static");
    HFONT native = nullptr;
    {
        IFont font("Arial", 12);
        EXPECT_TRUE(font.setWindowFont(&window));
        native = font.handle();
    }
    EXPECT_EQ(reinterpret_cast<HFONT>(window.sendEvent(WM_GETFONT).asPointer()), native);
    EXPECT_NE(GetObjectType(native), 0U);
    EXPECT_EQ(window.font().handle(), native);
    EXPECT_THROW(IFont("Arial", 12).setWindowFont(nullptr), IInvalidParameter);
    window.resetFont();
}

TEST(GeometryFonts, AWindowThatOutlivesItsWrapperIsNotLeftWithADeletedFont)
{
    const HWND native = ovktest::createNativeWindow(nullptr, 0, 0, "Static");
    {
        IWindow wrapper{IWindowHandle(native)};
        wrapper.setFont(IFont("Arial", 10));
        EXPECT_NE(SendMessageA(native, WM_GETFONT, 0, 0), 0);
    }
    EXPECT_EQ(SendMessageA(native, WM_GETFONT, 0, 0), 0);
    DestroyWindow(native);
}

// Drag detection -----------------------------------------------------------------------------------

TEST_F(Geometry, APressOverAChildFollowedByAMoveOfMoreThanTwoPixelsStartsADrag)
{
    child->moveSizeTo(IRectangle(10, 10, 60, 60));
    // The left button is held from the press to the release, as the mouse messages say.
    auto event = [&](UINT message, int x, int y) {
        return IEvent(parent->hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                      MAKELPARAM(x, y));
    };
    IEvent press = event(WM_LBUTTONDOWN, 20, 20);
    EXPECT_FALSE(parent->isDragStarting(press));
    EXPECT_TRUE(parent->hasPointerCaptured());
    IEvent small = event(WM_MOUSEMOVE, 22, 22);
    EXPECT_FALSE(parent->isDragStarting(small));
    IEvent distant = event(WM_MOUSEMOVE, 23, 20);
    EXPECT_TRUE(parent->isDragStarting(distant));
    EXPECT_FALSE(parent->hasPointerCaptured());

    // Over no child, or over a disabled one, nothing is pending.
    IEvent outside = event(WM_LBUTTONDOWN, 100, 100);
    EXPECT_FALSE(parent->isDragStarting(outside));
    IEvent move = event(WM_MOUSEMOVE, 150, 150);
    EXPECT_FALSE(parent->isDragStarting(move));
    child->disable();
    EXPECT_FALSE(parent->isDragStarting(press));
    EXPECT_FALSE(parent->isDragStarting(distant));

    // A release ends what is pending.
    child->enable();
    EXPECT_FALSE(parent->isDragStarting(press));
    IEvent release = event(WM_LBUTTONUP, 20, 20);
    EXPECT_FALSE(parent->isDragStarting(release));
    EXPECT_FALSE(parent->hasPointerCaptured());
    EXPECT_FALSE(parent->isDragStarting(distant));
}

// Minimum size and layout ------------------------------------------------------------------------

TEST_F(Geometry, TheMinimumSizeIsTheExplicitOneElseTheCalculatedOneCached)
{
    struct Counting : TestWindow {
        using TestWindow::TestWindow;
        ISize calcMinimumSize() const override
        {
            ++calls;
            return ISize(33, 44);
        }
        mutable int calls = 0;
    } window(parent->hwnd(), 0, 9);

    window.setLayoutDistorted(0, 0xFFFF);
    EXPECT_EQ(window.minimumSize().asString(), ISize(33, 44).asString());
    EXPECT_EQ(window.minimumSize().asString(), ISize(33, 44).asString());
    EXPECT_EQ(window.calls, 1);
    window.disableMinimumSizeCaching();
    window.minimumSize();
    EXPECT_EQ(window.calls, 2);
    window.enableMinimumSizeCaching();

    parent->setLayoutDistorted(0, 0xFFFF);
    window.setMinimumSize(ISize(5, 6));
    EXPECT_EQ(window.minimumSize().asString(), ISize(5, 6).asString());
    // The parent learns that a child's minimum size changed.
    EXPECT_TRUE(parent->isLayoutDistorted(0x10));
    EXPECT_EQ(window.minimumSize(true).asString(), ISize(33, 44).asString());
}

TEST_F(Geometry, WindowWordsAreWrittenAndAFailureIsASystemError)
{
    child->setWindowData(GWL_EXSTYLE, static_cast<unsigned long>(WS_EX_TRANSPARENT));
    EXPECT_TRUE(GetWindowLongPtrA(child->hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_THROW(child->setWindowData(4096, 1UL), ISystemError);
}

} // namespace
