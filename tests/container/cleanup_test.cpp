// A container's clean-up: once, whether the window or the object goes first; what becomes of
// its objects; and the list of all containers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <vector>

#include <icnrdhdr.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iobserver.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;
using cnrtest::received;

namespace {

using CleanUp = Containers;

// Inserts the objects into a message-driven container's window directly, as the insertion
// operations will, and counts the container's reference on each.
void insert(ICnrCtl& container, const std::vector<ICnrObj*>& objects)
{
    for (ICnrObj* object : objects) {
        RECORDINSERT where{};
        where.cb = sizeof where;
        where.pRecordOrder = reinterpret_cast<MINIRECORDCORE*>(static_cast<std::uintptr_t>(CMA_END));
        where.zOrder = CMA_TOP;
        where.cRecordsInsert = 1;
        ASSERT_GT(ovktest::send(container.handle(), CM_INSERTRECORD,
                                reinterpret_cast<WPARAM>(ICnrObj::recordOf(object)),
                                reinterpret_cast<LPARAM>(&where)),
                  0);
        object->addContainerReference();
    }
}

TEST_F(CleanUp, DestroyHandlerThenDestructorCleansUpOnce)
{
    ovktest::NotificationLog log;
    messageDriven->enableNotification();
    log.handleNotificationsFor(*messageDriven);
    const HWND window = messageDriven->handle();
    EXPECT_TRUE(ICnrCtl::destroyHandler()->windowCount() > 0);
    DestroyWindow(window);
    EXPECT_EQ(received(CM_REMOVERECORD, window), 1u);
    EXPECT_EQ(received(CM_REMOVEDETAILFIELDINFO, window), 1u);
    EXPECT_EQ(received(CM_FILTER, window), 0u);
    EXPECT_EQ(log.count(ICnrCtl::removeId), 1);
    EXPECT_EQ(ICnrCtl::containerWithHandle(window), nullptr);
    EXPECT_FALSE(messageDriven->state() & ICnrCtl::live);
    const unsigned before = OvkCnrTestJournalCount();
    log.stopHandlingNotificationsFor(*messageDriven);
    messageDriven.reset();
    EXPECT_EQ(OvkCnrTestJournalCount(), before);
}

TEST_F(CleanUp, DestructorAloneCleansUpAndLeavesTheList)
{
    const HWND window = messageDriven->handle();
    messageDriven.reset();
    EXPECT_EQ(received(CM_REMOVERECORD, window), 1u);
    EXPECT_EQ(received(CM_REMOVEDETAILFIELDINFO, window), 1u);
    EXPECT_FALSE(IsWindow(window));

    const HWND nativeWindow = native->handle();
    native.reset();
    EXPECT_FALSE(IsWindow(nativeWindow));
    EXPECT_EQ(ICnrCtl::containerWithHandle(nativeWindow), nullptr);
}

TEST_F(CleanUp, WithoutDisposalEveryObjectSurvives)
{
    Item::destroyed = 0;
    std::vector<ICnrObj*> items{new Item("a"), new Item("b")};
    insert(*messageDriven, items);
    messageDriven.reset();
    EXPECT_EQ(Item::destroyed, 0);
    for (ICnrObj* item : items)
        delete item;
    EXPECT_EQ(Item::destroyed, 2);
}

// Disposal deletes exactly the objects that no other container holds; the others lose this
// container's reference only.
TEST_F(CleanUp, DisposalDeletesOnlyObjectsNoOtherContainerHolds)
{
    Item::destroyed = 0;
    const long liveBefore = OvkCnrTestLiveRecords();
    auto other = makeMessageDriven(22);
    ICnrObj* shared = new Item("shared");
    std::vector<ICnrObj*> items{new Item("a"), shared, new Item("b")};
    insert(*messageDriven, items);
    insert(*other, {shared});
    messageDriven->setDeleteObjectsOnClose();
    const HWND window = messageDriven->handle();
    messageDriven.reset();
    EXPECT_EQ(received(CM_FILTER, window), 1u);
    // The survivor's record left the window before the window went, which would have freed it.
    EXPECT_EQ(received(CM_REMOVERECORD, window), 1u);
    EXPECT_EQ(Item::destroyed, 2);
    EXPECT_EQ(shared->containerCount(), 1u);
    EXPECT_STREQ(shared->iconText(), "shared");
    // The deleted objects' records went with the window that held them.
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore + 1);

