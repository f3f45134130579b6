// The native container reports what its list control sees (double clicks, Enter, selection,
// label editing, help) to its owner as the container notifications.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include <icnredit.hpp>
#include <icnrhdr.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iprivmsg.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::NotificationTrace;
using cnrtest::Objects;

namespace {

constexpr int kListId = 0x3000;

class NativeNotifications : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
        notifications.handleEventsFor(native.get());
    }
    void TearDown() override
    {
        notifications.stopHandlingEventsFor(native.get());
        Containers::TearDown();
    }
    HWND list() const { return cnrtest::child(native->handle(), kListId); }
    // Puts the pointer on the middle of an item's icon and answers that point in the list.
    POINT pointAtItem(int index)
    {
        RECT area{};
        area.left = LVIR_ICON;
        SendMessageA(list(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&area));
        POINT point{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        POINT screen = point;
        ClientToScreen(list(), &screen);
        SetCursorPos(screen.x, screen.y);
        return point;
    }
    void doubleClickAt(POINT point)
    {
        if (point.x < 0) {
            RECT client{};
            GetClientRect(list(), &client);
            point = POINT{client.right - 3, client.bottom - 3};
            POINT screen = point;
            ClientToScreen(list(), &screen);
            SetCursorPos(screen.x, screen.y);
        }
        SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    NotificationTrace notifications;
};

TEST_F(NativeNotifications, DoubleClickOpensTheItemUnderThePointerAndEnterTheCursoredOne)
{
    Objects objects(*native, {"a", "b"});
    native->arrangeIconView();
    doubleClickAt(pointAtItem(1));
    EXPECT_EQ(notifications.trace.substr(notifications.trace.find("enter")), "enter(b,0)");
    notifications.trace.clear();
    doubleClickAt(POINT{-1, -1});
    EXPECT_EQ(notifications.trace.find("enter"), std::string::npos) << notifications.trace;

    notifications.trace.clear();
    native->setEmphasis(objects[0], CRA_CURSORED);
    notifications.trace.clear();
    SendMessageA(list(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(notifications.trace, "enter(a,1)");
}

TEST_F(NativeNotifications, SelectingAnotherItemReportsTheOneLosingAndTheOneGaining)
{
    auto single = makeNative(ICnrCtl::defaultStyle() | ICnrCtl::singleSelection,
                             ICnrCtl::nameView, 22);
    notifications.handleEventsFor(single.get());
    Objects objects(*single, {"a", "b"});
    const HWND control = cnrtest::child(single->handle(), kListId);
    SetFocus(control);
    single->setEmphasis(objects[0], CRA_SELECTED | CRA_CURSORED);
    notifications.trace.clear();
    SendMessageA(control, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_NE(notifications.trace.find("selected(a)"), std::string::npos) << notifications.trace;
    EXPECT_NE(notifications.trace.find("selected(b)"), std::string::npos) << notifications.trace;
    EXPECT_LT(notifications.trace.find("selected(a)"), notifications.trace.find("selected(b)"));
    notifications.stopHandlingEventsFor(single.get());
}

TEST_F(NativeNotifications, HelpWithNoCursoredObjectNamesNone)
{
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    SendMessageA(native->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(notifications.trace, "help(none)");
}

class NativeEditing : public NativeNotifications {
protected:
    void SetUp() override
    {
        NativeNotifications::SetUp();
        // The trace goes on after the edit handler, which handles the edit's notifications.
        notifications.stopHandlingEventsFor(native.get());
        editing.handleEventsFor(native.get());
        notifications.handleEventsFor(native.get());
        notifications.selections = false;
    }
    void TearDown() override
    {
        editing.stopHandlingEventsFor(native.get());
        NativeNotifications::TearDown();
    }
    // Opens the editor on the object, types the text (when given) and presses Enter.
    void edit(ICnrObj* object, const char* text)
    {
        native->editObject(object);
        const HWND editor = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(editor, nullptr);
        if (text)
            SetWindowTextA(editor, text);
        SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
        ovktest::pumpPending();
    }
    std::string listText(int index)
    {
        char text[300] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    ICnrEditHandler editing;
};

TEST_F(NativeEditing, ARecordThatIsReadOnlyIsNotEdited)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(false, native.get());
    notifications.trace.clear();
    EXPECT_STREQ(ovktest::caught([&] { native->editObject(objects[0]); }).text(), "CM_OPENEDIT");
    EXPECT_EQ(notifications.trace, "");
    EXPECT_EQ(SendMessageA(list(), LVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(NativeEditing, ALongerTextIsReallocatedStoredAndShown)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(true, native.get());
    const std::string longer(100, 'x');
    notifications.trace.clear();
    edit(objects[0], longer.c_str());
    EXPECT_EQ(notifications.trace, "begin realloc(101) end");
    EXPECT_EQ(std::string(objects[0]->iconText()), longer);
    EXPECT_EQ(listText(0), longer);
    EXPECT_EQ(native->editWindow(), nullptr);
}

TEST_F(NativeEditing, AnUnchangedTextOnlyEndsTheEdit)
{
    Objects objects(*native, {"ab"});
    objects[0]->setWriteable(true, native.get());
    notifications.trace.clear();
    edit(objects[0], nullptr);
    EXPECT_EQ(notifications.trace, "begin end");
    EXPECT_EQ(std::string(objects[0]->iconText()), "ab");
}

} // namespace
