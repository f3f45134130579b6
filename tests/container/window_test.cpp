// The container's windows: the two classes, the native children and their styles, the title
// layout, the native answers to the container messages, and the allocation windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <icnrctl.hpp>
#include <icnrdhdr.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iownmhdr.hpp>
#include <istattxt.hpp>
#include <ithread.hpp>

#include <detail/icnrdata.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::child;
using cnrtest::classOf;

namespace {

// The window's own visible style: the fixture's parent is never shown.
bool shown(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST_F(Containers, EachClassMakesItsOwnWindow)
{
    EXPECT_EQ(classOf(native->handle()), "OVK Native Container");
    EXPECT_FALSE(native->isMessageContainer());
    EXPECT_EQ(classOf(messageDriven->handle()), "OVK Container");
    EXPECT_TRUE(messageDriven->isMessageContainer());
    EXPECT_EQ(ICnrCtl::containerWithHandle(native->handle()), native.get());
    EXPECT_EQ(ICnrCtl::containerWithHandle(messageDriven->handle()), messageDriven.get());
}

// The shared handlers serve a container from its construction to its destruction.
TEST_F(Containers, SharedHandlersComeAndGoWithTheContainer)
{
    IOwnerMouseHandler* mouse = IOwnerMouseHandler::defaultHandler();
    const unsigned long mouseBefore = mouse->windowCount();
    const unsigned long destroyBefore = ICnrCtl::destroyHandler()->windowCount();
    auto container = makeMessageDriven(32);
    EXPECT_EQ(mouse->windowCount(), mouseBefore + 1);
    EXPECT_EQ(ICnrCtl::destroyHandler()->windowCount(), destroyBefore + 1);
    container.reset();
    EXPECT_EQ(mouse->windowCount(), mouseBefore);
    EXPECT_EQ(ICnrCtl::destroyHandler()->windowCount(), destroyBefore);
}

TEST_F(Containers, DefaultNativeContainerShowsAListControl)
{
    const HWND list = child(native->handle(), 0x3000);
    ASSERT_TRUE(list);
    EXPECT_EQ(classOf(list), "SysListView32");
    EXPECT_TRUE(shown(list));
    EXPECT_FALSE(child(native->handle(), 0x3001));
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(Containers, TreeViewAttributeShowsATreeControl)
{
    auto tree = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::treeView | ICnrCtl::iconView, 30);
    const HWND control = child(tree->handle(), 0x3001);
    ASSERT_TRUE(control);
    EXPECT_EQ(classOf(control), "SysTreeView32");
    EXPECT_FALSE(child(tree->handle(), 0x3000));
    // Buttons, lines, root lines and selection always shown.
    EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE) & 0x27, 0x27);
}

TEST_F(Containers, NativeClassIsRegisteredOnceWithItsAttributes)
{
    auto second = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::currentDefaultAttribute(), 31);
    WNDCLASSA registered{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "OVK Native Container", &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW));
    EXPECT_EQ(registered.cbWndExtra, 4);
    EXPECT_EQ(registered.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Label editing follows the read-only style, in both controls.
struct EditCase {
    bool readOnly;
    bool tree;
};

class EditingStyle : public Containers, public testing::WithParamInterface<EditCase> {};

TEST_P(EditingStyle, ReadOnlyContainersHaveNoLabelEditing)
{
    const EditCase c = GetParam();
    const ICnrCtl::Style style =
        c.readOnly ? ICnrCtl::defaultStyle() | ICnrCtl::readOnly : ICnrCtl::defaultStyle();
    auto container = makeNative(style, c.tree ? ICnrCtl::treeView | ICnrCtl::iconView
                                              : ICnrCtl::iconView,
                                40);
    const HWND control = child(container->handle(), c.tree ? 0x3001 : 0x3000);
    ASSERT_TRUE(control);
    const LONG_PTR editBit = c.tree ? TVS_EDITLABELS : LVS_EDITLABELS;
    EXPECT_EQ((GetWindowLongPtrA(control, GWL_STYLE) & editBit) != 0, !c.readOnly);
}

INSTANTIATE_TEST_SUITE_P(Containers, EditingStyle,
                         testing::Values(EditCase{true, false}, EditCase{true, true},
                                         EditCase{false, false}, EditCase{false, true}));

// Exactly one selection mode survives in the window style.
struct SelectionCase {
    unsigned long asked;
    unsigned long kept;
};

class SelectionMode : public Containers, public testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionMode, ExactlyOneSelectionModeRemains)
{
    const SelectionCase c = GetParam();
    auto container = makeNative(ICnrCtl::Style(WS_VISIBLE | c.asked),
                                ICnrCtl::currentDefaultAttribute(), 41);
    const LONG_PTR style = GetWindowLongPtrA(container->handle(), GWL_STYLE);
    EXPECT_EQ(style & 0x07, static_cast<LONG_PTR>(c.kept));
    // Short records, always.
    EXPECT_TRUE(style & 0x40);
    const HWND list = child(container->handle(), 0x3000);
    EXPECT_EQ((GetWindowLongPtrA(list, GWL_STYLE) & LVS_SINGLESEL) != 0, c.kept == 0x04);
}

