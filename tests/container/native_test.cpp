// The native container's record messages as its list and tree controls carry them out: a view
// switch that makes the other control, the refusals, the arrange that waits for a size, shared
// images and the emphasis that the controls keep.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

} // namespace
