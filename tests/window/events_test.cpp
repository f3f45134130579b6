// Command, control, paint, resize and owner-draw events through their handlers, sent the way
// Windows sends them, through the window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iprivmsg.hpp>
#include <ibmpctl.hpp>
#include <icmdhdr.hpp>
#include <idrawhdr.hpp>
#include <igrafctx.hpp>
#include <ipainhdr.hpp>
#include <iresizeh.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using eventstest::createChild;
using eventstest::send;
using ovktest::TestWindow;

namespace {

// Records each callback as "name:id:source" and answers `handles` with `result`.
class CommandLog : public ICommandHandler {
public:
    std::string calls;
    bool handles = true;
    long result = 0;

protected:
    IBase::Boolean command(ICommandEvent& event) override { return record("command", event); }
    IBase::Boolean systemCommand(ICommandEvent& event) override { return record("system", event); }

private:
    IBase::Boolean record(const char* name, ICommandEvent& event)
    {
        calls += std::string(name) + ":" + std::to_string(event.commandId()) + ":" +
                 std::to_string(event.source());
        event.setResult(result);
        return handles;
    }
};

struct CommandCase {
    UINT message;
    WPARAM wParam;
    bool fromControl;
    const char* expected;
};

// The source is the high word of the first parameter without its top bit: 0 menu, 1
// accelerator, 2 the library, anything else other.
const CommandCase kCommandCases[] = {
    {WM_COMMAND, MAKEWPARAM(7, 0), false, "command:7:1"},
    {WM_COMMAND, MAKEWPARAM(7, 1), false, "command:7:2"},
    {WM_COMMAND, MAKEWPARAM(7, 0x8001), false, "command:7:2"},
    {WM_COMMAND, MAKEWPARAM(7, 2), false, "command:7:0"},
    {WM_COMMAND, MAKEWPARAM(7, 5), false, "command:7:3"},
    {IPrivateMessage::command, MAKEWPARAM(9, 2), false, "command:9:0"},
    {WM_SYSCOMMAND, 0x7010, false, "system:28688:1"},
    {IPrivateMessage::systemCommand, 0x7010, false, "system:28688:1"},
    // A control's WM_COMMAND is a control notification, not a command.
    {WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), true, ""},
};

class EventsCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(EventsCommand, ReachesItsCallbackWithIdAndSource)
{
    const CommandCase& c = GetParam();
    TestWindow window;
    HWND control = createChild(window.hwnd(), "Button", BS_PUSHBUTTON, 3);
    CommandLog handler;
    handler.result = 77;
    handler.handleEventsFor(&window);
    const LRESULT result =
        send(window.hwnd(), c.message, c.wParam, c.fromControl ? reinterpret_cast<LPARAM>(control) : 0);
    EXPECT_EQ(handler.calls, c.expected);
    EXPECT_EQ(result, *c.expected ? 77 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, EventsCommand, testing::ValuesIn(kCommandCases));

TEST(EventsCommandResult, ReachesWindowsOnlyWhenHandled)
{
    TestWindow window;
    CommandLog handler;
    handler.handleEventsFor(&window);
    handler.result = 5;
    EXPECT_EQ(send(window.hwnd(), WM_COMMAND, 100), 5);
    handler.handles = false;
    EXPECT_EQ(send(window.hwnd(), WM_COMMAND, 100), 0);
}

// The control of a notification: a child with the identifier, or a top-level window that the
// notified window owns, never a top-level window owned by someone else.
TEST(EventsControl, FindsChildOrOwnedControlAndRejectsStrangers)
{
    TestWindow window;
    TestWindow other;
    HWND child = createChild(window.hwnd(), "Button", 0, 21);
    const IControlEvent childEvent(IEvent(IWindowHandle(window.hwnd()),
                                          IPrivateMessage::controlNotification, MAKEWPARAM(21, 0), 0));
    EXPECT_EQ(childEvent.controlHandle(), child);
    EXPECT_EQ(childEvent.controlId(), 21u);

    const IControlEvent missing(IEvent(IWindowHandle(window.hwnd()),
                                       IPrivateMessage::controlNotification, MAKEWPARAM(22, 0), 0));
    EXPECT_FALSE(missing.controlHandle().isValid());
    EXPECT_EQ(missing.controlWindow(), nullptr);

    const auto controlOf = [&](unsigned long id) {
        return IControlEvent(IEvent(IWindowHandle(window.hwnd()),
                                    IPrivateMessage::controlNotification, MAKEWPARAM(id, 0), 0))
            .controlHandle();
    };
    // A top-level control (a pop-up list, a floating tool bar) that the window owns; the same
    // identifier on a window that another window owns is a stranger's.
    const auto popUp = [](const TestWindow& owner, unsigned long id) {
        auto made = std::make_unique<IWindow>(IWindowHandle(CreateWindowExA(
            0, ovktest::testClassName(), "pop-up", WS_POPUP, 0, 0, 50, 50, owner.hwnd(), nullptr,
            GetModuleHandleA(nullptr), nullptr)));
        made->setDestroyOnDelete(true);
        made->setId(id);
        return made;
    };
    const auto owned = popUp(window, 23);
    const auto stranger = popUp(other, 24);
    ASSERT_EQ(stranger->owner(), &other);
    EXPECT_EQ(controlOf(23), owned->handle());
    EXPECT_FALSE(controlOf(24).isValid());
}

// Paints a window with a paint handler that records what it saw, on top of a handler that
// records whether the region was still invalid when the walk reached it.
class EventsPaint : public testing::Test {
protected:
    class Painter : public IPaintHandler {
    public:
        bool handles = true;
        IRectangle seen;
        RECT clip{};
        int clipKind = -1;

