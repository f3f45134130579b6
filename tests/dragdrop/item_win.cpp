// Drag items and their images: types, rendering lists, counting, ids and pairing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <iapp.hpp>
#include <idmdinfo.hpp>
#include <idmimage.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <ireslib.hpp>
#include <ovkmsgid.hpp>

#include <ovktest.hpp>

namespace {

using ovktest::caught;
using ovktest::str;

IDMItem::Handle newItem(const char* types = "Text")
{
    return IDMItem::Handle(new IDMItem(nullptr, types));
}

TEST(DragItemRMFs, EmptyListHasAnEmptyNativePair)
{
    IDMItem::Handle item = newItem();
    EXPECT_EQ(str(item->nativeRMF()), "<,>");
    item->setNativeRMF("<DRM_OBJECT,DRF_TEXT>");
    EXPECT_EQ(str(item->rmfs()), "<DRM_OBJECT,DRF_TEXT>");
    item->setNativeRMF("");
    EXPECT_EQ(str(item->rmfs()), "<DRM_OBJECT,DRF_TEXT>");
    item->addRMFs("DRM_PRINT", "DRF_UNKNOWN");
    item->setNativeRMF("DRM_KestaUI", "DRF_TEXT");
    EXPECT_EQ(str(item->rmfs()), "<DRM_KestaUI,DRF_TEXT>,<DRM_PRINT,DRF_UNKNOWN>");
}

TEST(DragItemRMFs, CrossProductIsStoredAsPairsMechanismFirst)
{
    IDMItem::Handle item = newItem();
    item->setRMFs("(a,b)x(1,2)");
    EXPECT_EQ(str(item->rmfs()), "<a,1>,<a,2>,<b,1>,<b,2>");
    EXPECT_EQ(str(item->nativeRenderingMechanism()), "a");
    EXPECT_EQ(str(item->nativeRenderingFormat()), "1");
    EXPECT_EQ(str(IDMItem::compressRMFs(item->rmfs())), "(a,b)x(1,2)");

    item->setRMFs("(a,b)");
    EXPECT_EQ(str(item->rmfs()), "<a,DRF_UNKNOWN>,<b,DRF_UNKNOWN>");
}

TEST(DragItemRMFs, SupportAndRemoval)
{
    IDMItem::Handle item = newItem();
    item->setRMFs("<a,1>,<b,2>");
    EXPECT_TRUE(item->supportsRMF("b", "2"));
    EXPECT_FALSE(item->supportsRMF("a", "2"));
    EXPECT_TRUE(item->supportsRMFs("(x,b)x(2,9)"));
    EXPECT_FALSE(item->supportsRMFs("<b,1>"));
    item->removeRMF("<c,3>");
    EXPECT_EQ(str(item->rmfs()), "<a,1>,<b,2>");
    item->removeRMF("a", "1");
    EXPECT_EQ(str(item->rmfs()), "<b,2>");
}

TEST(DragItemTypes, WholeEntriesAndSubstringSearch)
{
    IDMItem::Handle item = newItem("");
    item->addType("File");
    EXPECT_EQ(str(item->types()), "File");
    item->addType("Text").addType("File");
    EXPECT_EQ(str(item->trueType()), "File");
    item->removeType("File");
    EXPECT_EQ(str(item->types()), "Text,File");
    item->removeType("Tex");
    EXPECT_EQ(str(item->types()), "Text,File");
    EXPECT_TRUE(item->hasType("ext,Fi"));
    item->setTypes("Container Object");
    EXPECT_TRUE(item->hasType("Object"));
    item->setTrueType("Bitmap");
    EXPECT_EQ(str(item->types()), "Bitmap");
}

TEST(DragItemTypes, FormatsOfTypeNames)
{
    EXPECT_EQ(IDMItem::formatForType("Text"), 1);
    EXPECT_EQ(IDMItem::formatForType("Bitmap"), 2);
    EXPECT_EQ(IDMItem::formatForType("File"), 15);
    EXPECT_EQ(IDMItem::formatForType(""), 0);
    const UINT registered = RegisterClipboardFormatA("OvkTestType");
    EXPECT_EQ(IDMItem::formatForType("OvkTestType"), static_cast<short>(registered));
    EXPECT_EQ(str(IDMItem::typeForFormat(CF_OEMTEXT)), "Text");
    EXPECT_EQ(str(IDMItem::typeForFormat(CF_HDROP)), "File");
    EXPECT_EQ(str(IDMItem::typeForFormat(3)), "Unknown");
    EXPECT_EQ(str(IDMItem::typeForFormat(static_cast<unsigned short>(registered))), "OvkTestType");
}

TEST(DragItem, ContentsServeAsANameOnlyWhenShortAndPlain)
{
    IDMItem::Handle item = newItem();
    EXPECT_EQ(str(item->contentsAsName()), "");
    item->setContents("readme.txt");
    EXPECT_TRUE(item->hasContents());
    EXPECT_EQ(str(item->contentsAsName()), "readme.txt");
    item->setContents(IString("a\0b", 3));
    EXPECT_EQ(str(item->contentsAsName()), "");
    item->setContents(IString(std::string(256, 'x').c_str()));
    EXPECT_EQ(str(item->contentsAsName()), "");
}

// An item that tells when it is deleted.
class WatchedItem : public IDMItem {
public:
    WatchedItem(IDMSourceOperation* operation, bool& deleted)
        : IDMItem(operation, "Text"), fDeleted(deleted) {}
    ~WatchedItem() override { fDeleted = true; }

private:
    bool& fDeleted;
};

TEST(DragItem, LastHandleDeletesTheItemAndItsOperationReference)
{
    bool deleted = false;
    IReference<IDMSourceOperation> operation(new IDMSourceOperation);
    {
        operation->addRef(); // the reference that passes to the item
        IDMItem::Handle first(new WatchedItem(operation.get(), deleted));
        EXPECT_EQ(operation->useCount(), 2u);
        {
            IDMItem::Handle second = first;
            EXPECT_EQ(first->useCount(), 2u);
        }
        EXPECT_FALSE(deleted);
        // A copy of the item holds an operation reference of its own.
        IDMItem::Handle copy(new IDMItem(*first));
        EXPECT_EQ(operation->useCount(), 3u);
    }
    EXPECT_TRUE(deleted);
    EXPECT_EQ(operation->useCount(), 1u);
    EXPECT_EQ(caught([] { IDMItem::Handle()->types(); }).errorId(), OVK_MSG_EMPTY_REFERENCE);
}

class DragItemPairing : public testing::Test {
protected:
    void TearDown() override {
        IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
    }

