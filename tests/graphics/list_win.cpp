// Graphic lists: stacking order in drawing and hit tests, the three kinds of cursor, editing,
// shared graphics, and the list's own transform and bundle.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include <iglist.hpp>
#include <igline.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>

#include <iexcept.hpp>

#include "drawing.hpp"

using graphicstest::kBlue;
using graphicstest::kRed;
using graphicstest::kWhite;

namespace {

IGraphicBundle filledWith(const IColor& color)
{
    IGraphicBundle bundle;
    bundle.setFillColor(color).setPenColor(color);
    return bundle;
}

// Two overlapping squares: bottom from (10,10) to (50,50), top from (30,30) to (70,70).
class ListGraphic : public graphicstest::DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        fContext->setHitApertureSize(ISize(2, 2));
        fBottom.setGraphicBundle(filledWith(IColor(255, 0, 0))).setId(1);
        fTop.setGraphicBundle(filledWith(IColor(0, 0, 255))).setId(2);
        fList.addAsLast(fBottom).addAsLast(fTop);
    }

    IGRectangle fBottom{IRectangle(10, 10, 50, 50)};
    IGRectangle fTop{IRectangle(30, 30, 70, 70)};
    IGList fList;
};

TEST_F(ListGraphic, LaterGraphicsAreDrawnOnTopAndFoundFirst)
{
    fContext->draw(fList);
    EXPECT_EQ(fSurface.pixel(40, 40), kBlue);
    EXPECT_EQ(fSurface.pixel(20, 20), kRed);

    struct Case {
        IPoint point;
        IGraphic* top;
        IGraphic* bottom;
    } cases[] = {{IPoint(40, 40), &fTop, &fBottom},
                 {IPoint(20, 20), &fBottom, &fBottom},
                 {IPoint(60, 60), &fTop, &fTop},
                 {IPoint(90, 10), nullptr, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point.asString());
        EXPECT_EQ(fList.topGraphicAt(*fContext, c.point), c.top);
        EXPECT_EQ(fList.bottomGraphicAt(*fContext, c.point), c.bottom);
        EXPECT_EQ(fList.hitTest(*fContext, c.point) != 0, c.top != nullptr);
    }
    // Hit testing leaves the context drawing.
    EXPECT_FALSE(fContext->isHitTesting());

    fTop.enableHitTesting(false);
    EXPECT_EQ(fList.topGraphicAt(*fContext, IPoint(40, 40)), &fBottom);
    EXPECT_EQ(fList.topGraphicAt(*fContext, IPoint(60, 60)), nullptr);
    fTop.enableHitTesting();
    fList.enableHitTesting(false);
    EXPECT_FALSE(fList.hitTest(*fContext, IPoint(40, 40)));
}

TEST_F(ListGraphic, CursorsWalkAllOrOneIdentifierInBothDirections)
{
    IGLine third(IPoint(0, 0), IPoint(5, 5));
    third.setId(1);
    fList.addAsLast(third);

    IGList::Cursor all(fList);
    std::vector<IGraphic*> seen;
    for (all.setToLast(); all.isValid(); all.setToPrevious())
        seen.push_back(fList.graphicAt(all));
    EXPECT_EQ(seen, (std::vector<IGraphic*>{&third, &fTop, &fBottom}));

    IGList::Cursor ones(fList, 1);
    seen.clear();
    for (ones.setToFirst(); ones.isValid(); ones.setToNext())
        seen.push_back(fList.graphicAt(ones));
    EXPECT_EQ(seen, (std::vector<IGraphic*>{&fBottom, &third}));
    EXPECT_TRUE(ones.setToLast());
    EXPECT_EQ(fList.graphicAt(ones), &third);

    IGList::Cursor none(fList, 9);
    EXPECT_FALSE(none.setToFirst());
    EXPECT_THROW(fList.graphicAt(none), IInvalidParameter);
    IGList other;
    IGList::Cursor foreign(other);
    EXPECT_THROW(fList.removeAt(foreign), IInvalidParameter);
}

