// A form as an application builds one: a multi-cell canvas as the client of a sizable frame,
// with texts, fields, a drop-down combo box, a multi-line edit and push buttons, laid out by
// sizing the frame and by a font set on the canvas. Relations between sizes are checked, never
// pixel counts of text.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <icombobx.hpp>
#include <ientryfd.hpp>
#include <ifont.hpp>
#include <iframe.hpp>
#include <ihandler.hpp>
#include <imcelcv.hpp>
#include <imle.hpp>
#include <ipushbut.hpp>
#include <istattxt.hpp>

#include "canvastest.hpp"
#include "ovktest.hpp"

namespace {

class Form : public testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<IFrameWindow>(
            IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
            IRectangle(40, 40, 640, 480),
            IFrameWindow::_titleBar | IFrameWindow::_systemMenu | IFrameWindow::_sizingBorder,
            "form");
        canvas = std::make_unique<IMultiCellCanvas>(IFrameWindow::clientId, frame.get(),
                                                    frame.get());
        frame->setClient(canvas.get());
    }
    void TearDown() override
    {
        controls.clear();
        canvas.reset();
        frame.reset();
        ovktest::pumpPending();
    }

    template <class Control, class... Arguments>
    Control& add(unsigned long column, unsigned long row, Arguments&&... arguments)
    {
        auto control = std::make_unique<Control>(static_cast<unsigned long>(controls.size() + 1),
                                                 canvas.get(), canvas.get(),
                                                 std::forward<Arguments>(arguments)...);
        Control& made = *control;
        canvas->addToCell(&made, column, row);
        controls.push_back(std::move(control));
        return made;
    }
    IStaticText& label(unsigned long column, unsigned long row, const char* text)
    {
        IStaticText& made = add<IStaticText>(column, row);
        made.setText(text);
        return made;
    }

    // Sizes the frame as a user's sizing ends, so that its client gets the size, and lets the
    // message loop paint what that laid out.
    void sizeClientTo(const ISize& client)
    {
        const IRectangle outer = frame->frameRectFor(IRectangle(IPoint(0, 0), client));
        SetWindowPos(frame->handle(), nullptr, 0, 0, outer.width(), outer.height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        settle();
    }
    void settle()
    {
        canvastest::paintNow(frame->handle());
        ovktest::pumpPending();
        canvastest::paintNow(frame->handle());
    }
    // The children that reach past the canvas's client area, by their identifiers: what a user
    // sees cut.
    std::string cut() const
    {
        RECT area{};
        GetClientRect(canvas->handle(), &area);
        std::string names;
        for (const auto& control : controls) {
            const RECT r = canvastest::placeIn(canvas->handle(), control->handle());
            if (r.left < 0 || r.top < 0 || r.right > area.right || r.bottom > area.bottom)
                names += std::to_string(control->id()) + " ";
        }
        return names;
    }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IMultiCellCanvas> canvas;
    std::vector<std::unique_ptr<IWindow>> controls;
};

// The edit's minimum follows the font; the size the layout gave it never becomes its minimum,
// so the form fits a frame larger than its minimum after each font change, and shrinks to it.
TEST_F(Form, AFontChangeKeepsTheFormWholeAndItStillShrinksToItsMinimum)
{
    label(1, 1, "Name:");
    IEntryField& name = add<IEntryField>(2, 1);
    label(1, 2, "Notes:");
    IMultiLineEdit& notes = add<IMultiLineEdit>(2, 2);
    IPushButton& ok = add<IPushButton>(2, 3);
    ok.setText("OK");
    canvas->setColumnWidth(2, 0, true);
    canvas->setRowHeight(2, 0, true);
    frame->show();
    const ISize large(700, 500);
    sizeClientTo(large);
    ASSERT_EQ(canvas->size(), large);
    EXPECT_EQ(cut(), "");

    long fieldHeight = name.minimumSize().height();
    long editHeight = notes.minimumSize().height();
    for (unsigned long points : {14ul, 20ul}) {
        SCOPED_TRACE(points);
        canvas->setFont(IFont("Tahoma", points));
        settle();
        EXPECT_GT(name.minimumSize().height(), fieldHeight);
        EXPECT_GT(notes.minimumSize().height(), editHeight);
        fieldHeight = name.minimumSize().height();
        editHeight = notes.minimumSize().height();
        // Laid out for the new font at once, without a resize.
        EXPECT_EQ(name.size().height(), name.minimumSize().height());
        const ISize minimum = canvas->minimumSize();
        ASSERT_LT(minimum.width(), large.width());
        ASSERT_LT(minimum.height(), large.height());
        EXPECT_EQ(cut(), "");
        EXPECT_GT(notes.size().height(), editHeight);

        sizeClientTo(minimum);
        ASSERT_EQ(canvas->size(), minimum);
        EXPECT_EQ(cut(), "");
        EXPECT_EQ(notes.size().height(), notes.minimumSize().height());
        sizeClientTo(large);
        EXPECT_EQ(cut(), "");
    }
}

