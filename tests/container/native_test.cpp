// The native container's record messages as its list and tree controls carry them out: a view
// switch that makes the other control, the refusals, the arrange that waits for a size, shared
// images and the emphasis that the controls keep.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <thread>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <icnrhdr.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;

namespace {

using NativeRecords = Containers;

// The texts of the objects an object cursor with the filter flags visits.
std::vector<std::string> textsOf(ICnrCtl& container, unsigned long filter = 0)
{
    std::vector<std::string> texts;
    ICnrCtl::ObjectCursor cursor(container, filter);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        texts.push_back(std::string(cursor.current()->iconText()));
    return texts;
}

// A view switch that makes the other control for the first time: every object shows in it, the
// cursored one keeps the cursor, and the container works on all of them afterwards.
struct SwitchCase {
    const char* name;
    unsigned long startView;
    unsigned long newView;
    int newControlId;
};

class ViewSwitch : public NativeRecords, public testing::WithParamInterface<SwitchCase> {};

TEST_P(ViewSwitch, ShowsEveryObjectAndKeepsTheCursoredOne)
{
    const SwitchCase c = GetParam();
    std::unique_ptr<ICnrCtl> cnr =
        makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(c.startView), 30);
    ASSERT_FALSE(cnrtest::child(cnr->handle(), c.newControlId));
    std::vector<Item*> items;
    for (const char* text : {"a", "b", "c"}) {
        items.push_back(new Item(text));
        cnr->addObject(items.back());
    }
    cnr->setEmphasis(items[1], CRA_CURSORED);
    ASSERT_EQ(textsOf(*cnr, ICnrCtl::ObjectCursor::cursored), std::vector<std::string>{"b"});

