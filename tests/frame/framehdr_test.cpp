// The frame handler: the layout pass, the frame queries, context help requests, the close
// protocol, command routing and the caption drawn in the frame's font.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <iframe.hpp>
#include <iframhdr.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <isysmenu.hpp>

#include "frametest.hpp"
#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::self;
using frametest::Later;

std::unique_ptr<IFrameWindow> makeFrame(const IFrameWindow::Style& style = IFrameWindow::_titleBar |
                                                                         IFrameWindow::_systemMenu |
                                                                         IFrameWindow::_sizingBorder)
{
    return std::make_unique<IFrameWindow>(IResourceId(kFrameNoResources, self()), nullptr, nullptr,
                                          IRectangle(10, 10, 410, 310), style, "frame");
}

RECT placeIn(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void resize(IFrameWindow& frame, int width, int height)
{
    SetWindowPos(frame.handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

// Hears the frame's close notifications (the frame tells others as well).
class CloseObserver : public ovktest::NotificationLog {
public:
    CloseObserver() { keepOnly(IFrameWindow::closeId); }
};

// ---------------------------------------------------------------------------------------------
// Layout

TEST(FrameLayout, TheClientGetsWhatTheExtensionsLeaveInOnePass)
{
    auto frame = makeFrame();
    ovktest::TestWindow client(frame->handle(), WS_CHILD | WS_VISIBLE);
    ovktest::TestWindow top(frame->handle(), WS_CHILD | WS_VISIBLE, 11);
    ovktest::TestWindow left(frame->handle(), WS_CHILD | WS_VISIBLE, 12);
    frame->setClient(&client);
    frame->addExtension(&top, IFrameWindow::aboveClient, 30UL, IFrameWindow::thinSeparator);
    frame->addExtension(&left, IFrameWindow::leftOfClient, 50UL, IFrameWindow::thickSeparator);
    resize(*frame, 500, 400);

    RECT area{};
    GetClientRect(frame->handle(), &area);
    const RECT t = placeIn(top.hwnd()), l = placeIn(left.hwnd()), c = placeIn(client.hwnd());
    // Above: full width, 30 high, then 1 pixel of separator.
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.right, area.right);
    EXPECT_EQ(t.bottom, 30);
    // Left of what remains: 50 wide, then 3 pixels of separator.
    EXPECT_EQ(l.top, 31);
    EXPECT_EQ(l.right - l.left, 50);
    EXPECT_EQ(l.bottom, area.bottom);
    EXPECT_EQ(c.left, 53);
    EXPECT_EQ(c.top, 31);
    EXPECT_EQ(c.right, area.right);
    EXPECT_EQ(c.bottom, area.bottom);
    // The client rectangle the frame computes agrees with the pass.
    const IRectangle computed = frame->clientRectFor(frame->rect());
    EXPECT_EQ(computed.width(), c.right - c.left);
    EXPECT_EQ(computed.height(), c.bottom - c.top);
}

TEST(FrameLayout, AFrameWithNeitherExtensionsNorClientLaysOut)
{
    auto frame = makeFrame();
    EXPECT_EQ(SendMessageA(frame->handle(), IPrivateMessage::frameFirst, 0, 0), 0);
    EXPECT_NO_THROW(resize(*frame, 300, 200));
    EXPECT_NO_THROW(frame->sendEvent(IPrivateMessage::frameLayout));
    EXPECT_NO_THROW(ovktest::pumpPending());
}

TEST(FrameLayout, SeparatorsArePaintedAfterTheFrame)
{
    auto frame = makeFrame();
    ovktest::TestWindow bottom(frame->handle(), WS_CHILD | WS_VISIBLE, 11);
    frame->addExtension(&bottom, IFrameWindow::belowClient, 20UL, IFrameWindow::thinSeparator);
    // The frame's background must differ from the line, or a missing line would pass. Every
    // frame has a class of its own, so its brush changes nothing else.
    const COLORREF background = RGB(0, 160, 0);
    ASSERT_NE(background, GetSysColor(COLOR_BTNSHADOW));
    const ovk_native::Brush brush(CreateSolidBrush(background));
    SetClassLongPtrA(frame->handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush.get()));
    frame->show();
    resize(*frame, 320, 240);
    RedrawWindow(frame->handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT b = placeIn(bottom.hwnd());
    COLORREF line = 0, above = 0;
    {
        const ovktest::PixelReader pixels(frame->handle());
        line = pixels.at(10, b.top - 1);
        above = pixels.at(10, b.top - 2);
    }
    EXPECT_EQ(above, background);
    EXPECT_EQ(line, GetSysColor(COLOR_BTNSHADOW));
    frame.reset();
}

// A frame without a caption has no title to draw: with a font stored its frame still paints,
// and no error reaches the message loop.
TEST(FrameCaption, AFrameWithoutACaptionPaintsItsFrameWithAFontStored)
{
    auto frame = makeFrame(IFrameWindow::_sizingBorder);
    const HWND handle = frame->handle();
    ASSERT_NE(GetWindowLongPtrA(handle, GWL_STYLE) & WS_CAPTION, LONG_PTR(WS_CAPTION));
    const ovk_native::Font font(CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                            NONANTIALIASED_QUALITY, 0, "Tahoma"));
    SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ShowWindow(handle, SW_SHOWNA);
    EXPECT_NO_THROW(frame->sendEvent(WM_NCACTIVATE, 1));
    EXPECT_NO_THROW(frame->sendEvent(WM_NCPAINT, 1));
    RedrawWindow(handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NO_THROW(ovktest::pumpPending());
    frame.reset();
}

// ---------------------------------------------------------------------------------------------
// Queries

TEST(FrameQueries, TheFrameAnswersForItselfAndLeavesTheRestToTheCore)
{
    auto frame = makeFrame();
    ovktest::TestWindow extension(frame->handle(), WS_CHILD, 11);
    frame->addExtension(&extension, IFrameWindow::aboveClient, 10UL);
    const HWND own = frame->handle();
    const HWND other = extension.hwnd();
    struct Case {
        WPARAM code;
        LPARAM argument;
        LRESULT expected;
    } cases[] = {
        {IPrivateMessage::queryHandle, 0, reinterpret_cast<LRESULT>(own)},
        {IPrivateMessage::queryFrame, 0, reinterpret_cast<LRESULT>(own)},
        {IPrivateMessage::queryIsWindow, reinterpret_cast<LPARAM>(own), 1},
        {IPrivateMessage::queryIsWindow, reinterpret_cast<LPARAM>(other), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(own, IPrivateMessage::windowQuery, c.code, c.argument), c.expected)
            << "code " << c.code;
    // A child asking for its frame climbs to it.
    EXPECT_EQ(SendMessageA(other, IPrivateMessage::windowQuery, IPrivateMessage::queryFrame, 0),
              reinterpret_cast<LRESULT>(own));
    EXPECT_EQ(SendMessageA(own, IPrivateMessage::frameFirst, 0, 0), 1);
}

TEST(FrameQueries, HelpForTheEditOfAComboBoxNamesTheComboBox)
{
    auto frame = makeFrame();
    const HWND combo = CreateWindowExA(0, "ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 100, 100,
                                       frame->handle(), reinterpret_cast<HMENU>(77), nullptr, nullptr);
    const HWND edit = GetWindow(combo, GW_CHILD);
    ASSERT_TRUE(edit);
    ovktest::Recorder helps(WM_HELP);
    HELPINFO seen{};
    helps.attach(*frame, "help").setAction([&](IEvent& event) {
        seen = *static_cast<const HELPINFO*>(event.parameter2().asPointer());
        return true;
    });
    SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0, reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(helps.trace(), "help");
    EXPECT_EQ(seen.cbSize, sizeof(HELPINFO));
    EXPECT_EQ(seen.iContextType, HELPINFO_WINDOW);
    EXPECT_EQ(seen.hItemHandle, combo);
    EXPECT_EQ(seen.iCtrlId, 77);
    // A control id in the request wins over the window's.
    SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 5, reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(seen.iCtrlId, 5);
    DestroyWindow(combo);
}

// A control that keeps WM_HELP to itself, as the older platform's controls do.
LRESULT CALLBACK silentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_HELP ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

// On the older platform the help request climbs from a control that does not pass WM_HELP up
// to the windows above it; elsewhere the controls pass it up themselves.
TEST(FrameQueries, OnTheOlderPlatformHelpClimbsFromASilentControl)
{
    ovktest::registerClass("OvkSilentHelp", silentProcedure);
    auto frame = makeFrame();
    const HWND silent = CreateWindowExA(0, "OvkSilentHelp", "", WS_CHILD, 0, 0, 10, 10,
                                        frame->handle(), reinterpret_cast<HMENU>(31), nullptr,
                                        nullptr);
    ovktest::Recorder helps(WM_HELP);
    helps.attach(*frame, "frame").setAction([](IEvent& event) {
        event.setResult(1);
        return true;
    });
    for (bool variant : {false, true}) {
        SCOPED_TRACE(variant ? "older platform" : "newer platforms");
        IPlatform::Override older(IPlatform::platformVariant, variant);
        helps.clear();
        SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0,
                     reinterpret_cast<LPARAM>(silent));
        EXPECT_EQ(helps.trace(), variant ? "frame" : "");
    }
    DestroyWindow(silent);
    UnregisterClassA("OvkSilentHelp", GetModuleHandleA(nullptr));
}

// ---------------------------------------------------------------------------------------------
// Closing

TEST(FrameClosing, ADisabledCloseItemKeepsTheFrameOpen)
{
    auto frame = makeFrame();
    frame->setDestroyOnClose();
    CloseObserver observer;
    observer.handleNotificationsFor(*frame);
    frame->enableNotification();
    ISystemMenu(frame.get()).disableItem(ISystemMenu::idClose);
    SendMessageA(frame->handle(), WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    ovktest::pumpPending();
    EXPECT_TRUE(IsWindow(frame->handle()));
    EXPECT_TRUE(observer.ids().empty());

    ISystemMenu(frame.get()).enableItem(ISystemMenu::idClose);
    const HWND handle = frame->handle();
    frame->setDeleteOnDestroy(false);
    SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(observer.ids(), std::vector<std::string>{"IFrameWindow::close"});
    // The frame destroys itself from its own queue, and its class goes with it.
    char name[64] = {};
    GetClassNameA(handle, name, sizeof name);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !IsWindow(handle); }));
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), name, &info));
}

