// Window objects: creating native windows, identifiers, parent and owner, styles, the special
// windows, sending by event type and what deletion does.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include <iprivmsg.hpp>
#include <ithread.hpp>
#include <iwindow.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

using ovktest::Recorder;
using ovktest::TestWindow;

namespace {

// A window object over a window it creates itself, as derived classes of the library do.
class CreatedWindow : public IWindow {
public:
    CreatedWindow(unsigned long id, unsigned long style, HWND parent = nullptr, HWND owner = nullptr,
                  const IRectangle& rectangle = IRectangle(0, 0, 120, 80),
                  unsigned long extendedStyle = 0)
    {
        startHandlingEventsFor(create(id, "created", style, ovktest::testClassName(), parent, owner,
                                      rectangle, nullptr, nullptr, defaultSiblingOrder(),
                                      extendedStyle));
    }
    HWND hwnd() const { return handle(); }
};

TEST(ObjectCreation, ATopLevelWindowCreatedWithAnIdentifierExistsAndAnswersIt)
{
    CreatedWindow window(7, WS_OVERLAPPED);
    EXPECT_TRUE(IsWindow(window.hwnd()));
    EXPECT_EQ(window.id(), 7UL);
    // The identifier is not taken for a menu.
    EXPECT_EQ(GetMenu(window.hwnd()), nullptr);
    EXPECT_NE(std::string(window.asString()).find("Id(7)"), std::string::npos);
}

TEST(ObjectCreation, StyleConstantsCombineAndReachTheNativeWindow)
{
    const IWindow::Style style = IWindow::clipChildren | IWindow::clipSiblings | IWindow::disabled;
    EXPECT_TRUE(style.contains(IWindow::clipChildren));
    EXPECT_FALSE(style.contains(IWindow::visible));
    EXPECT_EQ(IWindow::noStyle.asUnsignedLong(), 0U);

    TestWindow parent;
    CreatedWindow child(3, WS_CHILD | style.asUnsignedLong(), parent.hwnd(), nullptr,
                        IRectangle(0, 0, 50, 20), WS_EX_CLIENTEDGE);
    const LONG_PTR native = GetWindowLongPtrA(child.hwnd(), GWL_STYLE);
    EXPECT_EQ(native & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_DISABLED | WS_VISIBLE),
              WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_DISABLED);
    EXPECT_TRUE(GetWindowLongPtrA(child.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(child.id(), 3UL);
    EXPECT_EQ(child.style(), static_cast<unsigned long>(native));
}

TEST(ObjectCreation, ConvertToGuiStyleTakesTheTopBitsOfTheChosenWord)
{
    struct Case {
        IWindow::Style style;
        bool extended;
        unsigned long expected;
    };
    const Case cases[] = {
        {IWindow::Style(0x1234FFFF, 0xAB00FFFF), false, 0x12340000},
        {IWindow::Style(0x1234FFFF, 0xAB00FFFF), true, 0xAB000000},
        {IWindow::visible | IWindow::disabled, false, WS_VISIBLE | WS_DISABLED},
    };
    TestWindow window;
    for (const Case& c : cases)
        EXPECT_EQ(window.convertToGUIStyle(c.style, c.extended), c.expected);
}

TEST(ObjectCreation, TheDefaultRectangleLetsWindowsChooseTheSize)
{
    CreatedWindow window(0, WS_OVERLAPPEDWINDOW, nullptr, nullptr,
                         IRectangle(INT_MIN, INT_MIN, -1, -1));
    RECT bounds{};
    GetWindowRect(window.hwnd(), &bounds);
    EXPECT_GT(bounds.right - bounds.left, 0);
    EXPECT_GT(bounds.bottom - bounds.top, 0);
}

TEST(ObjectCreation, AFailedCreateNamesTheIdAndClass)
{
    struct Failing : IWindow {
        void make()
        {
            create(9, "", WS_OVERLAPPED, "OVK no such class", nullptr, nullptr,
                   IRectangle(0, 0, 1, 1), nullptr, nullptr);
        }
    };
    Failing window;
    try {
        window.make();
        FAIL() << "created a window of an unregistered class";
    } catch (const ISystemError& failure) {
        EXPECT_EQ(std::string(failure.text(0)).rfind("WinCreateWindow: Id=9 Class=OVK no such class", 0), 0U)
            << failure.text(0);
        EXPECT_NE(failure.errorId(), 0U);
    }
}

TEST(ObjectOwner, AChildRecordsItsOwnerAndATopLevelWindowHasItsNativeOwner)
{
    TestWindow parent;
    TestWindow other;
    CreatedWindow child(4, WS_CHILD, parent.hwnd(), other.hwnd());
    EXPECT_EQ(child.owner(), &other);
    EXPECT_EQ(child.parent(), &parent);

    CreatedWindow popup(0, WS_POPUP, nullptr, other.hwnd());
    EXPECT_EQ(GetWindow(popup.hwnd(), GW_OWNER), other.hwnd());
    EXPECT_EQ(popup.owner(), &other);
    EXPECT_FALSE(popup.isTopLevel());

    // Windows keeps a top-level window's owner: setOwner leaves it.
    popup.setOwner(&parent);
    EXPECT_EQ(GetWindow(popup.hwnd(), GW_OWNER), other.hwnd());

    child.setOwner(nullptr);
    EXPECT_EQ(child.owner(), nullptr);
}

// The desktop and the library's object window have no place in the window sets: as owners,
// as parents, they are answered by their singleton objects.
TEST(ObjectOwner, TheDesktopAndTheObjectWindowAreAnsweredAsTheyAreAsParents)
{
    TestWindow parent;
    for (IWindow* special : {IWindow::desktopWindow(), IWindow::objectWindow()}) {
        CreatedWindow child(4, WS_CHILD, parent.hwnd(), special->handle());
        EXPECT_EQ(child.owner(), special);
        child.setOwner(special);
        EXPECT_EQ(child.owner(), special);
    }
    CreatedWindow parked(5, WS_CHILD, IWindow::objectWindow()->handle());
    EXPECT_EQ(parked.parent(), IWindow::objectWindow());
}

TEST(ObjectParent, MovingAChildToTheDesktopAndBackKeepsItsIdentifier)
{
    TestWindow first;
    TestWindow second;
    CreatedWindow child(21, WS_CHILD, first.hwnd());
    ASSERT_EQ(child.id(), 21UL);

    child.setParent(IWindow::desktopWindow());
    EXPECT_FALSE(GetWindowLongPtrA(child.hwnd(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(child.id(), 21UL);
    EXPECT_EQ(GetMenu(child.hwnd()), nullptr);
    EXPECT_TRUE(child.isTopLevel());

    child.setParent(&second);
    EXPECT_TRUE(GetWindowLongPtrA(child.hwnd(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(child.id(), 21UL);
    EXPECT_EQ(child.parent(), &second);
    EXPECT_FALSE(child.isTopLevel());

    EXPECT_THROW(child.setParent(nullptr), IInvalidParameter);
}

TEST(ObjectById, TakesChargeOfTheChildWithTheIdentifier)
{
    TestWindow parent;
    const HWND native = ovktest::createNativeWindow(parent.hwnd(), 0, 31);
    {
        IWindow child(31, &parent);
        EXPECT_EQ(child.handle(), IWindowHandle(native));
        EXPECT_EQ(child.owner(), &parent);
        EXPECT_FALSE(child.isDestroyOnDelete());
    }
    EXPECT_TRUE(IsWindow(native));

    try {
        IWindow missing(32, &parent);
        FAIL() << "found a child that does not exist";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), OVK_MSG_NO_CHILD_WITH_ID);
    }
    EXPECT_THROW(IWindow(31, nullptr), IInvalidParameter);
}

TEST(ObjectHandle, AWindowWhoseNativeWindowIsGoneHasNoHandle)
{
    TestWindow window;
    DestroyWindow(window.hwnd());
    EXPECT_FALSE(window.isValid());
    try {
        window.handle();
        FAIL() << "handle() answered for a destroyed window";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), OVK_MSG_INVALID_HANDLE);
    }
}

TEST(ObjectSpecialWindows, TheDesktopAndObjectWindowsAreSingletons)
{
    IWindow* desktop = IWindow::desktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop, IWindow::desktopWindow());
    EXPECT_EQ(desktop->handle(), IWindowHandle(GetDesktopWindow()));
    const IRectangle before = desktop->rect();
    desktop->moveSizeTo(IRectangle(0, 0, 10, 10));
    EXPECT_EQ(desktop->rect().asString(), before.asString());

    IWindow* object = IWindow::objectWindow();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object, IWindow::objectWindow());
    EXPECT_FALSE(IsWindowVisible(object->handle()));
    char name[16] = {};
    GetClassNameA(object->handle(), name, sizeof name);
    EXPECT_STREQ(name, "Static");
}

// The library's object window lives as long as the process on the thread that made it; it is
// not one of the application's top-level windows, whose last one ends the thread's loop.
TEST(ObjectSpecialWindows, TheObjectWindowDoesNotKeepTheLoopRunning)
{
    IWindow* object = IWindow::objectWindow();
    ASSERT_EQ(GetWindowThreadProcessId(object->handle(), nullptr), GetCurrentThreadId());
    const ovktest::Watchdog watchdog(3000, &ovktest::Watchdog::postQuit);
    auto window = std::make_unique<TestWindow>();
    Recorder rec(WM_USER + 30);
    rec.attach(*window, "destroy", true).setAction([&](IEvent&) {
        DestroyWindow(window->hwnd());
        return true;
    });
    PostMessageA(window->hwnd(), WM_USER + 30, 0, 0);
    IThread::current().processMsgs();
    EXPECT_EQ(rec.trace(), "destroy");
    EXPECT_FALSE(watchdog.fired());
}

// Keys aimed at the object window are never offered to accelerator tables, its own included.
TEST(ObjectSpecialWindows, KeysForTheObjectWindowAreNotTranslated)
{
    IWindow* object = IWindow::objectWindow();
    ACCEL key{FVIRTKEY, VK_F5, 300};
    const HACCEL table = CreateAcceleratorTableA(&key, 1);
    object->setAcceleratorHandle(table);
    Recorder keys(WM_KEYDOWN);
    keys.attach(*object, "key");
    Recorder commands(WM_COMMAND);
    commands.attach(*object, "command", true);
    PostMessageA(object->handle(), WM_KEYDOWN, VK_F5, 0);
    IMessageQueueHandle(GetCurrentThreadId()).postEvent(WM_QUIT);
    IThread::current().processMsgs();
    object->setAcceleratorHandle(nullptr);
    DestroyAcceleratorTable(table);
    EXPECT_EQ(keys.trace(), "key");
    EXPECT_EQ(commands.trace(), "");
}

TEST(ObjectFrameWindows, DialogClassWindowsAreFramesAndOthersAreNot)
{
    const HWND dialog = CreateWindowExA(0, reinterpret_cast<const char*>(0x8002), "", WS_POPUP, 0, 0,
                                        50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);
    {
        IWindow frame(dialog);
        EXPECT_TRUE(frame.isFrameWindow());
    }
    DestroyWindow(dialog);
    TestWindow plain;
    EXPECT_FALSE(plain.isFrameWindow());
}

// Sending by event type: commands as WM_COMMAND, the frame type to the containing frame.
TEST(ObjectEventTypes, EachTypeReachesItsMessageAndTheFrameTypeTheContainingFrame)
{
    const HWND dialog = CreateWindowExA(0, reinterpret_cast<const char*>(0x8002), "", WS_POPUP, 0, 0,
                                        50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);
    auto frame = std::make_unique<IWindow>(dialog);
    frame->setDestroyOnDelete();
    TestWindow child(dialog, 0, 5);
    TestWindow alone;

    Recorder frameEvents(IPrivateMessage::frameEvent);
    frameEvents.attach(*frame, "frame", true);
    frameEvents.attach(alone, "alone", true);
    Recorder commands(WM_COMMAND);
    commands.attach(child, "command", true);
    Recorder characters(WM_CHAR);
    characters.attach(child, "char", true);

    child.sendEvent(IWindow::frameEvent, 1, 2);
    alone.sendEvent(IWindow::frameEvent);
    child.sendEvent(IWindow::command, 100);
    child.sendEvent(IWindow::character, 'a');
    EXPECT_EQ(frameEvents.trace(), "frame alone");
    EXPECT_EQ(commands.trace(), "command");
    EXPECT_EQ(characters.trace(), "char");

    child.postEvent(IWindow::frameEvent);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return frameEvents.trace() == "frame alone frame"; }));

    EXPECT_THROW(child.sendEvent(static_cast<IWindow::EventType>(3)), IInvalidParameter);
    EXPECT_THROW(child.postEvent(static_cast<IWindow::EventType>(0)), IInvalidParameter);
}

TEST(ObjectDeletion, ObserversHearTheDeletion)
{
    TestWindow parent;
    auto* child = new TestWindow(parent.hwnd(), 0, 8);
    ovktest::NotificationLog observer;
    observer.handleNotificationsFor(*child);
    child->enableNotification();
    delete child;
    EXPECT_EQ(observer.count(IWindow::deleteId), 1);
}

TEST(ObjectHelp, TheHelpIdIsTheWindowsContextHelpId)
{
    TestWindow window;
    EXPECT_EQ(window.helpId(), 0UL);
    SetWindowContextHelpId(window.hwnd(), 4711);
    EXPECT_EQ(window.helpId(), 4711UL);
}

} // namespace