    cnr->changeAttributes(c.startView, c.newView);
    const HWND made = cnrtest::child(cnr->handle(), c.newControlId);
    ASSERT_TRUE(made);
    const LRESULT shown = c.newControlId == 0x3001 ? SendMessageA(made, TVM_GETCOUNT, 0, 0)
                                                   : SendMessageA(made, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(textsOf(*cnr), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(textsOf(*cnr, ICnrCtl::ObjectCursor::cursored), std::vector<std::string>{"b"});
    EXPECT_TRUE(cnr->isCursored(items[1]));

    // An object taken out and put back goes in again, and deleting all reaches every object.
    cnr->removeObject(items[0]);
    cnr->addObject(items[0]);
    EXPECT_EQ(cnr->objectCount(), 3u);
    const int destroyed = Item::destroyed;
    cnr->deleteAllObjects();
    EXPECT_EQ(Item::destroyed - destroyed, 3);
    EXPECT_EQ(cnr->objectCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    NativeRecords, ViewSwitch,
    testing::Values(SwitchCase{"ListToTree", CV_ICON, CV_TREE | CV_ICON, 0x3001},
                    SwitchCase{"TreeToList", CV_TREE | CV_ICON, CV_NAME, 0x3000}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

// The record messages refuse what the native controls cannot do, naming the broken condition.
TEST_F(NativeRecords, RefusalsNameTheirCondition)
{
    std::unique_ptr<Item> a(new Item("a"));
    native->addObject(a.get());
    MINIRECORDCORE* records[2] = {a->record(), a->record()};
    MINIRECORDCORE* none[1] = {nullptr};
    SEARCHSTRING search{sizeof(SEARCHSTRING), const_cast<char*>("a"), 0, 0, CV_ICON};
    const auto pair = [](unsigned low, unsigned high) {
        return IEventData(static_cast<std::uint16_t>(low), static_cast<std::uint16_t>(high));
    };
    const struct {
        UINT message;
        IEventData first;
        IEventData second;
        const char* condition;
    } cases[] = {
        {CM_REMOVERECORD, IEventData(static_cast<const void*>(records)), pair(2, 0),
         "cNumRecord <= 1"},
        {CM_INVALIDATERECORD, IEventData(static_cast<const void*>(records)), pair(2, 0),
         "cNumRecord <= 1"},
        {CM_REMOVERECORD, IEventData(static_cast<const void*>(records)), pair(1, CMA_FREE),
         "!(Boolean)(fRemoveRecord & CMA_FREE)"},
        {CM_SETRECORDEMPHASIS, IEventData(), pair(1, CRA_SELECTED), "pRec != 0"},
        {CM_QUERYRECORDINFO, IEventData(static_cast<const void*>(none)), IEventData(1),
         "pRec != 0"},
        {CM_SEARCHSTRING, IEventData(static_cast<const void*>(&search)), IEventData(),
         "pSearchAfter != 0"},
    };
    for (const auto& c : cases) {
        const IException failure = ovktest::caught([&] { native->sendEvent(c.message, c.first, c.second); });
        EXPECT_STREQ(failure.text(), c.condition) << std::hex << c.message;
    }
    // Nothing was removed on the way.
    EXPECT_TRUE(native->containsObject(a.get()));
    EXPECT_EQ(native->objectCount(), 1u);
}

// Emphasis for an object the native container never held is refused as such; an object that
// has left it is merely not there, so attributes set for that container change nothing.
TEST_F(NativeRecords, OnlyAnObjectNeverInsertedIsRefusedEmphasis)
{
    std::unique_ptr<Item> never(new Item("never"));
    EXPECT_STREQ(ovktest::caught([&] { native->setEmphasis(never.get(), CRA_SELECTED); }).text(),
                 "pObj->ppd != 0");
    std::unique_ptr<Item> left(new Item("left"));
    native->addObject(left.get());
    native->removeObject(left.get());
    EXPECT_STRNE(ovktest::caught([&] { native->setEmphasis(left.get(), CRA_SELECTED); }).text(),
                 "pObj->ppd != 0");
    left->setWriteable(false, native.get());
    EXPECT_FALSE(native->containsObject(left.get()));
}

POINT itemPlace(HWND list, int index)
{
    POINT place{};
    SendMessageA(list, LVM_GETITEMPOSITION, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&place));
    return place;
}

// An arrange asked for while the container has no size waits for the first size it gets.
TEST_F(NativeRecords, AnArrangeWaitsForTheFirstSize)
{
    auto unsized = std::make_unique<ICnrCtl>(31, parent.get(), parent.get(), IRectangle(),
                                             ICnrCtl::defaultStyle(), ICnrCtl::iconView);
    std::unique_ptr<Item> a(new Item("a"));
    unsized->addObject(a.get());
    const HWND list = cnrtest::child(unsized->handle(), 0x3000);
    POINT away{150, 120};
    SendMessageA(list, LVM_SETITEMPOSITION32, 0, reinterpret_cast<LPARAM>(&away));
    ASSERT_EQ(itemPlace(list, 0).x, 150);
    unsized->arrangeIconView();
    EXPECT_EQ(itemPlace(list, 0).x, 150);
    unsized->sizeTo(ISize(200, 150));
    EXPECT_LT(itemPlace(list, 0).x, 150);
    EXPECT_LT(itemPlace(list, 0).y, 120);
}

// Records with one icon share one picture in the image lists; another icon gets its own.
TEST_F(NativeRecords, RecordsWithTheSameIconShareItsImage)
{
    // Declared before the objects, so that the icons outlive them.
    const ovktest::SolidIcon firstIcon(RGB(0, 0, 0));
    const ovktest::SolidIcon secondIcon(RGB(255, 255, 255));
    const IPointerHandle first(firstIcon.get());
    const IPointerHandle second(secondIcon.get());
    ASSERT_TRUE(first.asValue() && second.asValue());
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    const int before = ImageList_GetImageCount(images);
    std::unique_ptr<ICnrObj> a(new ICnrObj(first, "a"));
    std::unique_ptr<ICnrObj> b(new ICnrObj(first, "b"));
    std::unique_ptr<ICnrObj> c(new ICnrObj(second, "c"));
    for (ICnrObj* object : {a.get(), b.get(), c.get()})
        native->addObject(object);
    const auto imageOf = [list](int index) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    };
    EXPECT_EQ(imageOf(0), imageOf(1));
    EXPECT_NE(imageOf(0), imageOf(2));
    EXPECT_EQ(ImageList_GetImageCount(images), before + 2);
}

// Clearing the selection leaves the cursor; clearing the cursor leaves it where it is, since
// some item of a list always has it. The cursored filter visits exactly the cursored object.
TEST_F(NativeRecords, ClearingEmphasisAndTheCursoredFilter)
{
    std::vector<std::unique_ptr<Item>> items;
    for (const char* text : {"a", "b", "c"}) {
        items.emplace_back(new Item(text));
        native->addObject(items.back().get());
    }
    Item* b = items[1].get();
    native->setEmphasis(b, CRA_SELECTED | CRA_CURSORED);
    EXPECT_TRUE(native->isSelected(b));
    EXPECT_EQ(textsOf(*native, ICnrCtl::ObjectCursor::cursored), std::vector<std::string>{"b"});
    EXPECT_EQ(textsOf(*native, ICnrCtl::ObjectCursor::selected), std::vector<std::string>{"b"});
    native->setEmphasis(b, CRA_SELECTED, false);
    EXPECT_FALSE(native->isSelected(b));
    EXPECT_TRUE(native->isCursored(b));
    native->setEmphasis(b, CRA_CURSORED, false);
    EXPECT_TRUE(native->isCursored(b));
    EXPECT_EQ(textsOf(*native, ICnrCtl::ObjectCursor::cursored), std::vector<std::string>{"b"});
    EXPECT_TRUE(textsOf(*native, ICnrCtl::ObjectCursor::selected).empty());
}

} // namespace

// A bulk fill and a refresh held by the application reach the native control: its redraw is
// off while the records go in and on again after, so that it lays itself out once, not once per
// record. Hidden windows stay hidden, and the control shows every record afterwards.
namespace {

// The WM_SETREDRAW messages sent to one window on this thread, as "0" and "1".
class RedrawTrace : public ovktest::SentMessages {
public:
    using SentMessages::SentMessages;
    std::string trace() const
    {
        std::string text;
        for (const WPARAM on : wParamsOf(WM_SETREDRAW))
            text += on ? "1" : "0";
        return text;
    }
};

bool hasStyle(HWND window, LONG bits)
{
    return (GetWindowLongA(window, GWL_STYLE) & bits) == bits;
}

LRESULT itemCount(HWND control)
{
    return cnrtest::classOf(control) == WC_TREEVIEWA ? SendMessageA(control, TVM_GETCOUNT, 0, 0)
                                                      : SendMessageA(control, LVM_GETITEMCOUNT, 0, 0);
}

// One of the system's window queries, counted as the library calls it.
template <int Tag, class Result, class... Arguments>
struct CountedQuery {
    static inline Result(WINAPI* original)(Arguments...) = nullptr;
    static inline int calls = 0;
    static Result WINAPI call(Arguments... arguments)
    {
        ++calls;
        return original(arguments...);
    }
};

// Counts, while it lives, the library's calls to the system's questions about windows: under
// this Wine each is a call into the system's own side, about 0.08 us for a window of this
// process (a fifth of a message to it), and more for another process's.
class WindowQueries {
public:
    WindowQueries()
    {
        watch<CountedQuery<0, BOOL, HWND>>("IsWindow");
        watch<CountedQuery<1, HWND, HWND>>("GetParent");
        watch<CountedQuery<2, HWND, HWND, UINT>>("GetAncestor");
        watch<CountedQuery<3, DWORD, HWND, LPDWORD>>("GetWindowThreadProcessId");
        watch<CountedQuery<4, LONG_PTR, HWND, int>>("GetWindowLongPtrA");
        watch<CountedQuery<5, LONG, HWND, int>>("GetWindowLongA");
        watch<CountedQuery<6, HANDLE, HWND, LPCSTR>>("GetPropA");
        watch<CountedQuery<7, HWND, HWND, int>>("GetDlgItem");
        watch<CountedQuery<8, HWND, HWND, UINT>>("GetWindow");
        watch<CountedQuery<9, BOOL, HWND>>("IsWindowVisible");
    }

    bool applied() const { return fQueries.front().patch->applied(); }
    // The calls of each query since the counting began.
    std::map<std::string, int> calls() const
    {
        std::map<std::string, int> calls;
        for (const Query& query : fQueries)
            calls[query.name] = *query.calls - query.before;
        return calls;
    }

private:
    struct Query {
        const char* name;
        const int* calls;
        int before;
        std::unique_ptr<ovktest::ImportPatch> patch;
    };

    template <class Counted>
    void watch(const char* name)
    {
        fQueries.push_back({name, &Counted::calls, Counted::calls,
                            std::make_unique<ovktest::ImportPatch>("ovkwin.dll", name, &Counted::call,
                                                                   Counted::original)});
    }

    std::vector<Query> fQueries;
};

struct FillCase {
    const char* name;
    unsigned long view;
    int controlId;
};

class BulkFill : public NativeRecords, public testing::WithParamInterface<FillCase> {
protected:
    // Fills a container of the case's view with objects enough to need a scroll bar.
    static constexpr int kCount = 60;

    std::unique_ptr<ICnrCtl> makeShown()
    {
        ShowWindow(parent->handle(), SW_SHOWNOACTIVATE);
        return makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(GetParam().view), 31);
    }

    void fill(ICnrCtl& cnr)
    {
        ICnrAllocator allocator(kCount, sizeof(Item));
        for (int i = 0; i < kCount; ++i)
            made.emplace_back(new (allocator) Item(("item " + std::to_string(i)).c_str()));
        cnr.addObjects(allocator);
    }

    void TearDown() override
    {
        for (Item* item : made)
            delete item;
        NativeRecords::TearDown();
    }

    std::vector<Item*> made;
};

TEST_P(BulkFill, HoldsTheControlsRedrawAndShowsEveryObjectAfter)
{
    // Under a hidden parent the control lays itself out per record all the same.
    {
        std::unique_ptr<ICnrCtl> underHidden =
            makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(GetParam().view), 33);
        const HWND control = cnrtest::child(underHidden->handle(), GetParam().controlId);
        ASSERT_TRUE(control);
        RedrawTrace redraw(control);
        fill(*underHidden);
        EXPECT_EQ(redraw.trace(), "01");
        EXPECT_EQ(itemCount(control), kCount);
        EXPECT_TRUE(hasStyle(control, WS_VISIBLE));
        EXPECT_TRUE((GetWindowLongA(control, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0);
    }
    std::unique_ptr<ICnrCtl> cnr = makeShown();
    const HWND control = cnrtest::child(cnr->handle(), GetParam().controlId);
    ASSERT_TRUE(control);
    ovktest::pumpPending();
    {
        RedrawTrace redraw(control);
        fill(*cnr);
        EXPECT_EQ(redraw.trace(), "01");
    }
    EXPECT_EQ(itemCount(control), kCount);
    EXPECT_TRUE(IsWindowVisible(control));
    // Laid out once the redraw is back: the scroll bar the records need is there, and the
    // control waits to paint them.
    EXPECT_TRUE((GetWindowLongA(control, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(control, &pending, FALSE));
    ovktest::pumpPending();
    EXPECT_FALSE(GetUpdateRect(control, &pending, FALSE));

    // A single object is one insertion: nothing to hold.
    {
        RedrawTrace redraw(control);
        Item* one = new Item("one");
        made.push_back(one);
        cnr->addObject(one);
        EXPECT_EQ(redraw.trace(), "");
    }
}

// A fill costs each object its container message, the control's insertion and the control's
// report of it; nothing else is sent once per object, in any view. The insertion itself is
// handed to the control's own procedure, so it is no message of its own.
TEST_P(BulkFill, EachObjectCostsItsInsertionAndTheControlsReportAlone)
{
    std::unique_ptr<ICnrCtl> cnr = makeShown();
    const HWND control = cnrtest::child(cnr->handle(), GetParam().controlId);
    ASSERT_TRUE(control);
    ovktest::pumpPending();
    std::map<UINT, int> sent;
    {
        const ovktest::SentMessages counting(nullptr);
        ASSERT_TRUE(counting.hooked());
        fill(*cnr);
        sent = counting.counts();
    }
    EXPECT_EQ(sent[CM_INSERTRECORD], kCount);
    EXPECT_EQ(itemCount(control), kCount);
    for (const auto& [message, times] : sent) {
        if (message != CM_INSERTRECORD && message != WM_NOTIFY) {
            EXPECT_LT(times, kCount) << "message 0x" << std::hex << message;
        }
    }
}

// Nor does a fill ask the system about windows once per object, beyond whether the control is
// still there as each record message is answered and which procedure stands before the control
// as the item goes in (the item then skips the library's procedure, which would cost five
// times the question): the platform's own fill of its control asks nothing of the kind. Twice
// in a row: the second fill goes into a control that holds the first.
TEST_P(BulkFill, EachObjectAsksTheSystemAtMostWhetherItsControlIsThereAndWhoStandsBeforeIt)
{
    std::unique_ptr<ICnrCtl> cnr = makeShown();
    ovktest::pumpPending();
    for (int round = 0; round < 2; ++round) {
        std::map<std::string, int> calls;
        {
            const WindowQueries counting;
            ASSERT_TRUE(counting.applied());
            fill(*cnr);
            calls = counting.calls();
        }
        for (const auto& [query, times] : calls) {
            const bool perObject = query == "IsWindow" || query == "GetWindowLongPtrA";
            const int most = perObject ? kCount + kCount / 2 : kCount / 2;
            EXPECT_LE(times, most) << query << " in fill " << round + 1;
        }
    }
}

TEST_P(BulkFill, RefreshHeldByTheApplicationReachesTheControl)
{
    std::unique_ptr<ICnrCtl> cnr = makeShown();
    const HWND control = cnrtest::child(cnr->handle(), GetParam().controlId);
    ASSERT_TRUE(control);
    RedrawTrace redraw(control);
    cnr->enableRefresh(false);
    EXPECT_EQ(redraw.trace(), "0");
    fill(*cnr);
    EXPECT_EQ(redraw.trace(), "0");
    cnr->enableRefresh(true);
    EXPECT_EQ(redraw.trace(), "01");
    EXPECT_EQ(itemCount(control), kCount);
    EXPECT_TRUE(IsWindowVisible(cnr->handle()));
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_TRUE((GetWindowLongA(control, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0);
}

// A hidden container is neither shown by a fill nor has its control's redraw touched.
TEST_P(BulkFill, HiddenContainerStaysHidden)
{
    std::unique_ptr<ICnrCtl> cnr = makeShown();
    const HWND control = cnrtest::child(cnr->handle(), GetParam().controlId);
    ASSERT_TRUE(control);
    cnr->hide();
    {
        RedrawTrace redraw(control);
        fill(*cnr);
        EXPECT_FALSE(hasStyle(cnr->handle(), WS_VISIBLE));
        // Nor does a refresh held around it reach the control.
        cnr->enableRefresh(false);
        fill(*cnr);
        cnr->enableRefresh(true);
        EXPECT_EQ(redraw.trace(), "");
    }
    EXPECT_EQ(itemCount(control), 2 * kCount);
    cnr->show();
    EXPECT_TRUE(IsWindowVisible(control));
}

INSTANTIATE_TEST_SUITE_P(
    NativeRecords, BulkFill,
    testing::Values(FillCase{"Name", CV_NAME, 0x3000}, FillCase{"Text", CV_TEXT, 0x3000},
                    FillCase{"Details", CV_DETAIL, 0x3000}, FillCase{"Icon", CV_ICON, 0x3000},
                    FillCase{"Tree", CV_TREE | CV_ICON, 0x3001}),
    [](const testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

// A view switch while the refresh is held lets the control that goes go shown, and holds the one
// that comes: no hidden control is shown when the refresh comes back.
TEST_F(NativeRecords, ViewSwitchWhileRefreshIsHeldShowsOnlyTheNewControl)
{
    ShowWindow(parent->handle(), SW_SHOWNOACTIVATE);
    std::unique_ptr<ICnrCtl> cnr = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_ICON), 32);
    const HWND list = cnrtest::child(cnr->handle(), 0x3000);
    std::vector<std::unique_ptr<Item>> items;
    cnr->enableRefresh(false);
    for (const char* text : {"a", "b", "c"}) {
        items.push_back(std::make_unique<Item>(text));
        cnr->addObject(items.back().get());
    }
    cnr->changeAttributes(CV_ICON, CV_TREE | CV_ICON);
    const HWND tree = cnrtest::child(cnr->handle(), 0x3001);
    ASSERT_TRUE(tree);
    cnr->enableRefresh(true);
    EXPECT_FALSE(hasStyle(list, WS_VISIBLE));
    EXPECT_TRUE(IsWindowVisible(tree));
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 3);
    cnr->deleteAllObjects();
    for (auto& item : items)
        item.release();
}

} // namespace

namespace {

// Three native containers for one object to sit in.
class SharedObject : public NativeRecords {
protected:
    void SetUp() override
    {
        NativeRecords::SetUp();
        for (unsigned long id : {40ul, 41ul, 42ul})
            cnrs.push_back(makeNative(ICnrCtl::defaultStyle(), ICnrCtl::currentDefaultAttribute(), id));
    }
    void TearDown() override
    {
        cnrs.clear();
        NativeRecords::TearDown();
    }
    std::unique_ptr<Item> inEveryContainer()
    {
        auto item = std::make_unique<Item>("shared");
        for (auto& cnr : cnrs)
            cnr->addObject(item.get());
        return item;
    }

    std::vector<std::unique_ptr<ICnrCtl>> cnrs;
};

// An object in several native containers keeps a separate state in each, whichever container
// it leaves first.
TEST_F(SharedObject, AnObjectKeepsItsStatePerContainerAsItLeavesThem)
{
    const std::unique_ptr<Item> owned = inEveryContainer();
    Item& item = *owned;
    item.setInUse(true, cnrs[0].get());
    item.setDropOnAble(true, cnrs[2].get());
    for (std::size_t leaving : {0u, 1u}) {
        cnrs[leaving]->removeObject(&item);
        EXPECT_FALSE(cnrs[leaving]->containsObject(&item));
        EXPECT_FALSE(item.isInUse(cnrs[leaving].get()));
        EXPECT_FALSE(item.isInUse(cnrs[2].get()));
        EXPECT_TRUE(item.isDropOnAble(cnrs[2].get()));
    }
    // Put back, the first container starts afresh behind the one that stayed.
    cnrs[0]->addObject(&item);
    EXPECT_FALSE(item.isInUse(cnrs[0].get()));
    item.setInUse(true, cnrs[0].get());
    EXPECT_TRUE(item.isInUse(cnrs[0].get()));
    EXPECT_FALSE(item.isInUse(cnrs[2].get()));
    EXPECT_TRUE(item.isDropOnAble(cnrs[2].get()));
    for (auto& cnr : cnrs)
        cnr->removeObject(&item);
    EXPECT_EQ(item.containerCount(), 0u);
}

// Whichever order an object leaves three containers in, each container that still holds it
// keeps its own state, and a container it comes back to starts afresh.
TEST_F(SharedObject, EveryOrderOfLeavingKeepsTheStateOfTheContainersThatStay)
{
    const std::vector<std::vector<std::size_t>> orders = {
        {0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const auto& order : orders) {
        const std::unique_ptr<Item> owned = inEveryContainer();
        Item& item = *owned;
        // In use in the first, no drops in the second, writeable in the third: no two alike.
        item.setInUse(true, cnrs[0].get());
        item.setDropOnAble(false, cnrs[1].get());
        item.setWriteable(true, cnrs[2].get());
        const auto expectStates = [&](const std::vector<bool>& held, const std::string& step) {
            for (std::size_t i = 0; i < cnrs.size(); ++i) {
                ICnrCtl* cnr = cnrs[i].get();
                EXPECT_EQ(cnr->containsObject(&item), held[i]) << step << " container " << i;
                if (!held[i])
                    continue;
                EXPECT_EQ(item.isInUse(cnr), i == 0) << step << " container " << i;
                EXPECT_EQ(item.isDropOnAble(cnr), i != 1) << step << " container " << i;
                EXPECT_EQ(item.isWriteable(cnr), i == 2) << step << " container " << i;
            }
        };
        std::vector<bool> held(cnrs.size(), true);
        std::string step = "leaving";
        for (std::size_t leaving : order) {
            cnrs[leaving]->removeObject(&item);
            held[leaving] = false;
            step += " " + std::to_string(leaving);
            expectStates(held, step);
        }
        EXPECT_EQ(item.containerCount(), 0u) << step;
        // Back in the container it left last, with the state every new entry starts with.
        cnrs[order.back()]->addObject(&item);
        EXPECT_TRUE(cnrs[order.back()]->containsObject(&item)) << step;
        EXPECT_FALSE(item.isInUse(cnrs[order.back()].get())) << step;
        cnrs[order.back()]->removeObject(&item);
    }
}


// An object's entries move between where one entry without a tree item is kept and where more
// are kept, as a second container or a tree item comes and goes: each container keeps its own
// state through every move, and removing the object takes its items out of every control.
struct EntryMoveCase {
    const char* name;
    // What comes to an object that sits in one list container: a second container showing a
    // list, or one showing a tree, or a child under the object, which gives the first its tree.
    enum Arrival { secondList, secondTree, child } arrival;
    // The container the object leaves first (0 the first, 1 the second); with a child, the
    // child leaves.
    std::size_t leavesFirst;
};

class EntryMoves : public SharedObject, public testing::WithParamInterface<EntryMoveCase> {};

TEST_P(EntryMoves, EachContainerKeepsItsStateAndItsItems)
{
    const EntryMoveCase c = GetParam();
    ICnrCtl& first = *cnrs[0];
    ICnrCtl& second = *cnrs[1];
    if (c.arrival == EntryMoveCase::secondTree)
        second.changeAttributes(second.viewWord(), CV_TREE | CV_ICON);
    const auto ownedItem = std::make_unique<Item>("shared");
    const auto ownedChild = std::make_unique<Item>("child");
    Item& item = *ownedItem;
    Item& child = *ownedChild;
    const bool withChild = c.arrival == EntryMoveCase::child;
    const auto arrive = [&] {
        if (withChild)
            first.addObject(&child, &item);
        else
            second.addObject(&item);
    };
    const auto leave = [&](std::size_t which) {
        if (withChild)
            first.removeObject(&child);
        else
            cnrs[which]->removeObject(&item);
    };
    // The first container has the object in use, the second refuses drops on it.
    const auto expectStates = [&](bool inFirst, bool inSecond, const char* step) {
        EXPECT_EQ(first.containsObject(&item), inFirst) << step;
        if (inFirst) {
            EXPECT_TRUE(item.isInUse(&first)) << step;
            EXPECT_TRUE(item.isDropOnAble(&first)) << step;
        }
        if (withChild)
            return;
        EXPECT_EQ(second.containsObject(&item), inSecond) << step;
        if (inSecond) {
            EXPECT_FALSE(item.isInUse(&second)) << step;
            EXPECT_FALSE(item.isDropOnAble(&second)) << step;
        }
    };

    first.addObject(&item);
    item.setInUse(true, &first);
    arrive();
    if (!withChild)
        item.setDropOnAble(false, &second);
    expectStates(true, true, "arrived");

    leave(c.leavesFirst);
    const bool inFirst = withChild || c.leavesFirst != 0;
    expectStates(inFirst, !inFirst, "left one");

    // Back where it left: a new entry there is not in use, the other keeps its state.
    if (withChild) {
        arrive();
        expectStates(true, false, "back");
    } else {
        ICnrCtl& back = *cnrs[c.leavesFirst];
        ICnrCtl& stayed = *cnrs[1 - c.leavesFirst];
        back.addObject(&item);
        EXPECT_FALSE(item.isInUse(&back));
        EXPECT_EQ(item.isInUse(&stayed), &stayed == &first);
        EXPECT_EQ(item.isDropOnAble(&stayed), &stayed == &first);
    }

    if (withChild)
        first.removeObject(&child);
    first.removeObject(&item);
    second.removeObject(&item);
    EXPECT_EQ(item.containerCount(), 0u);
    for (const auto& cnr : cnrs) {
        if (const HWND list = cnrtest::child(cnr->handle(), 0x3000)) {
            EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0) << cnr->id();
        }
        if (const HWND tree = cnrtest::child(cnr->handle(), 0x3001)) {
            EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0) << cnr->id();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SharedObject, EntryMoves,
    testing::Values(EntryMoveCase{"SecondListLeftFirst", EntryMoveCase::secondList, 1},
                    EntryMoveCase{"FirstLeftBeforeASecondList", EntryMoveCase::secondList, 0},
                    EntryMoveCase{"SecondTreeLeftFirst", EntryMoveCase::secondTree, 1},
                    EntryMoveCase{"FirstLeftBeforeASecondTree", EntryMoveCase::secondTree, 0},
                    EntryMoveCase{"ChildGivesTheListATree", EntryMoveCase::child, 1}),
    [](const testing::TestParamInfo<EntryMoveCase>& info) { return std::string(info.param.name); });

} // namespace

namespace {

// Runs an action in place of one insertion that the container's list or tree control gets: the
// one at the given place among those it gets from now on. The action's answer is the control's:
// -1 from the list or 0 from the tree refuses the item, as either control does when it cannot
// make it.
class OneInsertion {
public:
    OneInsertion(HWND control, int place, std::function<LRESULT(const std::function<LRESULT()>&)> action)
        : fControl(control)
    {
        sMessage = cnrtest::classOf(control) == WC_TREEVIEWA ? TVM_INSERTITEMA : LVM_INSERTITEMA;
        sPlace = place;
        sSeen = 0;
        sAction = std::move(action);
        sOld = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&insertion)));
    }
    ~OneInsertion()
    {
        SetWindowLongPtrA(fControl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sOld));
        sAction = nullptr;
    }
    OneInsertion(const OneInsertion&) = delete;
    OneInsertion& operator=(const OneInsertion&) = delete;

    // Counting again from the next insertion.
    void again() { sSeen = 0; }
    // The insertions the control got since counting began.
    int seen() const { return sSeen; }
    static LRESULT refusal()
    {
        return sMessage == LVM_INSERTITEMA ? -1 : 0;
    }

private:
    static LRESULT CALLBACK insertion(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        const auto insert = [=] { return CallWindowProcA(sOld, window, message, wParam, lParam); };
        if (message == sMessage && ++sSeen == sPlace && sAction)
            return sAction(insert);
        return insert();
    }

    static inline UINT sMessage = 0;
    static inline int sPlace = 0;
    static inline int sSeen = 0;
    static inline std::function<LRESULT(const std::function<LRESULT()>&)> sAction;
    static inline WNDPROC sOld = nullptr;
    HWND fControl;
};

struct RefusalCase {
    const char* name;
    unsigned long view;
    int controlId;
    // Whether the chain goes under a parent object.
    bool underParent;
    // Which record of the chain the control refuses, from 1.
    int refused;
};

class RefusedChain : public NativeRecords, public testing::WithParamInterface<RefusalCase> {};

// The control refuses one record of a chain: the records it took before go again, so that the
// window, the container's counts and every object's count agree that none of the chain was
// added, and a parent that had no children is not left marked as having some. Refused twice in
// a row, then taken whole.
TEST_P(RefusedChain, LeavesNoneOfTheChainAndNoMarkOnTheParent)
{
    constexpr int kCount = 5;
    const RefusalCase& c = GetParam();
    std::unique_ptr<ICnrCtl> cnr =
        makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(c.view), 32);
    const auto owned = std::make_unique<Item>("before");
    Item& before = *owned;
    cnr->addObject(&before);
    const auto ownedParent = std::make_unique<Item>("parent");
    Item& parent = *ownedParent;
    cnr->addObject(&parent);
    const HWND control = cnrtest::child(cnr->handle(), c.controlId);
    ASSERT_TRUE(control);
    const auto items = [&] {
        return c.controlId == 0x3001 ? SendMessageA(control, TVM_GETCOUNT, 0, 0)
                                     : SendMessageA(control, LVM_GETITEMCOUNT, 0, 0);
    };
    ICnrAllocator allocator(kCount, sizeof(Item));
    std::vector<std::unique_ptr<Item>> made;
    for (int i = 0; i < kCount; ++i)
        made.emplace_back(new (allocator) Item(("item " + std::to_string(i)).c_str()));
    ICnrObj* const under = c.underParent ? &parent : nullptr;
    const unsigned long changes = cnr->changeCount();
    {
        OneInsertion refusing(control, c.refused,
                              [](const std::function<LRESULT()>&) { return OneInsertion::refusal(); });
        for (int attempt = 0; attempt < 2; ++attempt) {
            SCOPED_TRACE(attempt);
            refusing.again();
            EXPECT_STREQ(ovktest::caught([&] { cnr->addObjects(allocator, under); }).text(),
                         "CM_INSERTRECORD");
            EXPECT_EQ(items(), 2);
            EXPECT_EQ(cnr->objectCount(), 2u);
            EXPECT_EQ(cnr->changeCount(), changes);
            for (const auto& item : made) {
                EXPECT_EQ(item->containerCount(), 0u) << item->iconText();
                EXPECT_FALSE(cnr->containsObject(item.get())) << item->iconText();
            }
            EXPECT_EQ(parent.state() & ICnrObj::hasChildren, 0u);
            EXPECT_EQ(cnr->parentObject(&before), nullptr);
        }
    }
    cnr->addObjects(allocator, under);
    EXPECT_EQ(items(), 2 + kCount);
    EXPECT_EQ(cnr->changeCount(), changes + kCount);
    for (const auto& item : made) {
        EXPECT_EQ(item->containerCount(), 1u);
        EXPECT_EQ(cnr->parentObject(item.get()), under);
    }
    EXPECT_EQ(parent.state() & ICnrObj::hasChildren, c.underParent ? ICnrObj::hasChildren : 0u);
    std::vector<std::string> expected{"before", "parent"};
    for (int i = 0; i < kCount; ++i)
        expected.push_back("item " + std::to_string(i));
    if (!c.underParent) {
        EXPECT_EQ(textsOf(*cnr), expected);
    }
    made.clear();
    EXPECT_EQ(items(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    NativeRecords, RefusedChain,
    testing::Values(RefusalCase{"ListThirdRecord", CV_NAME, 0x3000, false, 3},
                    RefusalCase{"ListFirstRecord", CV_DETAIL, 0x3000, false, 1},
                    RefusalCase{"TreeThirdRecord", CV_TREE | CV_ICON, 0x3001, false, 3},
                    RefusalCase{"TreeFirstChild", CV_TREE | CV_ICON, 0x3001, true, 1},
                    RefusalCase{"TreeLastChild", CV_TREE | CV_ICON, 0x3001, true, 5}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// A list view container that also has a tree (made when a child went in under an object) puts
// each top-level record into both controls, the tree first. When the list refuses a record, its
// tree item goes too: the tree shows no object that the container does not hold. Refused twice
// in a row, then taken whole.
TEST_F(NativeRecords, ARecordTheListRefusesLeavesNoItemInTheTree)
{
    constexpr int kCount = 3;
    std::unique_ptr<ICnrCtl> cnr =
        makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_NAME), 34);
    const auto parent = std::make_unique<Item>("parent");
    const auto child = std::make_unique<Item>("child");
    cnr->addObject(parent.get());
    cnr->addObject(child.get(), parent.get());
    const HWND list = cnrtest::child(cnr->handle(), 0x3000);
    const HWND tree = cnrtest::child(cnr->handle(), 0x3001);
    ASSERT_TRUE(list);
    ASSERT_TRUE(tree);
    const auto listed = [&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); };
    const auto inTree = [&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0); };
    const LRESULT listedBefore = listed();
    const LRESULT inTreeBefore = inTree();
    ICnrAllocator allocator(kCount, sizeof(Item));
    std::vector<std::unique_ptr<Item>> made;
    for (int i = 0; i < kCount; ++i)
        made.emplace_back(new (allocator) Item(("item " + std::to_string(i)).c_str()));
    {
        OneInsertion refusing(list, 2,
                              [](const std::function<LRESULT()>&) { return OneInsertion::refusal(); });
        for (int attempt = 0; attempt < 2; ++attempt) {
            SCOPED_TRACE(attempt);
            refusing.again();
            EXPECT_STREQ(ovktest::caught([&] { cnr->addObjects(allocator); }).text(),
                         "CM_INSERTRECORD");
            EXPECT_EQ(listed(), listedBefore);
            EXPECT_EQ(inTree(), inTreeBefore);
            for (const auto& item : made)
                EXPECT_EQ(item->containerCount(), 0u) << item->iconText();
        }
    }
    cnr->addObjects(allocator);
    EXPECT_EQ(listed(), listedBefore + kCount);
    EXPECT_EQ(inTree(), inTreeBefore + kCount);
    made.clear();
    EXPECT_EQ(listed(), listedBefore);
    EXPECT_EQ(inTree(), inTreeBefore);
}

// The text of the object's item among the tree's top-level items; "?" when it has none.
std::string treeText(HWND tree, const ICnrObj* object)
{
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char text[80] = {};
        TVITEMA data{};
        data.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (reinterpret_cast<const ICnrObj*>(data.lParam) == object)
            return text;
    }
    return "?";
}

// The tree copies an object's text while the record goes in: an object renamed on another
// thread meanwhile shows its new text, whether it was renamed before its own record went in,
// while the tree copied its text, or after. Twice: the second chain goes into a tree that holds
// the first.
TEST_F(NativeRecords, AnObjectRenamedWhileItsChainGoesIntoTheTreeShowsItsNewText)
{
    constexpr int kCount = 5;
    // Shown: a rename repaints the containers that show the object, and the repaint brings
    // their tree items up to date.
    ShowWindow(parent->handle(), SW_SHOWNOACTIVATE);
    std::unique_ptr<ICnrCtl> cnr =
        makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_TREE | CV_ICON), 33);
    const HWND tree = cnrtest::child(cnr->handle(), 0x3001);
    ASSERT_TRUE(tree);
    std::vector<std::unique_ptr<Item>> made;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ICnrAllocator allocator(kCount, sizeof(Item));
        std::vector<Item*> chain;
        for (int i = 0; i < kCount; ++i) {
            made.emplace_back(new (allocator) Item(("item " + std::to_string(i)).c_str()));
            chain.push_back(made.back().get());
        }
        std::thread renaming;
        std::atomic<bool> renamed{false};
        {
            // At the second record's item, its text already copied: the first one has its
            // item, the fourth is not in the container yet.
            OneInsertion held(tree, 2, [&](const std::function<LRESULT()>& insert) {
                renaming = std::thread([&] {
                    chain[0]->setIconText("first renamed");
                    chain[1]->setIconText("second renamed");
                    chain[3]->setIconText("fourth renamed");
                    renamed = true;
                });
                // The repaints the renames ask for are answered here, before the tree has the
                // second record's item.
                ovktest::pumpUntil([&] { return renamed.load(); }, 10000);
                return insert();
            });
            cnr->addObjects(allocator);
        }
        ASSERT_TRUE(renaming.joinable());
        EXPECT_TRUE(renamed.load());
        renaming.join();
        EXPECT_EQ(treeText(tree, chain[0]), "first renamed");
        EXPECT_EQ(treeText(tree, chain[1]), "second renamed");
        EXPECT_EQ(treeText(tree, chain[2]), "item 2");
        EXPECT_EQ(treeText(tree, chain[3]), "fourth renamed");
        EXPECT_EQ(treeText(tree, chain[4]), "item 4");
    }
    made.clear();
}

