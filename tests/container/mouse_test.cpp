// The native container's mouse: the list and tree controls pass their mouse messages on to the
// container window, so that its own handlers see the clicks and a drag starts from a press and
// a move; and a point on any cell of a details row finds the row's object.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <icnrcol.hpp>
#include <icnrctl.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <idmcnrit.hpp>
#include <idmfact.hpp>
#include <idmoper.hpp>
#include <idmsupp.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Objects;
using cnrtest::child;

namespace {

constexpr int kListId = 0x3000;
constexpr int kTreeId = 0x3001;

// Writes the mouse messages that reach a window into a trace: "down(12,30) up(12,30)".
class MouseTrace : public IHandler {
public:
    std::string trace;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        const char* name = event.eventId() == WM_LBUTTONDOWN ? "down"
                           : event.eventId() == WM_LBUTTONUP ? "up"
                           : event.eventId() == WM_RBUTTONDOWN ? "right"
                           : event.eventId() == WM_MOUSEMOVE ? "move"
                                                              : nullptr;
        if (!name)
            return false;
        const auto position = static_cast<LPARAM>(event.parameter2().asLong());
        trace += (trace.empty() ? "" : " ") + std::string(name) + "(" +
                 std::to_string(GET_X_LPARAM(position)) + "," +
                 std::to_string(GET_Y_LPARAM(position)) + ")";
        return false;
    }
};

// The centre of an object's icon in the native control that shows it, in that control's
// client coordinates.
POINT iconCentreInControl(ICnrCtl& container, ICnrObj* object, HWND control)
{
    const IRectangle icon = container.iconRectangle(object);
    POINT centre{icon.minX() + icon.width() / 2, icon.minY() + icon.height() / 2};
    MapWindowPoints(container.handle(), control, &centre, 1);
    return centre;
}

// A press as the user makes it: the control runs its own drag detection on the press, which
// takes the messages already queued, so the release (and any move) is posted first.
void press(HWND control, POINT at, std::initializer_list<POINT> movesThenRelease = {})
{
    for (POINT move : movesThenRelease)
        PostMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(move.x, move.y));
    const POINT last = movesThenRelease.size() ? *(movesThenRelease.end() - 1) : at;
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

struct MouseCase {
    const char* name;
    unsigned long view;
    bool title;
    int control;
};

class NativeMouse : public Containers, public testing::WithParamInterface<MouseCase> {};

// A move over the control, and a press on it, each reach the container's handlers once, at the
// same place in the container window: the press and the moves after it measure one distance.
TEST_P(NativeMouse, MovesAndPressesOnTheControlReachTheContainersHandlersOnce)
{
    const MouseCase& shape = GetParam();
    const unsigned long attributes =
        shape.view | (shape.title ? ICnrCtl::containerTitle.asUnsignedLong() : 0ul);
    auto container = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::Attribute(attributes), 40);
    Objects objects(*container, {"a", "b"});
    const HWND control = child(container->handle(), shape.control);
    ASSERT_NE(control, nullptr);
    MouseTrace mouse;
    mouse.handleEventsFor(container.get());
    const POINT at = iconCentreInControl(*container, objects[1], control);
    POINT there = at;
    MapWindowPoints(control, container->handle(), &there, 1);
    const std::string place = "(" + std::to_string(there.x) + "," + std::to_string(there.y) + ")";
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(mouse.trace, "move" + place);
    mouse.trace.clear();
    press(control, at);
    ovktest::pumpPending();
    // The tree takes the release in its own tracking of the press: only the list passes it on.
    EXPECT_EQ(mouse.trace, "down" + place + (shape.control == kListId ? " up" + place : ""));
    mouse.stopHandlingEventsFor(container.get());
}

INSTANTIATE_TEST_SUITE_P(
    Views, NativeMouse,
    testing::Values(MouseCase{"Icon", ICnrCtl::iconView.asUnsignedLong(), false, kListId},
                    MouseCase{"IconUnderTitle", ICnrCtl::iconView.asUnsignedLong(), true, kListId},
                    MouseCase{"Details", ICnrCtl::detailsView.asUnsignedLong(), false, kListId},
                    MouseCase{"Tree", (ICnrCtl::treeView | ICnrCtl::iconView).asUnsignedLong(),
                              false, kTreeId},
                    MouseCase{"TreeUnderTitle",
                              (ICnrCtl::treeView | ICnrCtl::iconView).asUnsignedLong(), true,
                              kTreeId}),
    [](const testing::TestParamInfo<MouseCase>& info) { return std::string(info.param.name); });

