// The container handlers: crafted container notifications and owner-drawing requests become
// callbacks in the right order, with the right data, and only the container forms attach.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <icnrdrhd.hpp>
#include <icnrhdr.hpp>
#include <icnrmnhd.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iprivmsg.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Objects;

namespace {

std::string textOf(const ICnrObj* object)
{
    return object ? std::string(object->iconText()) : std::string("-");
}

// Every callback adds what it saw to the trace and answers `answer`.
class TracingHandler : public ICnrHandler {
public:
    std::string trace;
    bool answer = false;

protected:
    IBase::Boolean queryDelta(ICnrQueryDeltaEvent& event) override
    {
        add("delta", std::string(event.isTop() ? "top" : "") + (event.isBottom() ? "bottom" : ""));
        return answer;
    }
    IBase::Boolean treeCollapsed(ICnrObj* object, ICnrCtl*) override
    {
        add("collapsed", textOf(object));
        return answer;
    }
    IBase::Boolean treeExpanded(ICnrObj* object, ICnrCtl*) override
    {
        add("expanded", textOf(object));
        return answer;
    }
    IBase::Boolean enter(ICnrEnterEvent& event) override
    {
        add("enter", textOf(event.object()) + "," + std::to_string(event.flags()));
        return answer;
    }
    IBase::Boolean selectedChanged(ICnrEmphasisEvent& event) override
    {
        add("selected", textOf(event.object()));
        return answer;
    }
    IBase::Boolean inUseChanged(ICnrEmphasisEvent& event) override
    {
        add("inUse", textOf(event.object()));
        return answer;
    }
    IBase::Boolean cursoredChanged(ICnrEmphasisEvent& event) override
    {
        add("cursored", textOf(event.object()));
        return answer;
    }
    IBase::Boolean scroll(ICnrScrollEvent& event) override
    {
        add("scroll", std::to_string(event.amount()) + (event.isVertical() ? "v" : "") +
                          (event.isHorizontal() ? "h" : ""));
        return answer;
    }
    IBase::Boolean help(ICnrHelpEvent& event) override
    {
        add("help", textOf(event.object()));
        // Without a help window the default shows nothing and lets the request go on.
        return answer || ICnrHandler::help(event);
    }

private:
    void add(const std::string& what, const std::string& detail)
    {
        trace += (trace.empty() ? "" : " ") + what + "(" + detail + ")";
    }
};

class Handlers : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        // Attached first, so it sees a notification only when the handler under test let it go.
        after.attach(*messageDriven, "after");
        handler.handleEventsFor(messageDriven.get());
    }
    void TearDown() override
    {
        handler.stopHandlingEventsFor(messageDriven.get());
        Containers::TearDown();
    }
    LRESULT notify(unsigned code, const void* data)
    {
        return OvkCnrTestNotifyOwner(messageDriven->handle(), code, reinterpret_cast<LPARAM>(data));
    }
    std::string trace() const
    {
        if (handler.trace.empty() || after.trace().empty())
            return handler.trace + after.trace();
        return handler.trace + " " + after.trace();
    }

    TracingHandler handler;
    ovktest::Recorder after{IPrivateMessage::controlNotification};
};

