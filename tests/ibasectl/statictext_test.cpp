// The static text: alignments, the flag pairs and their notifications, the fill, the limit,
// taking over a native static, and a new text reaching the canvas that holds the label.
#include <windows.h>

#include <gtest/gtest.h>

#include <detail/ilaybits.hpp>
#include <isetcv.hpp>
#include <istattxt.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class StaticText : public basectltest::ShownParent {
protected:
    std::unique_ptr<IStaticText> make(const IStaticText::Style& style = IStaticText::defaultStyle(),
                                      const IRectangle& rect = IRectangle(10, 10, 110, 40)) {
        return std::make_unique<IStaticText>(7, parent.get(), parent.get(), rect, style);
    }
    static bool needsPaint(const IWindow& window) {
        return GetUpdateRect(window.handle(), nullptr, FALSE) != FALSE;
    }
};

} // namespace

TEST_F(StaticText, AlignmentRoundTripsAndSetAlignmentClearsTheOthers)
{
    auto text = make();
    for (int value = IStaticText::topLeft; value <= IStaticText::bottomRight; ++value) {
        text->setAlignment(static_cast<IStaticText::Alignment>(value));
        EXPECT_EQ(text->alignment(), value);
    }
    // From bottomRight back to topLeft: only _left and _top stay of the alignment bits.
    text->setAlignment(IStaticText::topLeft);
    EXPECT_EQ(text->alignment(), IStaticText::topLeft);
    EXPECT_EQ(text->extendedStyle() & 0xF00403UL, 0x3UL);

    const unsigned long before = text->extendedStyle();
    EXPECT_EQ(ovktest::caught([&] { text->setAlignment(static_cast<IStaticText::Alignment>(10)); })
                  .errorId(),
              OVK_MSG_INVALID_VALUE);
    EXPECT_EQ(text->extendedStyle(), before);
}

TEST_F(StaticText, FlagPairRepaintsAndNotifiesOnlyWhenItChanges)
{
    auto text = make();
    text->setText("Label");
    basectltest::NotificationLog log;
    text->enableNotification();
    text->addObserver(log);
    UpdateWindow(text->handle());

    text->enableStrikeout();
    EXPECT_TRUE(needsPaint(*text));
    UpdateWindow(text->handle());
    text->enableStrikeout();
    EXPECT_FALSE(needsPaint(*text));
    text->disableUnderscore();
    text->enableHalftone();
    text->enableHalftone(false);
    EXPECT_EQ(log.trace(), "IStaticText::strikeout=1 IStaticText::halftone=1 IStaticText::halftone=0");
    EXPECT_TRUE(text->isStrikeout());
    EXPECT_FALSE(text->isHalftone());
    text->removeObserver(log);
}

TEST_F(StaticText, FillColourFillsEvenWithoutText)
{
    auto text = make();
    text->setFillColor(IColor(0, 128, 0));
    UpdateWindow(text->handle());
    EXPECT_EQ(ovktest::pixelAt(text->handle(), 5, 5), RGB(0, 128, 0));
    EXPECT_EQ(ovktest::pixelAt(text->handle(), 99, 29), RGB(0, 128, 0));

    // A new fill colour repaints the control.
    text->setFillColor(IColor(0, 0, 128));
    UpdateWindow(text->handle());
    EXPECT_EQ(ovktest::pixelAt(text->handle(), 5, 5), RGB(0, 0, 128));
}

TEST_F(StaticText, FillColourOfTheSameRgbChangesNothing)
{
    auto text = make();
    basectltest::NotificationLog log;
    text->enableNotification();
    text->addObserver(log);
    text->setBackgroundColor(IColor(10, 20, 30));
    // The stored fill colour starts as pale grey; the same red, green and blue is no change.
    text->setFillColor(IColor(192, 192, 192));
    EXPECT_EQ(text->fillColor().asRGBLong(), IColor(10, 20, 30).asRGBLong());
    text->setFillColor(IColor(IColor::red));
    text->setFillColor(IColor(255, 0, 0));
    EXPECT_EQ(log.trace(), "IStaticText::fillColor=0");
    text->resetFillColor();
    EXPECT_EQ(text->fillColor().asRGBLong(), IColor(10, 20, 30).asRGBLong());
    EXPECT_EQ(log.trace(), "IStaticText::fillColor=0 IStaticText::fillColor=0");
    text->removeObserver(log);
}

TEST_F(StaticText, LimitAsksForRoomByThePitchOfTheFont)
{
    auto text = make();
    ASSERT_FALSE(IFont(text.get()).isFixed());
    const long average = text->characterSize().width();
    struct Case {
        unsigned long limit;
        long widths10; // tenths of an average character width
    };
    // Narrow limits need room for the widest letters, long ones average out.
    const Case cases[] = {{2, 60}, {4, 100}, {6, 120}, {10, 160}, {16, 224}, {32, 384},
                          {48, 528}, {60, 600}};
    for (const Case& c : cases) {
        text->setLimit(c.limit);
        EXPECT_EQ(text->limitSize().width(), average * c.widths10 / 10) << c.limit;
    }
    text->setFont(IFont("Courier New", 10, true));
    text->setLimit(4);
    ASSERT_TRUE(IFont(text.get()).isFixed());
    EXPECT_EQ(text->limitSize().width(), 4 * text->characterSize().width());
    text->setLimit(0);
    EXPECT_EQ(text->limitSize(), ISize(0, 0));
}

TEST_F(StaticText, WrappedNativeStaticFillsItsBackground)
{
    const HWND native = CreateWindowExA(0, "Static", "Native", WS_CHILD | WS_VISIBLE, 0, 0, 50,
                                        20, parentHandle(), reinterpret_cast<HMENU>(12), nullptr,
                                        nullptr);
    {
        IStaticText wrapped(12, parent.get());
        EXPECT_TRUE(wrapped.hasFillBackground());
        EXPECT_EQ(ovktest::str(wrapped.text()), "Native");
    }
    EXPECT_TRUE(IsWindow(native));
    DestroyWindow(native);
}

TEST_F(StaticText, NewTextOfAnotherSizeMakesTheHoldingCanvasLayOutAgain)
{
    ISetCanvas canvas(1, parent.get(), parent.get(), IRectangle(0, 0, 300, 100));
    IStaticText label(2, &canvas, &canvas, IRectangle(), IStaticText::defaultStyle());
    label.setText("Short");
    canvas.layout();
    const ISize before = label.size();
    label.setText("A considerably longer label");
    EXPECT_TRUE(canvas.isLayoutDistorted(ovk_layout::layoutDue));
    canvas.layout();
    EXPECT_GT(label.size().width(), before.width());
    EXPECT_EQ(label.size(), label.minimumSize());
}
