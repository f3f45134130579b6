// Drag operations: the item list's limits, a fresh operation, and the drag image stacked from
// the items' images.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include <idmdinfo.hpp>
#include <idmimage.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <ovkmsgid.hpp>

#include <ovktest.hpp>

namespace {

using ovktest::caught;

TEST(DragOperation, AFreshOperationAndItsItemLimits)
{
    IReference<IDMTargetOperation> operation(new IDMTargetOperation);
    EXPECT_EQ(operation->operation(), 0x20u);
    EXPECT_FALSE(operation->sourceWindowHandle());
    EXPECT_FALSE(operation->targetWindowHandle());
    EXPECT_EQ(caught([&] { operation->replaceItem(1, IDMItem::Handle()); }).errorId(),
              OVK_MSG_POSITION_INVALID);
    operation->addItem(IDMItem::Handle(new IDMItem(operation.get(), IDMDragInfoItem())));
    EXPECT_EQ(caught([&] { operation->item(0); }).errorId(), OVK_MSG_POSITION_INVALID);
    EXPECT_EQ(caught([&] { operation->item(2); }).errorId(), OVK_MSG_POSITION_INVALID);
}

// An icon of the size; colour (32 bits) or monochrome (mask and image in one bitmap).
HICON makeIcon(int size, bool colour)
{
    HDC screen = GetDC(nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = CreateBitmap(size, colour ? size : 2 * size, 1, 1, nullptr);
    info.hbmColor = colour ? CreateCompatibleBitmap(screen, size, size) : nullptr;
    ReleaseDC(nullptr, screen);
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return icon;
}

class ImageStacking : public testing::Test {
protected:
    void SetUp() override {
        colourIcon = makeIcon(32, true);
        monoIcon = makeIcon(32, false);
    }
    void TearDown() override {
        // The operation (and its stacked icon) goes before the items' icons.
        source = IReference<IDMSourceOperation>();
        DestroyIcon(colourIcon);
        DestroyIcon(monoIcon);
    }

    void addItems(unsigned long count, HICON icon) {
        source = IReference<IDMSourceOperation>(new IDMSourceOperation);
        for (unsigned long i = 0; i < count; ++i) {
            source->addRef();
            IDMItem::Handle item(new IDMItem(source.get(), "Text"));
            item->setImage(IDMImage(IPointerHandle(icon)));
            source->addItem(item);
        }
    }
    ISize iconSize(const IDMImage& image) {
        ICONINFO info{};
        EXPECT_TRUE(GetIconInfo(image.icon().asValue(), &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return ISize(bitmap.bmWidth, bitmap.bmHeight);
    }

    HICON colourIcon = nullptr;
    HICON monoIcon = nullptr;
    IReference<IDMSourceOperation> source;
};

// Each stacked image lies 16 pixels right of and above the one before.
TEST_F(ImageStacking, ThreeImagesAndAPointerStandForSixItemsUnlessAllAreStacked)
{
    addItems(6, colourIcon);
    IDMImage image;
    IPoint hotSpot;
    EXPECT_EQ(source->composeImage(image, hotSpot), 4u);
    EXPECT_EQ(iconSize(image), ISize(32 + 3 * 16, 32 + 3 * 16));
    source->setStackAllImages(true);
    EXPECT_EQ(source->composeImage(image, hotSpot), 6u);
    EXPECT_EQ(iconSize(image), ISize(32 + 5 * 16, 32 + 5 * 16));
}

TEST_F(ImageStacking, AMonochromeIconGivesNoStackedImage)
{
    addItems(2, monoIcon);
    IDMImage image;
    IPoint hotSpot;
    EXPECT_EQ(source->composeImage(image, hotSpot), 0u);
    EXPECT_FALSE(image.icon().isValid());
}

} // namespace
