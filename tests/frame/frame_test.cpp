// Frame windows: classes and cascade, creation by style and from templates, modal loops,
// extensions, the system menu, keys, and what the window core asks of frames.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <ovkmsgid.hpp>

#include <detail/iwincore.hpp>
#include <icvhdr.hpp>
#include <iframe.hpp>
#include <iframext.hpp>
#include <ihelpsta.hpp>
#include <imenubar.hpp>
#include <iprivmsg.hpp>
#include <ipushbut.hpp>
#include <icoordsy.hpp>
#include <iplatfrm.hpp>
#include <irecohdr.hpp>
#include <isysmenu.hpp>

#include "frametest.hpp"
#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::self;
using frametest::className;
using frametest::Later;
using frametest::windowText;

IResourceId resource(unsigned long id)
{
    return IResourceId(id, self());
}

// A hidden top-level frame with a title bar and nothing else asked of resources.
std::unique_ptr<IFrameWindow> plainFrame(IWindow* owner = nullptr,
                                         const IFrameWindow::Style& style = IFrameWindow::_titleBar |
                                                                            IFrameWindow::_systemMenu)
{
    return std::make_unique<IFrameWindow>(resource(kFrameNoResources), nullptr, owner,
                                          IRectangle(10, 10, 310, 210), style, "plain");
}

// -----------------------------------------------------------------------------------------------
// Classes and cascade, in a process of their own: the class counter and the cascade position
// are process-wide, so their first values show only in a fresh process.

constexpr char kFreshVariable[] = "OVK_FRAME_FRESH_PROCESS";

TEST(FrameFreshProcess, ClassesCountFromZeroSkippingTakenNamesAndFramesCascade)
{
    if (!std::getenv(kFreshVariable)) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string command = std::string("\"") + path + "\" --gtest_filter=" +
                              "FrameFreshProcess.ClassesCountFromZeroSkippingTakenNamesAndFramesCascade";
        SetEnvironmentVariableA(kFreshVariable, "1");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, &process);
        SetEnvironmentVariableA(kFreshVariable, nullptr);
        ASSERT_TRUE(started);
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, 0u) << "the checks in the fresh process failed (see its output)";
        return;
    }
    auto first = plainFrame();
    auto second = plainFrame();
    EXPECT_EQ(className(first->handle()), "OVK Frame0");
    EXPECT_EQ(className(second->handle()), "OVK Frame1");
    // Another module holds the next name: the frame takes the one after it.
    ASSERT_TRUE(ovktest::registerClass("OVK Frame2"));
    auto third = plainFrame();
    EXPECT_EQ(className(third->handle()), "OVK Frame3");

    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_GE(desktop.right, 375) << "the desktop is too small for five cascade steps";
    IRectangle fifth;
    for (int step = 1; step <= 5; ++step)
        fifth = IFrameWindow::nextCascadeRect();
    EXPECT_EQ(fifth.minX(), 125);
    EXPECT_EQ(fifth.minY(), 125);
    EXPECT_EQ(fifth.width(), (desktop.right - desktop.left) * 2 / 3);
}

// A frame's class goes with its window.
TEST(FrameClass, IsUnregisteredWithTheWindow)
{
    auto frame = plainFrame();
    const std::string name = className(frame->handle());
    frame.reset();
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &info));
}

// -----------------------------------------------------------------------------------------------
// Creation by style

