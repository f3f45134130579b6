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

// A monochrome icon of the size: mask and image in one bitmap of twice its height.
HICON monochromeIcon(int size)
{
    const ovk_native::Bitmap mask(CreateBitmap(size, 2 * size, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), nullptr};
    return CreateIconIndirect(&info);
}

class ImageStacking : public testing::Test {
protected:
    void TearDown() override {
        // The operation (and its stacked icon) goes before the items' icons.
        source = IReference<IDMSourceOperation>();
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

    const ovktest::SolidIcon colour{RGB(0, 0, 0), 32};
    const ovk_native::Icon monochrome{monochromeIcon(32)};
    IReference<IDMSourceOperation> source;
};

// Each stacked image lies 16 pixels right of and above the one before.
TEST_F(ImageStacking, ThreeImagesAndAPointerStandForSixItemsUnlessAllAreStacked)
{
    addItems(6, colour.get());
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
    addItems(2, monochrome.get());
    IDMImage image;
    IPoint hotSpot;
    EXPECT_EQ(source->composeImage(image, hotSpot), 0u);
    EXPECT_FALSE(image.icon().isValid());
}

} // namespace
