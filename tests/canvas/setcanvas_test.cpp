// The set canvas: decks, pads, margins, packing and alignment, the setters that change nothing,
// the style checks.
#include <windows.h>

#include <gtest/gtest.h>


#include <detail/ilaybits.hpp>
#include <iobserver.hpp>
#include <isetcv.hpp>
#include <ovkmsgid.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

class SetCanvasLayout : public CanvasTest {
protected:
    ISetCanvas& makeCanvas(const ISetCanvas::Style& style = ISetCanvas::defaultStyle()) {
        canvas = std::make_unique<ISetCanvas>(1, top.get(), top.get(), IRectangle(0, 0, 300, 200),
                                              style);
        canvas->setMargin(ISize(5, 5));
        canvas->setPad(ISize(2, 3));
        return *canvas;
    }
    std::vector<IWindow*> addBoxes(const std::vector<ISize>& sizes) {
        std::vector<IWindow*> boxes;
        for (const ISize& size : sizes)
            boxes.push_back(&keep(canvastest::makeBox(*canvas, size)));
        return boxes;
    }
    void TearDown() override {
        children.clear();
        canvas.reset();
        CanvasTest::TearDown();
    }
    IRectangle laidOut(IWindow* window) {
        canvas->layout();
        return window->rect();
    }

    std::unique_ptr<ISetCanvas> canvas;
};

} // namespace

TEST_F(SetCanvasLayout, SevenChildrenInThreeDecksMakeRowsOfThreeTwoAndTwo)
{
    makeCanvas().setDeckCount(3);
    const auto boxes = addBoxes(std::vector<ISize>(7, ISize(20, 10)));
    canvas->layout();
    const IPoint expected[] = {{5, 5}, {27, 5}, {49, 5}, {5, 18}, {27, 18}, {5, 31}, {27, 31}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i]->position(), expected[i]) << "child " << i;
        EXPECT_EQ(boxes[i]->size(), ISize(20, 10)) << "child " << i;
    }
    EXPECT_EQ(canvas->minimumSize(), ISize(5 + 3 * 20 + 2 * 2 + 5, 5 + 3 * 10 + 2 * 3 + 5));
}

// A child whose object another thread made and keeps (pumping its messages meanwhile) is placed
// in its deck and measured like the others, through two layouts with a child added between.
TEST_F(SetCanvasLayout, AChildMadeOnAnotherThreadIsPlacedAndMeasured)
{
    makeCanvas(ISetCanvas::packTight | ISetCanvas::leftAlign | ISetCanvas::topAlign)
        .setDeckCount(1);
    const auto local = addBoxes({ISize(20, 10)});
    canvastest::RemoteBox box(*canvas, ISize(30, 12));
    ASSERT_NE(box.window(), nullptr);
    IWindow& remote = *box.window();
    canvas->layout();
    EXPECT_EQ(local[0]->position(), IPoint(5, 5));
    EXPECT_EQ(remote.position(), IPoint(5 + 20 + 2, 5));
    EXPECT_EQ(remote.size(), ISize(30, 12));
    EXPECT_EQ(canvas->minimumSize(), ISize(5 + 20 + 2 + 30 + 5, 5 + 12 + 5));
    const auto later = addBoxes({ISize(10, 10)});
    canvas->layout();
    EXPECT_EQ(remote.position(), IPoint(5 + 20 + 2, 5));
    EXPECT_EQ(later[0]->position(), IPoint(5 + 20 + 2 + 30 + 2, 5));
    EXPECT_EQ(canvas->minimumSize(), ISize(5 + 20 + 2 + 30 + 2 + 10 + 5, 5 + 12 + 5));
}

TEST_F(SetCanvasLayout, VerticalDecksRunDownFirst)
{
    makeCanvas(ISetCanvas::verticalDecks | ISetCanvas::packTight | ISetCanvas::leftAlign |
               ISetCanvas::topAlign);
    canvas->setDeckCount(2);
    const auto boxes = addBoxes({ISize(20, 10), ISize(30, 10), ISize(20, 10)});
    canvas->layout();
    EXPECT_EQ(boxes[0]->position(), IPoint(5, 5));
    EXPECT_EQ(boxes[1]->position(), IPoint(5, 18));
    EXPECT_EQ(boxes[2]->position(), IPoint(5 + 30 + 2, 5));
}