TEST(FrameCreation, TheStyleLoadsTheMenuAcceleratorsIconAndTitleWithTheFramesId)
{
    const IFrameWindow::Style style = IFrameWindow::_classDefaultStyle | IFrameWindow::_menuBar |
                                      IFrameWindow::_accelerator | IFrameWindow::_classIcon;
    IFrameWindow frame(resource(kFrameFull), style);
    const HWND handle = frame.handle();
    EXPECT_EQ(windowText(handle), "Frame from resources");
    EXPECT_EQ(frame.id(), static_cast<unsigned long>(kFrameFull));
    EXPECT_EQ(IWindowCore::windowId(handle), static_cast<unsigned long>(kFrameFull));
    ASSERT_TRUE(GetMenu(handle));
    EXPECT_EQ(frametest::describeMenu(GetMenu(handle)), "&File[&Open|&Recent[First]]|&Help");
    EXPECT_TRUE(frame.acceleratorHandle().isValid());
    EXPECT_TRUE(frame.icon().isValid());
    EXPECT_EQ(GetPropA(handle, "OVK_MENUBAR_OBJECT"), static_cast<void*>(&frame));
    EXPECT_TRUE(frame.isFrameWindow());
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_EQ(GetWindowLongPtrA(handle, GWL_STYLE) & WS_CHILD, 0);
    // The extended-word bits that are extended window styles reach the window.
    EXPECT_NE(GetWindowLongPtrA(handle, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

// The classic menu calls hold no sub-menu identifiers; the frame keeps those of its menu bar,
// and the menu operations find sub-menus by them.
TEST(FrameCreation, TheClassicMenuRoadFindsSubmenusThroughTheFramesLists)
{
    frametest::MenuRoad classic(false);
    IFrameWindow frame(resource(kFrameFull), IFrameWindow::_classDefaultStyle | IFrameWindow::_menuBar);
    IMenuBar bar(&frame, IMenuBar::_wrapper);
    EXPECT_EQ(bar.numberOfItems(kFullRecentPopup), 1u);
    EXPECT_EQ(bar.numberOfItems(kFullFilePopup), 2u);
    bar.addText(kFullFirst + 100, "Second", kFullRecentPopup);
    bar.checkItem(kFullFirst);
    EXPECT_EQ(frametest::describeMenu(GetSubMenu(GetMenu(frame.handle()), 0)),
              "&Open|&Recent[First(c)|Second]");
    bar.setItemData(kFullOpen, 99);
    EXPECT_EQ(IHelpStatics::itemValue(frame.menuLists(), kFullOpen), 99u);
}

TEST(FrameCreation, ATitleBarWithoutATitleOrStringTakesTheOwnersFrameTitle)
{
    auto owner = plainFrame();
    IFrameWindow frame(resource(kFrameNoResources), nullptr, owner.get(), IRectangle(0, 0, 100, 100),
                       IFrameWindow::_titleBar);
    EXPECT_EQ(windowText(frame.handle()), "plain");
    EXPECT_EQ(GetWindow(frame.handle(), GW_OWNER), static_cast<HWND>(owner->handle()));
}

TEST(FrameCreation, TheSystemMenuOffersOnlyWhatTheStyleAllows)
{
    auto frame = plainFrame();
    const HMENU native = GetSystemMenu(frame->handle(), FALSE);
    const int items = GetMenuItemCount(native);
    {
        ISystemMenu menu(frame.get());
        EXPECT_FALSE(menu.isItemEnabled(ISystemMenu::idMinimize));
        EXPECT_FALSE(menu.isItemEnabled(ISystemMenu::idMaximize));
        EXPECT_TRUE(menu.isItemEnabled(ISystemMenu::idClose));
        menu.disableItem(ISystemMenu::idClose);
    }
    // The object let go; the frame's system menu is as the object left it.
    EXPECT_EQ(GetMenuItemCount(native), items);
    EXPECT_TRUE(GetMenuState(native, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);

    auto bare = plainFrame(nullptr, IFrameWindow::Style(WS_POPUP, 0));
    EXPECT_EQ(ovktest::caught([&] { ISystemMenu menu(bare.get()); }).errorId(),
              OVK_MSG_NO_SYSTEM_MENU);
    EXPECT_THROW(ISystemMenu(nullptr), IInvalidParameter);
}

// -----------------------------------------------------------------------------------------------
// Frames from dialog templates

TEST(FrameTemplate, LoadsWithItsControlsAndKeepsItsProcedureThroughSetId)
{
    IFrameWindow frame(resource(kFrameDialog), nullptr, IFrameWindow::dialogResource);
    const HWND handle = frame.handle();
    EXPECT_EQ(className(handle), "#32770");
    EXPECT_TRUE(frame.isFrameWindow());
    for (int id : {kDialogEdit, kDialogCombo, kDialogCheck, IDOK, kDialogApply})
        EXPECT_TRUE(GetDlgItem(handle, id)) << id;
    EXPECT_EQ(frame.id(), static_cast<unsigned long>(kFrameDialog));
    EXPECT_TRUE(frame.hasDialogBackground());

    const LONG_PTR procedure = GetWindowLongPtrA(handle, DWLP_DLGPROC);
    frame.setId(4711);
    EXPECT_EQ(frame.id(), 4711u);
    EXPECT_EQ(GetWindowLongPtrA(handle, DWLP_DLGPROC), procedure);

    // A push button without a window object clicks as a command of the frame, code 2.
    ovktest::Recorder commands(WM_COMMAND);
    std::string seen;
    commands.attach(frame, "command").setAction([&](IEvent& event) {
        seen = std::to_string(event.parameter1().lowNumber()) + "/" +
               std::to_string(event.parameter1().highNumber());
        return seen == std::to_string(kDialogApply) + "/2";
    });
    SendMessageA(GetDlgItem(handle, kDialogApply), BM_CLICK, 0, 0);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return seen == std::to_string(kDialogApply) + "/2"; }));
}

// The first layout gives the template's edit field and buttons the library's control procedure,
// so that Esc in them cancels the frame; a control that has a window object keeps its own.
TEST(FrameTemplate, TheFirstLayoutSubclassesTheTemplatesControls)
{
    IFrameWindow frame(resource(kFrameDialog), nullptr, IFrameWindow::dialogResource);
    const HWND handle = frame.handle();
    const HWND edit = GetDlgItem(handle, kDialogEdit);
    const HWND check = GetDlgItem(handle, kDialogCheck);
    IWindow wrapped{IWindowHandle(check)};
    const LONG_PTR wrappedProcedure = GetWindowLongPtrA(check, GWLP_WNDPROC);
    const auto control = reinterpret_cast<LONG_PTR>(&IWindowCore::pfnwpOVKControlProc);
    EXPECT_NE(GetWindowLongPtrA(edit, GWLP_WNDPROC), control);
    frame.show();
    for (int id : {kDialogEdit, IDOK, kDialogApply})
        EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(handle, id), GWLP_WNDPROC), control) << id;
    EXPECT_EQ(GetWindowLongPtrA(check, GWLP_WNDPROC), wrappedProcedure);

    ovktest::Recorder commands(WM_COMMAND);
    commands.attach(frame, "command").setAction(
        [](IEvent& event) { return event.parameter1().lowNumber() == IDCANCEL; });
    ovktest::send(edit, WM_CHAR, VK_ESCAPE, 1);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return commands.trace() == "command"; }));
    // A second layout leaves the controls as they are.
    frame.sendEvent(IPrivateMessage::frameLayout);
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), control);
}

