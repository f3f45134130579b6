// Small services of the window core: coordinate orientation, window class names, the child
// cursor.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <icoordsy.hpp>
#include <iwcname.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

class Orientation : public testing::Test {};

TEST_F(Orientation, NativeOrientationConvertsNothing)
{
    const ISize size(200, 100);
    EXPECT_FALSE(ICoordinateSystem::isConversionNeeded());
    EXPECT_EQ(ICoordinateSystem::convertToNative(IPoint(10, 30), size), IPoint(10, 30));
    EXPECT_EQ(ICoordinateSystem::convertToApplication(IRectangle(0, 10, 50, 40), size),
              IRectangle(0, 10, 50, 40));
}

TEST_F(Orientation, LowerLeftOriginFlipsYAgainstTheHeightBothWays)
{
    const ovktest::CoordinateSystem system(ICoordinateSystem::kOriginLowerLeft);
    const ISize size(200, 100);
    EXPECT_TRUE(ICoordinateSystem::isConversionNeeded());
    EXPECT_EQ(ICoordinateSystem::convertToNative(IPoint(10, 30), size), IPoint(10, 70));
    EXPECT_EQ(ICoordinateSystem::convertToApplication(IPoint(10, 30), size), IPoint(10, 70));
    EXPECT_EQ(ICoordinateSystem::convertToNative(IRectangle(0, 10, 50, 40), size),
              IRectangle(0, 60, 50, 90));
    EXPECT_EQ(ICoordinateSystem::convertToApplication(IRectangle(0, 10, 50, 40), size),
              IRectangle(0, 60, 50, 90));
}

TEST(WindowClassName, ReadsAWindowsClassAndComparesByNameOrAtom)
{
    TestWindow window;
    const IWindowClassName name(window.hwnd());
    EXPECT_EQ(name.asString(), ovktest::testClassName());
    EXPECT_TRUE(name == ovktest::testClassName());
    EXPECT_TRUE(name != "Edit");

    // The system dialog class is registered by atom and reports itself as "#32770".
    const HWND dialog = CreateWindowExA(0, MAKEINTATOM(0x8002), "", 0, 0, 0, 10, 10, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    const IWindowClassName dialogName(dialog);
    EXPECT_EQ(dialogName.asString(), "#32770");
    EXPECT_TRUE(dialogName == MAKEINTATOM(0x8002));
    EXPECT_FALSE(dialogName == MAKEINTATOM(0x8003));
    EXPECT_TRUE(IWindowClassName(MAKEINTATOM(0x8002)) == dialogName);
    DestroyWindow(dialog);
}

TEST(WindowClassName, AnInvalidHandleFailsTheArgumentCheck)
{
    EXPECT_THROW(IWindowClassName{IWindowHandle()}, IInvalidParameter);
}

TEST(ChildCursor, WalksTheChildrenAndStaysInvalidWhenNeverSet)
{
    TestWindow parent;
    TestWindow first(parent.hwnd(), 0, 1);
    TestWindow second(parent.hwnd(), 0, 2);
    IWindow::ChildCursor cursor(parent);
    EXPECT_FALSE(cursor.setToNext());

    std::vector<HWND> children;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        children.push_back(parent.childAt(cursor));
    EXPECT_EQ(children.size(), 2u);
    EXPECT_NE(std::find(children.begin(), children.end(), first.hwnd()), children.end());
    EXPECT_NE(std::find(children.begin(), children.end(), second.hwnd()), children.end());
    cursor.invalidate();
    EXPECT_FALSE(cursor.isValid());
}

} // namespace
