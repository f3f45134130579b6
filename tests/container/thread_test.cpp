// Objects shown by the containers of one thread and changed by another: every operation that
// walks the list of all containers sends to containers of other threads, which answer on their
// own thread while the sender waits.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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

// A thread of its own with a shown window and a native container in it. Between messages it runs
// the task it is given and repaints its list, so that the list asks for its items' texts all the
// time while other threads change the objects.
class PaintingThread {
public:
    explicit PaintingThread(unsigned long id)
    {
        fWake.add(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        fThread = std::thread([this, id] { loop(id); });
        // This thread's windows may be sent to while the other one makes or destroys its own.
        ovktest::pumpUntil([this] { return fReady.load(); }, 10000);
    }
    ~PaintingThread()
    {
        {
            const std::lock_guard<std::mutex> lock(fLock);
            fStop = true;
        }
        SetEvent(fWake.data()[0]);
        ovktest::pumpUntil([this] { return fEnded.load(); }, 10000);
        fThread.join();
    }
    PaintingThread(const PaintingThread&) = delete;
    PaintingThread& operator=(const PaintingThread&) = delete;

    // Hands the task to the thread and returns at once; finish() waits for it.
    void start(std::function<void()> task)
    {
        {
            const std::lock_guard<std::mutex> lock(fLock);
            fTask = std::move(task);
        }
        SetEvent(fWake.data()[0]);
    }
    void finish()
    {
        std::unique_lock<std::mutex> lock(fLock);
        fChanged.wait(lock, [this] { return !fTask; });
    }
    void run(std::function<void()> task)
    {
        start(std::move(task));
        finish();
    }
    ICnrCtl& container() { return *fContainer; }
    HWND list() const { return fList; }

private:
    void loop(unsigned long id)
    {
        auto parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
        auto container = std::make_unique<ICnrCtl>(id, parent.get(), parent.get(),
                                                   IRectangle(0, 0, 300, 200));
        fList = cnrtest::child(container->handle(), 0x3000);
        fContainer = container.get();
        fReady = true;
        for (;;) {
            MsgWaitForMultipleObjects(1, fWake.data(), FALSE, 1, QS_ALLINPUT);
            std::function<void()> task;
            {
                const std::lock_guard<std::mutex> lock(fLock);
                if (fStop)
                    break;
                task = fTask;
            }
            if (task) {
                task();
                {
                    const std::lock_guard<std::mutex> lock(fLock);
                    fTask = nullptr;
                }
                fChanged.notify_all();
            }
            ovktest::pumpPending();
            RedrawWindow(fList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        fContainer = nullptr;
        container.reset();
        parent.reset();
        fEnded = true;
    }

    ovk_native::KernelHandles fWake;
    std::mutex fLock;
    std::condition_variable fChanged;
    std::function<void()> fTask;
    bool fStop = false;
    std::atomic<bool> fReady{false};
    std::atomic<bool> fEnded{false};
    ICnrCtl* fContainer = nullptr;
    HWND fList = nullptr;
    std::thread fThread;
};

// An object whose memory, its record included, is overwritten when it is deleted and never given
// back: a list item left behind with it reads the pattern, and an address made of it faults.
class PoisonedItem : public ICnrObj {
public:
    explicit PoisonedItem(const IString& text) : ICnrObj(IPointerHandle(), text) {}
    static void operator delete(void* memory, std::size_t size) noexcept
    {
        volatile unsigned char* bytes = static_cast<unsigned char*>(memory) - sizeof(MINIRECORDCORE);
        for (std::size_t i = 0; i < sizeof(MINIRECORDCORE) + size; ++i)
            bytes[i] = 0xA5;
    }

private:
    double fExtra[2] = {1.0, 2.0};
};

// Two GUI threads each show the same objects in a native container of their own, adding them
// (and taking them out and adding them again) at the same time, and repaint all the while. A
// worker renames the objects meanwhile, then hides and deletes them. Each round every container
// holds every object once, and nothing is left behind or read after it was deleted.
TEST_F(Threads, AWorkerChangesObjectsThatTwoGuiThreadsShowAndPaint)
{
    const ovktest::Watchdog watchdog(300000);
    const ovktest::FaultCounter faults;
    constexpr int kRounds = 20;
    constexpr int kPasses = 3;
    constexpr int kObjects = 2;
    PaintingThread first(40);
    PaintingThread second(41);
    PaintingThread* const painters[] = {&first, &second};

    std::atomic<bool> done{false};
    int wrongCounts = 0;
    int leftBehind = 0;
    std::thread worker([&] {
        for (int round = 0; round < kRounds; ++round) {
            std::vector<ICnrObj*> objects;
            for (int i = 0; i < kObjects; ++i)
                objects.push_back(new PoisonedItem(IString("object ") + IString(round * kObjects + i)));
            for (PaintingThread* painter : painters)
                painter->start([painter, &objects, kPasses] {
                    for (int pass = 0; pass < kPasses; ++pass)
                        for (ICnrObj* object : objects) {
                            if (pass > 0)
                                painter->container().removeObject(object);
                            painter->container().addObject(object);
                        }
                });
            for (ICnrObj* object : objects)
                object->setIconText(IString("renamed while added ") + IString(round));
            for (PaintingThread* painter : painters)
                painter->finish();
            for (PaintingThread* painter : painters) {
                painter->run([&] {
                    const LRESULT items = SendMessageA(painter->list(), LVM_GETITEMCOUNT, 0, 0);
                    if (items != kObjects || painter->container().objectCount() != kObjects)
                        ++wrongCounts;
                });
            }
            for (ICnrObj* object : objects) {
                object->setIconText(IString("a longer name given before it goes ") + IString(round));
                object->hide();
            }
            for (ICnrObj* object : objects)
                delete object;
            for (PaintingThread* painter : painters) {
                painter->run([&] {
                    if (SendMessageA(painter->list(), LVM_GETITEMCOUNT, 0, 0) != 0 ||
                        painter->container().objectCount() != 0)
                        ++leftBehind;
                });
            }
        }
        done = true;
    });
    ovktest::pumpUntil([&] { return done.load(); }, 280000);
    worker.join();
    EXPECT_EQ(wrongCounts, 0) << "rounds in which a container did not hold every object once";
    EXPECT_EQ(leftBehind, 0) << "rounds that left an item of a deleted object behind";
    EXPECT_EQ(faults.faults(), 0) << "a deleted object or a freed text was read";
}

} // namespace
