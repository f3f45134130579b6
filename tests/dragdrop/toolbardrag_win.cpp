// Tool bar buttons dragged by hand within their tool bar.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <iframe.hpp>
#include <ireslib.hpp>
#include <istattxt.hpp>
#include <itbar.hpp>
#include <itbarbut.hpp>

#include <detail/iscoped.hpp>
#include <handdrag.hpp>
#include <ovktest.hpp>

namespace {

class ToolBarDrag : public testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<IFrameWindow>(
            IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
            IRectangle(0, 0, 100, 100), IFrameWindow::_titleBar, "tool bar drag");
        client = std::make_unique<IStaticText>(50, frame.get(), frame.get());
        frame->setClient(client.get());
        bar = std::make_unique<IToolBar>(1, frame.get(), IToolBar::aboveClient);
        for (unsigned long id : {101UL, 102UL, 103UL}) {
            buttons.push_back(std::make_unique<IToolBarButton>(id, bar.get(), bar.get(), IRectangle(),
                                                               IToolBarButton::defaultStyle()));
            bar->addAsLast(buttons.back().get());
        }
        SetWindowPos(frame->handle(), HWND_TOPMOST, 60, 60, 400, 300, SWP_SHOWWINDOW);
        ovktest::pumpPending();
    }
    void TearDown() override {
        buttons.clear();
        bar.reset();
        client.reset();
        frame.reset();
        ovktest::pumpPending();
    }

    std::string listed() const {
        std::string ids;
        IToolBar::WindowCursor cursor(*bar);
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
            ids += (ids.empty() ? "" : " ") + std::to_string(bar->windowAt(cursor)->id());
        return ids;
    }
    // Presses on the first button and lets go over the right quarter of the last one.
    bool dragFirstAfterLast() {
        RECT first{}, last{};
        GetWindowRect(buttons[0]->handle(), &first);
        GetWindowRect(buttons[2]->handle(), &last);
        ovktest::HandPath path;
        path.from = POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
        path.to = POINT{last.right - (last.right - last.left) / 4, (last.top + last.bottom) / 2};
        path.lingerTicks = 10;
        return ovktest::dragByHand(path);
    }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IStaticText> client;
    std::unique_ptr<IToolBar> bar;
    std::vector<std::unique_ptr<IToolBarButton>> buttons;
};

TEST_F(ToolBarDrag, AButtonMovesAlongItsToolBar)
{
    ASSERT_TRUE(dragFirstAfterLast());
    EXPECT_EQ(listed(), "102 103 101");
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

// The button shows its own copy of a picture larger than the standard size; the application may
// delete the bitmap it gave. The drag image cannot be drawn from it then, and the button is
// dragged without one.
TEST_F(ToolBarDrag, AButtonWhosePictureCannotBeDrawnIsDraggedWithoutAnImage)
{
    const ISize standard = IToolBarButton::standardBitmapSize();
    const ovk_native::WindowDC screen(nullptr);
    HBITMAP given = CreateCompatibleBitmap(screen.get(), static_cast<int>(standard.width()) * 2,
                                           static_cast<int>(standard.height()) * 2);
    ASSERT_NE(given, nullptr);
    buttons[0]->setBitmap(IBitmapHandle(given));
    DeleteObject(given);
    ovktest::pumpPending();
    ASSERT_TRUE(dragFirstAfterLast());
    EXPECT_EQ(listed(), "102 103 101");
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

// The drag detection of a button must leave a plain click alone: the press and the release on
// the same spot still reach the owner as the button's command, and nothing is dragged.
TEST_F(ToolBarDrag, APressReleasedWhereItWasStillClicksTheButton)
{
    ovktest::Recorder commands(WM_COMMAND);
    unsigned long clicks = 0;
    commands.attach(*bar, "command").setAction([&](IEvent& event) {
        if (event.parameter1().lowNumber() == 101)
            ++clicks;
        return false;
    });
    RECT first{};
    GetWindowRect(buttons[0]->handle(), &first);
    ovktest::HandPath path;
    path.from = POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
    path.to = path.from;
    path.steps = 1;
    path.lingerTicks = 0;
    ASSERT_TRUE(ovktest::dragByHand(path));
    ASSERT_TRUE(ovktest::pumpUntil([&] { return clicks != 0; }));
    EXPECT_EQ(clicks, 1u);
    EXPECT_EQ(listed(), "101 102 103");
}

} // namespace
