// Bitmap and icon controls: their minimum sizes, painting the picture, and taking over native
// picture statics.
#include <windows.h>

#include <gtest/gtest.h>

#include <ibmpctl.hpp>
#include <iiconctl.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

// A 32 x 32 monochrome icon: its mask bitmap is 32 x 64 (AND image over XOR image).
HICON monochromeIcon()
{
    BYTE andBits[32 * 4];
    BYTE xorBits[32 * 4];
    std::fill(std::begin(andBits), std::end(andBits), 0x00);
    std::fill(std::begin(xorBits), std::end(xorBits), 0xFF);
    return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
}

class Pictures : public basectltest::ShownParent {};

} // namespace

TEST_F(Pictures, MonochromeIconCountsHalfItsMaskHeight)
{
    const HICON icon = monochromeIcon();
    ASSERT_NE(icon, nullptr);
    {
        IIconControl control(3, parent.get(), parent.get(), IPointerHandle(icon),
                             IRectangle(0, 0, 10, 10), IIconControl::defaultStyle() | IIconControl::_sizeToIcon);
        EXPECT_TRUE(control.isMonochrome());
        EXPECT_EQ(control.minimumSize(), ISize(32, 32));
        EXPECT_EQ(control.size(), ISize(32, 32));

        // Another bitmap in place of the icon's images sizes the control by itself.
        const ovk_native::Bitmap blue = ovktest::solidBitmap(RGB(0, 0, 255), 40, 12);
        control.setBitmap(IBitmapHandle(blue.get()));
        EXPECT_FALSE(control.isShowingIcon());
        EXPECT_EQ(control.minimumSize().width(), 40);
        control.setBitmap(IBitmapHandle());
    }
    DestroyIcon(icon);
}

TEST_F(Pictures, BitmapControlSizesToAndPaintsItsBitmap)
{
    const ovk_native::Bitmap red = ovktest::solidBitmap(RGB(255, 0, 0), 40, 20);
    {
        IBitmapControl control(4, parent.get(), parent.get(), IBitmapHandle(red.get()),
                               IRectangle(5, 5, 6, 6),
                               IBitmapControl::defaultStyle() | IBitmapControl::_sizeToBitmap);
        EXPECT_EQ(control.size(), ISize(40, 20));
        UpdateWindow(control.handle());
        EXPECT_EQ(ovktest::pixelAt(control.handle(), 1, 1), RGB(255, 0, 0));
        EXPECT_EQ(ovktest::pixelAt(control.handle(), 38, 18), RGB(255, 0, 0));
        // Stretched over a larger control, it still covers all of it.
        control.sizeTo(ISize(80, 40));
        UpdateWindow(control.handle());
        EXPECT_EQ(ovktest::pixelAt(control.handle(), 78, 38), RGB(255, 0, 0));
    }
}

TEST_F(Pictures, WrappedNativePictureStaticsKeepTheirPictureAndLoseTheNativeStyle)
{
    const HICON icon = monochromeIcon();
    const HWND iconStatic = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0,
                                            32, 32, parentHandle(), reinterpret_cast<HMENU>(21),
                                            nullptr, nullptr);
    SendMessageA(iconStatic, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    const ovk_native::Bitmap green = ovktest::solidBitmap(RGB(0, 255, 0), 16, 8);
    const HBITMAP bitmap = green.get();
    const HWND bitmapStatic = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 40,
                                              0, 16, 8, parentHandle(), reinterpret_cast<HMENU>(22),
                                              nullptr, nullptr);
    SendMessageA(bitmapStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    {
        IIconControl iconControl(21, parent.get());
        EXPECT_EQ(iconControl.icon().asValue(), icon);
        EXPECT_EQ(GetWindowLongPtrA(iconStatic, GWL_STYLE) & 0x1F, 0);
        EXPECT_EQ(iconControl.minimumSize(), ISize(32, 32));
        EXPECT_FALSE(iconControl.hasFillBackground());

        IBitmapControl bitmapControl{IWindowHandle(bitmapStatic)};
        EXPECT_EQ(bitmapControl.bitmap().asValue(), bitmap);
        EXPECT_EQ(GetWindowLongPtrA(bitmapStatic, GWL_STYLE) & 0x1F, 0);
        EXPECT_EQ(bitmapControl.minimumSize().width(), 16);
    }
    DestroyWindow(iconStatic);
    DestroyWindow(bitmapStatic);
    DestroyIcon(icon);
}

TEST_F(Pictures, NullParentIsRefusedBeforeAnyWindowExists)
{
    const IException failure = ovktest::caught(
        [] { IBitmapControl control(1, nullptr, nullptr, IBitmapHandle()); });
    EXPECT_EQ(ovktest::str(failure.text()), "pwndParent!=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "ibmpctl");
}
