// The graphic push button: its minimum size, the picture placed in the button and moved with
// the press, and buttons wrapped with the image they show.
#include "buttontest.hpp"

#include <iapp.hpp>
#include <iiconctl.hpp>
#include <detail/iscoped.hpp>

#include "igraphbt.hpp"

namespace {

using toolbartest::ButtonFixture;

class GraphicButton : public ButtonFixture {
protected:
    void TearDown() override
    {
        graphic.reset();
        ButtonFixture::TearDown();
    }
    // The test program's 32 by 32 bitmap.
    IGraphicPushButton& make(const IGraphicPushButton::Style& style = IGraphicPushButton::defaultStyle())
    {
        graphic = std::make_unique<IGraphicPushButton>(9, parent.get(), parent.get(), 0x6001ul,
                                                       IRectangle(10, 100, 110, 150), style);
        return *graphic;
    }
    std::unique_ptr<IGraphicPushButton> graphic;
};

TEST_F(GraphicButton, MinimumSizeIsTheGraphicsPlusSixEachWay)
{
    EXPECT_EQ(make().calcMinimumSize(), ISize(38, 38));
    graphic.reset();
    const IPointerHandle icon = IApplication::current().ovkuiResourceLibrary().loadIcon(0x7112);
    graphic = std::make_unique<IGraphicPushButton>(9, parent.get(), parent.get(), icon,
                                                   IRectangle(10, 100, 110, 150));
    const ISize own = graphic->graphic()->minimumSize();
    EXPECT_GT(own.width(), 0);
    EXPECT_EQ(graphic->calcMinimumSize(), ISize(own.width() + 6, own.height() + 6));
}

TEST_F(GraphicButton, PictureFillsTheButtonLessTheMarginOrKeepsItsSizeCentred)
{
    IGraphicPushButton& filled = make();
    EXPECT_EQ(filled.graphic()->rect(), IRectangle(3, 3, 97, 47));
    filled.sizeTo(ISize(60, 40));
    EXPECT_EQ(filled.graphic()->rect(), IRectangle(3, 3, 57, 37));
    filled.sizeTo(ISize(4, 4));
    EXPECT_EQ(filled.graphic()->size(), ISize(0, 0));

    IGraphicPushButton& centred = make(IGraphicPushButton::sizeToGraphicStyle);
    EXPECT_EQ(centred.graphic()->rect(), IRectangle(34, 9, 66, 41));
    centred.disableGraphicSizing();
    EXPECT_EQ(centred.graphic()->rect(), IRectangle(3, 3, 97, 47));
    centred.enableGraphicSizing();
    EXPECT_EQ(centred.graphic()->rect(), IRectangle(34, 9, 66, 41));
}

// Switching between an icon and a bitmap: the picture at its own size takes the size of each,
// centred again, and the button's minimum size follows.
TEST_F(GraphicButton, AnIconOrABitmapReplacesThePicture)
{
    IGraphicPushButton& button = make(IGraphicPushButton::sizeToGraphicStyle);
    const IPointerHandle icon = IApplication::current().ovkuiResourceLibrary().loadIcon(0x7112);
    button.setIcon(icon);
    EXPECT_TRUE(button.graphic()->isShowingIcon());
    EXPECT_EQ(button.graphic()->icon(), icon);
    const ISize own = button.graphic()->size();
    EXPECT_GT(own.width(), 0);
    EXPECT_EQ(own, button.graphic()->minimumSize());
    EXPECT_EQ(button.calcMinimumSize(), ISize(own.width() + 6, own.height() + 6));

    const IBitmapHandle wide(CreateCompatibleBitmap(ovk_native::WindowDC(nullptr).get(), 40, 24));
    button.setBitmap(wide);
    EXPECT_FALSE(button.graphic()->isShowingIcon());
    EXPECT_EQ(button.graphic()->bitmap(), wide);
    EXPECT_EQ(button.graphic()->rect(), IRectangle(30, 13, 70, 37));
    EXPECT_EQ(button.calcMinimumSize(), ISize(46, 30));

    // A picture that fills the button keeps doing so.
    IGraphicPushButton& filled = make();
    filled.setIcon(icon);
    EXPECT_EQ(filled.graphic()->rect(), IRectangle(3, 3, 97, 47));
}

TEST_F(GraphicButton, PictureFollowsThePressAndTheEnabledState)
{
    IGraphicPushButton& button = make(IGraphicPushButton::sizeToGraphicStyle);
    const IPoint rest = button.graphic()->position();
    SendMessageA(button.handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(button.graphic()->position(), rest + IPoint(1, 1));
    SendMessageA(button.handle(), BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(button.graphic()->position(), rest);
    button.disable();
    EXPECT_FALSE(button.graphic()->isEnabled());
    button.enable();
    EXPECT_TRUE(button.graphic()->isEnabled());
}

TEST_F(GraphicButton, WrappedButtonShowsItsImage)
{
    HWND native = CreateWindowExA(0, "Button", "", WS_CHILD | BS_PUSHBUTTON | BS_BITMAP, 0, 0, 80,
                                  60, parent->hwnd(), reinterpret_cast<HMENU>(12), nullptr, nullptr);
    const IBitmapHandle bitmap = IApplication::current().userResourceLibrary().loadBitmap(0x6001);
    SendMessageA(native, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.asValue()));
    {
        IGraphicPushButton wrapped(12, parent.get());
        EXPECT_EQ(wrapped.graphic()->bitmap(), bitmap);
        EXPECT_EQ(wrapped.graphic()->rect(), IRectangle(24, 14, 56, 46));
    }
    DestroyWindow(native);

    HWND plain = CreateWindowExA(0, "Button", "", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 60,
                                 parent->hwnd(), nullptr, nullptr, nullptr);
    const IException failure = ovktest::caught([&] { IGraphicPushButton none{IWindowHandle(plain)}; });
    EXPECT_EQ(ovktest::str(failure.text()), "BM_GETIMAGE");
    DestroyWindow(plain);
}

TEST_F(GraphicButton, NullParentsFailTheirArgumentChecks)
{
    IException failure = ovktest::caught([] {
        IGraphicPushButton button(1, nullptr, nullptr, IBitmapHandle(), IRectangle());
    });
    EXPECT_EQ(ovktest::str(failure.text()), "parent!=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "igraphbt");
    failure = ovktest::caught([] { IGraphicPushButton button(1, nullptr); });
    EXPECT_EQ(ovktest::str(failure.text()), "pdlgwndParent!=0");
}

} // namespace
