// The graphic canvas: painting its list only with automatic painting, and its list sizing the
// canvas in the canvas that holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <detail/ilaybits.hpp>
#include <igbundle.hpp>
#include <iglist.hpp>
#include <igrafcv.hpp>
#include <igrect.hpp>
#include <isetcv.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class GraphicCanvas : public basectltest::ShownParent {
protected:
    void SetUp() override {
        ShownParent::SetUp();
        IGraphicBundle bundle;
        bundle.setFillColor(IColor(0, 0, 255)).setPenColor(IColor(0, 0, 255));
        bundle.setDrawOperation(IGraphicBundle::fillAndFrame);
        box.setGraphicBundle(bundle);
        list.addAsLast(box);
    }

    IGRectangle box{IRectangle(10, 10, 60, 40)};
    IGList list;
};

} // namespace

TEST_F(GraphicCanvas, PaintsItsListOnlyWithAutomaticPainting)
{
    struct Case {
        const char* name;
        IGraphicCanvas::Style style;
        bool painted;
    };
    const Case cases[] = {
        {"auto paint", IGraphicCanvas::classDefault, true},
        {"without", IGraphicCanvas::Style(WS_VISIBLE, 0), false},
    };
    for (const Case& c : cases) {
        IGraphicCanvas canvas(5, parent.get(), parent.get(), IRectangle(0, 0, 100, 100), c.style);
        canvas.setBackgroundColor(IColor(255, 255, 255));
        canvas.setGraphicList(&list);
        RedrawWindow(canvas.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 30, 20) == RGB(0, 0, 255), c.painted) << c.name;
        EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 80, 80) == RGB(0, 0, 255), false) << c.name;
    }
}

TEST_F(GraphicCanvas, NewListResizesTheCanvasInItsParentCanvas)
{
    ISetCanvas holder(1, parent.get(), parent.get(), IRectangle(0, 0, 300, 200));
    holder.setMargin(ISize(0, 0));
    IGraphicCanvas canvas(2, &holder, &holder);
    holder.layout();
    EXPECT_EQ(canvas.size(), ISize(0, 0));

    IGList empty;
    canvas.setGraphicList(&empty);
    EXPECT_EQ(canvas.minimumSize(), ISize(0, 0));

    canvas.setGraphicList(&list);
    EXPECT_TRUE(holder.isLayoutDistorted(ovk_layout::layoutDue));
    holder.layout();
    EXPECT_EQ(canvas.size(), ISize(60, 40));
}
