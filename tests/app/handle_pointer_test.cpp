// Icon and pointer handles: icons of resource libraries (never counted, never destroyed), the
// predefined system cursors and icons with and without a table entry, shell and class library
// icons, and the pointer table's counts over many holders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <iapp.hpp>
#include <idll.hpp>
#include <iplatfrm.hpp>
#include <iptrhdl.hpp>
#include <ireslib.hpp>

#include "resource_testutil.hpp"

using restest::expectSystemError;

namespace {

constexpr unsigned long kLibraryIcon = 0x7112;
constexpr unsigned long kMissing = 0xFEDC;

// True while the platform still knows the icon or cursor.
bool pointerExists(HICON pointer)
{
    ICONINFO info{};
    if (!pointer || !GetIconInfo(pointer, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

std::uint32_t countOf(const IPointerHandle& handle)
{
    IResourceLibrary::PointerEntry entry;
    return IResourceLibrary::findPointerEntry(handle.asValue(), &entry) ? entry.useCount : 0;
}

struct SystemPointerCase {
    ISystemPointerHandle::Identifier id;
    WORD number;
    bool isCursor;
};

const SystemPointerCase kSystemPointers[] = {
    {ISystemPointerHandle::arrow, 0x7F00, true},
    {ISystemPointerHandle::text, 0x7F01, true},
    {ISystemPointerHandle::wait, 0x7F02, true},
    {ISystemPointerHandle::move, 0x7F03, true},
    {ISystemPointerHandle::sizeNWSE, 0x7F82, true},
    {ISystemPointerHandle::sizeNESW, 0x7F83, true},
    {ISystemPointerHandle::sizeWE, 0x7F84, true},
    {ISystemPointerHandle::sizeNS, 0x7F85, true},
    {ISystemPointerHandle::applicationIcon, 0x7F00, false},
    {ISystemPointerHandle::informationIcon, 0x7F04, false},
    {ISystemPointerHandle::questionIcon, 0x7F02, false},
    {ISystemPointerHandle::errorIcon, 0x7F01, false},
    {ISystemPointerHandle::warningIcon, 0x7F03, false},
    {ISystemPointerHandle::notAllowed, 0x7F88, true},
};

} // namespace

TEST(HandlePointer, LibraryIconsLoadUncountedAndStayAlive)
{
    IDynamicLinkLibrary library("ovkres");
    const unsigned long before = IResourceLibrary::pointerEntryCount();
    HICON icon = nullptr;
    {
        IPointerHandle first = library.loadIcon(kLibraryIcon, true);
        IPointerHandle second = library.loadPointer(kLibraryIcon, true);
        ASSERT_TRUE(first.isValid());
        ASSERT_TRUE(second.isValid());
        EXPECT_FALSE(IResourceLibrary::findPointerEntry(first.asValue()));
        IPointerHandle copy = first;
        copy = second;
        icon = first.asValue();
    }
    EXPECT_EQ(IResourceLibrary::pointerEntryCount(), before);
    EXPECT_TRUE(pointerExists(icon));
}

TEST(HandlePointer, IconsLoadAsImagesOnLimitedGraphics)
{
    IDynamicLinkLibrary library("ovkres");
    IPlatform::Override limited(IPlatform::limitedGraphics, true);
    for (unsigned long id : {kLibraryIcon, 0x7131ul, 0x7132ul}) {
        IPointerHandle icon = library.tryToLoadIcon(id);
        EXPECT_TRUE(pointerExists(icon.asValue())) << id;
    }
    EXPECT_FALSE(library.tryToLoadIcon(kMissing).isValid());
}

TEST(HandlePointer, MissingIconThrowsFromLoadAndIsEmptyFromTryToLoad)
{
    IDynamicLinkLibrary library("ovkres");
    EXPECT_FALSE(library.tryToLoadIcon(kMissing).isValid());
    expectSystemError([&] { library.loadIcon(kMissing); },
                      "ILOADPOINTER(IResourceId:" + std::to_string(kMissing) + ")", "ireslib3", 150);
    expectSystemError([&] { library.loadPointer(kMissing); },
                      "ILOADPOINTER(IResourceId:" + std::to_string(kMissing) + ")", "ireslib3", 150);
    // No module: the platform would answer the system's own icon for a null module.
    IDynamicLinkLibrary none(nullptr);
    EXPECT_FALSE(none.tryToLoadIcon(0x7F00).isValid());
}

TEST(HandlePointer, SystemPointersAreThePlatformsOwn)
{
    for (const SystemPointerCase& c : kSystemPointers) {
        SCOPED_TRACE(static_cast<int>(c.id));
        HICON expected = c.isCursor ? LoadCursorA(nullptr, MAKEINTRESOURCEA(c.number))
                                    : LoadIconA(nullptr, MAKEINTRESOURCEA(c.number));
        ASSERT_NE(expected, nullptr);
        ISystemPointerHandle plain(c.id, false);
        EXPECT_EQ(plain.asValue(), expected);
        EXPECT_FALSE(IResourceLibrary::findPointerEntry(expected));
        ISystemPointerHandle kept(c.id, true);
        EXPECT_EQ(kept.asValue(), expected);
        EXPECT_EQ(countOf(kept), 1u);
    }
}

TEST(HandlePointer, KeptSystemPointerHasOneEntryForAllHoldersAndSurvivesTheLast)
{
    const unsigned long before = IResourceLibrary::pointerEntryCount();
    HICON cursor = nullptr;
    {
        std::vector<ISystemPointerHandle> holders;
        for (int i = 0; i < 5; ++i)
            holders.emplace_back(ISystemPointerHandle::wait, true);
        cursor = holders.front().asValue();
        EXPECT_EQ(IResourceLibrary::pointerEntryCount(), before + 1);
        EXPECT_EQ(countOf(holders.front()), 5u);
        IPointerHandle copy = holders.back();
        EXPECT_EQ(countOf(copy), 6u);
        copy = copy;
        EXPECT_EQ(countOf(copy), 6u);
    }
    EXPECT_EQ(IResourceLibrary::pointerEntryCount(), before);
    // The cursor belongs to the whole process: the last holder must not have destroyed it.
    EXPECT_TRUE(pointerExists(cursor));
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(0x7F02)), cursor);
}

TEST(HandlePointer, ShellAndLibraryIconsAreAvailable)
{
    for (auto id : {ISystemPointerHandle::shellFileIcon, ISystemPointerHandle::shellProgramIcon,
                    ISystemPointerHandle::shellFolderIcon, ISystemPointerHandle::shellOpenFolderIcon}) {
        ISystemPointerHandle icon(id, true);
        EXPECT_TRUE(pointerExists(icon.asValue())) << static_cast<int>(id);
        EXPECT_FALSE(IResourceLibrary::findPointerEntry(icon.asValue()));
    }
    ISystemPointerHandle library(ISystemPointerHandle::libraryIcon);
    IPointerHandle expected = IApplication::current().ovkuiResourceLibrary().loadIcon(kLibraryIcon);
    EXPECT_EQ(library.asValue(), expected.asValue());
    const auto beyond = static_cast<ISystemPointerHandle::Identifier>(19);
    expectSystemError([&] { ISystemPointerHandle bad(beyond); }, "ILOADPOINTER(IResourceId:0)",
                      "ireslib3", 150);
}

TEST(HandlePointer, CountsOfUntrackedHandlesAreZero)
{
    HICON icon = CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00)));
    ASSERT_NE(icon, nullptr);
    {
        IPointerHandle a(icon);
        EXPECT_EQ(IResourceLibrary::addRef(a), 0u);
        EXPECT_EQ(IResourceLibrary::removeRef(a), 0u);
        std::vector<IPointerHandle> copies(100, a);
        copies.clear();
    }
    EXPECT_TRUE(pointerExists(icon));
    DestroyIcon(icon);
    EXPECT_EQ(IResourceLibrary::addRef(IPointerHandle()), 0u);
    EXPECT_EQ(IResourceLibrary::removeRef(IPointerHandle()), 0u);
}