TEST(FrameTemplate, AMissingTemplateFallsBackOnlyWhenTheSourceAllows)
{
    IFrameWindow fallback(resource(kMissingDialog), nullptr, IFrameWindow::tryDialogResource);
    EXPECT_EQ(className(fallback.handle()).rfind("OVK Frame", 0), 0u);
    IFrameWindow plain(resource(kFrameDialog), nullptr, IFrameWindow::noDialogResource);
    EXPECT_EQ(className(plain.handle()).rfind("OVK Frame", 0), 0u);

    const IException missing = ovktest::caught([] {
        IFrameWindow frame(resource(kMissingDialog), nullptr, IFrameWindow::dialogResource);
    });
    EXPECT_NE(std::string(missing.what()).find("ILOADDLG"), std::string::npos) << missing.what();
    const IException source = ovktest::caught([] {
        IFrameWindow frame(resource(kFrameDialog), nullptr,
                           static_cast<IFrameWindow::FrameSource>(3));
    });
    EXPECT_EQ(source.errorId(), OVK_MSG_INVALID_VALUE);
}

// A template that exists but cannot be made falls back to a frame only where the platform
// answers that any failure may (query 1); elsewhere it is an error.
TEST(FrameTemplate, ABrokenTemplateFallsBackOnlyOnTheConsumerShell)
{
    for (bool consumer : {false, true}) {
        SCOPED_TRACE(consumer ? "consumer shell" : "other platforms");
        IPlatform::Override shell(IPlatform::consumerNewShell, consumer);
        if (consumer) {
            IFrameWindow frame(resource(kBrokenDialog), nullptr, IFrameWindow::tryDialogResource);
            EXPECT_EQ(className(frame.handle()).rfind("OVK Frame", 0), 0u);
        } else {
            const IException broken = ovktest::caught([] {
                IFrameWindow frame(resource(kBrokenDialog), nullptr, IFrameWindow::tryDialogResource);
            });
            EXPECT_NE(std::string(broken.what()).find("ILOADDLG"), std::string::npos)
                << broken.what();
        }
    }
}