// The image of the object's item among the tree's top-level items; -1 when it has none.
int treeImage(HWND tree, const ICnrObj* object)
{
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMA data{};
        data.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_IMAGE;
        data.hItem = item;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (reinterpret_cast<const ICnrObj*>(data.lParam) == object)
            return data.iImage;
    }
    return -1;
}

// A rename or a new icon that repainted nothing still reaches the tree, as it reaches the list,
// which asks for the text whenever it draws: once the tree paints the item again it shows the
// object's text and icon, whether the container was hidden, its window's frame was hidden, its
// refresh was off or the object's refresh was off.
// Twice in each case: the second change replaces what the tree has already shown.
TEST_F(NativeRecords, ATreeShowsWhatAChangeThatRepaintedNothingLeft)
{
    ShowWindow(parent->handle(), SW_SHOWNOACTIVATE);
    enum Road { containerHidden, frameHidden, containerRefreshOff, objectRefreshOff };
    const struct {
        const char* name;
        Road road;
    } cases[] = {
        {"container hidden", containerHidden},
        {"frame hidden", frameHidden},
        {"container's refresh off", containerRefreshOff},
        {"object's refresh off", objectRefreshOff},
    };
    const HICON icons[] = {LoadIconA(nullptr, MAKEINTRESOURCEA(32515)),
                           LoadIconA(nullptr, MAKEINTRESOURCEA(32516))};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ICnrCtl> cnr =
            makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_TREE | CV_ICON), 36);
        const HWND tree = cnrtest::child(cnr->handle(), 0x3001);
        ASSERT_TRUE(tree);
        const auto object = std::make_unique<Item>("the name it had");
        cnr->addObject(object.get());
        ovktest::pumpPending();
        ASSERT_EQ(treeText(tree, object.get()), "the name it had");
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            const std::string name = "renamed " + std::to_string(round);
            const int imageBefore = treeImage(tree, object.get());
            switch (c.road) {
            case containerHidden: cnr->hide(); break;
            case frameHidden: ShowWindow(parent->handle(), SW_HIDE); break;
            case containerRefreshOff: cnr->disableRefresh(); break;
            case objectRefreshOff: object->disableRefresh(); break;
            }
            object->setIconText(name.c_str());
            object->setIcon(IPointerHandle(icons[round]));
            cnr->show();
            ShowWindow(parent->handle(), SW_SHOWNOACTIVATE);
            cnr->enableRefresh();
            object->enableRefresh();
            // The tree paints the item, as it does when a window that covered it goes.
            RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            ovktest::pumpPending();
            EXPECT_EQ(treeText(tree, object.get()), name);
            EXPECT_NE(treeImage(tree, object.get()), imageBefore);
        }
        cnr->removeObject(object.get());
    }
}

