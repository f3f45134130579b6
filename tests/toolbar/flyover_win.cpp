// Fly-over help: the tools registered for a window and its children, the texts given to the tool
// tip's requests (sent here as the tool tip sends them; hover needs a real pointer) and the long
// texts shown in an information area.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <iapp.hpp>
#include <iframe.hpp>
#include <iinfoa.hpp>
#include <iprivmsg.hpp>
#include <istattxt.hpp>
#include <handdrag.hpp>
#include <ovktest.hpp>

#include "iflyhhdr.hpp"
#include "iflytip.hpp"

namespace {

constexpr unsigned long kTextBase = 5000, kLongTextBase = 6000;

std::string windowText(const IWindow& window)
{
    char text[128] = {};
    GetWindowTextA(window.handle(), text, sizeof text);
    return text;
}

// A top-level window with two children (ids 11 and 12), a tool tip for them, an information area
// elsewhere, and a handler with both, reading texts at the bases 5000 and 6000.
class FlyOver : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        open = std::make_unique<ovktest::TestWindow>(window->hwnd(), WS_VISIBLE, 11);
        big = std::make_unique<ovktest::TestWindow>(window->hwnd(), WS_VISIBLE, 12);
        areaParent = std::make_unique<ovktest::TestWindow>(nullptr, 0);
        area = std::make_unique<IStaticText>(99, areaParent.get(), areaParent.get(),
                                             IRectangle(0, 0, 300, 20));
        area->setText("idle");
        tip = std::make_unique<IFlyOverToolTip>(window.get());
        handler = std::make_unique<IFlyOverHelpHandler>(tip.get(), area.get());
        handler->setTextBaseId(kTextBase).setLongTextBaseId(kLongTextBase);
    }
    void TearDown() override
    {
        handler.reset();
        tip.reset();
        big.reset();
        open.reset();
        window.reset();
        area.reset();
        areaParent.reset();
    }

    long toolCount() const { return SendMessageA(tip->handle(), TTM_GETTOOLCOUNT, 0, 0); }

    // The tool tip's request for the text of the tool `window`, sent to that window.
    std::string needText(HWND tool)
    {
        NMTTDISPINFOA request{};
        request.hdr.hwndFrom = tip->handle();
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
        request.hdr.code = TTN_NEEDTEXTA;
        request.uFlags = TTF_IDISHWND;
        SendMessageA(tool, WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
        return request.lpszText ? request.lpszText : "(none)";
    }
    void pop(HWND tool)
    {
        NMHDR notice{tip->handle(), reinterpret_cast<UINT_PTR>(tool), static_cast<UINT>(TTN_POP)};
        SendMessageA(tool, WM_NOTIFY, notice.idFrom, reinterpret_cast<LPARAM>(&notice));
    }

    std::unique_ptr<ovktest::TestWindow> window, open, big, areaParent;
    std::unique_ptr<IStaticText> area;
    std::unique_ptr<IFlyOverToolTip> tip;
    std::unique_ptr<IFlyOverHelpHandler> handler;
};

TEST_F(FlyOver, EveryChildBecomesAToolAndAChildMadeLaterToo)
{
    handler->handleEventsFor(window.get());
    EXPECT_EQ(toolCount(), 3);

    ovktest::TestWindow late(window->hwnd(), WS_VISIBLE, 40);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return toolCount() == 4; }));
    EXPECT_EQ(needText(late.hwnd()), "Late");

    handler->stopHandlingEventsFor(window.get());
    EXPECT_EQ(toolCount(), 0);
}

TEST_F(FlyOver, TipAndLongTextComeFromTheBasesPlusTheWindowId)
{
    handler->handleEventsFor(window.get());
    EXPECT_EQ(needText(open->hwnd()), "Open");
    EXPECT_EQ(windowText(*area), "Opens a file from the disk");
    pop(open->hwnd());
    EXPECT_EQ(windowText(*area), " ");

    // No long text: the area shows a blank; the tip of 100 characters is cut to 79.
    const std::string cut = needText(big->hwnd());
    EXPECT_EQ(cut.size(), 79U);
    EXPECT_EQ(cut, std::string("0123456789012345678901234567890123456789012345678901234567890"
                               "123456789012345678"));
    EXPECT_EQ(windowText(*area), " ");
}

TEST_F(FlyOver, ATopLevelWindowsIdIsTheLibrarysTopLevelId)
{
    window->setId(20);
    // What a 32-bit window kept at offset 8 of its bytes is not where the id is read.
    handler->handleEventsFor(window.get());
    EXPECT_EQ(needText(window->hwnd()), "Top level");
    EXPECT_EQ(windowText(*area), "The top-level window");
}

TEST_F(FlyOver, TablesGiveStringsOrIdsAndTheDefaultFillsAMissingTip)
{
    handler->handleEventsFor(window.get());
    handler->setText(open.get(), IString("Table tip"), IString("Table long"));
    EXPECT_EQ(needText(open->hwnd()), "Table tip");
    EXPECT_EQ(windowText(*area), "Table long");
    EXPECT_EQ(std::string(handler->text(open.get())), "Table tip");

    handler->setText(open.get(), IResourceId(5030, IApplication::current().userResourceLibrary()),
                     IResourceId(0, IApplication::current().userResourceLibrary()));
    EXPECT_EQ(needText(open->hwnd()), "Composite");
    EXPECT_EQ(windowText(*area), " ");

    handler->removeText(open.get());
    EXPECT_EQ(toolCount(), 2);
    handler->setDefaultText("Nothing here");
    window->setId(77);
    EXPECT_EQ(needText(window->hwnd()), "Nothing here");
}

