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
using IControlNotification::Callback;
using IControlNotification::Entry;
using ovktest::TestWindow;

namespace {

std::string nameOf(Callback callback)
{
    switch (callback) {
    case Callback::edit: return "edit";
    case Callback::gotFocus: return "gotFocus";
    case Callback::lostFocus: return "lostFocus";
    case Callback::focusByParameter: return "gotFocus";  // sent with a non-zero parameter
    case Callback::listShown: return "listShown";
    case Callback::spinCode96: return "spin96";
    case Callback::spinCode97: return "spin97";
    case Callback::spinCode98: return "spin98";
    case Callback::sliderMoving: return "moving";
    case Callback::sliderChanged: return "changed";
    case Callback::selected: return "selected";
    case Callback::enter: return "enter";
    }
    return "?";
}

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

    // Sends every row of a table to a handler of the family and checks the callback reached.
    template <class Handler, std::size_t N>
    void expectEveryRow(const Entry (&table)[N])
    {
        Handler handler(logs);
        handler.handleEventsFor(&parent);
        for (const Entry& entry : table) {
            logs.calls.clear();
            NOTIFYRECORDEMPHASIS selected{nullptr, nullptr, CRA_SELECTED};
            const LPARAM parameter2 =
                entry.condition == IControlNotification::Condition::recordSelected
                    ? reinterpret_cast<LPARAM>(&selected)
                    : 1;
            notify(entry.className, entry.code, parameter2);
            std::string expected = nameOf(entry.callback);
            if (entry.callback == Callback::enter && std::string(entry.className) == "Button")
                expected += " selected";
            EXPECT_EQ(logs.calls, expected) << entry.className << " " << entry.code;
        }
    }

    TestWindow parent;
    std::map<std::string, int> ids;
    std::map<std::string, HWND> handles;
    Logs logs;
};

class NotifyHandlers : public NotifyFixture {};

TEST_F(NotifyHandlers, EveryTableRowReachesItsCallback)
{
    expectEveryRow<EditLog>(IControlNotification::kEdit);
    expectEveryRow<FocusLog>(IControlNotification::kFocus);
    expectEveryRow<DropDownLog>(IControlNotification::kComboDropDown);
    expectEveryRow<SpinLog>(IControlNotification::kSpin);
    expectEveryRow<SliderLog>(IControlNotification::kSlide);
    expectEveryRow<SelectLog>(IControlNotification::kSelect);
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
