// Tool bar buttons dragged by hand within their tool bar.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <iframe.hpp>
#include <ireslib.hpp>
#include <istattxt.hpp>
#include <itbar.hpp>
#include <itbarbut.hpp>

#include <detail/iscoped.hpp>
#include <handdrag.hpp>
#include <ovktest.hpp>

#include "toolbarframe.hpp"

namespace {

class ToolBarDrag : public testing::Test, protected dragtest::ToolBarFrame {
protected:
    ToolBarDrag() : ToolBarFrame("tool bar drag") {}
    void SetUp() override {
        SetWindowPos(frame->handle(), HWND_TOPMOST, 60, 60, 400, 300, SWP_SHOWWINDOW);
        ovktest::pumpPending();
    }

    // Presses on the first button and lets go over the right quarter of the last one.
    bool dragFirstAfterLast() {
        RECT first{}, last{};
        GetWindowRect(buttons[0]->handle(), &first);
        GetWindowRect(buttons[2]->handle(), &last);
        ovktest::HandPath path;
        path.from = POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
        path.to = POINT{last.right - (last.right - last.left) / 4, (last.top + last.bottom) / 2};
        path.lingerTicks = 10;
        return ovktest::dragByHand(path);
    }
};

TEST_F(ToolBarDrag, AButtonMovesAlongItsToolBar)
{
    ASSERT_TRUE(dragFirstAfterLast());
    EXPECT_EQ(listed(), "102 103 101");
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

// The button shows its own copy of a picture larger than the standard size; the application may
// delete the bitmap it gave. The drag image cannot be drawn from it then, and the button is
// dragged without one.
TEST_F(ToolBarDrag, AButtonWhosePictureCannotBeDrawnIsDraggedWithoutAnImage)
{
    const ISize standard = IToolBarButton::standardBitmapSize();
    const ovk_native::WindowDC screen(nullptr);
    ovk_native::Bitmap given(CreateCompatibleBitmap(screen.get(),
                                                    static_cast<int>(standard.width()) * 2,
                                                    static_cast<int>(standard.height()) * 2));
    ASSERT_TRUE(given);
    buttons[0]->setBitmap(IBitmapHandle(given.get()));
    given.destroy();
    ovktest::pumpPending();
    ASSERT_TRUE(dragFirstAfterLast());
    EXPECT_EQ(listed(), "102 103 101");
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

// Whatever fails while the drag image is drawn, not only the library's own errors: here the run
// time runs out of memory as the picture's context is made. The image is only the drag's
// decoration, and the button is dragged without it.
using CreateBitmapEntry = HBITMAP(WINAPI*)(HDC, int, int);
CreateBitmapEntry gCreateBitmap = nullptr;
SIZE gFailingSize{0, 0};
bool gFailed = false;

HBITMAP WINAPI failingCreateBitmap(HDC context, int width, int height)
{
    if (!gFailed && width == gFailingSize.cx && height == gFailingSize.cy) {
        gFailed = true;
        throw std::bad_alloc();
    }
    return gCreateBitmap(context, width, height);
}

TEST_F(ToolBarDrag, AButtonWhosePictureFailsToDrawWithAnyErrorIsDraggedWithoutAnImage)
{
    // A picture of a size no other drawing of the frame asks for.
    const ISize standard = IToolBarButton::standardBitmapSize();
    const ovk_native::WindowDC screen(nullptr);
    ovk_native::Bitmap given(CreateCompatibleBitmap(screen.get(),
                                                    static_cast<int>(standard.width()) * 2 + 3,
                                                    static_cast<int>(standard.height()) * 2 + 1));
    ASSERT_TRUE(given);
    buttons[0]->setBitmap(IBitmapHandle(given.get()));
    ovktest::pumpPending();
    BITMAP held{};
    ASSERT_TRUE(GetObjectA(buttons[0]->bitmap().asValue(), sizeof held, &held));
    gFailingSize = SIZE{held.bmWidth, held.bmHeight};
    gFailed = false;
    const ovktest::ImportPatch patch("ovkwin.dll", "CreateCompatibleBitmap", &failingCreateBitmap,
                                     gCreateBitmap);
    ASSERT_TRUE(patch.applied());
    ASSERT_TRUE(dragFirstAfterLast());
    EXPECT_TRUE(gFailed);
    EXPECT_EQ(listed(), "102 103 101");
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

// The drag detection of a button must leave a plain click alone: the press and the release on
// the same spot still reach the owner as the button's command, and nothing is dragged.
TEST_F(ToolBarDrag, APressReleasedWhereItWasStillClicksTheButton)
{
    ovktest::Recorder commands(WM_COMMAND);
    unsigned long clicks = 0;
    commands.attach(*bar, "command").setAction([&](IEvent& event) {
        if (event.parameter1().lowNumber() == 101)
            ++clicks;
        return false;
    });
    RECT first{};
    GetWindowRect(buttons[0]->handle(), &first);
    ovktest::HandPath path;
    path.from = POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
    path.to = path.from;
    path.steps = 1;
    path.lingerTicks = 0;
    ASSERT_TRUE(ovktest::dragByHand(path));
    ASSERT_TRUE(ovktest::pumpUntil([&] { return clicks != 0; }));
    EXPECT_EQ(clicks, 1u);
    EXPECT_EQ(listed(), "101 102 103");
}

} // namespace