// An object the container already holds is refused when it is added again under a parent, and
// the refusal leaves nothing behind: a list view container that had no tree makes none for it.
// Twice in a row.
TEST_F(NativeRecords, AnObjectAddedAgainUnderAParentIsRefusedWithoutMakingATree)
{
    std::unique_ptr<ICnrCtl> cnr = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_NAME), 37);
    const auto parent = std::make_unique<Item>("parent");
    const auto object = std::make_unique<Item>("object");
    cnr->addObject(parent.get());
    cnr->addObject(object.get());
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_STREQ(ovktest::caught([&] { cnr->addObject(object.get(), parent.get()); }).text(),
                     "CM_INSERTRECORD");
        EXPECT_EQ(cnrtest::child(cnr->handle(), 0x3001), nullptr) << "the refusal made a tree";
        EXPECT_EQ(object->containerCount(), 1u);
        EXPECT_EQ(cnr->parentObject(object.get()), nullptr);
        EXPECT_EQ(parent->state() & ICnrObj::hasChildren, 0u);
    }
}

// An application's handler that, told of the first record's cursor, puts a procedure of its own
// before the container's list control. The list reports that cursor while the record goes in,
// so the procedure comes in the middle of the fill.
class ListProcedureOnFirstCursor : public ICnrHandler {
public:
    explicit ListProcedureOnFirstCursor(HWND list) : fList(list) {}
    // Counts the list's insertions from the moment it stood before the list.
    std::optional<OneInsertion> counting;

protected:
    IBase::Boolean cursoredChanged(ICnrEmphasisEvent&) override
    {
        if (!counting)
            counting.emplace(fList, 0, nullptr);
        return false;
    }

private:
    HWND fList;
};

