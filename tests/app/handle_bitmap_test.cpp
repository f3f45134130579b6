// Bitmap handles: bitmaps of resource libraries kept in the bitmap table and shared by number,
// library and size; the predefined system, shell and class library bitmaps; counts over copies,
// assignments and a thousand holders, read from the library's own table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <iapp.hpp>
#include <ibmphdl.hpp>
#include <idll.hpp>
#include <ireslib.hpp>

#include "resource_testutil.hpp"

using restest::bitmapExists;
using restest::bitmapSize;
using restest::expectSystemError;

namespace {

constexpr unsigned long kLibraryBitmap = 0x7111;
constexpr unsigned long kMissing = 0xFEDC;

std::uint32_t countOf(const IBitmapHandle& handle)
{
    IResourceLibrary::BitmapEntry entry;
    return IResourceLibrary::findBitmapEntry(handle.asValue(), &entry) ? entry.useCount : 0;
}

// Every identifier, with whether it is an icon's image.
std::vector<ISystemBitmapHandle::Identifier> allSystemBitmaps()
{
    std::vector<ISystemBitmapHandle::Identifier> ids;
    for (int id = 0; id <= ISystemBitmapHandle::libraryBitmap; ++id)
        ids.push_back(static_cast<ISystemBitmapHandle::Identifier>(id));
    return ids;
}

} // namespace

TEST(HandleBitmap, KeptBitmapIsSharedAndDeletedAfterTheLastHolder)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    HBITMAP bitmap = nullptr;
    {
        IBitmapHandle first = library.loadBitmap(kLibraryBitmap, true);
        {
            IBitmapHandle second = library.loadBitmap(kLibraryBitmap, true);
            ASSERT_TRUE(first.isValid());
            EXPECT_EQ(first, second);
            EXPECT_EQ(countOf(first), 2u);
            IResourceLibrary::BitmapEntry entry;
            ASSERT_TRUE(IResourceLibrary::findBitmapEntry(first.asValue(), &entry));
            EXPECT_EQ(entry.id, kLibraryBitmap);
            EXPECT_EQ(entry.fileName, library.fileName());
            EXPECT_EQ(entry.size, ISize(0, 0));
        }
        bitmap = first.asValue();
        // One holder is left: the bitmap must still be there.
        EXPECT_TRUE(bitmapExists(bitmap));
        EXPECT_EQ(countOf(first), 1u);
        const SIZE size = bitmapSize(bitmap);
        EXPECT_EQ(size.cx, 16);
        EXPECT_EQ(size.cy, 16);
    }
    EXPECT_FALSE(bitmapExists(bitmap));
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
}

TEST(HandleBitmap, AnotherSizeIsAnotherEntryScaledToIt)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    {
        IBitmapHandle own = library.loadBitmap(kLibraryBitmap, true);
        IBitmapHandle large = library.loadBitmap(kLibraryBitmap, ISize(40, 24), true);
        EXPECT_NE(own, large);
        EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before + 2);
        const SIZE size = bitmapSize(large.asValue());
        EXPECT_EQ(size.cx, 40);
        EXPECT_EQ(size.cy, 24);
    }
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
}

TEST(HandleBitmap, BitmapNotKeptIsAPlainValue)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    HBITMAP bitmap = nullptr;
    {
        IBitmapHandle loaded = library.tryToLoadBitmap(kLibraryBitmap);
        ASSERT_TRUE(loaded.isValid());
        EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
        std::vector<IBitmapHandle> copies(50, loaded);
        for (auto& copy : copies)
            copy = IBitmapHandle();
        bitmap = loaded.asValue();
    }
    EXPECT_TRUE(bitmapExists(bitmap));
    DeleteObject(bitmap);
}

TEST(HandleBitmap, MissingBitmapThrowsFromLoadAndIsEmptyFromTryToLoad)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    for (bool keep : {false, true}) {
        EXPECT_FALSE(library.tryToLoadBitmap(kMissing, keep).isValid());
        expectSystemError([&] { library.loadBitmap(kMissing, keep); },
                          "GpiLoadBitmapId: " + std::to_string(kMissing) + " ", "ireslib2", 90);
    }
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
    // No module: the platform would answer a system bitmap for a null module.
    IDynamicLinkLibrary none(nullptr);
    EXPECT_FALSE(none.tryToLoadBitmap(0x7FF2, true).isValid());
}

TEST(HandleBitmap, AssignmentMovesTheCountAndSelfAssignmentKeepsIt)
{
    IDynamicLinkLibrary library("ovkres");
    IBitmapHandle a = library.loadBitmap(kLibraryBitmap, true);
    IBitmapHandle b = library.loadBitmap(kLibraryBitmap, ISize(8, 8), true);
    IBitmapHandle c = a;
    EXPECT_EQ(countOf(a), 2u);
    c = c;
    EXPECT_EQ(countOf(a), 2u);
    c = b;
    EXPECT_EQ(countOf(a), 1u);
    EXPECT_EQ(countOf(b), 2u);
    c = IBitmapHandle();
    EXPECT_EQ(countOf(b), 1u);
    EXPECT_EQ(IResourceLibrary::addRef(IBitmapHandle()), 0u);
}

