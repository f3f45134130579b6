// The animated button: its bitmap lists, the timer driven by pumping, latching that animates,
// and the predefined animations of the library.
#include "buttontest.hpp"

#include <ovkmsgid.hpp>

#include <iapp.hpp>

#include "ianimbut.hpp"

namespace {

using toolbartest::ButtonFixture;

constexpr COLORREF kFrame0 = RGB(200, 0, 0);

class AnimatedButton : public ButtonFixture {
protected:
    void TearDown() override
    {
        animated.reset();
        ButtonFixture::TearDown();
    }
    IAnimatedButton& make(const IAnimatedButton::Style& style = IAnimatedButton::defaultStyle())
    {
        animated = std::make_unique<IAnimatedButton>(7, parent.get(), parent.get(),
                                                     IRectangle(10, 100, 60, 150), style);
        return *animated;
    }
    // The five one-colour frames of the test program.
    static IResourceId frames()
    {
        return IResourceId(0x6100, IApplication::current().userResourceLibrary());
    }
    std::unique_ptr<IAnimatedButton> animated;
};

TEST_F(AnimatedButton, IndexesPastTheBitmapsFailWithMessage154)
{
    IAnimatedButton& button = make();
    IException failure = ovktest::caught([&] { button.startAnimation(0); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_INDEX_OUT_OF_RANGE);
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->functionName()),
              "IAnimatedButton::startAnimation(unsigned long)");
    EXPECT_FALSE(button.isAnimating());

    button.setBitmaps(frames(), 5);
    failure = ovktest::caught([&] { button.setCurrentBitmapIndex(5); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_INDEX_OUT_OF_RANGE);
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->functionName()),
              "IAnimatedButton::setCurrentBitmapIndex(unsigned long)");
    EXPECT_FALSE(button.bitmap(5).isValid());
    EXPECT_TRUE(button.bitmap(4).isValid());
}

TEST_F(AnimatedButton, TheTickAfterTheLastBitmapShowsTheFirst)
{
    IAnimatedButton& button = make();
    button.setBitmaps(frames(), 5);
    button.setCurrentBitmapIndex(4);
    // Painted once, so that the timer knows where the bitmap goes.
    UpdateWindow(button.handle());
    button.setAnimationRate(10);
    button.startAnimation(4);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return button.currentBitmapIndex() == 0; }));
    button.stopAnimation();
    EXPECT_EQ(ovktest::pixelAt(button.handle(), 25, 25), kFrame0);
}

TEST_F(AnimatedButton, LatchingAnimatesAndReleasingStopsAtTheFirstBitmap)
{
    IAnimatedButton& button = make(IAnimatedButton::animateWhenLatched | ICustomButton::latchable);
    button.setBitmaps(frames(), 5);
    button.setCurrentBitmapIndex(2);
    button.setLatched(true);
    EXPECT_TRUE(button.isAnimating());
    EXPECT_EQ(button.currentBitmapIndex(), 2u);
    button.setLatched(false);
    EXPECT_FALSE(button.isAnimating());
    EXPECT_EQ(button.currentBitmapIndex(), 0u);

    button.setLatched(true);
    button.disableAnimateWhenLatched();
    EXPECT_FALSE(button.isAnimating());
}

TEST_F(AnimatedButton, NewBitmapsKeepARunningAnimationFromTheFirst)
{
    IAnimatedButton& button = make();
    button.setBitmaps(frames(), 5);
    button.startAnimation(3);
    button.setBitmaps(IAnimatedButton::animation11);
    EXPECT_TRUE(button.isAnimating());
    EXPECT_EQ(button.currentBitmapIndex(), 0u);
    EXPECT_EQ(button.bitmapCount(), 6u);
}

TEST_F(AnimatedButton, PredefinedAnimationsComeFromTheLibrary)
{
    IAnimatedButton& button = make();
    const unsigned long counts[16] = {1, 1, 1, 5, 1, 1, 1, 1, 1, 1, 1, 6, 6, 1, 1, 1};
    for (unsigned animation = 0; animation < 16; ++animation) {
        SCOPED_TRACE(animation);
        button.setBitmaps(static_cast<IAnimatedButton::AnimatedBitmaps>(animation));
        ASSERT_EQ(button.bitmapCount(), counts[animation]);
        for (unsigned long i = 0; i < counts[animation]; ++i)
            EXPECT_TRUE(button.bitmap(i).isValid());
    }
}

} // namespace
