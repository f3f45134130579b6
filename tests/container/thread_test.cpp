// Objects shown by the containers of one thread and changed by another: every operation that
// walks the list of all containers sends to containers of other threads, which answer on their
// own thread while the sender waits.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <icnrmsg.hpp>
#include <icnrobj.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;

namespace {

using Threads = Containers;

// A worker renames, hides, repaints, removes from all containers and deletes objects that the
// native container of this thread shows, while an application handler of the container asks
// for the container by its handle on every record message it answers.
TEST_F(Threads, AWorkerChangesObjectsThatThisThreadsNativeContainerShows)
{
    const ovktest::Watchdog watchdog(20000);
    // Only a visible container repaints an object whose text changed.
    ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
    ovktest::Trace asked;
    ovktest::RecordingHandler lookup(asked, "asked", CM_INVALIDATERECORD);
    bool alwaysFound = true;
    lookup.setAction([&](IEvent&) {
        alwaysFound = alwaysFound && ICnrCtl::containerWithHandle(native->handle()) == native.get();
        return false;
    });
    lookup.handleEventsFor(native.get());
    Item* a = new Item("a");
    Item* b = new Item("b");
    Item* c = new Item("c");
    for (Item* item : {a, b, c})
        native->addObject(item);
    messageDriven->addObject(c);

    std::atomic<bool> done{false};
    std::thread worker([&] {
        a->setIconText("renamed");
        a->hide();
        ICnrCtl::refreshAll();
        native->removeObject(c, true);
        delete b;
        done = true;
    });
    const bool finished = ovktest::pumpUntil([&] { return done.load(); }, 10000);
    worker.join();
    EXPECT_TRUE(finished);
    lookup.stopHandlingEventsFor(native.get());

    EXPECT_NE(asked.text(), "");
    EXPECT_TRUE(alwaysFound);
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    EXPECT_EQ(native->objectCount(), 1u);
    EXPECT_EQ(cnrtest::listItemText(list, 0), "renamed");
    EXPECT_FALSE(a->isVisible(native.get()));
    EXPECT_FALSE(native->containsObject(c));
    EXPECT_FALSE(messageDriven->containsObject(c));
    EXPECT_EQ(c->containerCount(), 0u);
    delete a;
    delete c;
}

} // namespace