TEST_F(SetCanvasLayout, PadOfMinusOneOverlapsNeighboursByOnePixelAndMinusTwoIsRefused)
{
    makeCanvas().setPad(ISize(-1, -1));
    const auto boxes = addBoxes({ISize(20, 10), ISize(20, 10)});
    EXPECT_EQ(laidOut(boxes[1]).minX(), 5 + 20 - 1);
    const IException failure = ovktest::caught([&] { canvas->setPad(ISize(-2, 0)); });
    EXPECT_EQ(ovktest::str(failure.text()), "pad.width() >= -1 && pad.height() >= -1");
    EXPECT_EQ(canvas->pad(), ISize(-1, -1));
}

TEST_F(SetCanvasLayout, AlignmentAndPackingMoveChildrenWithinDeckAndSlot)
{
    struct Case {
        ISetCanvas::PackType pack;
        ISetCanvas::Alignment alignment;
        IRectangle second; // of a 20 x 10 child after a 40 x 30 one, in one row
        IRectangle third;  // of a 10 x 10 child starting the second row
    };
    const Case cases[] = {
        {ISetCanvas::tight, ISetCanvas::topLeft, {47, 5, 67, 15}, {5, 38, 15, 48}},
        {ISetCanvas::tight, ISetCanvas::centerCenter, {47, 15, 67, 25}, {5, 38, 15, 48}},
        {ISetCanvas::tight, ISetCanvas::bottomRight, {47, 25, 67, 35}, {5, 38, 15, 48}},
        // Even: slots as wide as the widest child of the same place in any deck.
        {ISetCanvas::even, ISetCanvas::topCenter, {47, 5, 67, 15}, {20, 38, 30, 48}},
        {ISetCanvas::even, ISetCanvas::bottomRight, {47, 25, 67, 35}, {35, 38, 45, 48}},
        // Expanded: every child as large as the largest.
        {ISetCanvas::expanded, ISetCanvas::topLeft, {47, 5, 87, 35}, {5, 38, 45, 68}},
    };
    makeCanvas().setDeckCount(2);
    const auto boxes = addBoxes({ISize(40, 30), ISize(20, 10), ISize(10, 10)});
    for (const Case& c : cases) {
        canvas->setPackType(c.pack);
        canvas->setAlignment(c.alignment);
        canvas->layout();
        EXPECT_EQ(boxes[1]->rect(), c.second) << c.pack << "/" << c.alignment;
        EXPECT_EQ(boxes[2]->rect(), c.third) << c.pack << "/" << c.alignment;
        EXPECT_EQ(canvas->packType(), c.pack);
        EXPECT_EQ(canvas->alignment(), c.alignment);
    }
}

TEST_F(SetCanvasLayout, DecksByGroupStartADeckAtEveryGroupChild)
{
    makeCanvas(ISetCanvas::defaultStyle() | ISetCanvas::decksByGroup).setDeckCount(5);
    const auto boxes = addBoxes({ISize(10, 10), ISize(10, 10), ISize(10, 10), ISize(10, 10)});
    SetWindowLongPtrA(boxes[2]->handle(), GWL_STYLE,
                      GetWindowLongPtrA(boxes[2]->handle(), GWL_STYLE) | WS_GROUP);
    canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas->layout();
    EXPECT_EQ(boxes[1]->position(), IPoint(17, 5));
    EXPECT_EQ(boxes[2]->position(), IPoint(5, 18));
    EXPECT_EQ(boxes[3]->position(), IPoint(17, 18));
}

TEST_F(SetCanvasLayout, EmptyCanvasIsAsLargeAsItsMargins)
{
    makeCanvas();
    canvas->layout();
    EXPECT_EQ(canvas->minimumSize(), ISize(10, 10));
}

TEST_F(SetCanvasLayout, SettingTheSameValueAgainNeitherDistortsNorNotifies)
{
    makeCanvas(ISetCanvas::defaultStyle());
    canvas->layout();
    ovktest::NotificationLog counter;
    canvas->enableNotification();
    canvas->addObserver(counter);
    const std::pair<const char*, std::function<void()>> setters[] = {
        {"margin", [&] { canvas->setMargin(ISize(5, 5)); }},
        {"pad", [&] { canvas->setPad(ISize(2, 3)); }},
        {"deck count", [&] { canvas->setDeckCount(1); }},
        {"group pad", [&] { canvas->setGroupPad(0); }},
        {"alignment", [&] { canvas->setAlignment(ISetCanvas::topLeft); }},
        {"pack type", [&] { canvas->setPackType(ISetCanvas::tight); }},
        {"orientation", [&] { canvas->setDeckOrientation(ISetCanvas::horizontal); }},
    };
    for (const auto& setter : setters) {
        setter.second();
        EXPECT_FALSE(canvas->isLayoutDistorted(ovk_layout::layoutDue)) << setter.first;
    }
    EXPECT_EQ(counter.entries().size(), 0u);

    canvas->setDeckOrientation(ISetCanvas::vertical);
    EXPECT_TRUE(canvas->isLayoutDistorted(ovk_layout::layoutDue));
    ASSERT_EQ(counter.entries().size(), 1u);
    EXPECT_EQ(counter.entries().back().data, 1u);
    canvas->removeObserver(counter);
}

