// Frame events and the window-position records of the frame's layout pass.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <ifrmevt.hpp>
#include <iposlist.hpp>
#include <iprivmsg.hpp>

#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

// Frame events ----------------------------------------------------------------------------------

IEvent frameEvent(IWindow& window, RECT* record)
{
    return IEvent(&window, IPrivateMessage::frameLast, 0, IEventParameter2(record));
}

TEST(FrameEvent, RectangleHasItsCornersInOrder)
{
    TestWindow window;
    const struct {
        RECT record;
        IRectangle expected;
    } cases[] = {
        {{10, 20, 30, 40}, IRectangle(IPoint(10, 20), IPoint(30, 40))},
        {{30, 40, 10, 20}, IRectangle(IPoint(10, 20), IPoint(30, 40))},
        {{-5, 8, 5, -8}, IRectangle(IPoint(-5, -8), IPoint(5, 8))},
        {{0, 0, 0, 0}, IRectangle()},
    };
    for (const auto& c : cases) {
        RECT record = c.record;
        EXPECT_EQ(IFrameEvent(frameEvent(window, &record)).rectangle().asString(),
                  c.expected.asString());
        EXPECT_EQ(IFrameFormatEvent(frameEvent(window, &record)).rectangle().asString(),
                  c.expected.asString());
    }
}

TEST(FrameEvent, SetRectangleWritesTheRecordInOrder)
{
    TestWindow window;
    RECT record{1, 2, 3, 4};
    IFrameEvent event(frameEvent(window, &record));
    event.setRectangle(IRectangle(IPoint(50, 60), IPoint(-10, -20)));
    EXPECT_EQ(record.left, -10);
    EXPECT_EQ(record.top, -20);
    EXPECT_EQ(record.right, 50);
    EXPECT_EQ(record.bottom, 60);
}

TEST(FrameEvent, WithoutARecordTheRectangleIsEmptyAndSettingItChangesNothing)
{
    TestWindow window;
    IFrameFormatEvent event(frameEvent(window, nullptr));
    EXPECT_EQ(event.rectangle().asString(), IRectangle().asString());
    event.setRectangle(IRectangle(1, 2, 3, 4));
    EXPECT_EQ(event.rectangle().asString(), IRectangle().asString());
}

TEST(FrameEvent, KeepsTheWindowItWasBuiltForThroughCopies)
{
    TestWindow window;
    TestWindow other;
    IFrameEvent event(frameEvent(window, nullptr));
    EXPECT_EQ(event.window(), &window);
    IFrameEvent copy(event);
    EXPECT_EQ(copy.window(), &window);
    IFrameEvent assigned(frameEvent(other, nullptr));
    assigned = event;
    EXPECT_EQ(assigned.window(), &window);
    // A handle without a window object has none.
    IFrameEvent plain(IEvent(IWindowHandle(GetDesktopWindow()), IPrivateMessage::frameLast, 0, 0));
    EXPECT_EQ(plain.window(), nullptr);
}

// Window-position flags -------------------------------------------------------------------------

struct FlagCase {
    const char* operation;
    std::uint32_t before;
    std::function<void(IWindowPosFlags&)> change;
    std::uint32_t after;
};

const std::uint32_t kAll = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED |
                           SWP_SHOWWINDOW | SWP_HIDEWINDOW;

const FlagCase kFlagCases[] = {
    {"size changed", kAll, [](IWindowPosFlags& f) { f.setSizeChanged(true); }, kAll & ~SWP_NOSIZE},
    {"size kept", 0, [](IWindowPosFlags& f) { f.setSizeChanged(false); }, SWP_NOSIZE},
    {"moved", kAll, [](IWindowPosFlags& f) { f.setPositionChanged(true); }, kAll & ~SWP_NOMOVE},
    {"not moved", 0, [](IWindowPosFlags& f) { f.setPositionChanged(false); }, SWP_NOMOVE},
    {"restacked", kAll, [](IWindowPosFlags& f) { f.setOrderChanged(true); }, kAll & ~SWP_NOZORDER},
    {"not restacked", 0, [](IWindowPosFlags& f) { f.setOrderChanged(false); }, SWP_NOZORDER},
    {"shown", 0, [](IWindowPosFlags& f) { f.setShow(true); }, SWP_SHOWWINDOW},
    {"not shown", kAll, [](IWindowPosFlags& f) { f.setShow(false); }, kAll & ~SWP_SHOWWINDOW},
    {"hidden", 0, [](IWindowPosFlags& f) { f.setHide(true); }, SWP_HIDEWINDOW},
    {"not hidden", kAll, [](IWindowPosFlags& f) { f.setHide(false); }, kAll & ~SWP_HIDEWINDOW},
    {"frame change suppressed", kAll, [](IWindowPosFlags& f) { f.setFrameChangeSuppressed(true); },
     kAll & ~SWP_FRAMECHANGED},
    {"frame change allowed", 0, [](IWindowPosFlags& f) { f.setFrameChangeSuppressed(false); },
     SWP_FRAMECHANGED},
    {"chained", SWP_NOSIZE | SWP_NOMOVE,
     [](IWindowPosFlags& f) { f.setSizeChanged().setPositionChanged().setHide(); }, SWP_HIDEWINDOW},
};