TEST(HandleBitmap, SystemBitmapIsLoadedOnceAndSharedByItsHolders)
{
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    HBITMAP bitmap = nullptr;
    {
        ISystemBitmapHandle first(ISystemBitmapHandle::upArrow);
        ISystemBitmapHandle second(ISystemBitmapHandle::upArrow);
        bitmap = first.asValue();
        EXPECT_TRUE(bitmapExists(bitmap));
        EXPECT_EQ(first, second);
        EXPECT_EQ(countOf(first), 2u);
        EXPECT_EQ(IResourceLibrary::systemBitmap(0x7FF1), bitmap);
        EXPECT_EQ(countOf(first), 2u);
    }
    EXPECT_FALSE(bitmapExists(bitmap));
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
}

TEST(HandleBitmap, EveryIdentifierGivesABitmapThatItsLastHolderDeletes)
{
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    for (auto id : allSystemBitmaps()) {
        SCOPED_TRACE(static_cast<int>(id));
        HBITMAP bitmap = nullptr;
        {
            ISystemBitmapHandle first(id);
            ISystemBitmapHandle second(id);
            bitmap = first.asValue();
            ASSERT_TRUE(bitmapExists(bitmap));
            EXPECT_EQ(first, second);
            EXPECT_EQ(countOf(first), 2u);
        }
        EXPECT_FALSE(bitmapExists(bitmap));
        EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before);
    }
}

TEST(HandleBitmap, LibraryBitmapAndIconsComeFromTheResourceLibrary)
{
    ISystemBitmapHandle bitmap(ISystemBitmapHandle::libraryBitmap);
    IBitmapHandle expected =
        IApplication::current().ovkuiResourceLibrary().loadBitmap(kLibraryBitmap, true);
    EXPECT_EQ(bitmap, expected);
    EXPECT_EQ(countOf(bitmap), 2u);
    // The accept and reject icons are 32 by 32 with colour: their images are not the
    // application icon's stand-in.
    ISystemBitmapHandle accept(ISystemBitmapHandle::acceptIcon);
    ISystemBitmapHandle reject(ISystemBitmapHandle::rejectIcon);
    EXPECT_NE(accept, reject);
    const SIZE size = bitmapSize(accept.asValue());
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
    const auto beyond = static_cast<ISystemBitmapHandle::Identifier>(35);
    expectSystemError([&] { ISystemBitmapHandle bad(beyond); }, "GpiLoadBitmapId: 0 ", "ireslib2",
                      90);
}

TEST(HandleBitmap, AThousandHoldersLeaveTheTablesAsTheyFoundThem)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long bitmaps = IResourceLibrary::bitmapEntryCount();
    const unsigned long pointers = IResourceLibrary::pointerEntryCount();
    for (int i = 0; i < 1000; ++i) {
        ISystemBitmapHandle system(static_cast<ISystemBitmapHandle::Identifier>(i % 35));
        IBitmapHandle kept = library.loadBitmap(kLibraryBitmap, ISize(1 + i % 7, 3), true);
        ISystemPointerHandle pointer(static_cast<ISystemPointerHandle::Identifier>(i % 14), true);
        IBitmapHandle copy = system;
        copy = kept;
    }
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), bitmaps);
    EXPECT_EQ(IResourceLibrary::pointerEntryCount(), pointers);
}

TEST(HandleBitmap, UntrackedBitmapSurvivesAnyNumberOfHolders)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    {
        IBitmapHandle a(bitmap);
        IBitmapHandle b = a;
        a = b;
        EXPECT_EQ(IResourceLibrary::removeRef(a), 0u);
        EXPECT_EQ(IResourceLibrary::addRef(a), 0u);
    }
    EXPECT_TRUE(bitmapExists(bitmap));
    DeleteObject(bitmap);
}

TEST(HandleBitmap, HoldersOnSeveralThreadsShareOneEntryAndLeaveNone)
{
    const unsigned long before = IResourceLibrary::bitmapEntryCount();
    ISystemBitmapHandle anchor(ISystemBitmapHandle::downArrow);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i) {
                ISystemBitmapHandle shared(ISystemBitmapHandle::downArrow);
                ISystemBitmapHandle own(ISystemBitmapHandle::checkMark);
                IBitmapHandle copy = shared;
                copy = own;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(countOf(anchor), 1u);
    EXPECT_TRUE(bitmapExists(anchor.asValue()));
    EXPECT_EQ(IResourceLibrary::bitmapEntryCount(), before + 1);
}