    ovktest::TestWindow window;
};

TEST_F(DragItemPairing, ItemsGetIdsThatFindThemInTheCurrentSourceOperation)
{
    IReference<IDMSourceOperation> source(new IDMSourceOperation(window.hwnd()));
    ASSERT_TRUE(IDMItem::generateSourceItems(source.get()));
    ASSERT_TRUE(IDMItem::generateSourceItems(source.get()));
    ASSERT_EQ(source->numberOfItems(), 2u);
    const IDMItem::Handle first = source->item(1);
    const IDMItem::Handle second = source->item(2);
    EXPECT_EQ(str(first->types()), "Unknown");
    EXPECT_EQ(first->sourceWindowHandle().asValue(), window.hwnd());
    EXPECT_NE(first->itemId(), 0u);
    EXPECT_NE(first->itemId(), second->itemId());
    EXPECT_EQ(source->itemWithId(second->itemId()).get(), second.get());
    EXPECT_FALSE(source->itemWithId(999));
    EXPECT_EQ(caught([&] { source->item(3); }).errorId(), OVK_MSG_POSITION_INVALID);
    EXPECT_EQ(caught([&] { source->item(0); }).errorId(), OVK_MSG_POSITION_INVALID);
    IDMSourceOperation::setCurrentSourceOperation(source);

    // The target side of a drag that ends where it started.
    IReference<IDMTargetOperation> target(new IDMTargetOperation(window.hwnd()));
    target->setSourceWindowHandle(window.hwnd());
    IDMDragInfoItem entry;
    entry.types = "Unknown";
    entry.itemWindow = static_cast<std::uint32_t>(HandleToLong(window.hwnd()));
    entry.itemId = static_cast<std::uint32_t>(second->itemId());
    const IDMItem::Handle rebuilt(new IDMItem(target.get(), entry));
    EXPECT_EQ(rebuilt->sourceWindowHandle().asValue(), window.hwnd());
    EXPECT_EQ(IDMItem::sourceItemFor(rebuilt).get(), second.get());
    EXPECT_FALSE(IDMItem::sourceItemFor(second)); // a source item has none

    const IDMItem::Handle paired(new IDMItem(rebuilt));
    EXPECT_TRUE(paired->isPaired());
    EXPECT_TRUE(second->isPaired());
    EXPECT_FALSE(first->isPaired());

    // An id that no item of the current drag has is no item; so is any id after the drag.
    entry.itemId = 12345;
    EXPECT_FALSE(IDMItem::sourceItemFor(IDMItem::Handle(new IDMItem(target.get(), entry))));
    entry.itemId = static_cast<std::uint32_t>(second->itemId());
    IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
    EXPECT_FALSE(IDMItem::sourceItemFor(IDMItem::Handle(new IDMItem(target.get(), entry))));
}

// ---------------------------------------------------------------------------------------------
// Images

TEST(DragImage, StyleFollowsWhatTheImageHolds)
{
    EXPECT_EQ(IDMImage().style().asUnsignedLong(), 0u);
    EXPECT_EQ(newItem()->image().style().asUnsignedLong(), 0u);
    const IPointerHandle icon =
        IApplication::current().ovkuiResourceLibrary().loadIcon(0x7112, true);
    EXPECT_EQ(IDMImage(icon, IPoint(0, 0), ISize(0, 0)).style().asUnsignedLong(), 1u);
    EXPECT_EQ(IDMImage(icon, IPoint(0, 0), ISize(32, 32)).style().asUnsignedLong(), 9u);
    IDMImage image(icon);
    image.setBitmap(IBitmapHandle()).setStretchSize(ISize(1, 1));
    EXPECT_EQ(image.style().asUnsignedLong(), 11u);

    const IDMImage none(nullptr, 0);
    EXPECT_EQ(none.points(), nullptr);
    EXPECT_EQ(none.style().asUnsignedLong(), 4u);
    const IDMImage copy(none);
    EXPECT_EQ(copy.points(), nullptr);
    const std::uint32_t points[] = {1, 0xFFFFFFFF, 3};
    const IDMImage polygon(points, 3, IPoint(2, 3), IDMImage::closedPolygon);
    const IDMImage polygonCopy(polygon);
    ASSERT_NE(polygonCopy.points(), points);
    EXPECT_EQ(static_cast<const std::uint32_t*>(polygonCopy.points())[1], 0xFFFFFFFFu);
    EXPECT_EQ(polygonCopy.style().asUnsignedLong(), 0x24u);
}

TEST(DragImage, CopyKeepsItsHandlesWhenTheOriginalGoes)
{
    // Handles in the library's tables, so that their counts show who holds them.
    auto* original = new IDMImage(ISystemPointerHandle(ISystemPointerHandle::wait, true));
    original->setBitmap(IApplication::current().ovkuiResourceLibrary().loadBitmap(0x7111, true));
    const IDMImage copy(*original);
    IResourceLibrary::PointerEntry icon;
    IResourceLibrary::BitmapEntry bitmap;
    ASSERT_TRUE(IResourceLibrary::findPointerEntry(copy.icon().asValue(), &icon));
    ASSERT_TRUE(IResourceLibrary::findBitmapEntry(copy.bitmap().asValue(), &bitmap));
    delete original;

    IResourceLibrary::PointerEntry iconAfter;
    IResourceLibrary::BitmapEntry bitmapAfter;
    ASSERT_TRUE(IResourceLibrary::findPointerEntry(copy.icon().asValue(), &iconAfter));
    ASSERT_TRUE(IResourceLibrary::findBitmapEntry(copy.bitmap().asValue(), &bitmapAfter));
    EXPECT_EQ(iconAfter.useCount, icon.useCount - 1);
    EXPECT_EQ(bitmapAfter.useCount, bitmap.useCount - 1);
    BITMAP info{};
    EXPECT_TRUE(GetObjectA(copy.bitmap().asValue(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 16);
}

} // namespace