    // Deleting the survivor takes it out of the container that still holds it.
    delete shared;
    EXPECT_EQ(received(CM_REMOVERECORD, other->handle()), 1u);
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
}

// A survivor's record leaves the closing window with the records under it, which the window then
// no longer frees: those of deleted objects are freed all the same, and the survivor's stays.
TEST_F(CleanUp, DisposalFreesTheRecordsOfDeletedObjectsUnderASurvivor)
{
    Item::destroyed = 0;
    const long liveBefore = OvkCnrTestLiveRecords();
    auto other = makeMessageDriven(22);
    auto* shared = new Item("shared parent");
    messageDriven->addObject(shared);
    auto* child = new Item("child");
    messageDriven->addObject(child, shared);
    messageDriven->addObject(new Item("grandchild"), child);
    other->addObject(shared);
    messageDriven->setDeleteObjectsOnClose();
    messageDriven.reset();
    EXPECT_EQ(Item::destroyed, 2);
    EXPECT_STREQ(shared->iconText(), "shared parent");
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore + 1) << "records of deleted objects were left";
    delete shared;
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
}

// The clean-up runs while the native container still answers its messages, so disposal reaches
// every object it shows.
TEST_F(CleanUp, NativeDisposalDeletesEveryObject)
{
    Item::destroyed = 0;
    const long liveBefore = OvkCnrTestLiveRecords();
    ICnrObj* parentItem = new Item("parent");
    native->addObject(parentItem);
    native->addObject(new Item("child"), parentItem);
    native->addObject(new Item("b"));
    native->setDeleteObjectsOnClose();
    native.reset();
    EXPECT_EQ(Item::destroyed, 3);
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
}

// Without disposal the objects survive and hold nothing of the container that went: a new
// container made at the same address does not hold them, and takes them in again.
TEST_F(CleanUp, NativeContainerLeavesNothingInTheObjectsItShowed)
{
    alignas(ICnrCtl) unsigned char place[sizeof(ICnrCtl)];
    auto make = [&] {
        return new (place) ICnrCtl(40, parent.get(), parent.get(), IRectangle(0, 0, 100, 100));
    };
    std::unique_ptr<Item> a(new Item("a"));
    ICnrCtl* first = make();
    first->addObject(a.get());
    first->~ICnrCtl();
    ICnrCtl* second = make();
    ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
    EXPECT_FALSE(second->containsObject(a.get()));
    EXPECT_EQ(second->objectCount(), 0u);
    second->addObject(a.get());
    EXPECT_TRUE(second->containsObject(a.get()));
    EXPECT_EQ(second->objectCount(), 1u);
    second->~ICnrCtl();
}

// The list control shows the container's own image lists and leaves them to it: the container
// releases each once, as it goes. A list control that took them for its own would release them
// with its window first, and the container's release would then be one too many.
TEST_F(CleanUp, ANativeContainerReleasesItsImageListsOnce)
{
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    // Not in the import library here: asked of the control library itself.
    using QueryInterface = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    const auto query = reinterpret_cast<QueryInterface>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("comctl32.dll"), "HIMAGELIST_QueryInterface")));
    ASSERT_NE(query, nullptr);
    std::vector<IUnknown*> held;
    for (const WPARAM kind : {LVSIL_NORMAL, LVSIL_SMALL}) {
        const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, kind, 0));
        ASSERT_NE(images, nullptr);
        IUnknown* reference = nullptr;
        ASSERT_EQ(query(images, IID_IUnknown, reinterpret_cast<void**>(&reference)), S_OK);
        held.push_back(reference);
    }
    native.reset();
    // The test's own reference is then the last one.
    for (IUnknown* reference : held)
        EXPECT_EQ(reference->Release(), 0u);
}

// An edit still open when the container goes is closed first: its owner hears the end of it.
TEST_F(CleanUp, AnOpenEditIsClosedBeforeTheRecordsLeave)
{
    cnrtest::NotificationTrace notifications;
    notifications.selections = false;
    notifications.handleEventsFor(native.get());
    std::unique_ptr<Item> a(new Item("a"));
    native->addObject(a.get());
    a->setWriteable(true, native.get());
    native->editObject(a.get());
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    ASSERT_NE(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0), 0);
    EXPECT_EQ(notifications.trace, "begin");
    native.reset();
    EXPECT_EQ(notifications.trace, "begin end");
}