TEST(WindowPosFlags, EachSetterChangesOnlyItsOwnBit)
{
    for (const FlagCase& c : kFlagCases) {
        IWindowPosRecord record;
        record.flags = c.before;
        IWindowPosFlags flags(record);
        c.change(flags);
        EXPECT_EQ(record.flags, c.after) << c.operation;
    }
}

TEST(WindowPosFlags, QueriesReadTheBitsByMeaning)
{
    IWindowPosRecord record;
    IWindowPosFlags flags(record);
    record.flags = kAll;
    EXPECT_FALSE(flags.isSizeChanged() || flags.isPositionChanged() || flags.isOrderChanged());
    EXPECT_TRUE(flags.isShow() && flags.isHide());
    record.flags = 0;
    EXPECT_TRUE(flags.isSizeChanged() && flags.isPositionChanged() && flags.isOrderChanged());
    EXPECT_FALSE(flags.isShow() || flags.isHide());
    record.flags = kAll;
    EXPECT_TRUE(flags.setSizeChanged(true).isSizeChanged());
    EXPECT_EQ(&flags.record(), &record);
}

// The platform fills a record the same way: a move that keeps the size arrives as such.
TEST(WindowPosFlags, ReadAPlatformRecord)
{
    WINDOWPOS native{};
    native.flags = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;
    static_assert(sizeof(IWindowPosRecord) == sizeof(WINDOWPOS));
    IWindowPosRecord record;
    std::memcpy(static_cast<void*>(&record), &native, sizeof record);
    IWindowPosFlags flags(record);
    EXPECT_FALSE(flags.isSizeChanged());
    EXPECT_TRUE(flags.isPositionChanged());
    EXPECT_FALSE(flags.isOrderChanged());
    EXPECT_TRUE(flags.isShow());
}

// Looking records up by identifier ---------------------------------------------------------------

class WindowPosListLookup : public testing::Test {
protected:
    void SetUp() override
    {
        topLevel.setId(9);
        records[0].window = child(5);
        records[1].window = nullptr;
        records[2].window = child(0x10007);
        records[3].window = child(7);
        records[4].window = topLevel.handle();
    }
    HWND child(int id)
    {
        children.push_back(std::make_unique<TestWindow>(parent.hwnd(), WS_CHILD, id));
        return children.back()->hwnd();
    }

    TestWindow parent;
    TestWindow topLevel;
    std::vector<std::unique_ptr<TestWindow>> children;
    IWindowPosRecord records[5];
};

TEST_F(WindowPosListLookup, FindsTheFirstRecordWithTheIdentifierIn16Bits)
{
    const IWindowPosList list{records, 5};
    const struct {
        unsigned long id;
        unsigned long index;
    } cases[] = {
        {5, 0},
        // Identifiers are compared in their low 16 bits, on both sides.
        {7, 2}, {0x10007, 2}, {0x20005, 0},
        // A window that is not a child has the identifier that setId gave it.
        {9, 4},
        // None: the count.
        {99, 5}, {0, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.indexOfId(c.id), c.index) << "id " << c.id;
}

TEST_F(WindowPosListLookup, AnEmptyListAnswersZero)
{
    EXPECT_EQ((IWindowPosList{records, 0}).indexOfId(5), 0u);
    EXPECT_EQ((IWindowPosList{nullptr, 0}).indexOfId(5), 0u);
    EXPECT_EQ((IWindowPosList{}).indexOfId(0), 0u);
}

} // namespace
