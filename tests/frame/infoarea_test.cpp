// The information area: docked below the client, following the frame's menu selection.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iexcept.hpp>
#include <iframe.hpp>
#include <iinfoa.hpp>

#include "frametest.hpp"
#include "ovktest.hpp"

namespace {

using ovktest::str;

struct InfoArea : ::testing::Test {
    IResourceLibrary library;
    void SetUp() override
    {
        frame = std::make_unique<IFrameWindow>(IResourceId(kFrameNoResources, library), nullptr, nullptr,
                                               IRectangle(10, 10, 410, 310),
                                               IFrameWindow::_titleBar | IFrameWindow::_sizingBorder,
                                               "info");
        client = std::make_unique<ovktest::TestWindow>(frame->handle(), WS_CHILD | WS_VISIBLE);
        frame->setClient(client.get());
        area = std::make_unique<IInfoArea>(30, frame.get());
        // Each text shows as it is set: the default one last.
        area->setMissingText("No help for this item");
        area->setDefaultText("Ready");
        menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kInfoMenu));
        items = GetSubMenu(menu, 0);
    }
    void TearDown() override
    {
        area.reset();
        client.reset();
        frame.reset();
        DestroyMenu(menu);
    }
    void select(unsigned long item)
    {
        SendMessageA(frame->handle(), WM_MENUSELECT, MAKEWPARAM(item, MF_STRING),
                     reinterpret_cast<LPARAM>(items));
    }
    void closeMenu() { SendMessageA(frame->handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0); }
    std::string shown() const { return str(area->text()); }
    LRESULT showingOther() const { return SendMessageA(frame->handle(), 0xFFEF, 0, 0); }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<ovktest::TestWindow> client;
    std::unique_ptr<IInfoArea> area;
    HMENU menu = nullptr;
    HMENU items = nullptr;
};

TEST_F(InfoArea, FollowsTheSelectionAndReturnsToTheDefaultText)
{
    EXPECT_EQ(shown(), "Ready");
    EXPECT_EQ(showingOther(), 0);
    select(kInfoNamedItem);
    EXPECT_EQ(shown(), "Help line of the named item");
    EXPECT_EQ(showingOther(), 1);
    select(kInfoBareItem);
    EXPECT_EQ(shown(), "No help for this item");
    closeMenu();
    EXPECT_EQ(shown(), "Ready");
    EXPECT_EQ(showingOther(), 0);
}

TEST_F(InfoArea, TheOffsetIsAddedToTheItemIdentifier)
{
    area->setStringOffset(kInfoOffset);
    select(kInfoItem);
    EXPECT_EQ(shown(), "String one thousand and five");
}

TEST_F(InfoArea, ADisabledItemShowsTheDisabledTextOnlyWhenThereIsOne)
{
    EnableMenuItem(items, kInfoNamedItem, MF_BYCOMMAND | MF_GRAYED);
    select(kInfoNamedItem);
    EXPECT_EQ(shown(), "Help line of the named item");
    area->setDisabledText("Not available now");
    select(kInfoNamedItem);
    EXPECT_EQ(shown(), "Not available now");
}

TEST_F(InfoArea, LiesBelowTheClientWithAThinSeparator)
{
    frame->show();
    SetWindowPos(frame->handle(), nullptr, 0, 0, 360, 280, SWP_NOMOVE | SWP_NOZORDER);
    RECT area_{}, client_{}, inside{};
    GetClientRect(frame->handle(), &inside);
    GetWindowRect(area->handle(), &area_);
    GetWindowRect(client->hwnd(), &client_);
    MapWindowPoints(nullptr, frame->handle(), reinterpret_cast<POINT*>(&area_), 2);
    MapWindowPoints(nullptr, frame->handle(), reinterpret_cast<POINT*>(&client_), 2);
    EXPECT_EQ(area_.bottom, inside.bottom);
    EXPECT_EQ(area_.bottom - area_.top, area->minimumSize().height());
    EXPECT_EQ(client_.top, 0);
    EXPECT_EQ(client_.bottom + 1, area_.top);
    EXPECT_EQ(area_.right - area_.left, inside.right);
}

TEST_F(InfoArea, MoreLinesShareTheWidthAndAddHeight)
{
    const ISize one = area->calcMinimumSize();
    area->setLineCount(2);
    const ISize two = area->calcMinimumSize();
    EXPECT_EQ(two.height(), one.height() * 2);
    EXPECT_EQ(two.width(), one.width() * 2 / 3);
    const IException refused = ovktest::caught([&] { area->setLineCount(0); });
    EXPECT_NE(str(refused.text()).find("lines != 0"), std::string::npos);
    EXPECT_EQ(area->lineCount(), 2u);
    // The area serves frames only.
    IMenuHandler& handler = *area;
    EXPECT_THROW(handler.handleEventsFor(client.get()), IException);
}

} // namespace
