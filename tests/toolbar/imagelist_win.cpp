// The image list: the current image, images taken from other lists and merged, the see-through
// copy of an icon, and the failures that name their operation.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>
#include <ovktest.hpp>

#include "detail/iimagels.hpp"

namespace {

constexpr int kSide = 8;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A 32-bit surface of one colour, to draw into and read back.
class Pixels : public ovktest::Surface {
public:
    Pixels(int width, int height, COLORREF fill) : Surface(width, height)
    {
        const ovk_native::Brush brush(CreateSolidBrush(fill));
        const RECT all{0, 0, width, height};
        FillRect(dc(), &all, brush.get());
    }
    COLORREF at(int x, int y) const { return pixel(x, y); }
};

// The colour an icon shows at a pixel, drawn over white.
COLORREF iconPixel(HICON icon, int x, int y)
{
    Pixels surface(kSide, kSide, RGB(255, 255, 255));
    DrawIconEx(surface.dc(), 0, 0, icon, kSide, kSide, 0, nullptr, DI_NORMAL);
    return surface.at(x, y);
}

class ImageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        list.create(ISize(kSide, kSide), ILC_COLOR24 | ILC_MASK, 4, 4);
    }
    // Appends one image of each colour.
    void fill(IImageList& target, std::initializer_list<COLORREF> colours)
    {
        for (COLORREF colour : colours)
            target.add(ovktest::solidBitmap(colour, kSide, kSide).get());
    }
    COLORREF imageColour(IImageList& source, int index, int x = 0, int y = 0)
    {
        HICON icon = source.icon(index);
        const COLORREF colour = iconPixel(icon, x, y);
        DestroyIcon(icon);
        return colour;
    }

    IImageList list;
};

TEST_F(ImageListTest, CurrentImageIsImageZeroUntilTheIndexMoves)
{
    fill(list, {kRed, kGreen, kBlue});
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.iconSize(), ISize(kSide, kSide));
    EXPECT_EQ(imageColour(list, -1), kRed);
    list.setCurrentIndex(2);
    EXPECT_EQ(imageColour(list, -1), kBlue);
    EXPECT_EQ(imageColour(list, 1), kGreen);
}

TEST_F(ImageListTest, AddingFromAnotherListTakesItsCurrentImage)
{
    IImageList other;
    other.create(ISize(kSide, kSide), ILC_COLOR24 | ILC_MASK, 4, 4);
    fill(other, {kRed, kGreen, kBlue});
    other.setCurrentIndex(1);
    EXPECT_EQ(list.addIconFromImageList(other), 0);
    EXPECT_EQ(imageColour(list, 0), kGreen);
    EXPECT_EQ(other.count(), 3);
}

TEST_F(ImageListTest, MergedImageShowsTheSecondOverTheFirstAtTheOffset)
{
    IImageList first;
    first.create(ISize(kSide, kSide), ILC_COLOR24 | ILC_MASK, 1, 1);
    first.addIcon(ovktest::SolidIcon(kRed, kSide).get());
    IImageList second;
    second.create(ISize(kSide, kSide), ILC_COLOR24 | ILC_MASK, 1, 1);
    second.addIcon(ovktest::SolidIcon(kBlue, kSide).get());

    fill(list, {kGreen});
    EXPECT_EQ(IImageList::addMergedIcon(first, 0, second, 0, IPoint(4, 0), list), 1);
    EXPECT_EQ(imageColour(list, 1, 1, 1), kRed);
    EXPECT_EQ(imageColour(list, 1, 5, 1), kBlue);
}

TEST_F(ImageListTest, CreatingAgainDestroysTheListItHeld)
{
    fill(list, {kRed});
    HIMAGELIST old = list.handle();
    list.create(ISize(4, 4), ILC_COLOR24, 1, 1);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.iconSize(), ISize(4, 4));
    // A list made at the address of the old one proves the old one gone; otherwise the old
    // handle must no longer be a list.
    if (old != list.handle()) {
        EXPECT_EQ(ImageList_GetImageCount(old), 0);
    }
}

// The right half of the icon is opaque red, the left half transparent; drawn over green, the
// copy shows red on every second pixel of the right half and green everywhere else.
TEST_F(ImageListTest, SeeThruCopyLetsEverySecondOpaquePixelThrough)
{
    ovktest::SolidIcon original(kRed, kSide, kSide / 2);
    HICON icon = original.get();
    EXPECT_EQ(list.addIconAsSeeThru(icon), 0);

    Pixels over(kSide, kSide, kGreen);
    ASSERT_TRUE(ImageList_Draw(list.handle(), 0, over.dc(), 0, 0, ILD_TRANSPARENT));
    int red = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const COLORREF seen = over.at(x, y);
            if (x < kSide / 2) {
                EXPECT_EQ(seen, kGreen) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(seen == kRed || seen == kGreen) << x << "," << y << " " << std::hex << seen;
            red += seen == kRed;
            // A checkerboard: each opaque pixel differs from its right neighbour.
            if (x + 1 < kSide) {
                EXPECT_NE(seen, over.at(x + 1, y)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(red, kSide * kSide / 4);
    // The icon passed in is still the caller's to use and destroy.
    EXPECT_EQ(iconPixel(original.get(), kSide - 1, 0), kRed);
    EXPECT_TRUE(original.destroy());
}

TEST_F(ImageListTest, FailuresReportMessage161WithTheOperation)
{
    const struct {
        const char* function;
        std::function<void()> operation;
    } cases[] = {
        {"IImageList::IImageList(HIMAGELIST)", [] { IImageList none(nullptr); }},
        {"IImageList::create(const ISize&,unsigned int,int,int)",
         [this] { list.create(ISize(-1, -1), ILC_COLOR24, 1, 1); }},
        {"IImageList::add(HBITMAP)", [this] { list.add(nullptr); }},
        {"IImageList::addIcon(HICON)", [this] { list.addIcon(nullptr); }},
        {"IImageList::icon(int)", [this] { list.icon(5); }},
        {"IImageList::addIconFromImageList(IImageList&)",
         [this] {
             fill(list, {kRed});
             IImageList noList;
             noList.addIconFromImageList(list);
         }},
        {"IImageList::addIconAsSeeThru(HICON&)",
         [this] {
             HICON none = nullptr;
             list.addIconAsSeeThru(none);
         }},
        // A merge of lists that do not exist makes no list.
        {"IImageList::IImageList(HIMAGELIST)",
         [this] {
             IImageList none;
             IImageList::addMergedIcon(none, 0, none, 0, IPoint(), list);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        SetUp();
        const IException failure = ovktest::caught(c.operation);
        EXPECT_EQ(failure.errorId(), OVK_MSG_POSITION_INVALID);
        ASSERT_GE(failure.locationCount(), 1u);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->functionName()), c.function);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "iimagels");
    }
}

} // namespace