INSTANTIATE_TEST_SUITE_P(Containers, SelectionMode,
                         testing::Values(SelectionCase{0x04 | 0x01, 0x04},
                                         SelectionCase{0, 0x04},
                                         SelectionCase{0x01, 0x01},
                                         SelectionCase{0x02, 0x02},
                                         SelectionCase{0x01 | 0x02, 0x01},
                                         SelectionCase{0x07, 0x04}));

// The title takes the top 24 pixels of the container, one more with the separator.
struct TitleCase {
    std::uint32_t attributes;
    LONG controlTop;
    bool titleVisible;
};

class TitleLayout : public Containers, public testing::WithParamInterface<TitleCase> {};

TEST_P(TitleLayout, CurrentControlStartsBelowTheTitle)
{
    const TitleCase c = GetParam();
    auto container = makeNative(ICnrCtl::defaultStyle(),
                                ICnrCtl::Attribute(CV_ICON | c.attributes), 42);
    const HWND list = child(container->handle(), 0x3000);
    const HWND title = child(container->handle(), 0x7FF5);
    ASSERT_TRUE(list && title);
    EXPECT_TRUE(dynamic_cast<IStaticText*>(IWindow::windowWithHandle(title)));
    EXPECT_EQ(cnrtest::placeInParent(list).top, c.controlTop);
    EXPECT_EQ(cnrtest::placeInParent(list).bottom, 150);
    EXPECT_EQ(shown(title) != FALSE, c.titleVisible);
    if (c.titleVisible) {
        EXPECT_EQ(cnrtest::placeInParent(title).bottom, 24);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Containers, TitleLayout,
    testing::Values(TitleCase{CA_CONTAINERTITLE | CA_TITLESEPARATOR, 25, true},
                    TitleCase{CA_CONTAINERTITLE, 24, true}, TitleCase{CA_TITLESEPARATOR, 0, false},
                    TitleCase{0, 0, false}));

TEST_F(Containers, NativeLayoutFollowsTheContainersSize)
{
    auto container = makeNative(ICnrCtl::defaultStyle(),
                                ICnrCtl::iconView | ICnrCtl::containerTitle, 43);
    SetWindowPos(container->handle(), nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
    const RECT list = cnrtest::placeInParent(child(container->handle(), 0x3000));
    EXPECT_EQ(list.right - list.left, 300);
    EXPECT_EQ(list.bottom - list.top, 120 - 24);
}

TEST_F(Containers, TitleTextAndAttributesComeThroughTheContainerInformation)
{
    char given[] = "Accounts";
    ICnrInfo info;
    info.pszCnrTitle = given;
    info.flWindowAttr = CV_ICON | CA_CONTAINERTITLE | CA_TITLESEPARATOR;
    native->setContainerInfo(&info, CMA_CNRTITLE | CMA_FLWINDOWATTR);
    // The container keeps its own copy.
    std::strcpy(given, "changed");
    const HWND title = child(native->handle(), 0x7FF5);
    char text[32] = {};
    GetWindowTextA(title, text, sizeof text);
    EXPECT_STREQ(text, "Accounts");
    EXPECT_TRUE(shown(title));
    EXPECT_EQ(cnrtest::placeInParent(child(native->handle(), 0x3000)).top, 25);

    ICnrInfo back;
    native->containerInfo(&back);
    EXPECT_STREQ(back.pszCnrTitle, "Accounts");
    EXPECT_EQ(back.cyLineSpacing, 2);
    EXPECT_EQ(back.xVertSplitbar, -1);
    EXPECT_EQ(back.slBitmapOrIcon.cx, 32);
}

TEST_F(Containers, SwitchingToTreeViewMakesTheTreeOverTheSamePlace)
{
    const HWND list = child(native->handle(), 0x3000);
    const RECT listPlace = cnrtest::placeInParent(list);
    ICnrInfo info;
    info.flWindowAttr = CV_TREE | CV_NAME;
    native->setContainerInfo(&info, CMA_FLWINDOWATTR);
    const HWND tree = child(native->handle(), 0x3001);
    ASSERT_TRUE(tree);
    EXPECT_TRUE(shown(tree));
    EXPECT_FALSE(shown(list));
    const RECT treePlace = cnrtest::placeInParent(tree);
    EXPECT_TRUE(EqualRect(&listPlace, &treePlace));
    // The name view of a tree has lines but neither buttons nor root lines.
    EXPECT_EQ(GetWindowLongPtrA(tree, GWL_STYLE) & (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT),
              TVS_HASLINES);

    info.flWindowAttr = CV_TEXT;
    native->setContainerInfo(&info, CMA_FLWINDOWATTR);
    EXPECT_TRUE(shown(list));
    EXPECT_FALSE(shown(tree));
    EXPECT_EQ(GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
}

// Records are the allocation window's business; filtering, owner backgrounds and drag images
// take the window's default answer.
TEST_F(Containers, NativeContainerRefusesAllocationAndLeavesOtherMessagesToTheDefault)
{
    for (UINT message : {CM_ALLOCRECORD, CM_FREERECORD, CM_ALLOCDETAILFIELDINFO,
                         CM_FREEDETAILFIELDINFO, CM_FILTER, CM_PAINTBACKGROUND, CM_QUERYDRAGIMAGE})
        EXPECT_EQ(ovktest::send(native->handle(), message, 1, 1), 0) << std::hex << message;
    const LRESULT chain = ovktest::send(ICnrCtl::allocationWindow(), CM_ALLOCRECORD, 0, 1);
    ASSERT_NE(chain, 0);
    MINIRECORDCORE* records[1] = {reinterpret_cast<MINIRECORDCORE*>(chain)};
    EXPECT_EQ(records[0]->cb, sizeof(MINIRECORDCORE));
    EXPECT_NE(ovktest::send(ICnrCtl::allocationWindow(), CM_FREERECORD,
                            reinterpret_cast<WPARAM>(records), 1),
              -1);
}

TEST_F(Containers, DefaultRecordIconsComeFromTheLibraryWhenTheApplicationHasNone)
{
    ASSERT_FALSE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(0x7133)));
    const ICnrControlData* data = native->controlData();
    EXPECT_EQ(ImageList_GetImageCount(data->largeDefaultIcon()), 1);
    EXPECT_EQ(ImageList_GetImageCount(data->smallDefaultIcon()), 1);
}

// The allocation windows ---------------------------------------------------------------------------

HWND storedAllocationWindow()
{
    const IString value = IThread::current().variable("ICnrCtl::hwnd");
    if (value.length() != 4)
        return nullptr;
    std::int32_t bits = 0;
    std::memcpy(&bits, value.data(), 4);
    return static_cast<HWND>(LongToHandle(bits));
}

TEST_F(Containers, ThreadKeepsItsAllocationWindowInAThreadVariable)
{
    const HWND window = ICnrCtl::allocationWindow();
    EXPECT_EQ(storedAllocationWindow(), window);
    EXPECT_EQ(classOf(window), "OVK Container");
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_ID), 0xFFFF);
    EXPECT_FALSE(shown(window));
}

