// Menus, dialogs, accelerator tables and help tables of resource libraries. The resources come
// from modules of the platform, found by enumerating what each module holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <detail/ireslib.hpp>
#include <idll.hpp>
#include <iplatfrm.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

#include "resource_testutil.hpp"

using restest::expectSystemError;

namespace {

constexpr unsigned long kMissing = 0xFEDC;

BOOL CALLBACK firstNumbered(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
{
    if (!IS_INTRESOURCE(name))
        return TRUE;
    *reinterpret_cast<unsigned long*>(found) = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(name));
    return FALSE;
}

// A platform module that holds a resource of the type under a number, with that number.
struct Found {
    std::unique_ptr<IDynamicLinkLibrary> library;
    unsigned long id = 0;
};

Found findResource(LPCSTR type)
{
    static const char* const modules[] = {"user32", "comctl32", "comdlg32", "shell32", "oledlg"};
    for (const char* name : modules) {
        Found found;
        try {
            found.library.reset(new IDynamicLinkLibrary(name));
        } catch (const IException&) {
            continue;
        }
        EnumResourceNamesA(found.library->handle(), type, &firstNumbered,
                           reinterpret_cast<LONG_PTR>(&found.id));
        if (found.id)
            return found;
    }
    return Found();
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A window object over a hidden native window, for the loaders that take windows.
class ResourceWindows : public testing::Test {
protected:
    void SetUp() override
    {
        fNative = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(fNative, nullptr);
        fWindow.reset(new IWindow(fNative));
    }
    void TearDown() override
    {
        fWindow.reset();
        DestroyWindow(fNative);
    }

    HWND fNative = nullptr;
    std::unique_ptr<IWindow> fWindow;
};

} // namespace

TEST(ResourceTable, MenuLoadsByNumberAndMissingOneThrows)
{
    Found found = findResource(RT_MENU);
    ASSERT_NE(found.id, 0u) << "no numbered menu in the platform's modules";
    IMenuHandle menu = found.library->loadMenu(found.id);
    ASSERT_TRUE(menu.isValid());
    EXPECT_TRUE(IsMenu(menu));
    DestroyMenu(menu);
    expectSystemError([&] { found.library->loadMenu(kMissing); },
                      "WinLoadMenu(IResourceId:" + std::to_string(kMissing) + ")", "ireslib", 287);
}

TEST(ResourceTable, AcceleratorTableLoadsAndIsRebuiltOnLimitedGraphics)
{
    // Three keys: Ctrl+Q, F1 and "a", in the resource's layout (flags, key, command, padding;
    // the last entry flagged 0x80).
    const ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'Q', 101}, {FVIRTKEY, VK_F1, 102}, {0, 'a', 103}};
    std::string table;
    for (size_t i = 0; i < 3; ++i) {
        const WORD entry[4] = {static_cast<WORD>(keys[i].fVirt | (i == 2 ? 0x80 : 0)), keys[i].key,
                               keys[i].cmd, 0};
        table.append(reinterpret_cast<const char*>(entry), sizeof entry);
    }
    const ovktest::TempFile module("ovk_resource_tables.dll");
    ASSERT_TRUE(ovktest::buildResourceModule(module, {{RT_ACCELERATOR, 7, table}}));
    {
        IDynamicLinkLibrary library(module.path());
        for (bool limited : {false, true}) {
            SCOPED_TRACE(limited ? "rebuilt" : "loaded");
            IPlatform::Override graphics(IPlatform::limitedGraphics, limited);
            IAccelTblHandle loaded = library.loadAccelTable(7);
            ASSERT_TRUE(loaded.isValid());
            ACCEL copies[8];
            ASSERT_EQ(CopyAcceleratorTableA(loaded, copies, 8), 3);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(copies[i].fVirt & 0x7F, keys[i].fVirt);
                EXPECT_EQ(copies[i].key, keys[i].key);
                EXPECT_EQ(copies[i].cmd, keys[i].cmd);
            }
        }
        expectSystemError([&] { library.loadAccelTable(kMissing); },
                          "WinLoadAccelTable(IResourceId:" + std::to_string(kMissing) + ")",
                          "ireslib", 367);
    }
}

TEST_F(ResourceWindows, DialogIsOwnedByTheOwnerAndNotByTheParent)
{
    Found found = findResource(RT_DIALOG);
    ASSERT_NE(found.id, 0u) << "no numbered dialog in the platform's modules";
    int data = 7;
    IWindowHandle dialog =
        found.library->loadDialog(found.id, nullptr, fWindow.get(), &quietDialog, &data);
    ASSERT_TRUE(dialog.isValid());
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), fNative);
    DestroyWindow(dialog);
    expectSystemError([&] { found.library->loadDialog(kMissing, fWindow.get(), fWindow.get(), &quietDialog); },
                      "WinLoadDlg(IResourceId:" + std::to_string(kMissing) + ")", "ireslib", 325);
}

TEST(ResourceTable, OlderPlatformBuildsMenusWithTheExtendedMenuReader)
{
    // One item "Open" (identifier 7, the last of its menu) in each format: the classic one
    // (version 0) and the extended one (version 1, items 4 bytes after the header's first 4).
    const wchar_t open[] = L"Open";
    const std::string text(reinterpret_cast<const char*>(open), sizeof open);
    const std::string classic = std::string("\0\0\0\0\x80\0\x07\0", 8) + text;
    const std::string extended = std::string("\x01\0\x04\0\0\0\0\0", 8) +
                                 std::string("\0\0\0\0\0\0\0\0\x07\0\0\0\x80\0", 14) + text;
    const ovktest::TempFile module("ovk_resource_menus.dll");
    ASSERT_TRUE(ovktest::buildResourceModule(module, {{RT_MENU, 40, classic}, {RT_MENU, 41, extended}}));
    {
        IDynamicLinkLibrary library(module.path());
        auto expectOpen = [](IMenuHandle menu) {
            ASSERT_TRUE(menu.isValid());
            char name[16] = {};
            GetMenuStringA(menu, 0, name, sizeof name, MF_BYPOSITION);
            EXPECT_STREQ(name, "Open");
            EXPECT_EQ(GetMenuItemID(menu, 0), 7u);
            DestroyMenu(menu);
        };
        expectOpen(library.loadMenu(40));
        IPlatform::Override variant(IPlatform::platformVariant, true);
        expectOpen(library.loadMenu(41));
        expectSystemError([&] { library.loadMenu(40); }, "WinLoadMenu(IResourceId:40)", "ireslib", 287);
    }
}