TEST_F(Handlers, ATableOfNotificationsReachesTheirCallbacks)
{
    Objects objects(*messageDriven, {"a"});
    MINIRECORDCORE* a = objects[0]->record();
    const HWND cnr = messageDriven->handle();
    struct Case {
        const char* name;
        unsigned code;
        const void* data;
        const char* handled;
        const char* notHandled;
    };
    NOTIFYRECORDENTER byKey{cnr, 1, a};
    NOTIFYRECORDENTER onNothing{cnr, 0, nullptr};
    NOTIFYRECORDEMPHASIS allThree{cnr, a, CRA_SELECTED | CRA_CURSORED | CRA_INUSE};
    NOTIFYRECORDEMPHASIS targetOnly{cnr, a, CRA_TARGET};
    NOTIFYSCROLL up{cnr, -5, CMA_VERTICAL};
    NOTIFYDELTA bottom{cnr, 0x02};
    const Case cases[] = {
        {"enter by key", CN_ENTER, &byKey, "enter(a,1)", "enter(a,1) after"},
        {"enter on empty space", CN_ENTER, &onNothing, "enter(-,0)", "enter(-,0) after"},
        // The emphasis callbacks run in this order and never end the walk.
        {"emphasis", CN_EMPHASIS, &allThree, "cursored(a) inUse(a) selected(a) after",
         "cursored(a) inUse(a) selected(a) after"},
        {"other emphasis", CN_EMPHASIS, &targetOnly, "after", "after"},
        {"scroll", CN_SCROLL, &up, "scroll(-5v)", "scroll(-5v) after"},
        {"delta", CN_QUERYDELTA, &bottom, "delta(bottom)", "delta(bottom) after"},
        {"collapse", CN_COLLAPSETREE, a, "collapsed(a)", "collapsed(a) after"},
        {"expand", CN_EXPANDTREE, a, "expanded(a)", "expanded(a) after"},
        {"help on the object", CN_HELP, a, "help(a)", "help(a) after"},
        {"help on nothing", CN_HELP, reinterpret_cast<const void*>(std::intptr_t(-1)), "help(-)",
         "help(-) after"},
        {"focus", CN_SETFOCUS, cnr, "after", "after"},
    };
    for (const bool answer : {true, false}) {
        for (const Case& c : cases) {
            handler.answer = answer;
            handler.trace.clear();
            after.clear();
            notify(c.code, c.data);
            EXPECT_EQ(trace(), answer ? c.handled : c.notHandled) << c.name;
        }
    }
}

// A window of another class that takes container information, as an empty container would.
LRESULT CALLBACK answerContainerMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= CM_ALLOCDETAILFIELDINFO && message <= CM_QUERYRECORDINFO)
        return message == CM_SETCNRINFO ? 1 : 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Handlers, NotificationsOfOtherWindowsPassUntouched)
{
    ovktest::registerClass("Handlers Impostor", answerContainerMessages);
    const HWND window = ovktest::createNativeWindow(parent->hwnd(), 0, 33, "Handlers Impostor");
    ASSERT_TRUE(window);
    // Taken over as a container, so that the handler is offered what its window reports.
    auto impostor = std::make_unique<ICnrCtl>(IWindowHandle(window));
    TracingHandler offered;
    offered.handleEventsFor(impostor.get());
    NOTIFYRECORDENTER enter{window, 0, nullptr};
    ovktest::Recorder owner(IPrivateMessage::controlNotification);
    owner.attach(*parent, "owner");
    SendMessageA(parent->hwnd(), IPrivateMessage::controlNotification, MAKEWPARAM(33, CN_ENTER),
                 reinterpret_cast<LPARAM>(&enter));
    EXPECT_EQ(offered.trace, "");
    EXPECT_EQ(owner.trace(), "owner");
    offered.stopHandlingEventsFor(impostor.get());
    impostor.reset();
    DestroyWindow(window);
}

TEST_F(Handlers, OnlyTheContainerFormsAttach)
{
    IHandler& plain = handler;
    EXPECT_EQ(ovktest::caught([&] { plain.handleEventsFor(parent.get()); }).errorId(), 2u);
    EXPECT_EQ(ovktest::caught([&] { plain.stopHandlingEventsFor(parent.get()); }).errorId(), 2u);
    EXPECT_STREQ(ovktest::caught([&] { handler.handleEventsFor(static_cast<ICnrCtl*>(nullptr)); })
                     .text(),
                 "container != 0");
    ICnrMenuHandler menus;
    ICnrDrawHandler drawing;
    EXPECT_EQ(ovktest::caught([&] { static_cast<IHandler&>(menus).handleEventsFor(parent.get()); })
                  .errorId(),
              2u);
    EXPECT_EQ(
        ovktest::caught([&] { static_cast<IHandler&>(drawing).handleEventsFor(parent.get()); })
            .errorId(),
        2u);
}

// Answers the pop-up request without showing a menu, and remembers what it was for.
class MenuProbe : public ICnrMenuHandler {
public:
    int requests = 0;
    ICnrObj* objectAtRequest = reinterpret_cast<ICnrObj*>(1);

protected:
    IBase::Boolean makePopUpMenu(IMenuEvent&) override
    {
        ++requests;
        objectAtRequest = menuObject();
        return true;
    }
};