// A window inside a frame that paints the dialog background takes that background too.
TEST(FrameTemplate, WindowsInsideTakeTheDialogBackground)
{
    IFrameWindow frame(resource(kFrameDialog), nullptr, IFrameWindow::dialogResource);
    ovktest::Recorder queries(IPrivateMessage::windowQuery);
    queries.attach(frame, "query").setAction([&](IEvent& event) {
        if (event.parameter1().lowNumber() != IPrivateMessage::queryFrame)
            return false;
        event.setResult(IEventData(static_cast<void*>(frame.handle())));
        return true;
    });
    ovktest::TestWindow child(frame.handle(), WS_CHILD, 6);
    EXPECT_EQ(child.backgroundColor().asRGBLong(),
              IGUIColor(static_cast<IColor::SystemColor>(0x13)).asRGBLong());
    auto plain = plainFrame();
    EXPECT_FALSE(plain->hasDialogBackground());
}

// -----------------------------------------------------------------------------------------------
// Modal loops

TEST(FrameModal, DismissEndsTheLoopWithTheResultAndTheOwnerIsDisabledMeanwhile)
{
    auto owner = plainFrame();
    auto frame = plainFrame(owner.get());
    bool ownerEnabledInLoop = true;
    Later later;
    later.after(50, [&] {
        ownerEnabledInLoop = IsWindowEnabled(owner->handle()) != 0;
        EXPECT_TRUE(frame->isModal());
        EXPECT_TRUE(IsWindowVisible(frame->handle()));
        frame->dismiss(7);
    });
    EXPECT_EQ(frame->showModally(), 7u);
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_FALSE(ownerEnabledInLoop);
    EXPECT_TRUE(IsWindowEnabled(owner->handle()));
    EXPECT_FALSE(frame->isModal());
    EXPECT_FALSE(IsWindowVisible(frame->handle()));
}

TEST(FrameModal, ASecondDismissLeavesNoStopForTheNextLoop)
{
    auto frame = plainFrame();
    Later later;
    // OK and the close path may both dismiss the same loop; the last result counts.
    later.after(50, [&] {
        frame->dismiss(3);
        frame->dismiss(4);
    });
    EXPECT_EQ(frame->showModally(), 4u);
    // The next loop at the same level runs until its own dismiss.
    bool ranInSecondLoop = false;
    later.after(100, [&] {
        ranInSecondLoop = frame->isModal();
        frame->dismiss(9);
    });
    EXPECT_EQ(frame->showModally(), 9u);
    EXPECT_TRUE(ranInSecondLoop);
    EXPECT_FALSE(later.watchdogFired());
}

// A stop the queue refused was never posted: the dismiss reports the failure, and the next
// dismiss posts the stop and ends the loop.
TEST(FrameModal, ADismissWhosePostIsRefusedLeavesTheLoopToTheNextDismiss)
{
    auto frame = plainFrame();
    unsigned long refusedError = 0;
    int refusedPosts = 0;
    Later later;
    later.after(50, [&] {
        frametest::RefusedThreadPosts refusing(IPrivateMessage::stopLoop);
        ASSERT_TRUE(refusing.armed());
        try {
            frame->dismiss(3);
        } catch (const IException& failure) {
            refusedError = failure.errorId();
        }
        refusedPosts = refusing.refused();
    });
    later.after(150, [&] { frame->dismiss(4); });
    EXPECT_EQ(frame->showModally(), 4u);
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_EQ(refusedPosts, 1);
    EXPECT_EQ(refusedError, static_cast<unsigned long>(ERROR_NOT_ENOUGH_QUOTA));
}

TEST(FrameModal, WithoutAnOwnerNothingIsDisabledAndANonModalDismissOnlyHides)
{
    auto bystander = plainFrame();
    auto frame = plainFrame();
    bool bystanderEnabled = false;
    Later later;
    later.after(50, [&] {
        bystanderEnabled = IsWindowEnabled(bystander->handle()) != 0;
        frame->dismiss(3);
    });
    EXPECT_EQ(frame->showModally(), 3u);
    EXPECT_TRUE(bystanderEnabled);

    frame->show();
    frame->dismiss(5);
    EXPECT_FALSE(IsWindowVisible(frame->handle()));
    EXPECT_TRUE(frame->isValid());
    EXPECT_EQ(frame->result(), 5u);
}

