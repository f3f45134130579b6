// The drag information wrapper: the library's own record read back from its data object, and
// records made up from another program's formats (the shell's files among them).
#include <windows.h>

#include <gtest/gtest.h>

#include <new>

#include <cstring>
#include <string>

#include <idmdatao.hpp>
#include <idmdistr.hpp>
#include <idmdnfo.hpp>
#include <idmfmten.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <ovkmsgid.hpp>

#include <ovktest.hpp>

#include "dragtest.hpp"

namespace {

using dragtest::ForeignData;
using ovktest::caught;
using ovktest::str;

TEST(DragInfoWrapper, NamesFormatsAndTypes)
{
    const struct {
        unsigned int format;
        const char* type;
    } names[] = {{1, "Text"}, {7, "Text"}, {2, "Bitmap"}, {15, "File"}, {3, "Unknown"}};
    for (const auto& name : names) {
        IString text("x:");
        EXPECT_EQ(str(IDragInfoWrapper::typeOfFormat(name.format, text)),
                  std::string("x:") + name.type)
            << name.format;
    }
    const UINT registered = RegisterClipboardFormatA("Drag Test Format");
    IString text;
    EXPECT_EQ(str(IDragInfoWrapper::typeOfFormat(registered, text)), "Drag Test Format");
    EXPECT_EQ(IDragInfoWrapper::formatOfType("Text"), 1u);
    EXPECT_EQ(IDragInfoWrapper::formatOfType("File"), 15u);
    EXPECT_EQ(IDragInfoWrapper::formatOfType("Drag Test Format"), registered);
}

TEST(DragInfoWrapper, IndexAtTheCountRaises161)
{
    IDragInfoWrapper wrapper(std::make_unique<IDMDragInfo>(2));
    EXPECT_NO_THROW(wrapper[1]);
    EXPECT_EQ(caught([&] { wrapper[2]; }).errorId(), OVK_MSG_POSITION_INVALID);
}

// The source side writes the record of its items; the target reads it back from the library's
// data object.
TEST(DragInfoWrapper, ReadsTheLibrarysOwnRecordBack)
{
    ovktest::TestWindow window;
    IReference<IDMSourceOperation> source(new IDMSourceOperation(window.hwnd()));
    source->addRef();
    IDMItem::Handle item(new IDMItem(source.get(), "Text,Plain Text", IDMItem::copyable));
    item->setSourceName("notes.txt");
    item->setObjectOffset(IPoint(-4, 9));
    source->addItem(item);
    auto written = IDragInfoWrapper::dragInfoFor(source.get(), std::make_unique<IDMDragInfo>(1));
    ASSERT_NE(item->dragInfoItem(), nullptr);
    EXPECT_EQ(item->dragInfoItem()->itemId, item->itemId());

    IStream* stream = IDMDragInfoStream::create(written->info());
    const FORMATETC own{IDMDragInfoStream::format(), nullptr, DVASPECT_CONTENT, -1,
                        TYMED_ISTREAM};
    const auto formats = dragtest::held<IEnumFORMATETC>(new IDMFormatEnumerator(1, &own));
    const auto data = dragtest::held<IDataObject>(new IDMDataObject(nullptr, formats.get(), stream));
    stream->Release();

    auto read = IDragInfoWrapper::dragInfoWrapper(data.get());
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isLibraryDrag());
    ASSERT_EQ(read->numberOfItems(), 1u);
    EXPECT_EQ(read->sourceWindow().asValue(), window.hwnd());
    EXPECT_EQ(read->sourceProcess(), GetCurrentProcessId());
    EXPECT_EQ(str((*read)[0].types()), "Text,Plain Text");
    EXPECT_EQ(str((*read)[0].sourceName()), "notes.txt");
    EXPECT_EQ((*read)[0].offset(), IPoint(-4, 9));
    EXPECT_EQ((*read)[0].itemId(), item->itemId());
    EXPECT_EQ((*read)[0].supportedOperations(), IDMItem::copyable);
}

// A foreign drag: one item per file, the types of every format joined, offsets as far as the
// shell's block reaches.
TEST(DragInfoWrapper, MakesUpItemsFromAnotherProgramsFormats)
{
    const CLIPFORMAT offsets = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell Object Offsets"));
    // The drag's point, then the first item's; the second item's is cut off.
    std::vector<char> block(8 + 8 + 4);
    const LONG first[2] = {40, 50};
    std::memcpy(block.data() + 8, first, sizeof first);
    ForeignData data;
    data.offer(CF_TEXT, {'x', '\0'})
        .offer(CF_HDROP, dragtest::dropFiles({"C:\\a.txt", "C:\\b.txt"}))
        .offer(offsets, block);
    auto info = IDragInfoWrapper::dragInfoWrapper(&data);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->isLibraryDrag());
    ASSERT_EQ(info->numberOfItems(), 2u);
    EXPECT_EQ(str((*info)[1].types()), "Text,File,Shell Object Offsets");
    EXPECT_EQ((*info)[0].offset(), IPoint(40, 50));
    EXPECT_EQ((*info)[1].offset(), IPoint(0, 0));
    EXPECT_EQ((*info)[0].itemId(), 0u);
    EXPECT_EQ((*info)[1].itemId(), 1u);
    EXPECT_EQ((*info)[1].supportedOperations(), IDMItem::copyable | IDMItem::moveable);
    EXPECT_EQ(data.references(), 0);
}

TEST(DragInfoWrapper, FilesThatCannotBeCountedLeaveOneItem)
{
    // Offered but not delivered; and a header whose list starts outside its block.
    ForeignData unfetchable;
    unfetchable.offer(CF_HDROP, {});
    const std::vector<char> outside = dragtest::dropFiles({"C:\\a.txt"}, 4000);
    ForeignData malformed;
    malformed.offer(CF_HDROP, outside);
    for (ForeignData* data : {&unfetchable, &malformed}) {
        auto info = IDragInfoWrapper::dragInfoWrapper(data);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->numberOfItems(), 1u);
        EXPECT_EQ(str((*info)[0].types()), "File");
    }
}

// A failure while the formats of another program are read (here its fetch throws, as an
// allocation failure would) leaves no reference on its format enumerator.
TEST(DragInfoWrapper, AFailureWhileReadingAnotherProgramsFormatsKeepsNoReference)
{
    ForeignData data;
    data.offer(CF_HDROP, dragtest::dropFiles({"C:\\a.txt"})).failFetches();
    EXPECT_THROW(IDragInfoWrapper::dragInfoWrapper(&data), std::bad_alloc);
    EXPECT_EQ(data.enumeratorReferences(), 0);
    EXPECT_EQ(data.references(), 0);
}

// The shell's own data object over three files of the prefix.
TEST(DragInfoWrapper, ShellFilesBecomeOneItemEach)
{
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    OleInitialize(nullptr);
    IDataObject* data = dragtest::shellDataObject(std::string(directory) + "ovkdrag",
                                                  {"one.txt", "two.txt", "three.txt"});
    ASSERT_NE(data, nullptr);
    auto info = IDragInfoWrapper::dragInfoWrapper(data);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->numberOfItems(), 3u);
    for (unsigned long index = 0; index < info->numberOfItems(); ++index)
        EXPECT_NE(str((*info)[index].types()).find("File"), std::string::npos);
    data->Release();
    OleUninitialize();
}

} // namespace
