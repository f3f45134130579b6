// Group boxes and outline boxes: styles, frame types and colours, minimum size, and the empty
// visible rectangle; the frame drawn and read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <detail/ilaybits.hpp>
#include <igroupbx.hpp>
#include <ioutlbox.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class Boxes : public basectltest::ShownParent {};

TEST_F(Boxes, TheDefaultOutlineIsAVisibleForegroundFrameWithAStaticEdge)
{
    IOutlineBox outline(1, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(60, 40)));
    const HWND handle = outline.handle();
    EXPECT_TRUE(outline.isVisible());
    EXPECT_EQ(GetWindowLongPtrA(handle, GWL_STYLE) & 0xF, SS_BLACKFRAME);
    EXPECT_TRUE(GetWindowLongPtrA(handle, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_EQ(outline.outlineType(), IOutlineBox::foreground);
    EXPECT_EQ(outline.foregroundColor().asRGBLong(), static_cast<unsigned long>(GetSysColor(COLOR_WINDOWFRAME)));
    EXPECT_TRUE(outline.visibleRectangle().isEmpty());
    EXPECT_EQ(outline.visibleRectangle().minimum(), outline.position());
}

TEST_F(Boxes, TheOutlineTypeReadsBackAndAWrongOneChangesNothing)
{
    IOutlineBox outline(1, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(60, 40)),
                        IOutlineBox::foregroundFrame | IWindow::visible);
    outline.setOutlineType(IOutlineBox::halftone);
    EXPECT_EQ(outline.outlineType(), IOutlineBox::halftone);
    EXPECT_EQ(GetWindowLongPtrA(outline.handle(), GWL_STYLE) & 0xF, SS_GRAYFRAME);
    EXPECT_EQ(outline.foregroundColor().asRGBLong(), static_cast<unsigned long>(GetSysColor(COLOR_BACKGROUND)));
    outline.setOutlineType(IOutlineBox::background);
    EXPECT_EQ(GetWindowLongPtrA(outline.handle(), GWL_STYLE) & 0xF, SS_WHITEFRAME);
    EXPECT_EQ(outline.outlineType(), IOutlineBox::background);

    const IException failure = ovktest::caught(
        [&] { outline.setOutlineType(static_cast<IOutlineBox::OutlineType>(3)); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_INVALID_VALUE);
    EXPECT_EQ(outline.outlineType(), IOutlineBox::background);
}

TEST_F(Boxes, AnOutlineWithoutAFrameOrParentIsRefused)
{
    const IException noFrame = ovktest::caught([&] {
        IOutlineBox outline(1, parent.get(), parent.get(), IRectangle(), IOutlineBox::_border3D);
    });
    EXPECT_EQ(ovktest::str(noFrame.text(0)),
              "(obsStyle & (backgroundFrame | foregroundFrame | halftoneFrame))!=0");
    ASSERT_NE(noFrame.locationAtIndex(0), nullptr);
    EXPECT_EQ(ovktest::str(noFrame.locationAtIndex(0)->fileName()), "ioutlbox");
    const IException noParent = ovktest::caught([&] { IOutlineBox outline(1, nullptr, nullptr); });
    EXPECT_EQ(ovktest::str(noParent.text(0)), "pwndParent!=0");
}

TEST_F(Boxes, TheFrameIsDrawnInItsColourAroundAnUntouchedInside)
{
    const HBRUSH background = CreateSolidBrush(RGB(10, 200, 30));
    SetClassLongPtrA(parentHandle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background));
    IOutlineBox outline(1, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(60, 40)),
                        IOutlineBox::foregroundFrame | IWindow::visible);
    RedrawWindow(parentHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const COLORREF frame = ovktest::pixelAt(outline.handle(), 0, 20);
    EXPECT_NE(frame, RGB(10, 200, 30));
    EXPECT_EQ(ovktest::pixelAt(outline.handle(), 59, 20), frame);
    EXPECT_EQ(ovktest::pixelAt(outline.handle(), 30, 20), RGB(10, 200, 30));
    SetClassLongPtrA(parentHandle(), GCLP_HBRBACKGROUND, 0);
    DeleteObject(background);
}

TEST_F(Boxes, AGroupBoxFramesItsCaption)
{
    IGroupBox group(2, parent.get(), parent.get(), IRectangle(IPoint(10, 60), ISize(200, 100)));
    group.setText("Options");
    EXPECT_EQ(GetWindowLongPtrA(group.handle(), GWL_STYLE) & 0xF, BS_GROUPBOX);
    EXPECT_TRUE(group.isVisible());
    EXPECT_TRUE(group.isLayoutDistorted(ovk_layout::minimumSizeChanged));
    const ISize caption = group.displaySize();
    EXPECT_EQ(group.calcMinimumSize(),
              ISize(caption.width() + 2 * static_cast<ISize::Coord>(IFont(&group).avgCharWidth()),
                    caption.height()));
    EXPECT_EQ(group.foregroundColor().asRGBLong(), static_cast<unsigned long>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_TRUE(group.visibleRectangle().isEmpty());

    // A group box of a dialog template, taken over by its identifier.
    const HWND native = CreateWindowExA(0, "Button", "Frame", WS_CHILD | BS_GROUPBOX, 0, 0, 50, 50,
                                        parentHandle(), reinterpret_cast<HMENU>(3), nullptr, nullptr);
    {
        IGroupBox wrapped(3, parent.get());
        EXPECT_EQ(ovktest::str(wrapped.text()), "Frame");
    }
    EXPECT_TRUE(IsWindow(native));
}

} // namespace