// No main loop runs here: each modal frame must end its own loop, whichever is dismissed first.
class FrameModalNesting : public testing::TestWithParam<bool> {};

TEST_P(FrameModalNesting, EachFrameEndsOnlyItsOwnLoop)
{
    const bool outerFirst = GetParam();
    auto outer = plainFrame();
    auto inner = plainFrame(outer.get());
    std::string order;
    unsigned long innerResult = 0;
    Later later;
    later.after(30, [&] {
        later.after(30, [&] {
            EXPECT_EQ(inner->modalLevel(), outer->modalLevel() + 1);
            if (outerFirst) {
                outer->dismiss(1);
                // The outer loop cannot end while the inner one runs.
                later.after(50, [&] { inner->dismiss(2); });
            } else {
                inner->dismiss(2);
                later.after(50, [&] { outer->dismiss(1); });
            }
        });
        innerResult = inner->showModally();
        order += "inner ";
    });
    const unsigned long outerResult = outer->showModally();
    order += "outer";
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_EQ(order, "inner outer");
    EXPECT_EQ(innerResult, 2u);
    EXPECT_EQ(outerResult, 1u);
}

INSTANTIATE_TEST_SUITE_P(Order, FrameModalNesting, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "OuterDismissedFirst" : "InnerDismissedFirst";
                         });

// -----------------------------------------------------------------------------------------------
// Extensions

struct SizeCase {
    const char* name;
    IFrameWindow::Location location;
    double fraction;  // 0: the pixels below
    unsigned long pixels;
    ISize available;
    ISize expected;
};

class FrameExtensionSize : public testing::TestWithParam<SizeCase> {};