// The source emphasis that the menu handler set, as the container window received it.
std::string sourceEmphasisSent(HWND window)
{
    std::string sent;
    OvkCnrJournalEntry entry{};
    for (unsigned i = 0; OvkCnrTestJournalEntryAt(i, &entry); ++i)
        if (entry.window == window && entry.message == CM_SETRECORDEMPHASIS &&
            (HIWORD(entry.parameter2) & CRA_SOURCE))
            sent += entry.parameter1 ? (LOWORD(entry.parameter2) ? "object+ " : "object- ")
                                     : (LOWORD(entry.parameter2) ? "container+ " : "container- ");
    return sent;
}

TEST_F(Handlers, AContextMenuOverEmptySpaceIsForTheContainerItself)
{
    MenuProbe menus;
    menus.handleEventsFor(messageDriven.get());
    Objects objects(*messageDriven, {"a"});
    OvkCnrTestJournalReset();
    NOTIFYCONTEXTMENU overNothing{nullptr, nullptr};
    EXPECT_EQ(notify(CN_CONTEXTMENU, &overNothing), 1);
    EXPECT_EQ(menus.requests, 1);
    EXPECT_EQ(menus.objectAtRequest, nullptr);
    // Shown for the request and taken off when it is over, as no menu loop ended it before.
    EXPECT_EQ(sourceEmphasisSent(messageDriven->handle()), "container+ container- ");

    OvkCnrTestJournalReset();
    NOTIFYCONTEXTMENU overA{nullptr, objects[0]->record()};
    notify(CN_CONTEXTMENU, &overA);
    EXPECT_EQ(menus.objectAtRequest, objects[0]);
    EXPECT_EQ(sourceEmphasisSent(messageDriven->handle()), "object+ object- ");
    EXPECT_EQ(menus.menuObject(), nullptr);

    // The window's own context-menu message is left alone: the notification brings the menu.
    // (The handler behind it takes the message, so that no system menu opens.)
    menus.stopHandlingEventsFor(messageDriven.get());
    ovktest::Recorder windowMenus(WM_CONTEXTMENU);
    windowMenus.attach(*messageDriven, "after", true);
    menus.handleEventsFor(messageDriven.get());
    SendMessageA(messageDriven->handle(), WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(static_cast<HWND>(messageDriven->handle())), MAKELPARAM(5, 5));
    EXPECT_EQ(menus.requests, 2);
    EXPECT_EQ(windowMenus.trace(), "after");
    menus.stopHandlingEventsFor(messageDriven.get());
}

// Shows a real pop-up menu owned by the container; a thread timer notes, while the menu is open,
// what has source emphasis and then ends the menu.
class ShowingMenu : public ICnrMenuHandler {
public:
    std::function<void()> whileOpen;
    bool ended = false;

protected:
    IBase::Boolean makePopUpMenu(IMenuEvent& event) override
    {
        gWhileOpen = &whileOpen;
        gEnded = &ended;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, noteAndEnd);
        const HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "Open");
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, 10, 10, 0, event.window()->handle(), nullptr);
        KillTimer(nullptr, timer);
        DestroyMenu(menu);
        return true;
    }

private:
    static void CALLBACK noteAndEnd(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        (*gWhileOpen)();
        *gEnded = true;
        EndMenu();
    }
    static inline std::function<void()>* gWhileOpen = nullptr;
    static inline bool* gEnded = nullptr;
};

bool hasSourceEmphasis(ICnrObj* object)
{
    return (ICnrObj::recordOf(object)->flRecordAttr & CRA_SOURCE) != 0;
}