// A drop-down combo box keeps the height of its closed field whatever it is given; the height
// it reports as its minimum is that one, at each font, so the row below starts under it.
TEST_F(Form, ADropDownComboBoxTakesTheRowHeightItKeeps)
{
    IComboBox& combo = add<IComboBox>(1, 1, IRectangle(),
                                      IComboBox::dropDownType | IComboBox::_border3D |
                                          IWindow::visible);
    for (const char* text : {"Amsterdam", "Berlin", "Copenhagen"})
        combo.addAsLast(text);
    IEntryField& below = add<IEntryField>(1, 2);
    frame->show();
    sizeClientTo(ISize(500, 300));
    for (unsigned long points : {0ul, 14ul}) {
        SCOPED_TRACE(points);
        if (points)
            canvas->setFont(IFont("Tahoma", points));
        settle();
        RECT kept{};
        GetWindowRect(combo.handle(), &kept);
        // Sized taller, the native box keeps its height all the same.
        SetWindowPos(combo.handle(), nullptr, 0, 0, kept.right - kept.left, 200,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(combo.handle(), &kept);
        EXPECT_EQ(combo.minimumSize().height(), kept.bottom - kept.top);
        const RECT field = canvastest::placeIn(canvas->handle(), combo.handle());
        const RECT next = canvastest::placeIn(canvas->handle(), below.handle());
        EXPECT_LE(field.bottom, next.top);
        EXPECT_EQ(static_cast<long>(canvas->rowHeight(1)), kept.bottom - kept.top);
    }
}

// Empty expandable rows and columns between the controls share the room beyond the minimum
// exactly: the last control ends at the canvas's edge, not past it.
TEST_F(Form, SpacersShareTheRoomExactlyAndTheLastControlEndsAtTheEdge)
{
    for (unsigned long cell = 1; cell <= 7; cell += 2) {
        controls.push_back(canvastest::makeBox(*canvas, ISize(40, 30)));
        canvas->addToCell(controls.back().get(), cell, cell);
    }
    for (unsigned long spacer = 2; spacer <= 6; spacer += 2) {
        canvas->setRowHeight(spacer, 0, true);
        canvas->setColumnWidth(spacer, 0, true);
    }
    frame->show();
    for (const ISize& client : {ISize(392, 392), ISize(401, 397)}) {
        SCOPED_TRACE(client.width());
        sizeClientTo(client);
        ASSERT_EQ(canvas->size(), client);
        const RECT last = canvastest::placeIn(canvas->handle(), controls.back()->handle());
        EXPECT_EQ(last.right, client.width());
        EXPECT_EQ(last.bottom, client.height());
        EXPECT_EQ(cut(), "");
    }
}

// The frame's header tells how a form stays whole: a handler of the frame answers
// WM_GETMINMAXINFO with the frame size that the client's minimum needs. Sized smaller, as the
// sizing loop ends, the frame keeps that size and nothing of the form is cut.
class KeepsTheClientWhole : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_GETMINMAXINFO)
            return false;
        auto* frame = static_cast<IFrameWindow*>(event.dispatchingWindow());
        const ISize least =
            frame->frameRectFor(IRectangle(IPoint(0, 0), frame->client()->minimumSize())).size();
        auto* limits = reinterpret_cast<MINMAXINFO*>(event.parameter2().asLong());
        limits->ptMinTrackSize.x = least.width();
        limits->ptMinTrackSize.y = least.height();
        event.setResult(0);
        return true;
    }
};

TEST_F(Form, AFrameKeptAtItsClientsMinimumCutsNothing)
{
    controls.push_back(canvastest::makeBox(*canvas, ISize(300, 200)));
    canvas->addToCell(controls.back().get(), 2, 2);
    KeepsTheClientWhole keeper;
    keeper.handleEventsFor(frame.get());
    frame->show();
    for (int round = 0; round < 2; ++round) {
        sizeClientTo(ISize(100, 80));
        EXPECT_GE(canvas->size().width(), 310);
        EXPECT_GE(canvas->size().height(), 210);
        EXPECT_EQ(cut(), "");
        sizeClientTo(ISize(500, 400));
    }
    keeper.stopHandlingEventsFor(frame.get());
}

} // namespace