TEST_F(FlyOver, NativeChildrenOfACompositeShareItsId)
{
    ovktest::TestWindow composite(window->hwnd(), WS_VISIBLE, 30);
    const HWND part = ovktest::createNativeWindow(composite.hwnd(), WS_VISIBLE, 1);
    ovktest::Recorder query(IPrivateMessage::ownerMouseQuery);
    query.attach(composite, "composite", true).setAction([](IEvent& event) {
        event.setResult(1);
        return true;
    });
    handler->handleEventsFor(window.get());
    EXPECT_EQ(toolCount(), 5);
    // The part has no window object: the fly-over procedure answers its requests.
    EXPECT_EQ(needText(part), "Composite");
    EXPECT_EQ(windowText(*area), "A part of the composite");

    // The handler may go before the part: the part's procedure then only passes messages on.
    handler->stopHandlingEventsFor(window.get());
    handler.reset();
    SendMessageA(part, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(needText(part), "(none)");
    DestroyWindow(part);
}

TEST_F(FlyOver, WithoutAToolTipNoToolIsRegisteredAndNoTipRequestAnswered)
{
    IFlyOverHelpHandler areaOnly(area.get());
    areaOnly.setTextBaseId(kTextBase).setLongTextBaseId(kLongTextBase);
    areaOnly.handleEventsFor(window.get());
    EXPECT_EQ(toolCount(), 0);
    // A request from some tool tip is not this handler's to answer.
    needText(open->hwnd());
    EXPECT_EQ(windowText(*area), "idle");
    EXPECT_EQ(std::string(ovktest::caught([&] { areaOnly.handleEventsFor(nullptr); }).text()),
              "window != 0");
}

// The information area of a frame, as the fly-over help of the frame's windows uses it: the long
// text of the window under the pointer, a blank when it has none, and a blank again when the tip
// goes.
TEST(FlyOverInformationArea, ShowsTheLongTextABlankWithoutOneAndIsClearedOnThePop)
{
    IFrameWindow frame(IResourceId(0, IApplication::current().userResourceLibrary()), nullptr,
                       nullptr, IRectangle(40, 40, 440, 340),
                       IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "fly-over");
    IInfoArea info(90, &frame);
    info.setDefaultText("Ready");
    ovktest::TestWindow open(frame.handle(), WS_VISIBLE, 11);
    ovktest::TestWindow big(frame.handle(), WS_VISIBLE, 12);
    IFlyOverToolTip tip(&frame);
    IFlyOverHelpHandler handler(&tip, &info);
    handler.setTextBaseId(kTextBase).setLongTextBaseId(kLongTextBase);
    handler.handleEventsFor(&frame);
    EXPECT_GE(SendMessageA(tip.handle(), TTM_GETTOOLCOUNT, 0, 0), 3);
    EXPECT_EQ(windowText(info), "Ready");

    const auto request = [&](HWND tool, UINT code) {
        NMTTDISPINFOA notice{};
        notice.hdr.hwndFrom = tip.handle();
        notice.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
        notice.hdr.code = code;
        notice.uFlags = TTF_IDISHWND;
        SendMessageA(tool, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    };
    request(open.hwnd(), TTN_NEEDTEXTA);
    EXPECT_EQ(windowText(info), "Opens a file from the disk");
    request(open.hwnd(), static_cast<UINT>(TTN_POP));
    EXPECT_EQ(windowText(info), " ");
    request(open.hwnd(), TTN_NEEDTEXTA);
    request(big.hwnd(), TTN_NEEDTEXTA);
    EXPECT_EQ(windowText(info), " ");
    handler.stopHandlingEventsFor(&frame);
}

// An application with a status line and no tool tip: the pointer, moved by hand over the frame's
// windows, brings each window's long text (from the resources or from the table), and leaving
// a window clears it. The same road twice, as the user goes back and forth.
TEST(FlyOverInformationArea, WithoutATipShowsTheLongTextOfTheWindowUnderThePointer)
{
    IFrameWindow frame(IResourceId(0, IApplication::current().userResourceLibrary()), nullptr,
                       nullptr, IRectangle(40, 40, 440, 340),
                       IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "status line");
    IInfoArea info(90, &frame);
    info.setDefaultText("Ready");
    ovktest::TestWindow open(frame.handle(), WS_VISIBLE, 11);
    ovktest::TestWindow big(frame.handle(), WS_VISIBLE, 12);
    SetWindowPos(open.hwnd(), nullptr, 10, 10, 120, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(big.hwnd(), nullptr, 10, 70, 120, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    frame.show();
    SetForegroundWindow(frame.handle());
    IFlyOverHelpHandler handler(&info);
    handler.setTextBaseId(kTextBase).setLongTextBaseId(kLongTextBase);
    handler.setText(&big, IString("Big"), IString("Makes the view big"));
    handler.handleEventsFor(&frame);
    ovktest::pumpPending();

    const auto shows = [&](const char* text) {
        return ovktest::pumpUntil([&] { return windowText(info) == text; });
    };
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        ovktest::pointByHand(ovktest::onScreen(open.hwnd(), 30, 20));
        EXPECT_TRUE(shows("Opens a file from the disk")) << windowText(info);
        ovktest::pointByHand(ovktest::onScreen(open.hwnd(), 32, 21));
        ovktest::pointByHand(ovktest::onScreen(big.hwnd(), 30, 20));
        EXPECT_TRUE(shows("Makes the view big")) << windowText(info);
        ovktest::pointByHand(POINT{700, 580});
        EXPECT_TRUE(shows(" ")) << windowText(info);
    }
    handler.stopHandlingEventsFor(&frame);
}

} // namespace