// Source emphasis is on the menu's object (or the selection it belongs to, or the container)
// while a real menu is open, and off again once it has closed.
TEST_F(Handlers, SourceEmphasisShowsWhileTheMenuIsOpenAndGoesWithIt)
{
    Objects objects(*messageDriven, {"a", "b", "c"});
    struct Case {
        const char* name;
        int menuObject;  // -1: empty space
        bool aSelected;
        const char* emphasisedWhileOpen;
    };
    const Case cases[] = {
        {"over empty space", -1, false, "container"},
        {"over an object that is not selected", 1, true, "b"},
        {"over a selected object", 0, true, "a c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messageDriven->setEmphasis(objects[0], CRA_SELECTED, c.aSelected);
        messageDriven->setEmphasis(objects[2], CRA_SELECTED, c.aSelected);
        ShowingMenu menus;
        menus.handleEventsFor(messageDriven.get());
        std::string whileOpen;
        menus.whileOpen = [&] {
            for (std::size_t i = 0; i < 3; ++i)
                if (hasSourceEmphasis(objects[i]))
                    whileOpen += std::string(whileOpen.empty() ? "" : " ") + textOf(objects[i]);
            if (sourceEmphasisSent(messageDriven->handle()) == "container+ ")
                whileOpen += "container";
        };
        OvkCnrTestJournalReset();
        NOTIFYCONTEXTMENU request{nullptr, c.menuObject < 0 ? nullptr
                                                              : objects[static_cast<std::size_t>(c.menuObject)]->record()};
        EXPECT_EQ(notify(CN_CONTEXTMENU, &request), 1);
        EXPECT_TRUE(menus.ended);
        EXPECT_EQ(whileOpen, c.emphasisedWhileOpen);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_FALSE(hasSourceEmphasis(objects[i])) << textOf(objects[i]);
        if (c.menuObject < 0) {
            EXPECT_EQ(sourceEmphasisSent(messageDriven->handle()), "container+ container- ");
        }
        EXPECT_EQ(menus.menuObject(), nullptr);
        menus.stopHandlingEventsFor(messageDriven.get());
    }
}

class DrawProbe : public ICnrDrawHandler {
public:
    std::string trace;

protected:
    IBase::Boolean drawText(ICnrDrawItemEvent& event) override { return add("text", event); }
    IBase::Boolean drawIcon(ICnrDrawItemEvent& event) override { return add("icon", event); }
    IBase::Boolean drawTreeIcon(ICnrDrawItemEvent& event) override { return add("tree", event); }
    IBase::Boolean drawDetailsField(ICnrDrawItemEvent& event) override
    {
        return add("field", event);
    }
    IBase::Boolean drawTitle(ICnrDrawItemEvent& event) override { return add("title", event); }
    IBase::Boolean drawBackground(ICnrDrawBackgroundEvent& event) override
    {
        trace += "background(" + std::to_string(event.windowPartId()) + "," +
                 std::to_string(event.backgroundRect().width()) + ") ";
        return true;
    }

private:
    IBase::Boolean add(const char* what, ICnrDrawItemEvent& event)
    {
        trace += std::string(what) + "(" + textOf(event.object()) + "," +
                 std::to_string(event.itemRect().height()) + ") ";
        return true;
    }
};

TEST_F(Handlers, OwnerDrawingGoesToThePartThatTheItemIdNames)
{
    DrawProbe drawing;
    drawing.handleEventsFor(messageDriven.get());
    Objects objects(*messageDriven, {"a"});
    CNRDRAWITEMINFO info{objects[0]->record(), nullptr};
    for (const UINT itemId : {0x1000u, 0x0800u, 0x0400u, 0x0001u, 0x0002u, 0x0000u}) {
        DRAWITEMSTRUCT item{};
        item.itemID = itemId;
        // Corners in either order make the same rectangle.
        item.rcItem = RECT{0, 20, 10, 4};
        item.itemData = reinterpret_cast<ULONG_PTR>(&info);
        SendMessageA(parent->hwnd(), WM_DRAWITEM, messageDriven->id(),
                     reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(drawing.trace, "text(a,16) icon(a,16) tree(a,16) title(a,16) field(a,16) field(a,16) ");
    drawing.trace.clear();
    OWNERBACKGROUND background{messageDriven->handle(), nullptr, CNR_RECTL{0, 0, 30, 10}, 7};
    SendMessageA(messageDriven->handle(), CM_PAINTBACKGROUND, reinterpret_cast<WPARAM>(&background), 0);
    SendMessageA(messageDriven->handle(), CM_PAINTBACKGROUND, 0, 0);
    EXPECT_EQ(drawing.trace, "background(7,30) background(0,0) ");
    drawing.stopHandlingEventsFor(messageDriven.get());
}

} // namespace