// A procedure the application puts before the list control from a handler of the container's
// notifications while a fill goes in sees every insertion of the fill that follows. Twice: the
// container is emptied and filled again.
TEST_F(NativeRecords, AProcedurePutBeforeTheListDuringAFillSeesTheRestOfTheFill)
{
    constexpr int kCount = 5;
    std::unique_ptr<ICnrCtl> cnr = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_NAME), 36);
    const HWND list = cnrtest::child(cnr->handle(), 0x3000);
    ASSERT_TRUE(list);
    ListProcedureOnFirstCursor handler(list);
    handler.handleEventsFor(cnr.get());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ICnrAllocator allocator(kCount, sizeof(Item));
        std::vector<std::unique_ptr<Item>> made;
        for (int i = 0; i < kCount; ++i)
            made.emplace_back(new (allocator) Item(("item " + std::to_string(i)).c_str()));
        cnr->addObjects(allocator);
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), kCount);
        EXPECT_TRUE(handler.counting) << "the list reported no cursor while the fill went in";
        if (handler.counting) {
            EXPECT_EQ(handler.counting->seen(), kCount - 1)
                << "insertions passed the procedure that stood before the list";
        }
        // The removals move the cursor too: the procedure goes after them.
        made.clear();
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
        handler.counting.reset();
    }
    handler.stopHandlingEventsFor(cnr.get());
}