TEST_F(Containers, DestroyedAllocationWindowIsMadeAgainByTheNextAllocation)
{
    const HWND first = ICnrCtl::allocationWindow();
    DestroyWindow(first);
    ICnrObj* object = new ICnrObj;
    const HWND second = storedAllocationWindow();
    EXPECT_NE(second, first);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(cnrtest::received(CM_ALLOCRECORD, second), 1u);
    delete object;
    EXPECT_EQ(cnrtest::received(CM_FREERECORD, second), 1u);
}

// Each thread has an allocation window of its own, and a record may be freed through any of
// them: the memory belongs to the process, not to a window.
TEST_F(Containers, RecordAllocatedOnOneThreadIsFreedThroughAnother)
{
    const HWND mine = ICnrCtl::allocationWindow();
    const long liveBefore = OvkCnrTestLiveRecords();
    HWND theirs = nullptr;
    ICnrObj* object = nullptr;
    bool containerMade = false;
    std::thread other([&] {
        ovktest::TestWindow otherParent;
        ICnrCtl container(5, &otherParent, &otherParent, IRectangle(0, 0, 50, 50));
        containerMade = true;
        theirs = ICnrCtl::allocationWindow();
        object = new ICnrObj(IPointerHandle(), "made elsewhere");
    });
    other.join();
    ASSERT_TRUE(containerMade);
    EXPECT_NE(theirs, mine);
    ASSERT_TRUE(object);
    EXPECT_EQ(cnrtest::received(CM_ALLOCRECORD, theirs), 1u);
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore + 1);
    EXPECT_STREQ(object->iconText(), "made elsewhere");
    delete object;
    EXPECT_EQ(cnrtest::received(CM_FREERECORD, mine), 1u);
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
}

} // namespace
