// Shell item-ID lists: measuring, copying, joining, paths and the system icons.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include <ishlist.hpp>

// The shell's headers declare an OLE interface named like the library's font class, so this
// file keeps away from the window headers (and the test support that brings them).

namespace {

TEST(ShellIDList, SizesCountRecordsAndTheEnd)
{
    EXPECT_EQ(IShellIDList().size(), 2u);
    IShellIDList one(20ul);
    EXPECT_EQ(one.size(), 22u);
    one.setToFirst();
    EXPECT_TRUE(one.isValid());
    EXPECT_EQ(one.itemAtCursor().size(), 22u);
    one.setToNext();
    EXPECT_FALSE(one.isValid());
    one.setToLast();
    EXPECT_TRUE(one.isValid());
}

TEST(ShellIDList, JoiningAndAssigning)
{
    const IShellIDList first(20ul);
    const IShellIDList second(6ul);
    const IShellIDList empty;
    EXPECT_EQ((first + second).size(), 28u);
    EXPECT_EQ((first + empty).size(), 22u);
    EXPECT_EQ((empty + second).size(), 8u);
    EXPECT_EQ((empty + empty).size(), 2u);

    IShellIDList walked = first + second;
    walked.setToFirst().setToNext();
    EXPECT_EQ(walked.itemAtCursor().size(), 8u);
    walked.setToNext();
    EXPECT_FALSE(walked.isValid());

    IShellIDList target(second);
    EXPECT_EQ(target.size(), 8u);
    EXPECT_NE(target.list(), second.list());
    target = empty;
    EXPECT_EQ(target.size(), 2u);
    target = target;
    EXPECT_EQ(target.size(), 2u);
    EXPECT_EQ(IShellIDList(static_cast<const _ITEMIDLIST*>(nullptr)).size(), 2u);
}

TEST(ShellIDList, PathsParseAndNameThemselves)
{
    IShellIDList windows = IShellIDList::fromPath("C:\\windows");
    ASSERT_GT(windows.size(), 2u);
    EXPECT_EQ(IString::lowerCase(windows.parsingName()), IString("c:\\windows"));
    EXPECT_EQ(windows.reparsed().size(), windows.size());
    IShellFolder* desktop = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    EXPECT_FALSE(windows.displayName(desktop, SHGDN_NORMAL).isEmpty());
    EXPECT_NE(windows.attributes(desktop, SFGAO_FOLDER) & SFGAO_FOLDER, 0u);
    desktop->Release();

    const std::string tooLong = "C:\\" + std::string(257, 'a');
    EXPECT_EQ(IShellIDList::fromPath(tooLong.c_str()).size(), 2u);
    EXPECT_EQ(IShellIDList::fromPath("C:\\no such folder here\\x").size(), 2u);
}

TEST(ShellIDList, EmptyListShowsSystemImage34)
{
    EXPECT_EQ(IShellIDList().iconIndex(), 34);
    EXPECT_NE(IShellIDList::fromPath("C:\\windows").iconIndex(), 34);
    // Wine fills the system image list on demand, so image 34 may not be there yet; the icon is
    // there exactly when the list has that image.
    SHFILEINFOA info{};
    auto system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    ASSERT_NE(system, nullptr);
    const IPointerHandle icon = IShellIDList().icon();
    EXPECT_EQ(icon.isValid() != 0, ImageList_GetImageCount(system) > 34);
    if (icon.isValid())
        DestroyIcon(icon.asValue());
    const IPointerHandle folder = IShellIDList::fromPath("C:\\windows").icon();
    ASSERT_TRUE(folder.isValid());
    ICONINFO parts{};
    EXPECT_TRUE(GetIconInfo(folder.asValue(), &parts));
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(folder.asValue());
}

} // namespace