// A native container takes a chain one record per message, each after the one before: a chain
// longer than one insertion message counts arrives whole and in order, past the places where a
// count of 16 bits would cut it. When the list refuses a record past them, the records already
// in the window go out again and no object of the chain stays counted.
TEST_F(NativeRecords, AChainLongerThanOneMessageCountsArrivesWholeOrNotAtAll)
{
    constexpr unsigned long kCount = 0x10000 + 10;
    std::unique_ptr<ICnrCtl> cnr = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_NAME), 35);
    const HWND list = cnrtest::child(cnr->handle(), 0x3000);
    ASSERT_TRUE(list);
    const auto owned = std::make_unique<Item>("before");
    cnr->addObject(owned.get());
    std::vector<std::unique_ptr<ICnrObj>> made;
    made.reserve(kCount);
    ICnrAllocator allocator(kCount, sizeof(ICnrObj));
    for (unsigned long i = 0; i < kCount; ++i)
        made.emplace_back(new (allocator) ICnrObj(IPointerHandle(), IString(i)));
    const unsigned long changes = cnr->changeCount();
    {
        OneInsertion refusing(list, 0x10000 + 2,
                              [](const std::function<LRESULT()>&) { return OneInsertion::refusal(); });
        EXPECT_STREQ(ovktest::caught([&] { cnr->addObjects(allocator); }).text(), "CM_INSERTRECORD");
    }
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(cnr->changeCount(), changes);
    EXPECT_EQ(std::count_if(made.begin(), made.end(),
                            [](const auto& object) { return object->containerCount() != 0; }),
              0);
    cnr->addObjects(allocator);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(kCount + 1));
    EXPECT_EQ(cnr->changeCount(), changes + kCount);
    ICnrCtl::ObjectCursor cursor(*cnr);
    const auto next = [&](const ICnrObj* object) {
        cursor.setCurrent(object);
        cursor.setToNext();
        return cursor.isValid() ? cursor.current() : nullptr;
    };
    EXPECT_EQ(next(owned.get()), made[0].get());
    for (unsigned long seam : {0xFFFEul, 0xFFFFul})
        EXPECT_EQ(next(made[seam - 1].get()), made[seam].get());
    EXPECT_EQ(next(made[kCount - 1].get()), nullptr);
    // Emptied in one message: removing each object on its own looks for its item among all.
    ovktest::send(cnr->handle(), CM_REMOVERECORD, 0, 0);
}

// A control that the application destroys is no longer the container's: the container finds
// it gone without waiting for its own end.
TEST_F(NativeRecords, AControlTheApplicationDestroysIsNoLongerTheContainers)
{
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<ICnrCtl> cnr =
            makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(CV_TREE | CV_ICON), 37);
        const HWND tree = cnrtest::child(cnr->handle(), 0x3001);
        ASSERT_TRUE(tree);
        EXPECT_FALSE(cnr->isListMode());
        DestroyWindow(tree);
        EXPECT_TRUE(cnr->isListMode());
    }
}

} // namespace