// Each close request is posted before the modal loop runs, so the loop itself delivers it.
class FrameModalClose : public ::testing::TestWithParam<std::pair<UINT, WPARAM>> {};

TEST_P(FrameModalClose, EndsTheModalLoopWithResult2)
{
    auto owner = makeFrame();
    auto frame = std::make_unique<IFrameWindow>(IResourceId(kFrameNoResources, self()), nullptr,
                                                owner.get(), IRectangle(20, 20, 220, 220),
                                                IFrameWindow::_titleBar | IFrameWindow::_systemMenu,
                                                "modal");
    ovktest::TestWindow client(frame->handle(), WS_CHILD);
    frame->setClient(&client);
    Later later;
    PostMessageA(frame->handle(), GetParam().first, GetParam().second, 0);
    EXPECT_EQ(frame->showModally(), 2u);
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_TRUE(IsWindow(frame->handle()));
    // The client hears of the close and stays, so that the frame can be shown again.
    EXPECT_TRUE(IsWindow(client.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(owner->handle()));
}

INSTANTIATE_TEST_SUITE_P(Requests, FrameModalClose,
                         ::testing::Values(std::make_pair(UINT(WM_CLOSE), WPARAM(0)),
                                           std::make_pair(UINT(WM_SYSCOMMAND), WPARAM(SC_CLOSE))));

TEST(FrameClosing, ADestroyedFrameClosesOnceAndDropsItsMenuBarProperty)
{
    // The property goes at destruction on the classic road; the newer one leaves it to the
    // system.
    IPlatform::Override classic(IPlatform::newShell, false);
    auto frame = makeFrame();
    frame->setDestroyOnDelete(false);
    CloseObserver observer;
    observer.handleNotificationsFor(*frame);
    frame->enableNotification();
    // Children are destroyed after their parent has seen WM_DESTROY.
    ovktest::TestWindow child(frame->handle(), WS_CHILD, 11);
    ovktest::Recorder destroys(WM_DESTROY);
    const HWND handle = frame->handle();
    HANDLE propertyAtChildDestroy = reinterpret_cast<HANDLE>(1);
    destroys.attach(child, "child").setAction([&](IEvent&) {
        propertyAtChildDestroy = GetPropA(handle, "OVK_MENUBAR_OBJECT");
        return false;
    });
    ASSERT_TRUE(GetPropA(handle, "OVK_MENUBAR_OBJECT"));
    DestroyWindow(handle);
    ovktest::pumpPending();
    EXPECT_EQ(observer.ids(), std::vector<std::string>{"IFrameWindow::close"});
    EXPECT_EQ(propertyAtChildDestroy, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Commands and painting

TEST(FrameCommands, CommandsGoOnToTheClientMarkedAsFromTheFrame)
{
    auto frame = makeFrame();
    ovktest::TestWindow client(frame->handle(), WS_CHILD);
    frame->setClient(&client);
    ovktest::Recorder commands(WM_COMMAND);
    WPARAM seen = 0;
    commands.attach(client, "client").setAction([&](IEvent& event) {
        seen = static_cast<WPARAM>(event.parameter1().asUnsignedLong());
        event.setResult(9);
        return true;
    });
    EXPECT_EQ(SendMessageA(frame->handle(), WM_COMMAND, 42, 0), 9);
    EXPECT_EQ(seen, WPARAM(0x8000002A));
}

TEST(FrameCaption, TheCaptionIsDrawnInTheFramesFontOverAnEmptyText)
{
    auto frame = makeFrame();
    const HWND handle = frame->handle();
    const ovk_native::Font font(CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                            NONANTIALIASED_QUALITY, 0, "Tahoma"));
    SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0)), font.get());

    // While the system draws the caption the frame has no text; a buffer of no size is left
    // as it is.
    frame->setFrameFlags(0x1000, 0);
    char buffer[8] = "XXXXXXX";
    EXPECT_EQ(SendMessageA(handle, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'X');
    EXPECT_EQ(SendMessageA(handle, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');
    frame->setFrameFlags(0, 0x1000);
    EXPECT_EQ(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0), 5);

    // The text is drawn into the caption in the caption's text colour, left-aligned on the
    // newer shell and centred on the classic one. The system draws the same colour, so where
    // the text lies tells the library's drawing from the system's: the system's own text would
    // show at the left on either road.
    ShowWindow(handle, SW_SHOWNA);
    RECT window{};
    GetWindowRect(handle, &window);
    const int width = window.right - window.left;
    const int captionBottom = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    auto textPixels = [&](int from, int to) {
        const ovktest::PixelReader pixels(handle, ovktest::PixelReader::whole);
        return pixels.count(GetSysColor(COLOR_CAPTIONTEXT), RECT{from, 0, to, captionBottom});
    };
    for (bool newShell : {true, false}) {
        SCOPED_TRACE(newShell ? "newer shell" : "classic");
        IPlatform::Override shell(IPlatform::newShell, newShell);
        IPlatform::Override consumer(IPlatform::consumerNewShell, false);
        SendMessageA(handle, WM_NCACTIVATE, TRUE, 0);
        const int left = textPixels(0, width / 3);
        const int middle = textPixels(width * 2 / 5, width * 3 / 5);
        if (newShell) {
            EXPECT_GT(left, 5);
            EXPECT_EQ(middle, 0);
        } else {
            EXPECT_EQ(left, 0);
            EXPECT_GT(middle, 5);
        }
    }
    frame.reset();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The smaller messages

// A client covers the whole frame: the frame's background is left unerased under it, and a
// change of the system colours reaches every child, the client and the extensions alike.
TEST(FrameMessages, TheClientSavesTheEraseAndColourChangesReachTheChildren)
{
    auto frame = makeFrame();
    ovktest::TestWindow client(frame->handle(), WS_CHILD | WS_VISIBLE);
    ovktest::TestWindow extension(frame->handle(), WS_CHILD | WS_VISIBLE, 11);
    frame->addExtension(&extension, IFrameWindow::aboveClient, 10UL);
    frame->setClient(&client);

    const ovk_native::WindowDC screen(nullptr);
    const ovk_native::MemoryDC memory(screen.get());
    const ovk_native::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 8, 8));
    const ovk_native::Selection selected(memory.get(), bitmap.get());
    SetPixel(memory.get(), 2, 2, RGB(1, 2, 3));
    EXPECT_EQ(SendMessageA(frame->handle(), WM_ERASEBKGND,
                           reinterpret_cast<WPARAM>(memory.get()), 0),
              1);
    EXPECT_EQ(GetPixel(memory.get(), 2, 2), RGB(1, 2, 3));

    ovktest::Recorder colours(WM_SYSCOLORCHANGE);
    colours.attach(client, "client");
    colours.attach(extension, "extension");
    SendMessageA(frame->handle(), WM_SYSCOLORCHANGE, 0, 0);
    const std::string heard = colours.trace();
    EXPECT_NE(heard.find("client"), std::string::npos) << heard;
    EXPECT_NE(heard.find("extension"), std::string::npos) << heard;
}