TEST_F(CleanUp, FailedConstructionLeavesNothingBehind)
{
    const std::size_t windowsBefore = ICnrCtl::destroyHandler()->windowCount();
    // The initial view attributes are the last message of the constructor.
    OvkCnrTestForceNextResult(CM_SETCNRINFO, 0);
    const IException failure = ovktest::caught([this] { makeMessageDriven(23); });
    EXPECT_STREQ(failure.text(), "CM_SETCNRINFO");
    EXPECT_FALSE(GetDlgItem(parent->hwnd(), 23));
    EXPECT_EQ(ICnrCtl::destroyHandler()->windowCount(), windowsBefore);
}

TEST_F(CleanUp, ContainerWhoseParentWentFirstIsDeletedQuietly)
{
    const HWND window = native->handle();
    parent.reset();
    EXPECT_EQ(ICnrCtl::containerWithHandle(window), nullptr);
    native.reset();
    messageDriven.reset();
}

// A container taken over (from a dialog, say) is message-driven, and its window outlives the
// object.
TEST_F(CleanUp, TakenOverContainerLeavesItsWindowAlive)
{
    const HWND window = CreateWindowExA(0, "OVK Container", nullptr, WS_CHILD, 0, 0, 50, 50,
                                        parent->hwnd(), reinterpret_cast<HMENU>(50), nullptr,
                                        nullptr);
    ASSERT_TRUE(window);
    for (int form = 0; form < 2; ++form) {
        OvkCnrTestJournalReset();
        auto container = form == 0 ? std::make_unique<ICnrCtl>(50, parent.get())
                                   : std::make_unique<ICnrCtl>(IWindowHandle(window));
        EXPECT_TRUE(container->isMessageContainer());
        EXPECT_EQ(ICnrCtl::containerWithHandle(window), container.get());
        EXPECT_EQ(received(CM_SETCNRINFO, window), 1u);
        container.reset();
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(received(CM_REMOVERECORD, window), 1u);
        EXPECT_EQ(ICnrCtl::containerWithHandle(window), nullptr);
    }
    DestroyWindow(window);
}

// A container whose destroy handler was taken off stays listed after its window died. Deleting
// objects walks every listed container from a destructor, which must pass over the dead one
// rather than end the process; the live containers still give the objects up.
TEST_F(CleanUp, ObjectsAreDeletedPastAListedContainerWhoseWindowDiedUnheard)
{
    std::unique_ptr<ICnrCtl> orphans[] = {makeNative(ICnrCtl::defaultStyle(),
                                                     ICnrCtl::currentDefaultAttribute(), 30),
                                          makeMessageDriven(31)};
    for (auto& orphan : orphans) {
        orphan->removeDestroyHandler();
        DestroyWindow(orphan->handle());
    }
    cnrtest::Item* plain = new cnrtest::Item("plain");
    cnrtest::Item* parentItem = new cnrtest::Item("parent");
    cnrtest::Item* child = new cnrtest::Item("child");
    native->addObject(plain);
    native->addObject(parentItem);
    native->addObject(child, parentItem);
    messageDriven->addObject(plain);
    const int destroyedBefore = cnrtest::Item::destroyed;
    delete plain;
    delete parentItem;
    EXPECT_EQ(cnrtest::Item::destroyed - destroyedBefore, 3);
    EXPECT_EQ(native->objectCount(), 0u);
    EXPECT_EQ(messageDriven->objectCount(), 0u);
}

TEST_F(CleanUp, DestroyHandlerServesOnlyContainers)
{
    ovktest::TestWindow plain;
    const std::size_t before = ICnrCtl::destroyHandler()->windowCount();
    ICnrCtl::destroyHandler()->handleEventsFor(static_cast<IWindow*>(&plain));
    EXPECT_EQ(ICnrCtl::destroyHandler()->windowCount(), before);
    EXPECT_STREQ(ovktest::caught([] {
                     ICnrCtl::destroyHandler()->handleEventsFor(static_cast<ICnrCtl*>(nullptr));
                 }).text(),
                 "container != 0");
}

} // namespace