    protected:
        IBase::Boolean paintWindow(IPaintEvent& event) override
        {
            seen = event.rect();
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            HDC dc = event.presSpaceHandle();
            clipKind = GetClipRgn(dc, region);
            GetClipBox(dc, &clip);
            DeleteObject(region);
            event.setResult(9);
            return handles;
        }
    };

    void SetUp() override
    {
        window = std::make_unique<TestWindow>(nullptr, WS_POPUP | WS_VISIBLE);
        ValidateRect(window->hwnd(), nullptr);
    }

    void invalidate(const RECT& r) { InvalidateRect(window->hwnd(), &r, FALSE); }
    bool isInvalid() { return GetUpdateRect(window->hwnd(), nullptr, FALSE) != FALSE; }

    std::unique_ptr<TestWindow> window;
    ovktest::Recorder after{WM_PAINT};
    Painter painter;
};

TEST_F(EventsPaint, HandledPaintValidatesAndClipsToTheUpdateRegion)
{
    after.attach(*window, "after");
    painter.handleEventsFor(window.get());
    invalidate(RECT{10, 10, 30, 20});
    EXPECT_EQ(send(window->hwnd(), WM_PAINT), 9);
    EXPECT_EQ(painter.seen, IRectangle(10, 10, 30, 20));
    EXPECT_EQ(painter.clipKind, 1);
    EXPECT_EQ(painter.clip.left, 10);
    EXPECT_EQ(painter.clip.bottom, 20);
    EXPECT_FALSE(isInvalid());
    EXPECT_EQ(after.trace(), "");
}

TEST_F(EventsPaint, UnhandledPaintLeavesTheRegionForTheNextHandler)
{
    bool invalidForNext = false;
    after.attach(*window, "after", true).setAction([&](IEvent&) {
        invalidForNext = isInvalid();
        return true;
    });
    painter.handles = false;
    painter.handleEventsFor(window.get());
    invalidate(RECT{0, 0, 5, 5});
    EXPECT_EQ(send(window->hwnd(), WM_PAINT), 0);
    EXPECT_TRUE(invalidForNext);
}

TEST_F(EventsPaint, NothingInvalidMeansNoClipRegion)
{
    painter.handleEventsFor(window.get());
    send(window->hwnd(), WM_PAINT);
    EXPECT_EQ(painter.seen, IRectangle());
    EXPECT_EQ(painter.clipKind, 0);
}

// A context supplied from outside is painted through, clipped like the event's own, and never
// given back by the event; one the event obtained itself goes back once.
TEST(EventsPaintContext, SuppliedGraphicContextIsClippedAndStaysTheSuppliers)
{
    struct CountingWindow : TestWindow {
        CountingWindow() : TestWindow(nullptr, WS_POPUP | WS_VISIBLE) {}
        void releasePresSpace(const IPresSpaceHandle& context) const override
        {
            ++released;
            TestWindow::releasePresSpace(context);
        }
        mutable int released = 0;
    } window;
    struct Supplier : IPaintHandler {
        IGraphicContext* context = nullptr;
        HDC seen = nullptr;
        RECT clip{};
        IBase::Boolean paintWindow(IPaintEvent& event) override
        {
            // A context the event obtained before is given back when another replaces it.
            event.presSpaceHandle();
            if (context)
                event.setGraphicContext(*context);
            seen = event.presSpaceHandle();
            GetClipBox(seen, &clip);
            return true;
        }
    } painter;
    IGraphicContext offScreen(ISize(200, 100));
    painter.context = &offScreen;
    painter.handleEventsFor(&window);
    ValidateRect(window.hwnd(), nullptr);
    const RECT update{10, 10, 30, 20};
    InvalidateRect(window.hwnd(), &update, FALSE);
    send(window.hwnd(), WM_PAINT);
    EXPECT_EQ(painter.seen, static_cast<HDC>(offScreen.handle()));
    EXPECT_EQ(painter.clip.left, 10);
    EXPECT_EQ(painter.clip.bottom, 20);
    EXPECT_EQ(window.released, 1);

    painter.context = nullptr;
    InvalidateRect(window.hwnd(), &update, FALSE);
    send(window.hwnd(), WM_PAINT);
    EXPECT_EQ(window.released, 2);
    painter.stopHandlingEventsFor(&window);
}

// The bitmap control's painter: its bitmap over the whole control, or the background; a control
// with a text leaves the paint to the text painter after it, which draws the text over it.
struct BitmapCase {
    bool withBitmap;
    const char* text;
    COLORREF expected;
    bool textDrawn;
};

class EventsBitmapPainter : public testing::TestWithParam<BitmapCase> {};

TEST_P(EventsBitmapPainter, PaintsAndLeavesTextsToTheNext)
{
    const BitmapCase& c = GetParam();
    constexpr COLORREF kText = RGB(255, 255, 0);
    TestWindow parent(nullptr, WS_POPUP | WS_VISIBLE);
    const ovk_native::Bitmap bitmap = ovktest::solidBitmap(RGB(255, 0, 0), 4, 4);
    {
        IBitmapControl control(5, &parent, &parent,
                               c.withBitmap ? IBitmapHandle(bitmap.get()) : IBitmapHandle(),
                               IRectangle(0, 0, 200, 100));
        control.setForegroundColor(IColor(255, 255, 0));
        control.setText(c.text);
        InvalidateRect(control.handle(), nullptr, FALSE);
        UpdateWindow(control.handle());
        EXPECT_EQ(ovktest::pixelAt(control.handle(), 150, 80), c.expected);
        EXPECT_EQ(ovktest::showsColour(control.handle(), kText), c.textDrawn);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EventsBitmapPainter,
    testing::Values(BitmapCase{true, "", RGB(255, 0, 0), false},
                    BitmapCase{true, "caption", RGB(255, 0, 0), true},
                    BitmapCase{false, "", GetSysColor(COLOR_BACKGROUND), false}));

TEST(EventsResize, GivesTheNewAndTheOldSize)
{
    struct Sizes : IResizeHandler {
        std::string seen;
        IBase::Boolean windowResize(IResizeEvent& event) override
        {
            seen += event.newSize().asString() + event.oldSize().asString() + " ";
            return false;
        }
    } handler;
    TestWindow window(nullptr, WS_POPUP);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 100, 50, SWP_NOMOVE | SWP_NOZORDER);
    handler.handleEventsFor(&window);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 120, 60, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(window.hwnd(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(handler.seen, "(120,60)(100,50) ");
}

// Owner-draw: which callback a WM_DRAWITEM reaches, by its action and state.
struct DrawCase {
    UINT action;
    UINT state;
    const char* general;  // the owner-draw handler
    const char* listBox;  // the list box handler
};

const DrawCase kDrawCases[] = {
    {ODA_DRAWENTIRE, 0, "draw", "draw"},
    {ODA_DRAWENTIRE, ODS_SELECTED, "draw", "draw"},
    {ODA_SELECT, ODS_SELECTED, "draw", "setHighlight"},
    {ODA_SELECT, 0, "draw", "removeHighlight"},
    {ODA_FOCUS, ODS_FOCUS, "", ""},
};

class DrawLog : public IDrawItemHandler {
public:
    std::string calls;

protected:
    IBase::Boolean drawItem(IOwnerDrawItemEvent& e) override { return log("draw", e); }
    IBase::Boolean setHighlight(IOwnerDrawItemEvent& e) override { return log("setHighlight", e); }
    IBase::Boolean removeHighlight(IOwnerDrawItemEvent& e) override { return log("removeHighlight", e); }
    IBase::Boolean measureItem(IOwnerDrawItemEvent& e) override
    {
        e.setItemSize(ISize(40, 12));
        return log("measure", e);
    }

private:
    IBase::Boolean log(const char* name, IEvent& e)
    {
        calls += name;
        e.setResult(1);
        return true;
    }
};

class ListBoxDrawLog : public IListBoxDrawItemHandler {
public:
    std::string calls;
    ISize measured{0, 0};

protected:
    IBase::Boolean drawItem(IListBoxDrawItemEvent&) override { return log("draw"); }
    IBase::Boolean setHighlight(IListBoxDrawItemEvent&) override { return log("setHighlight"); }
    IBase::Boolean removeHighlight(IListBoxDrawItemEvent&) override { return log("removeHighlight"); }
    IBase::Boolean measureItem(IListBoxMeasureItemEvent& e) override
    {
        e.setItemSize(measured);
        return log("measure");
    }

private:
    IBase::Boolean log(const char* name)
    {
        calls += name;
        return true;
    }
};

class EventsOwnerDraw : public testing::TestWithParam<DrawCase> {
protected:
    void SetUp() override
    {
        button = createChild(owner.hwnd(), "Button", BS_OWNERDRAW, 31);
        listBox = createChild(owner.hwnd(), "ListBox", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 32);
    }
    LRESULT draw(HWND control, UINT type, UINT action, UINT state)
    {
        DRAWITEMSTRUCT item{};
        item.CtlType = type;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
        item.itemID = 4;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = control;
        item.rcItem = RECT{1, 2, 30, 14};
        return send(owner.hwnd(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }

    TestWindow owner;
    HWND button = nullptr;
    HWND listBox = nullptr;
};

TEST_P(EventsOwnerDraw, ActionAndStateChooseTheCallback)
{
    const DrawCase& c = GetParam();
    DrawLog general;
    general.handleEventsFor(&owner);
    draw(button, ODT_BUTTON, c.action, c.state);
    EXPECT_EQ(general.calls, c.general);
    general.stopHandlingEventsFor(&owner);

    ListBoxDrawLog list;
    list.handleEventsFor(&owner);
    draw(listBox, ODT_LISTBOX, c.action, c.state);
    EXPECT_EQ(list.calls, c.listBox);
    // Only list boxes: a button's drawing passes the list box handler by.
    list.calls.clear();
    draw(button, ODT_BUTTON, c.action, c.state);
    EXPECT_EQ(list.calls, "");
}

INSTANTIATE_TEST_SUITE_P(Table, EventsOwnerDraw, testing::ValuesIn(kDrawCases));

TEST(EventsDrawItem, ReadsTheSystemRecord)
{
    DRAWITEMSTRUCT item{};
    item.itemID = 6;
    item.itemAction = ODA_SELECT;
    item.itemState = ODS_SELECTED | ODS_DISABLED | ODS_CHECKED;
    item.rcItem = RECT{1, 2, 30, 14};
    TestWindow owner;
    const IDrawItemEvent event(
        IEvent(IWindowHandle(owner.hwnd()), WM_DRAWITEM, 0, IEventParameter2(&item)));
    EXPECT_EQ(event.itemId(), 6u);
    EXPECT_EQ(event.itemRect(), IRectangle(1, 2, 30, 14));
    EXPECT_TRUE(event.isSetHighlight() && event.isSelected() && event.isDisabled() && event.isChecked());
    EXPECT_FALSE(event.isDrawEntire() || event.isRemoveHighlight());
}

struct MeasureCase {
    ISize measured;
    ISize expected;
};

class EventsListBoxMeasure : public testing::TestWithParam<MeasureCase> {};

// The measured width becomes the list box's horizontal extent; a height of 0 becomes 1 x 1.
TEST_P(EventsListBoxMeasure, StoresTheSizeAndTheExtent)
{
    TestWindow owner;
    HWND listBox = createChild(owner.hwnd(), "ListBox", LBS_OWNERDRAWVARIABLE, 33);
    ListBoxDrawLog handler;
    handler.measured = GetParam().measured;
    handler.handleEventsFor(&owner);
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = 33;
    send(owner.hwnd(), WM_MEASUREITEM, 33, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(handler.calls, "measure");
    EXPECT_EQ(ISize(static_cast<int>(item.itemWidth), static_cast<int>(item.itemHeight)),
              GetParam().expected);
    EXPECT_EQ(SendMessageA(listBox, LB_GETHORIZONTALEXTENT, 0, 0), GetParam().measured.width());
}

INSTANTIATE_TEST_SUITE_P(Table, EventsListBoxMeasure,
                         testing::Values(MeasureCase{ISize(30, 17), ISize(30, 17)},
                                         MeasureCase{ISize(25, 0), ISize(1, 1)}));

// Attached to a variable-height list box, the handler asks the owner for the height at once;
// the owner's window procedure hands the request back to the list box's own handlers.
TEST(EventsListBoxMeasure, AttachingToAVariableListBoxAsksTheOwner)
{
    TestWindow owner;
    TestWindow fixed(owner.hwnd(), LBS_OWNERDRAWFIXED, 34, "ListBox");
    TestWindow variable(owner.hwnd(), LBS_OWNERDRAWVARIABLE, 35, "ListBox");
    ListBoxDrawLog handler;
    handler.measured = ISize(10, 8);
    handler.handleEventsFor(&fixed);
    EXPECT_EQ(handler.calls, "");
    handler.handleEventsFor(&variable);
    EXPECT_EQ(handler.calls, "measure");
}

} // namespace
