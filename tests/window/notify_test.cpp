// Control notification handlers: every row of the notification tables reaches its callback,
// and the select handler's derived selections.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include <iprivmsg.hpp>
#include <ictlhdr.hpp>
#include <ictlnote.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using eventstest::controlClass;
using eventstest::createChild;
using eventstest::send;
using ovktest::TestWindow;

namespace {

// One handler of each family, all logging to one trace and passing the event on.
struct Logs {
    std::string calls;
    void add(const char* name) { calls += (calls.empty() ? "" : " ") + std::string(name); }
};

#define LOG(callback, Event)                                                                      \
    IBase::Boolean callback(Event& e) override                                                   \
    {                                                                                             \
        log.add(#callback);                                                                       \
        e.setResult(11);                                                                          \
        return answer;                                                                            \
    }

struct EditLog : IEditHandler {
    explicit EditLog(Logs& l) : log(l) {}
    Logs& log;
    bool answer = true;
    LOG(edit, IControlEvent)
};
struct FocusLog : IFocusHandler {
    explicit FocusLog(Logs& l) : log(l) {}
    Logs& log;
    bool answer = true;
    LOG(gotFocus, IControlEvent)
    LOG(lostFocus, IControlEvent)
};
struct DropDownLog : IComboDropDownHandler {
    explicit DropDownLog(Logs& l) : log(l) {}
    Logs& log;
    bool answer = true;
    LOG(listShown, IControlEvent)
};
struct SpinLog : ISpinHandler {
    explicit SpinLog(Logs& l) : log(l) {}
    Logs& log;
    bool answer = true;
    IBase::Boolean spinCode96(IControlEvent&) override { log.add("spin96"); return answer; }
    IBase::Boolean spinCode97(IControlEvent&) override { log.add("spin97"); return answer; }
    IBase::Boolean spinCode98(IControlEvent&) override { log.add("spin98"); return answer; }
};
struct SliderLog : ISliderHandler {
    explicit SliderLog(Logs& l) : log(l) {}
    Logs& log;
    bool answer = true;
    IBase::Boolean sliderMoving(IControlEvent&) override { log.add("moving"); return answer; }
    IBase::Boolean sliderChanged(IControlEvent&) override { log.add("changed"); return answer; }
};
// The select handler's enter keeps its default (a button's enter is a selection).
struct SelectLog : ISelectHandler {
    explicit SelectLog(Logs& l) : log(l) {}
    Logs& log;
    std::string codes;
    IBase::Boolean enter(IControlEvent& e) override
    {
        log.add("enter");
        return ISelectHandler::enter(e);
    }
    IBase::Boolean selected(IControlEvent& e) override
    {
        log.add("selected");
        codes += std::to_string(e.notificationCode()) + " ";
        return true;
    }
};

// A parent with one child of every class the tables name, identifiers from 100 on.
class NotifyFixture : public testing::Test {
protected:
    void SetUp() override
    {
        const char* classes[] = {"Edit", "ListBox", "ComboBox", "Button",
                                 controlClass(IControlNotification::kSpinButton),
                                 controlClass(IControlNotification::kNativeSpinButton),
                                 controlClass(IControlNotification::kSlider),
                                 controlClass(IControlNotification::kNativeSlider),
                                 controlClass(IControlNotification::kCircularSlider),
                                 controlClass(IControlNotification::kContainer)};
        int id = 100;
        for (const char* name : classes) {
            // A check box, so that button notifications count as selections.
            const DWORD style = std::string(name) == "Button" ? BS_AUTOCHECKBOX : 0;
            ids[name] = id;
            handles[name] = createChild(parent.hwnd(), name, style, id++);
        }
    }

    LRESULT notify(const char* className, unsigned code, LPARAM parameter2 = 0)
    {
        return send(parent.hwnd(), IPrivateMessage::controlNotification,
                    MAKEWPARAM(ids.at(className), code), parameter2);
    }

    // One notification and the callbacks it must reach, as the handlers' documentation
    // lists them; the numbers are written out here, not taken from the library's tables.
    struct Row {
        const char* className;
        unsigned code;
        const char* expected;
        LPARAM parameter2 = 1;
    };

    // Sends every row to a handler of the family and checks the callbacks reached.
    template <class Handler>
    void expectRows(std::initializer_list<Row> rows)
    {
        Handler handler(logs);
        handler.handleEventsFor(&parent);
        for (const Row& row : rows) {
            logs.calls.clear();
            notify(row.className, row.code, row.parameter2);
            EXPECT_EQ(logs.calls, row.expected) << row.className << " " << std::hex << row.code;
        }
    }

    TestWindow parent;
    std::map<std::string, int> ids;
    std::map<std::string, HWND> handles;
    Logs logs;
};

class NotifyHandlers : public NotifyFixture {};

TEST_F(NotifyHandlers, EveryDocumentedNotificationReachesItsCallback)
{
    using namespace IControlNotification;
    expectRows<EditLog>({{"ComboBox", 5, "edit"},
                         {"ComboBox", 0xFFF9, "edit"},
                         {"Edit", 0x300, "edit"},
                         {kSpinButton, 0x99, "edit"},
                         {kNativeSpinButton, 0x99, "edit"},
                         {kSlider, 0x8C, "edit"},
                         {kNativeSlider, 0x8C, "edit"},
                         {kCircularSlider, 0xA2, "edit"}});
    expectRows<FocusLog>({{"Edit", 0x100, "gotFocus"},
                          {"Edit", 0x200, "lostFocus"},
                          {"ListBox", 4, "gotFocus"},
                          {"ListBox", 5, "lostFocus"},
                          {"ComboBox", 3, "gotFocus"},
                          {"ComboBox", 4, "lostFocus"},
                          {kSpinButton, 0x9A, "gotFocus"},
                          {kSpinButton, 0x9B, "lostFocus"},
                          {kNativeSpinButton, 0x9A, "gotFocus"},
                          {kNativeSpinButton, 0x9B, "lostFocus"},
                          {kContainer, 0x70, "gotFocus"},
                          {kContainer, 0x6D, "lostFocus"},
                          {kSlider, 0x8E, "gotFocus"},
                          {kSlider, 0x8D, "lostFocus"},
                          {kNativeSlider, 0x8E, "gotFocus"},
                          {kNativeSlider, 0x8D, "lostFocus"},
                          {kCircularSlider, 0xA0, "gotFocus", 1},
                          {kCircularSlider, 0xA0, "lostFocus", 0}});
    expectRows<DropDownLog>({{"ComboBox", 7, "listShown"}});
    expectRows<SpinLog>({{kSpinButton, 0x96, "spin96"},
                         {kSpinButton, 0x97, "spin97"},
                         {kSpinButton, 0x98, "spin98"},
                         {kNativeSpinButton, 0x96, "spin96"},
                         {kNativeSpinButton, 0x97, "spin97"},
                         {kNativeSpinButton, 0x98, "spin98"}});
    expectRows<SliderLog>({{kSlider, 0x8F, "moving"},
                           {kSlider, 0x8C, "changed"},
                           {kNativeSlider, 0x8F, "moving"},
                           {kNativeSlider, 0x8C, "changed"},
                           {kCircularSlider, 0xA3, "moving"},
                           {kCircularSlider, 0xA2, "changed"}});
    // Bit 0 of the emphasis mask: the record gained the selection.
    NOTIFYRECORDEMPHASIS selectedRecord{nullptr, nullptr, 1};
    const LPARAM selected = reinterpret_cast<LPARAM>(&selectedRecord);
    // The check box's enter is, by default, its selection.
    expectRows<SelectLog>({{"ComboBox", 1, "selected"},
                           {"ComboBox", 2, "enter"},
                           {"ComboBox", 0xFFF8, "enter"},
                           {"Button", 0, "selected"},
                           {"Button", 5, "enter selected"},
                           {"ListBox", 1, "selected"},
                           {"ListBox", 0xFFC8, "selected"},
                           {"ListBox", 2, "enter"},
                           {kContainer, 0x6C, "selected", selected},
                           {kContainer, 0x6A, "enter"}});
}

TEST_F(NotifyHandlers, CodesOfOtherClassesAndMissingControlsReachNothing)
{
    EditLog edit(logs);
    FocusLog focus(logs);
    SelectLog select(logs);
    for (IHandler* handler : std::initializer_list<IHandler*>{&edit, &focus, &select})
        handler->handleEventsFor(&parent);
    notify("ListBox", EN_CHANGE);           // an edit code from a list box
    notify("Edit", LBN_SETFOCUS);           // a list box code from an edit
    send(parent.hwnd(), IPrivateMessage::controlNotification, MAKEWPARAM(999, EN_CHANGE), 0);
    EXPECT_EQ(logs.calls, "");
}

TEST_F(NotifyHandlers, ResultReachesWindowsOnlyWhenHandled)
{
    EditLog edit(logs);
    edit.handleEventsFor(&parent);
    EXPECT_EQ(notify("Edit", EN_CHANGE), 11);
    edit.answer = false;
    EXPECT_EQ(notify("Edit", EN_CHANGE), 0);
}

TEST_F(NotifyHandlers, CircularSliderFocusFollowsTheSecondParameter)
{
    FocusLog focus(logs);
    focus.handleEventsFor(&parent);
    notify(IControlNotification::kCircularSlider, 0xA0, 1);
    notify(IControlNotification::kCircularSlider, 0xA0, 0);
    EXPECT_EQ(logs.calls, "gotFocus lostFocus");
}

TEST_F(NotifyHandlers, ContainerSelectionOnlyForSelectedRecords)
{
    SelectLog select(logs);
    select.handleEventsFor(&parent);
    NOTIFYRECORDEMPHASIS cursored{nullptr, nullptr, CRA_CURSORED};
    notify(IControlNotification::kContainer, 0x6C, reinterpret_cast<LPARAM>(&cursored));
    notify(IControlNotification::kContainer, 0x6C, 0);
    EXPECT_EQ(logs.calls, "");
}

// Push buttons are commands; a check box's double click is an enter, by default a selection.
TEST_F(NotifyHandlers, ButtonKindsDecideSelections)
{
    createChild(parent.hwnd(), "Button", BS_PUSHBUTTON, 300);
    SelectLog select(logs);
    select.handleEventsFor(&parent);
    send(parent.hwnd(), IPrivateMessage::controlNotification, MAKEWPARAM(300, BN_CLICKED), 0);
    send(parent.hwnd(), IPrivateMessage::controlNotification, MAKEWPARAM(300, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(logs.calls, "");
}

// A list box with multiple selection and no extended selection sends no selection change of
// its own for clicks and the space key; the handler on the list box reports them, and Enter
// as an enter.
TEST_F(NotifyHandlers, MultipleSelectionListBoxSelectsOnReleaseAndSpace)
{
    TestWindow multiple(parent.hwnd(), LBS_MULTIPLESEL, 301, "ListBox");
    TestWindow single(parent.hwnd(), 0, 302, "ListBox");
    SelectLog select(logs);
    select.handleEventsFor(&multiple);
    select.handleEventsFor(&single);
    send(parent.hwnd(), IPrivateMessage::controlNotification, MAKEWPARAM(301, LBN_SELCHANGE), 0);
    EXPECT_EQ(logs.calls, "");
    struct Case {
        HWND window;
        UINT message;
        WPARAM key;
        const char* expected;
    };
    const Case cases[] = {
        {multiple.hwnd(), WM_CHAR, ' ', "selected"},
        {multiple.hwnd(), WM_LBUTTONUP, 0, "selected"},
        {multiple.hwnd(), WM_CHAR, VK_RETURN, "enter"},
        {single.hwnd(), WM_CHAR, ' ', ""},
        {single.hwnd(), WM_CHAR, VK_RETURN, "enter"},
    };
    for (const Case& c : cases) {
        logs.calls.clear();
        send(c.window, c.message, c.key, 0);
        EXPECT_EQ(logs.calls, c.expected) << c.message << " " << c.key;
    }
    EXPECT_EQ(select.codes, "1 1 ");
}

TEST_F(NotifyHandlers, LibraryDoubleClickOfACheckBoxIsAnEnter)
{
    TestWindow check(parent.hwnd(), BS_AUTOCHECKBOX, 303, "Button");
    TestWindow radio(parent.hwnd(), BS_RADIOBUTTON, 304, "Button");
    SelectLog select(logs);
    select.handleEventsFor(&check);
    select.handleEventsFor(&radio);
    send(radio.hwnd(), IPrivateMessage::doubleClickRelease);
    EXPECT_EQ(logs.calls, "");
    send(check.hwnd(), IPrivateMessage::doubleClickRelease);
    EXPECT_EQ(logs.calls, "enter selected");
    EXPECT_EQ(select.codes, "5 ");
}

// A selection that the library derives for a top-level list box names the identifier the
// library keeps for top-level windows.
TEST_F(NotifyHandlers, ADerivedSelectionOfATopLevelControlCarriesItsIdentifier)
{
    const HWND popup = CreateWindowExA(0, "ListBox", "", WS_POPUP, 0, 0, 80, 60, parent.hwnd(),
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    IWindow listBox(popup);
    listBox.setDestroyOnDelete();
    listBox.setId(0x1357);
    struct IdLog : SelectLog {
        using SelectLog::SelectLog;
        IBase::Boolean enter(IControlEvent& e) override
        {
            id = e.parameter1().lowNumber();
            return true;
        }
        unsigned long id = 0;
    } select(logs);
    select.handleEventsFor(&listBox);
    send(popup, WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(select.id, 0x1357u);
}

// A control notification reaches the control's own window object first, then the window the
// control was given as its owner, in place of its parent; setting the owner takes effect at
// once, also after the parent has had notifications of the control.
TEST(ControlNotificationRoute, TheControlsObjectThenItsOwnerOrElseItsParent)
{
    TestWindow parent;
    TestWindow owner;
    TestWindow control(parent.hwnd(), 0, 310);
    ovktest::Recorder rec(IPrivateMessage::controlNotification);
    rec.attach(parent, "parent");
    rec.attach(owner, "owner");
    rec.attach(control, "control");
    const auto notify = [&] {
        rec.clear();
        send(parent.hwnd(), WM_COMMAND, MAKEWPARAM(310, 1), reinterpret_cast<LPARAM>(control.hwnd()));
        return rec.trace();
    };
    EXPECT_EQ(notify(), "control parent");
    control.setOwner(&owner);
    EXPECT_EQ(notify(), "control owner");
    control.setOwner(&parent);
    EXPECT_EQ(notify(), "control parent");
}

TEST_F(NotifyHandlers, SliderDrawingByItem)
{
    struct DrawLog : ISliderDrawHandler {
        std::string calls;
        IBase::Boolean drawSliderShaft(IDrawItemEvent&) override { return log("shaft"); }
        IBase::Boolean drawRibbonStrip(IDrawItemEvent&) override { return log("ribbon"); }
        IBase::Boolean drawSliderArm(IDrawItemEvent&) override { return log("arm"); }
        IBase::Boolean drawSliderBackground(IDrawItemEvent&) override { return log("background"); }
        bool log(const char* name)
        {
            calls += std::string(name) + " ";
            return true;
        }
    } handler;
    handler.handleEventsFor(&parent);
    for (const char* className : {IControlNotification::kSlider, IControlNotification::kNativeSlider}) {
        for (UINT item = 0; item <= 5; ++item) {
            DRAWITEMSTRUCT record{};
            record.CtlID = static_cast<UINT>(ids.at(className));
            record.itemID = item;
            record.itemAction = ODA_DRAWENTIRE;
            send(parent.hwnd(), WM_DRAWITEM, record.CtlID, reinterpret_cast<LPARAM>(&record));
        }
    }
    EXPECT_EQ(handler.calls, "ribbon shaft background arm ");
}

} // namespace