TEST_P(FrameExtensionSize, WithinTheAvailableArea)
{
    const SizeCase& c = GetParam();
    const IFrameExtension record =
        c.fraction > 0 ? IFrameExtension(nullptr, c.location, c.fraction, IFrameWindow::none)
                       : IFrameExtension(nullptr, c.location, c.pixels, IFrameWindow::none);
    const ISize size = record.sizeWithin(c.available);
    EXPECT_EQ(size.width(), c.expected.width());
    EXPECT_EQ(size.height(), c.expected.height());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FrameExtensionSize,
    testing::Values(
        SizeCase{"QuarterOf400", IFrameWindow::leftOfClient, 0.25, 0, ISize(400, 50), ISize(100, 50)},
        SizeCase{"FractionIsTruncated", IFrameWindow::rightOfClient, 0.3, 0, ISize(99, 50), ISize(29, 50)},
        SizeCase{"PixelsCutToTheArea", IFrameWindow::leftOfControl, 0, 500, ISize(200, 80), ISize(200, 80)},
        SizeCase{"BelowSizesTheHeight", IFrameWindow::belowClient, 0, 30, ISize(200, 80), ISize(200, 30)}),
    [](const testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

TEST(FrameExtension, GrowingAndShrinkingByAFractionKeepsItsShare)
{
    for (IFrameWindow::Location location : {IFrameWindow::leftOfClient, IFrameWindow::rightOfClient}) {
        const IFrameExtension record(nullptr, location, 0.25, IFrameWindow::thinSeparator);
        const IRectangle grown = record.growRect(IRectangle(50, 0, 350, 100));
        EXPECT_EQ(grown.width(), 401) << location;
        EXPECT_EQ(location == IFrameWindow::leftOfClient ? grown.maxX() : grown.minX(),
                  location == IFrameWindow::leftOfClient ? 350 : 50);
        EXPECT_EQ(record.shrinkRect(IRectangle(0, 0, 400, 100)).width(), 299);
    }
    // Extensions beside frame controls other than the client leave the rectangle alone.
    const IFrameExtension control(nullptr, IFrameWindow::leftOfControl, 0.25, IFrameWindow::none);
    EXPECT_EQ(control.growRect(IRectangle(0, 0, 300, 100)).width(), 300);
}

TEST(FrameExtension, AThickSeparatorCostsThreePixelsOfTheReference)
{
    IFrameExtension record(nullptr, IFrameWindow::belowClient, 20UL, IFrameWindow::thickSeparator);
    IRectangle reference(0, 0, 200, 100);
    const IRectangle placed = record.place(reference);
    EXPECT_EQ(placed.minY(), 80);
    EXPECT_EQ(placed.height(), 20);
    EXPECT_EQ(reference.height(), 77);
    EXPECT_EQ(record.referenceId(), IFrameWindow::clientId);

    IFrameExtension left(nullptr, IFrameWindow::leftOfClient, 30UL, IFrameWindow::thinSeparator);
    IRectangle area(10, 0, 210, 100);
    EXPECT_EQ(left.place(area).minX(), 10);
    EXPECT_EQ(area.minX(), 41);
    EXPECT_EQ(area.width(), 169);
}

TEST(FrameExtension, TheFrameRefusesBadFractionsDuplicatesTheClientAndStrangers)
{
    auto frame = plainFrame();
    ovktest::TestWindow extension(frame->handle(), WS_CHILD, 20);
    ovktest::TestWindow client(frame->handle(), WS_CHILD, 21);
    ovktest::TestWindow stranger(frame->handle(), WS_CHILD, 22);
    frame->setClient(&client);
    EXPECT_EQ(frame->clientHandle(), client.handle());

    for (double fraction : {1.0, -0.1, 1.5})
        EXPECT_THROW(frame->addExtension(&extension, IFrameWindow::leftOfClient, fraction),
                     IInvalidParameter)
            << fraction;
    EXPECT_FALSE(frame->isAnExtension(&extension));
    frame->addExtension(&extension, IFrameWindow::leftOfClient, 0.25);
    EXPECT_TRUE(frame->isAnExtension(&extension));
    EXPECT_EQ(ovktest::caught([&] { frame->addExtension(&extension, IFrameWindow::aboveClient, 10); })
                  .errorId(),
              OVK_MSG_ALREADY_AN_EXTENSION);
    EXPECT_EQ(ovktest::caught([&] { frame->addExtension(&client, IFrameWindow::aboveClient, 10); })
                  .errorId(),
              OVK_MSG_ALREADY_AN_EXTENSION);
    EXPECT_EQ(ovktest::caught([&] { frame->setExtensionSize(&stranger, 10); }).errorId(),
              OVK_MSG_NOT_AN_EXTENSION);
    EXPECT_THROW(frame->setExtensionSize(&extension, 1.0), IInvalidParameter);
    frame->setExtensionSize(&extension, 0.5);
    EXPECT_DOUBLE_EQ(frame->extensionAt(0)->fraction(), 0.5);
}

// The frame around a client rectangle: the system's borders and caption, and the extensions.
TEST(FrameExtension, TheFrameRectangleHoldsTheClientAndItsExtensions)
{
    auto frame = plainFrame();
    ovktest::TestWindow side(frame->handle(), WS_CHILD, 20);
    ovktest::TestWindow below(frame->handle(), WS_CHILD, 21);
    frame->addExtension(&side, IFrameWindow::rightOfClient, 0.25, IFrameWindow::thinSeparator);
    frame->addExtension(&below, IFrameWindow::belowClient, 40UL, IFrameWindow::thickSeparator);
    RECT system{0, 0, 300, 200};
    AdjustWindowRectEx(&system, static_cast<DWORD>(GetWindowLongPtrA(frame->handle(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongPtrA(frame->handle(), GWL_EXSTYLE)));
    const IRectangle outer = frame->frameRectFor(IRectangle(0, 0, 300, 200));
    EXPECT_EQ(outer.width(), system.right - system.left + 101);
    EXPECT_EQ(outer.height(), system.bottom - system.top + 43);
    const IRectangle back = frame->clientRectFor(outer);
    EXPECT_EQ(back.width(), 300);
    EXPECT_EQ(back.height(), 200);
}

// A window object that goes is no longer kept as an extension.
TEST(FrameExtension, ADeletedExtensionLeavesTheFrame)
{
    auto frame = plainFrame();
    auto* extension = new ovktest::TestWindow(frame->handle(), WS_CHILD, 20);
    frame->addExtension(extension, IFrameWindow::aboveClient, 20UL);
    ASSERT_EQ(frame->extensionCount(), 1u);
    delete extension;
    EXPECT_EQ(frame->extensionCount(), 0u);
}

// -----------------------------------------------------------------------------------------------
// Keys and children the frame places itself

TEST(FrameKeys, TabOnTheLastControlWrapsToTheFirstAndEscPostsCancel)
{
    auto frame = plainFrame();
    IPushButton first(31, frame.get(), frame.get(), IRectangle(10, 10, 90, 40),
                      IPushButton::defaultStyle() | IControl::_tabStop | IWindow::visible);
    IPushButton last(32, frame.get(), frame.get(), IRectangle(100, 10, 180, 40),
                     IPushButton::defaultStyle() | IControl::_tabStop | IWindow::visible);
    frame->show();
    SetForegroundWindow(frame->handle());
    last.setFocus();
    ASSERT_EQ(GetFocus(), static_cast<HWND>(last.handle()));
    ovktest::send(last.handle(), WM_CHAR, VK_TAB, 1);
    // The focus passes through the frame, which hands it on to its first tab stop.
    EXPECT_TRUE(ovktest::pumpUntil([&] { return GetFocus() == static_cast<HWND>(first.handle()); }))
        << GetFocus() << " frame " << static_cast<HWND>(frame->handle()) << " first "
        << static_cast<HWND>(first.handle()) << " last " << static_cast<HWND>(last.handle());

    ovktest::Recorder commands(WM_COMMAND);
    commands.attach(*frame, "command").setAction(
        [](IEvent& event) { return event.parameter1().lowNumber() == IDCANCEL; });
    ovktest::send(first.handle(), WM_CHAR, VK_ESCAPE, 1);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return commands.trace() == "command"; }));
}

// Re-coordination moves children by the change of height, but a frame lays out its client and
// extensions itself.
TEST(FrameRecoordination, ChildrenTheFramePositionsStayPut)
{
    const ovktest::CoordinateSystem system(ICoordinateSystem::kOriginLowerLeft);
    {
        auto frame = plainFrame();
        ovktest::TestWindow client(frame->handle(), WS_CHILD | WS_VISIBLE, 0x8008);
        ovktest::TestWindow other(frame->handle(), WS_CHILD | WS_VISIBLE, 7);
        ovktest::TestWindow extension(frame->handle(), WS_CHILD | WS_VISIBLE, 8);
        frame->addExtension(&extension, IFrameWindow::aboveClient, 20UL);
        for (HWND child : {client.hwnd(), other.hwnd(), extension.hwnd()})
            SetWindowPos(child, nullptr, 0, 10, 20, 20, SWP_NOZORDER);
        RECT r{};
        GetWindowRect(frame->handle(), &r);
        SetWindowPos(frame->handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 25,
                     SWP_NOZORDER | SWP_NOMOVE);
        auto top = [](HWND child) {
            RECT place{};
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
            return place.top;
        };
        // The layout pass puts the extension at the top and the client below its separator.
        EXPECT_EQ(top(extension.hwnd()), 0);
        EXPECT_EQ(top(client.hwnd()), 21);
        EXPECT_EQ(top(other.hwnd()), 35);
    }
}

// The re-coordination passes over the frame's extensions: the only places an extension is moved
// to are the frame layout's, never the shift by the change of height that other children get.
TEST(FrameRecoordination, ExtensionsAreMovedByTheFrameLayoutOnly)
{
    const ovktest::CoordinateSystem system(ICoordinateSystem::kOriginLowerLeft);
    {
        auto frame = plainFrame();
        ovktest::TestWindow client(frame->handle(), WS_CHILD | WS_VISIBLE, 0x8008);
        ovktest::TestWindow extension(frame->handle(), WS_CHILD | WS_VISIBLE, 8);
        frame->addExtension(&extension, IFrameWindow::aboveClient, 20UL);
        SetWindowPos(extension.hwnd(), nullptr, 0, 10, 20, 20, SWP_NOZORDER);
        std::vector<int> tops;
        ovktest::Recorder moves(WM_WINDOWPOSCHANGED);
        moves.attach(extension, "moved").setAction([&](IEvent& event) {
            const auto* place = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
            if (!(place->flags & SWP_NOMOVE))
                tops.push_back(place->y);
            return false;
        });
        RECT r{};
        GetWindowRect(frame->handle(), &r);
        SetWindowPos(frame->handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 25,
                     SWP_NOZORDER | SWP_NOMOVE);
        ASSERT_FALSE(tops.empty());
        for (int top : tops)
            EXPECT_EQ(top, 0);
    }
}

} // namespace