TEST_F(ListGraphic, EditingLeavesTheGraphicsAlone)
{
    IGList::Cursor cursor(fList, 2);
    ASSERT_TRUE(cursor.setToFirst());
    IGLine line(IPoint(0, 0), IPoint(1, 1));
    fList.addAsPrevious(line, cursor);
    EXPECT_EQ(fList.graphicAtPosition(2), &line);
    fList.removeAtPosition(2).addAtPosition(1, line);
    EXPECT_EQ(fList.firstGraphic(), &line);
    EXPECT_EQ(fList.numberOfGraphics(), 3u);
    // Removal by graphic takes the graphic itself out, once.
    EXPECT_TRUE(fList.remove(line));
    EXPECT_FALSE(fList.remove(line));
    fList.addAsFirst(line);

    fList.removeAllWithId(2);
    EXPECT_FALSE(fList.contains(fTop));
    line.setId(1);
    fList.removeAllWithId(1);
    EXPECT_TRUE(fList.isEmpty());
    // The graphics live on and still draw.
    fTop.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(60, 60), kBlue);
}

TEST_F(ListGraphic, CopiesShareTheGraphics)
{
    IGList copy(fList);
    EXPECT_EQ(copy.numberOfGraphics(), 2u);
    fBottom.setGraphicBundle(filledWith(IColor(0, 0, 255)));
    fContext->draw(copy);
    EXPECT_EQ(fSurface.pixel(20, 20), kBlue);
    copy.removeAll();
    EXPECT_EQ(fList.numberOfGraphics(), 2u);
}

TEST_F(ListGraphic, TheListsTransformAppliesToItsGraphicsAndIsPutBack)
{
    fList.translateBy(IPoint(25, 0));
    fContext->draw(fList);
    EXPECT_EQ(fSurface.pixel(20, 20), kWhite);
    EXPECT_EQ(fSurface.pixel(45, 20), kRed);
    EXPECT_EQ(fSurface.pixel(90, 60), kBlue);
    EXPECT_EQ(fList.topGraphicAt(*fContext, IPoint(90, 60)), &fTop);
    EXPECT_EQ(fList.topGraphicAt(*fContext, IPoint(15, 15)), nullptr);

    const ITransformMatrix before(1, 0, 0, 1, 3, 4);
    fContext->setWorldTransform(before);
    {
        IGList::Cursor hits(fList, *fContext, IPoint(90, 60));
        EXPECT_FALSE(fContext->worldTransform() == before);
        EXPECT_TRUE(hits.setToFirst());
        EXPECT_EQ(fList.graphicAt(hits), &fTop);
        // The bounds of the graphic as the hit cursor's context sees it.
        EXPECT_EQ(fList.boundingRectAt(hits), IRectangle(58, 34, 98, 74));
    }
    EXPECT_TRUE(fContext->worldTransform() == before);
}

TEST_F(ListGraphic, NestedListsDrawAndReportHitsAndAListInsideItselfEnds)
{
    IGList outer;
    outer.addAsLast(fList);
    IGRectangle cover(IRectangle(0, 0, 100, 10));
    cover.setGraphicBundle(filledWith(IColor(0, 0, 255)));
    outer.addAsLast(cover);
    EXPECT_EQ(outer.topGraphicAt(*fContext, IPoint(40, 40)), &fList);
    EXPECT_EQ(outer.topGraphicAt(*fContext, IPoint(40, 5)), &cover);

    outer.addAsFirst(outer);
    fContext->draw(outer);
    EXPECT_EQ(fSurface.pixel(40, 40), kBlue);
    EXPECT_EQ(fSurface.pixel(20, 20), kRed);
    EXPECT_EQ(fSurface.pixel(40, 5), kBlue);
    EXPECT_EQ(outer.boundingRect(*fContext), IRectangle(0, 0, 100, 70));
}

} // namespace