// A details row is hit on every cell, not only on the first column's icon and text; beside the
// columns and below the rows nothing is.
TEST_F(Containers, EveryCellOfADetailsRowFindsItsObject)
{
    auto details = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::detailsView, 41);
    const IContainerColumn::HeadingStyle heading = IContainerColumn::defaultHeadingStyle();
    IContainerColumn name(IContainerColumn::DataSource::iconText);
    IContainerColumn second(0, heading, IContainerColumn::DataStyle::number);
    IContainerColumn third(4, heading, IContainerColumn::DataStyle::number);
    name.setDisplayWidth(40);
    second.setDisplayWidth(50);
    third.setDisplayWidth(50);
    details->addColumn(&name).addColumn(&second).addColumn(&third);
    Objects objects(*details, {"a", "b"});
    const HWND list = child(details->handle(), kListId);
    for (int row = 0; row < 2; ++row) {
        RECT cell{};
        cell.top = 2;
        cell.left = LVIR_BOUNDS;
        ASSERT_TRUE(SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(&cell)));
        const IPoint inThird((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        EXPECT_EQ(details->objectUnderPoint(inThird), objects[static_cast<std::size_t>(row)]);
        EXPECT_EQ(details->objectUnderPoint(IPoint(cell.right + 5, inThird.y())), nullptr);
    }
    RECT last{};
    last.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(details->objectUnderPoint(IPoint(60, last.bottom + 5)), nullptr);
    details->removeAllObjects();
}

// Whole drags: a press on an object of the native source and a move with the button down start
// an OLE drag that drops on the message-driven container under the pointer, which then holds the
// object.
class NativeDrag : public testing::TestWithParam<MouseCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OvkCnrRegisterClass());
        SetWindowPos(sourceFrame.hwnd(), nullptr, 400, 100, 220, 220, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(targetFrame.hwnd(), HWND_TOPMOST, 100, 100, 220, 220, SWP_SHOWWINDOW);
        const MouseCase& shape = GetParam();
        source = std::make_unique<ICnrCtl>(0x51, &sourceFrame, &sourceFrame, IRectangle(0, 0, 200, 200),
                                           ICnrCtl::defaultStyle(), ICnrCtl::Attribute(shape.view));
        target = std::make_unique<ICnrCtl>(0x52, &targetFrame, &targetFrame, IRectangle(0, 0, 200, 200),
                                           ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
        if (shape.view & ICnrCtl::detailsView.asUnsignedLong()) {
            name.setDisplayWidth(60);
            note.setDisplayWidth(80);
            source->addColumn(&name).addColumn(&note);
        }
        objects = std::make_unique<Objects>(*source, std::initializer_list<const char*>{"a", "b"});
        IDMSupport::enableDragDropFor<IDMCnrItem>(source.get());
        IDMSupport::enableDragDropFor<IDMCnrItem>(target.get());
    }
    void TearDown() override
    {
        IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
        for (ICnrCtl* container : {source.get(), target.get()})
            container->removeAllObjects();
        source.reset();
        target.reset();
        objects.reset();
    }

    ovktest::TestWindow sourceFrame{nullptr, WS_POPUP};
    ovktest::TestWindow targetFrame{nullptr, WS_POPUP};
    IContainerColumn name{IContainerColumn::DataSource::iconText};
    IContainerColumn note{0, IContainerColumn::defaultHeadingStyle(),
                          IContainerColumn::DataStyle::number};
    std::unique_ptr<ICnrCtl> source;
    std::unique_ptr<ICnrCtl> target;
    std::unique_ptr<Objects> objects;
};

TEST_P(NativeDrag, APressAndAMoveDragTheObjectIntoTheContainerUnderThePointer)
{
    const HWND control = child(source->handle(), GetParam().control);
    ASSERT_NE(control, nullptr);
    ICnrObj* dragged = (*objects)[1];
    POINT at = iconCentreInControl(*source, dragged, control);
    if (GetParam().view & ICnrCtl::detailsView.asUnsignedLong()) {
        // On the note's cell, past the first column.
        RECT cell{};
        cell.top = 1;
        cell.left = LVIR_BOUNDS;
        SendMessageA(control, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
        at = POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    SetCursorPos(200, 170);
    press(control, at, {POINT{at.x + 8, at.y + 8}, POINT{at.x + 16, at.y + 16}});
    EXPECT_TRUE(ovktest::pumpUntil([&] { return target->containsObject(dragged); }));
    EXPECT_FALSE(source->containsObject(dragged));
    EXPECT_TRUE(source->containsObject((*objects)[0]));
    EXPECT_EQ(GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Views, NativeDrag,
    testing::Values(MouseCase{"Icon", ICnrCtl::iconView.asUnsignedLong(), false, kListId},
                    MouseCase{"DetailsCell", ICnrCtl::detailsView.asUnsignedLong(), false, kListId},
                    MouseCase{"Tree", (ICnrCtl::treeView | ICnrCtl::iconView).asUnsignedLong(),
                              false, kTreeId}),
    [](const testing::TestParamInfo<MouseCase>& info) { return std::string(info.param.name); });

} // namespace