TEST_F(SetCanvasLayout, ConflictingStylePairIsRefusedWithMessage43)
{
    const ISetCanvas::Style conflicts[] = {
        ISetCanvas::horizontalDecks | ISetCanvas::verticalDecks,
        ISetCanvas::packTight | ISetCanvas::packExpanded,
        ISetCanvas::leftAlign | ISetCanvas::centerAlign,
        ISetCanvas::topAlign | ISetCanvas::bottomAlign,
    };
    for (const ISetCanvas::Style& style : conflicts) {
        const IException failure = ovktest::caught(
            [&] { ISetCanvas canvas(1, top.get(), top.get(), IRectangle(), style); });
        EXPECT_EQ(failure.errorId(), OVK_MSG_CONFLICTING_STYLE);
    }
}

TEST_F(SetCanvasLayout, OutOfRangeChoicesAreRefusedAndKeepTheStyle)
{
    makeCanvas();
    const unsigned long before = canvas->extendedStyle();
    EXPECT_EQ(ovktest::caught([&] { canvas->setAlignment(static_cast<ISetCanvas::Alignment>(9)); })
                  .errorId(),
              OVK_MSG_INVALID_VALUE);
    EXPECT_EQ(ovktest::caught([&] { canvas->setPackType(static_cast<ISetCanvas::PackType>(3)); })
                  .errorId(),
              OVK_MSG_INVALID_VALUE);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { canvas->setDeckCount(0); }).text()), "decks != 0");
    EXPECT_EQ(canvas->extendedStyle(), before);
}

TEST_F(SetCanvasLayout, ChildMinimumSizeChangeReLaysOutTheEnclosingCanvases)
{
    makeCanvas();
    ISetCanvas inner(2, canvas.get(), canvas.get(), IRectangle(), ISetCanvas::defaultStyle());
    inner.setMargin(ISize(0, 0));
    IWindow& box = keep(canvastest::makeBox(inner, ISize(20, 10)));
    canvas->layout();
    EXPECT_EQ(inner.size(), ISize(20, 10));
    box.setMinimumSize(ISize(50, 10));
    // The change climbs as "a child's minimum size changed"; the paints lay out bottom-up.
    EXPECT_TRUE(ovktest::pumpUntil([&] { return inner.size() == ISize(50, 10); }));
    EXPECT_EQ(canvas->minimumSize(), ISize(60, 20));
    children.clear();
}

// A derived canvas's own fix-up of the children runs in the layout, which still places them.
TEST_F(SetCanvasLayout, DerivedCanvasFixesUpTheChildrenThroughItsOverride)
{
    struct FixingCanvas : ISetCanvas {
        using ISetCanvas::ISetCanvas;
        IWindowPosBuffer& fixupChildren() override {
            ++fixups;
            return ISetCanvas::fixupChildren();
        }
        int fixups = 0;
    };
    FixingCanvas fixing(2, top.get(), top.get(), IRectangle(0, 0, 300, 200));
    fixing.setMargin(ISize(5, 5));
    fixing.setPad(ISize(2, 3));
    keep(canvastest::makeBox(fixing, ISize(20, 10)));
    IWindow& second = keep(canvastest::makeBox(fixing, ISize(20, 10)));
    fixing.fixups = 0;
    fixing.setLayoutDistorted(ovk_layout::layoutDue, 0);
    fixing.layout();
    EXPECT_EQ(fixing.fixups, 1);
    EXPECT_EQ(second.position(), IPoint(27, 5));
    EXPECT_EQ(fixing.minimumSize(), ISize(5 + 20 + 2 + 20 + 5, 5 + 10 + 5));
    children.clear();
}

TEST_F(SetCanvasLayout, TitleWidensTheMinimumSize)
{
    makeCanvas();
    canvas->layout();
    const ISize bare = canvas->minimumSize();
    canvas->setText("A rather long title");
    canvas->layout();
    const ISize titled = canvas->minimumSize();
    EXPECT_GT(titled.width(), bare.width());
    EXPECT_GT(titled.height(), bare.height() + canvas->characterSize().height());
    EXPECT_EQ(ovktest::str(canvas->text()), "A rather long title");
}
