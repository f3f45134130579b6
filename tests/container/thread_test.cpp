// Objects shown by the containers of one thread and changed by another: every operation that
// walks the list of all containers sends to containers of other threads, which answer on their
// own thread while the sender waits.
#include <windows.h>
#include <commctrl.h>
#include <malloc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <detail/icnritem.hpp>
#include <icnrcol.hpp>
#include <icnredit.hpp>
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

// A container whose memory is overwritten when it is deleted and never given back: a thread
// that used it afterwards reads the pattern, and a call through it faults.
class PoisonedContainer : public ICnrCtl {
public:
    PoisonedContainer(unsigned long id, IWindow* parent,
                      const IRectangle& location = IRectangle(0, 0, 200, 150),
                      const Style& style = defaultStyle())
        : ICnrCtl(id, parent, parent, location, style)
    {
    }
    static void operator delete(void* memory, std::size_t size) noexcept
    {
        volatile unsigned char* bytes = static_cast<unsigned char*>(memory);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = 0xA5;
    }
};

// A thread of its own with a shown window and a container in it. Between messages it runs the
// task it is given and repaints the list of a native container, so that the list asks for its
// items' texts all the time while other threads change the objects.
class PaintingThread {
public:
    explicit PaintingThread(unsigned long id, bool messageDriven = false)
        : fId(id), fMessageDriven(messageDriven)
    {
        fWake.add(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        fThread = std::thread([this] { loop(); });
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
    // Whether the task ended within the time; it goes on either way.
    bool finishWithin(unsigned long milliseconds)
    {
        std::unique_lock<std::mutex> lock(fLock);
        return fChanged.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                 [this] { return !fTask; });
    }
    void run(std::function<void()> task)
    {
        start(std::move(task));
        finish();
    }
    // Deletes the container, with whatever it shows, and makes another in its place. Run by a
    // task, on the thread itself.
    void remake()
    {
        fContainer = nullptr;
        fList = nullptr;
        fOwned.reset();
        make();
    }
    ICnrCtl& container() { return *fContainer; }
    HWND list() const { return fList; }
    DWORD threadId() const { return fThreadId; }

private:
    // The container, made on this thread; its memory is overwritten when it goes.
    void make()
    {
        fOwned = std::make_unique<PoisonedContainer>(
            fId, fParent.get(), IRectangle(0, 0, 300, 200),
            fMessageDriven ? ICnrCtl::defaultStyle() | ICnrCtl::messageContainer
                           : ICnrCtl::defaultStyle());
        // A message-driven container draws nothing and has no list.
        fList = fMessageDriven ? nullptr : cnrtest::child(fOwned->handle(), 0x3000);
        fContainer = fOwned.get();
    }

    void loop()
    {
        fParent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        ShowWindow(fParent->hwnd(), SW_SHOWNOACTIVATE);
        make();
        fThreadId = GetCurrentThreadId();
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
            if (fList)
                RedrawWindow(fList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        fContainer = nullptr;
        fOwned.reset();
        fParent.reset();
        fEnded = true;
    }

    const unsigned long fId;
    const bool fMessageDriven;
    std::unique_ptr<ovktest::TestWindow> fParent;
    std::unique_ptr<ICnrCtl> fOwned;
    ovk_native::KernelHandles fWake;
    std::mutex fLock;
    std::condition_variable fChanged;
    std::function<void()> fTask;
    bool fStop = false;
    std::atomic<bool> fReady{false};
    std::atomic<bool> fEnded{false};
    ICnrCtl* fContainer = nullptr;
    HWND fList = nullptr;
    DWORD fThreadId = 0;
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

// Holds a thread inside the library's next allocation of a heap link of an object's native
// entries, while another thread changes the same object's entries: the two then meet at the one
// instant at which an entry is half moved, every time, where a stress test waits for luck.
class LinkAllocationPause {
public:
    LinkAllocationPause()
        : fPatch("ovkwin.dll", sizeof(std::size_t) == 8 ? "_Znwy" : "_Znwj", &allocate, sAllocate)
    {
        sPause = this;
    }
    ~LinkAllocationPause() { sPause = nullptr; }
    LinkAllocationPause(const LinkAllocationPause&) = delete;
    LinkAllocationPause& operator=(const LinkAllocationPause&) = delete;

    bool applied() const { return fPatch.applied(); }
    // The calling thread's next link allocation runs `meanwhile` first, once.
    void arm(std::function<void()> meanwhile)
    {
        fMeanwhile = std::move(meanwhile);
        fThread = GetCurrentThreadId();
    }
    bool happened() const { return fHappened; }

private:
    static void* allocate(std::size_t size)
    {
        LinkAllocationPause* pause = sPause;
        if (pause && size == sizeof(ICnrItemNode) && pause->fThread == GetCurrentThreadId()) {
            pause->fThread = 0;
            pause->fMeanwhile();
            pause->fHappened = true;
        }
        return sAllocate(size);
    }

    static inline void* (*sAllocate)(std::size_t) = nullptr;
    static inline std::atomic<LinkAllocationPause*> sPause{nullptr};
    ovktest::ImportPatch fPatch;
    std::function<void()> fMeanwhile;
    std::atomic<DWORD> fThread{0};
    std::atomic<bool> fHappened{false};
};

// An object shown by the container of this thread is added to the container of a first GUI
// thread, which is held while it moves the object's entries to the heap; meanwhile a second GUI
// thread adds the object to its own container, or takes it out. Each container must hold the
// object exactly when its list shows it, or a deletion passes a container by and leaves it a
// list item of a deleted object; so the deletion must empty every list.
TEST_F(Threads, AnObjectsEntriesChangedByTwoThreadsAtOnceKeepEveryContainersOwn)
{
    const ovktest::Watchdog watchdog(60000);
    for (const bool secondTakesItOut : {false, true}) {
        SCOPED_TRACE(secondTakesItOut ? "the second thread takes the object out"
                                      : "the second thread adds the object");
        PaintingThread first(40);
        PaintingThread second(41);
        auto* object = new PoisonedItem("shared");
        native->addObject(object);
        if (secondTakesItOut)
            second.run([&] { second.container().addObject(object); });
        LinkAllocationPause pause;
        ASSERT_TRUE(pause.applied());
        first.run([&] {
            pause.arm([&] {
                second.start([&] {
                    if (secondTakesItOut)
                        second.container().removeObject(object);
                    else
                        second.container().addObject(object);
                });
                // Without a guard the second thread is done at once; with one it waits for
                // this thread, which goes on after a while.
                second.finishWithin(2000);
            });
            first.container().addObject(object);
        });
        second.finish();
        ASSERT_TRUE(pause.happened()) << "the addition made no heap link: the threads never met";

        const auto shows = [](PaintingThread& painter) {
            LRESULT items = 0;
            painter.run([&] { items = SendMessageA(painter.list(), LVM_GETITEMCOUNT, 0, 0); });
            return items;
        };
        EXPECT_TRUE(native->containsObject(object));
        EXPECT_TRUE(first.container().containsObject(object));
        EXPECT_EQ(second.container().containsObject(object), !secondTakesItOut);
        EXPECT_EQ(shows(first), 1);
        EXPECT_EQ(shows(second), secondTakesItOut ? 0 : 1);
        if (native->containsObject(object) && first.container().containsObject(object) &&
            second.container().containsObject(object) == !secondTakesItOut) {
            delete object;
            EXPECT_EQ(native->objectCount(), 0u);
            EXPECT_EQ(shows(first), 0);
            EXPECT_EQ(shows(second), 0);
        }
        // Otherwise the object stays: deleting it would leave a list that paints it.
    }
}

// Answers this thread's messages until the event is set, or the time is up, and answers whether
// it was set. The wait wakes for the event itself as well as for messages.
bool pumpUntilSignalled(HANDLE event, unsigned long milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        ovktest::pumpPending();
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        if (MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(deadline - now),
                                      QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
    }
}

// An object with a plain text cell, which an edit handler in its plain-buffer mode fills with
// buffers of its own.
class NotedItem : public ICnrObj {
public:
    explicit NotedItem(const char* text) : ICnrObj(IPointerHandle(), text) {}
    unsigned long noteOffset() const
    {
        return static_cast<unsigned long>(reinterpret_cast<const char*>(&note) -
                                          reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }
    char* note = const_cast<char*>("the application's note");
};

// Runs the action once, on the armed thread, inside the library's first single allocation after
// its next array allocation: the edit handler makes a cell's new buffer as an array and then files
// it, so the hold falls inside the filing. Blocks the library gives back with a size are
// overwritten and kept meanwhile: a filing that went on over a link another thread let go reads
// the pattern.
class FilingPause {
public:
    FilingPause()
        : fArrays("ovkwin.dll", sizeof(std::size_t) == 8 ? "_Znay" : "_Znaj", &allocateArray, sArray),
          fSingles("ovkwin.dll", sizeof(std::size_t) == 8 ? "_Znwy" : "_Znwj", &allocate, sSingle),
          fReleases("ovkwin.dll", sizeof(std::size_t) == 8 ? "_ZdlPvy" : "_ZdlPvj", &release, sRelease)
    {
        sPause = this;
    }
    ~FilingPause() { sPause = nullptr; }
    FilingPause(const FilingPause&) = delete;
    FilingPause& operator=(const FilingPause&) = delete;

    bool applied() const { return fArrays.applied() && fSingles.applied() && fReleases.applied(); }
    void arm(DWORD thread, std::function<void()> meanwhile)
    {
        fMeanwhile = std::move(meanwhile);
        fThread = thread;
    }
    bool happened() const { return fHappened; }

private:
    static void* allocateArray(std::size_t size)
    {
        if (FilingPause* pause = sPause; pause && pause->fThread == GetCurrentThreadId())
            pause->fArrayMade = true;
        return sArray(size);
    }
    static void* allocate(std::size_t size)
    {
        FilingPause* pause = sPause;
        if (pause && pause->fArrayMade && pause->fThread == GetCurrentThreadId()) {
            pause->fThread = 0;
            pause->fMeanwhile();
            pause->fHappened = true;
        }
        return sSingle(size);
    }
    static void release(void* block, std::size_t size) noexcept
    {
        if (sPause) {
            std::memset(block, 0xA5, size);
            return;
        }
        sRelease(block, size);
    }

    static inline void* (*sArray)(std::size_t) = nullptr;
    static inline void* (*sSingle)(std::size_t) = nullptr;
    static inline void (*sRelease)(void*, std::size_t) noexcept = nullptr;
    static inline std::atomic<FilingPause*> sPause{nullptr};
    ovktest::ImportPatch fArrays;
    ovktest::ImportPatch fSingles;
    ovktest::ImportPatch fReleases;
    std::function<void()> fMeanwhile;
    std::atomic<DWORD> fThread{0};
    std::atomic<bool> fArrayMade{false};
    std::atomic<bool> fHappened{false};
};

// One edit handler, in its plain-buffer mode, serves a details-view container on each of two GUI
// threads. The second thread's cell was edited before; the first thread's edit ends, and is held
// as the handler files the cell's new buffer, while the second thread takes its object out of
// its container, so that the handler forgets that cell's buffer. The handler's record of its
// buffers is changed by one thread at a time: the second waits until the first has filed.
TEST_F(Threads, OneEditHandlerServingContainersOnTwoThreadsFilesTheirBuffersOneAtATime)
{
    const ovktest::Watchdog watchdog(60000);
    const ovktest::FaultCounter faults;
    ICnrEditHandler editing;
    editing.setStringMode(1);
    PaintingThread first(40);
    PaintingThread second(41);
    // The first thread's cell lies below the second's: the handler's search for where to file
    // the first finds the second's.
    std::unique_ptr<NotedItem> items[2] = {std::make_unique<NotedItem>("a"),
                                           std::make_unique<NotedItem>("b")};
    if (&items[0]->note > &items[1]->note)
        std::swap(items[0], items[1]);
    NotedItem* const objects[2] = {items[0].get(), items[1].get()};
    std::unique_ptr<IContainerColumn> notes[2];
    PaintingThread* const painters[2] = {&first, &second};
    for (int which = 0; which < 2; ++which)
        painters[which]->run([&, which] {
            ICnrCtl& container = painters[which]->container();
            container.showDetailsView();
            notes[which] = std::make_unique<IContainerColumn>(
                objects[which]->noteOffset(), IContainerColumn::defaultHeadingStyle(),
                IContainerColumn::DataStyle::string);
            container.addColumn(notes[which].get());
            container.addObject(objects[which]);
            objects[which]->setWriteable(true, &container);
            editing.handleEventsFor(&container);
        });
    // The edit a user makes: the cell's edit opens, its text is replaced and Enter commits it.
    const auto edit = [&](int which, const char* text) {
        ICnrCtl& container = painters[which]->container();
        container.editObject(objects[which], notes[which].get());
        const HWND overlay = FindWindowExA(painters[which]->list(), nullptr, "Edit", nullptr);
        if (!overlay)
            return false;
        SetWindowTextA(overlay, text);
        SendMessageA(overlay, WM_CHAR, '\r', 0);
        return ovktest::pumpUntil([&] { return container.editWindow() == nullptr; }, 10000);
    };
    bool edited = false;
    second.run([&] { edited = edit(1, "the second's edit"); });
    ASSERT_TRUE(edited);
    {
        FilingPause pause;
        ASSERT_TRUE(pause.applied());
        bool takenOutMeanwhile = false;
        first.run([&] {
            pause.arm(GetCurrentThreadId(), [&] {
                second.start([&] { second.container().removeObject(objects[1]); });
                // Without a lock the second thread is done at once; with one it waits for this
                // thread, which goes on after a while.
                takenOutMeanwhile = second.finishWithin(2000);
            });
            edited = edit(0, "the first's edit");
        });
        second.finish();
        EXPECT_TRUE(pause.happened()) << "the edit filed no buffer";
        EXPECT_FALSE(takenOutMeanwhile) << "the second thread changed the record while the first filed";
    }
    EXPECT_TRUE(edited);
    EXPECT_STREQ(objects[0]->note, "the first's edit");
    EXPECT_EQ(faults.faults(), 0) << "the filing went over a link that the other thread let go";
    for (int which = 0; which < 2; ++which)
        painters[which]->run([&, which] {
            ICnrCtl& container = painters[which]->container();
            container.removeObject(objects[which]);
            editing.stopHandlingEventsFor(&container);
            container.removeColumn(notes[which].get());
        });
    // The buffers are the application's once the objects have left.
    for (NotedItem* object : objects)
        delete[] object->note;
}

// This thread makes a native container with twenty objects, takes them all out and deletes the
// container, round after round, while a worker deletes those objects: each deletion walks every
// container that may hold its object, the one being deleted included. The walk must be done with
// a container before its destructor lets its memory go.
TEST_F(Threads, AWorkerDeletingObjectsNeverUsesAContainerThatItsOwnThreadDeletesMeanwhile)
{
    const ovktest::Watchdog watchdog(280000);
    const ovktest::FaultCounter faults;
    // A message-driven container of this thread would hold every walk until this thread is done
    // with the deletion: the walk asks it by a message whether it holds the object.
    messageDriven.reset();
    constexpr int kRounds = 3000;
    constexpr int kObjects = 20;
    std::mutex lock;
    std::condition_variable handedOver;
    std::vector<ICnrObj*> toDelete;
    bool stop = false;
    // Set by the worker as it ends each round's deletions: this thread answers messages until
    // then and wakes at once, rather than looking now and then.
    ovk_native::KernelHandles roundDeleted;
    roundDeleted.add(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::atomic<int> roundsDeleted{0};
    std::thread worker([&] {
        for (;;) {
            std::vector<ICnrObj*> objects;
            {
                std::unique_lock<std::mutex> held(lock);
                handedOver.wait(held, [&] { return stop || !toDelete.empty(); });
                if (toDelete.empty())
                    return;
                objects.swap(toDelete);
            }
            for (ICnrObj* object : objects)
                delete object;
            ++roundsDeleted;
            SetEvent(roundDeleted.data()[0]);
        }
    });
    int stuck = 0;
    for (int round = 0; round < kRounds && stuck == 0; ++round) {
        auto* container = new PoisonedContainer(30, parent.get());
        std::vector<ICnrObj*> objects;
        for (int i = 0; i < kObjects; ++i) {
            objects.push_back(new PoisonedItem(IString("object ") + IString(i)));
            container->addObject(objects.back());
        }
        {
            const std::lock_guard<std::mutex> held(lock);
            toDelete = objects;
        }
        handedOver.notify_one();
        container->removeAllObjects();
        delete container;
        if (!pumpUntilSignalled(roundDeleted.data()[0], 10000) || roundsDeleted.load() != round + 1)
            ++stuck;
    }
    {
        const std::lock_guard<std::mutex> held(lock);
        stop = true;
    }
    handedOver.notify_one();
    worker.join();
    EXPECT_EQ(stuck, 0) << "the worker's deletions did not end";
    EXPECT_EQ(faults.faults(), 0) << "a deleted container was used";
}

// Overwrites, and never gives back, every block that the base library releases while alive:
// a text pointer that a reader kept past the text's release then reads the pattern.
class PoisonedReleases {
public:
    PoisonedReleases() : fPatch("ovkbase.dll", "_ZdlPv", &release, sRelease) {}
    PoisonedReleases(const PoisonedReleases&) = delete;
    PoisonedReleases& operator=(const PoisonedReleases&) = delete;
    bool applied() const { return fPatch.applied(); }

private:
    static void release(void* block) noexcept
    {
        if (block)
            std::memset(block, 0xA5, _msize(block));
    }

    static inline void (*sRelease)(void*) noexcept = nullptr;
    ovktest::ImportPatch fPatch;
};

// Runs the action once, on this thread, after a container's window has answered its list's
// request for a text and before the list reads the answer.
class AfterTextRequest {
public:
    AfterTextRequest(HWND list, std::function<void()> action)
        : fHook(SetWindowsHookExA(WH_CALLWNDPROCRET, &answered, nullptr, GetCurrentThreadId()))
    {
        sList = list;
        sAction = std::move(action);
    }
    ~AfterTextRequest()
    {
        UnhookWindowsHookEx(fHook);
        sList = nullptr;
        sAction = nullptr;
    }
    AfterTextRequest(const AfterTextRequest&) = delete;
    AfterTextRequest& operator=(const AfterTextRequest&) = delete;

private:
    static LRESULT CALLBACK answered(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->message == WM_NOTIFY && sAction) {
            const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(sent->lParam);
            if (info->hdr.hwndFrom == sList && info->hdr.code == LVN_GETDISPINFOA &&
                (info->item.mask & LVIF_TEXT)) {
                const std::function<void()> action = std::move(sAction);
                sAction = nullptr;
                action();
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND sList = nullptr;
    static inline std::function<void()> sAction;
    HHOOK fHook;
};

// The list of this thread asks for an object's text, and a worker renames the object between
// the container's answer and the list's read of it; the text it replaces is overwritten as it
// is released. The list reads the old text or the new one, never what the release left.
TEST_F(Threads, TheListReadsTheOldOrTheNewTextOfAnObjectThatAWorkerRenamesMeanwhile)
{
    const ovktest::Watchdog watchdog(20000);
    const std::string before = "the name it had";
    const std::string after = "the name it has now, which is longer";
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    auto* object = new Item(before.c_str());
    // A refresh would be sent to this thread, which the hook holds inside the list's request
    // until the rename is over.
    object->disableRefresh();
    native->addObject(object);

    std::promise<void> go;
    std::promise<void> renamed;
    std::thread worker([&] {
        go.get_future().wait();
        object->setIconText(after.c_str());
        renamed.set_value();
    });
    bool renamedMeanwhile = false;
    char text[128] = {};
    {
        const PoisonedReleases poison;
        ASSERT_TRUE(poison.applied());
        std::future<void> done = renamed.get_future();
        const AfterTextRequest hook(list, [&] {
            go.set_value();
            renamedMeanwhile = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        });
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
    }
    worker.join();
    EXPECT_TRUE(renamedMeanwhile);
    EXPECT_TRUE(text == before || text == after) << "the list read " << testing::PrintToString(std::string(text));
    EXPECT_EQ(cnrtest::listItemText(list, 0), after);
    delete object;
}

// Runs the action once, on this thread, inside a module's next call of a text comparison, before
// the comparison reads the texts: the library's own (strcmp), or the message-driven class's
// comparison without regard to case (_strnicmp).
template <class... Arguments>
class CompareHold {
public:
    CompareHold(const char* module, const char* function)
        : fPatch(module, function, &compare, sCompare)
    {
    }
    ~CompareHold() { sAction = nullptr; }
    CompareHold(const CompareHold&) = delete;
    CompareHold& operator=(const CompareHold&) = delete;

    bool applied() const { return fPatch.applied(); }
    void arm(std::function<void()> action)
    {
        sAction = std::move(action);
        sThread = GetCurrentThreadId();
    }

private:
    static int compare(Arguments... arguments)
    {
        if (sAction && sThread == GetCurrentThreadId()) {
            const std::function<void()> action = std::move(sAction);
            sAction = nullptr;
            action();
        }
        return sCompare(arguments...);
    }

    static inline int (*sCompare)(Arguments...) = nullptr;
    static inline std::function<void()> sAction;
    static inline std::atomic<DWORD> sThread{0};
    ovktest::ImportPatch fPatch;
};

struct TextCompareHold : CompareHold<const char*, const char*> {
    TextCompareHold() : CompareHold("ovkwin.dll", "strcmp") {}
};

struct CaseBlindCompareHold : CompareHold<const char*, const char*, std::size_t> {
    CaseBlindCompareHold() : CompareHold("ovkcnr.dll", "_strnicmp") {}
};

// A message-driven container's search held inside its comparison, with released blocks
// overwritten and kept, so that a text read after its release shows as a wrong text.
struct HeldSearch {
    bool applied() const { return poison.applied() && hold.applied(); }

    PoisonedReleases poison;
    CaseBlindCompareHold hold;
};

// Waits without answering messages until the condition holds or the time is over.
void sleepUntil(const std::function<bool()>& done, std::chrono::milliseconds most)
{
    const auto until = std::chrono::steady_clock::now() + most;
    while (!done() && std::chrono::steady_clock::now() < until)
        Sleep(1);
}

// A worker that renames the object from inside the held comparison, which goes on once the
// rename is over or the patience is spent.
class HeldRename {
public:
    template <class Hold>
    HeldRename(Hold& hold, ICnrObj& object, std::string name, std::chrono::milliseconds patience)
    {
        hold.arm([this, &object, name, patience] {
            fWorker = std::thread([this, &object, name] {
                object.setIconText(name.c_str());
                fRenamed = true;
            });
            sleepUntil([this] { return fRenamed.load(); }, patience);
        });
    }
    ~HeldRename()
    {
        if (fWorker.joinable())
            fWorker.join();
    }
    HeldRename(const HeldRename&) = delete;
    HeldRename& operator=(const HeldRename&) = delete;

    bool started() const { return fWorker.joinable(); }
    bool renamed() const { return fRenamed; }
    void join() { fWorker.join(); }

private:
    std::thread fWorker;
    std::atomic<bool> fRenamed{false};
};

// The edit control of a message-driven container.
constexpr int kEditId = 0x7FFA;

bool released(const char* text)
{
    return static_cast<unsigned char>(text[0]) == 0xA5;
}

// A message-driven container of this thread shows an object whose text its searches compare,
// held inside the comparison, while released texts are overwritten.
class HeldSearches : public Threads {
protected:
    void SetUp() override
    {
        Threads::SetUp();
        ASSERT_TRUE(held.applied());
        messageDriven->addObject(object);
    }

    HeldSearch held;
    CaseBlindCompareHold& hold = held.hold;
    // The test deletes it.
    Item* object = new Item("x");
};

// The message-driven container of this thread searches for an object by its text, and while it
// compares the text a worker renames the object, whose repaint is off. The search reads the text
// it began with and finds the object; that text is let go once the container is back in its
// message loop, or as the container goes. Released texts are overwritten and, while the poison
// is on, never given back, so the test can look at them afterwards.
TEST_F(HeldSearches, AMessageDrivenContainersSearchReadsATextThatAWorkerReplacesMeanwhile)
{
    const ovktest::Watchdog watchdog(30000);
    object->disableRefresh();
    for (int round = 0; round < 2; ++round) {
        const std::string before = "the name it had " + std::to_string(round);
        const std::string after = "the name it has now, which is longer " + std::to_string(round);
        object->setIconText(before.c_str());
        const char* const replaced = ICnrObj::recordOf(object)->pszIcon;
        // A rename that waited for this thread would hold the search for good.
        HeldRename rename(hold, *object, after, std::chrono::seconds(5));
        ICnrCtl::TextCursor cursor(*messageDriven, before.c_str(), false, false);
        const bool found = cursor.setToFirst();
        ASSERT_TRUE(rename.started()) << "the search compared no text";
        rename.join();
        ASSERT_TRUE(rename.renamed()) << "the rename waited for the container's thread";
        EXPECT_TRUE(found && cursor.current() == object)
            << "the search read the text that the rename released";
        EXPECT_EQ(ovktest::str(object->iconText()), after);
        EXPECT_TRUE(ovktest::pumpUntil([&] { return released(replaced); }, 5000))
            << "the text replaced stayed after the container was back in its loop";
    }
    // Renamed again, and the container goes before it is back in its loop.
    const char* const replaced = ICnrObj::recordOf(object)->pszIcon;
    object->setIconText("the last name");
    EXPECT_FALSE(released(replaced));
    messageDriven.reset();
    EXPECT_TRUE(released(replaced)) << "the container went and kept the text replaced";
    delete object;
}

// The same search in a container that is hidden and whose refresh is off, with the object's
// repaint on: the rename's repaint asks every container that holds the object, on its own
// thread, so it waits for the search, which reads the text it began with.
TEST_F(HeldSearches, ARenameWhoseRepaintIsOnWaitsForAHiddenMessageDrivenContainersSearch)
{
    const ovktest::Watchdog watchdog(30000);
    messageDriven->hide();
    messageDriven->disableRefresh();
    for (int round = 0; round < 2; ++round) {
        const std::string before = "the name it had " + std::to_string(round);
        const std::string after = "the name it has now, which is longer " + std::to_string(round);
        object->setIconText(before.c_str());
        bool renamedDuringSearch = true;
        {
            HeldRename rename(hold, *object, after, std::chrono::seconds(1));
            ICnrCtl::TextCursor cursor(*messageDriven, before.c_str(), false, false);
            const bool found = cursor.setToFirst();
            renamedDuringSearch = rename.renamed();
            ASSERT_TRUE(rename.started()) << "the search compared no text";
            EXPECT_TRUE(found && cursor.current() == object)
                << "the search read the text that the rename released";
            EXPECT_TRUE(ovktest::pumpUntil([&] { return rename.renamed(); }, 10000));
        }
        EXPECT_FALSE(renamedDuringSearch) << "the rename did not wait for the search";
        EXPECT_EQ(ovktest::str(object->iconText()), after);
    }
    delete object;
}

// Runs the action once, on this thread, when a window of this thread is next sent a message,
// before the window sees it.
class BeforeSent {
public:
    BeforeSent(HWND window, UINT message, std::function<void()> action)
        : fHook(SetWindowsHookExA(WH_CALLWNDPROC, &sending, nullptr, GetCurrentThreadId()))
    {
        sWindow = window;
        sMessage = message;
        sAction = std::move(action);
    }
    ~BeforeSent()
    {
        UnhookWindowsHookEx(fHook);
        sWindow = nullptr;
        sAction = nullptr;
    }
    BeforeSent(const BeforeSent&) = delete;
    BeforeSent& operator=(const BeforeSent&) = delete;

private:
    static LRESULT CALLBACK sending(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sAction && sent->hwnd == sWindow && sent->message == sMessage) {
            const std::function<void()> action = std::move(sAction);
            sAction = nullptr;
            action();
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND sWindow = nullptr;
    static inline UINT sMessage = 0;
    static inline std::function<void()> sAction;
    HHOOK fHook;
};

// This thread's native container is asked for an object's attributes, and while it asks its list
// where the item lies, a worker hides the object (and then shows it again). The native container
// writes back what it learnt, and the hide or show must survive that.
TEST_F(Threads, AHideOrShowOnAnotherThreadSurvivesANativeContainersAttributeQuery)
{
    const ovktest::Watchdog watchdog(30000);
    auto* object = new Item("shown");
    native->addObject(object);
    const HWND list = cnrtest::child(native->handle(), 0x3000);
    for (const bool show : {false, true}) {
        SCOPED_TRACE(show ? "shown again" : "hidden");
        std::thread worker;
        std::atomic<bool> done{false};
        {
            const BeforeSent hook(list, LVM_GETITEMPOSITION, [&] {
                worker = std::thread([&] {
                    object->show(show);
                    done = true;
                });
                // The worker changes the word, then asks this thread's container to repaint the
                // object, which this thread answers after the query.
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                while (((object->record()->flRecordAttr & CRA_FILTERED) != 0) == show &&
                       std::chrono::steady_clock::now() < until)
                    Sleep(1);
            });
            native->attributes(object);
        }
        ASSERT_TRUE(worker.joinable()) << "the query did not ask the list";
        ovktest::pumpUntil([&] { return done.load(); }, 10000);
        worker.join();
        EXPECT_EQ(object->isVisible(), show);
        EXPECT_EQ(object->isVisible(native.get()), show);
    }
    delete object;
}

// Two GUI threads add the same object at once: the message-driven container of this thread holds
// it and deletes its objects on close, and a second thread is held inside its own addition, after
// the addition began and before its window takes the record, while this thread closes its
// container. The close must leave the object, and its record, to the container it is being
// added to, counted and listed there. Done twice on the same second thread.
TEST_F(Threads, AContainerClosingWithItsObjectsLeavesOneThatAnotherThreadIsAdding)
{
    const ovktest::Watchdog watchdog(60000);
    PaintingThread adding(40, true);
    for (const char* text : {"first", "second"}) {
        SCOPED_TRACE(text);
        std::unique_ptr<ICnrCtl> closing = makeMessageDriven(22);
        closing->setDeleteObjectsOnClose();
        auto* object = new Item(text);
        closing->addObject(object);
        const int destroyed = Item::destroyed;
        const long records = OvkCnrTestLiveRecords();
        std::atomic<bool> held{false};
        std::atomic<bool> closed{false};
        bool refused = false;
        adding.start([&] {
            const BeforeSent hold(adding.container().handle(), CM_INSERTRECORD, [&] {
                held = true;
                // Nothing is locked here: the close goes on at once.
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!closed && std::chrono::steady_clock::now() < until)
                    Sleep(1);
                // A record that went with the closed window, its object deleted or not, is
                // refused here rather than taken as freed memory.
                if (Item::destroyed != destroyed || OvkCnrTestLiveRecords() != records)
                    OvkCnrTestForceNextResult(CM_INSERTRECORD, 0);
            });
            try {
                adding.container().addObject(object);
            } catch (const IException&) {
                refused = true;
            }
        });
        ASSERT_TRUE(ovktest::pumpUntil([&] { return held.load(); }, 10000));
        closing.reset();
        closed = true;
        adding.finish();
        EXPECT_EQ(Item::destroyed, destroyed) << "the close deleted an object that another thread was adding";
        EXPECT_EQ(OvkCnrTestLiveRecords(), records) << "the close freed the record of an object it left";
        // Otherwise the object stays: its record is gone already.
        if (Item::destroyed != destroyed || OvkCnrTestLiveRecords() != records)
            continue;
        EXPECT_FALSE(refused);
        EXPECT_EQ(object->containerCount(), 1u);
        bool listed = false;
        unsigned long count = 0;
        adding.run([&] {
            listed = adding.container().containsObject(object);
            count = adding.container().objectCount();
        });
        EXPECT_TRUE(listed);
        EXPECT_EQ(count, 1u);
        EXPECT_STREQ(object->iconText(), text);
        delete object;
        adding.run([&] { count = adding.container().objectCount(); });
        EXPECT_EQ(count, 0u);
    }
}

// The user edits an object's text in this thread's native container and commits it as it was,
// and while the container compares the text, a worker renames the object; the text it replaces
// is overwritten as it is released. The edit changed nothing, so the worker's name stays.
TEST_F(Threads, AnEditCommittedUnchangedKeepsTheNameAWorkerGaveTheObjectMeanwhile)
{
    const ovktest::Watchdog watchdog(30000);
    // No container of this thread but the native one, which reads the text under the guard: the
    // rename then waits for nothing here.
    messageDriven.reset();
    const PoisonedReleases poison;
    ASSERT_TRUE(poison.applied());
    TextCompareHold hold;
    ASSERT_TRUE(hold.applied());
    ICnrEditHandler editing;
    editing.handleEventsFor(native.get());
    auto* object = new Item("x");
    native->addObject(object);
    object->setWriteable(true, native.get());
    for (int round = 0; round < 2; ++round) {
        const std::string before = "the name it had " + std::to_string(round);
        const std::string after = "the name a worker gave it " + std::to_string(round);
        object->setIconText(before.c_str());
        native->editObject(object);
        ASSERT_NE(native->editWindow(), nullptr);
        const HWND edit = native->editWindow()->handle();
        SetWindowTextA(edit, before.c_str());
        // The rename's repaint is sent to this thread: the edit goes on after a while.
        HeldRename rename(hold, *object, after, std::chrono::seconds(2));
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(rename.started()) << "the end of the edit compared no text";
        ovktest::pumpUntil([&] { return rename.renamed(); }, 10000);
        rename.join();
        EXPECT_EQ(native->editWindow(), nullptr);
        EXPECT_EQ(ovktest::str(object->iconText()), after) << "the edit wrote over the rename";
    }
    editing.stopHandlingEventsFor(native.get());
    delete object;
}

// The user edits an object's text in this thread's message-driven container and commits a new one
// while a message-driven container of another thread, which shows the object too, compares the
// text in a search. The search reads the text it began with and finds the object.
TEST_F(HeldSearches, AnEditCommittedWhileAnotherThreadsMessageDrivenContainerSearchesKeepsTheTextItReads)
{
    const ovktest::Watchdog watchdog(60000);
    ICnrEditHandler editing;
    editing.handleEventsFor(messageDriven.get());
    object->setWriteable(true, messageDriven.get());
    PaintingThread other(0x41, true);
    other.run([&] { other.container().addObject(object); });
    for (int round = 0; round < 2; ++round) {
        const std::string before = "the name it had " + std::to_string(round);
        const std::string after = "the name the user gave it " + std::to_string(round);
        object->setIconText(before.c_str());
        const char* const replaced = ICnrObj::recordOf(object)->pszIcon;
        messageDriven->editObject(object);
        const HWND edit = cnrtest::child(messageDriven->handle(), kEditId);
        ASSERT_NE(edit, nullptr);
        SetWindowTextA(edit, after.c_str());
        std::promise<void> searching;
        std::atomic<bool> committed{false};
        bool found = false;
        other.start([&] {
            // The search goes on once the edit has ended, or once the text it began with is
            // released, or a second after that text was replaced, whichever comes first.
            hold.arm([&] {
                searching.set_value();
                const MINIRECORDCORE* record = ICnrObj::recordOf(object);
                sleepUntil([&] { return committed || record->pszIcon != replaced; },
                           std::chrono::seconds(10));
                sleepUntil([&] { return committed || released(replaced); }, std::chrono::seconds(1));
            });
            ICnrCtl::TextCursor cursor(other.container(), before.c_str(), false, false);
            found = cursor.setToFirst() && cursor.current() == object;
        });
        ASSERT_EQ(searching.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready)
            << "the search compared no text";
        // Enter posts the end of the edit to the container.
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(ovktest::pumpUntil([&] { return messageDriven->editWindow() == nullptr; }, 20000));
        committed = true;
        other.finish();
        EXPECT_EQ(ovktest::str(object->iconText()), after);
        EXPECT_TRUE(found) << "the search read the text that the edit released";
    }
    editing.stopHandlingEventsFor(messageDriven.get());
    delete object;
}

// Types a text into a window of this thread as a keyboard does: a press and a release for each
// character, which the message loop translates into the character. Lower-case letters, digits
// and blanks only: no shift key is held.
void typeInto(HWND window, const std::string& text)
{
    for (const char character : text) {
        const auto key = static_cast<WPARAM>(LOBYTE(VkKeyScanA(character)));
        const auto scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
        PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
        PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
    }
    ovktest::pumpPending();
}

// Two GUI threads each show the same objects in a native container of their own, adding them
// (and taking them out and adding them again) at the same time, and repaint all the while. A
// worker renames the objects meanwhile; then the user edits an object's text in place in each
// container, by its keys, while the worker renames it again; then each thread asks its
// container for the objects' attributes over and over while the worker hides them; and at last
// each thread deletes its container, the objects still in it, and makes another, while the
// worker deletes the objects. One edit handler serves both containers. Each round every
// container holds every object once and its list reads every object's latest text, no hide is
// lost, and nothing is left behind or read after it was deleted: deleted objects, deleted
// containers and released texts are overwritten, so a read of any of them shows as a wrong text
// or a fault. The exact meetings of two threads are forced by the tests above; this one takes
// the whole road for some rounds.
TEST_F(Threads, AWorkerChangesObjectsThatTwoGuiThreadsShowEditQueryAndRemake)
{
    const ovktest::Watchdog watchdog(300000);
    const ovktest::FaultCounter faults;
    const PoisonedReleases poison;
    ASSERT_TRUE(poison.applied());
    constexpr int kRounds = 20;
    constexpr int kPasses = 3;
    constexpr int kObjects = 2;
    ICnrEditHandler editing;
    PaintingThread first(40);
    PaintingThread second(41);
    PaintingThread* const painters[] = {&first, &second};
    for (PaintingThread* painter : painters)
        painter->run([&editing, painter] { editing.handleEventsFor(&painter->container()); });

    int wrongCounts = 0;
    int wrongTexts = 0;
    int editsNotDone = 0;
    int lostHides = 0;
    int leftBehind = 0;
    // Every list reads every object's current text, each item once.
    const auto checkTexts = [&](const std::vector<ICnrObj*>& objects) {
        std::vector<std::string> texts;
        for (ICnrObj* object : objects)
            texts.push_back(ovktest::str(object->iconText()));
        std::sort(texts.begin(), texts.end());
        for (PaintingThread* painter : painters)
            painter->run([&] {
                const LRESULT items = SendMessageA(painter->list(), LVM_GETITEMCOUNT, 0, 0);
                if (items != kObjects || painter->container().objectCount() != kObjects)
                    ++wrongCounts;
                std::vector<std::string> shown;
                for (int index = 0; index < static_cast<int>(items); ++index)
                    shown.push_back(cnrtest::listItemText(painter->list(), index));
                std::sort(shown.begin(), shown.end());
                if (shown != texts)
                    ++wrongTexts;
            });
    };
    const auto addWhileRenamed = [&](const std::vector<ICnrObj*>& objects, int round) {
        for (PaintingThread* painter : painters)
            painter->start([painter, &objects] {
                for (int pass = 0; pass < kPasses; ++pass)
                    for (ICnrObj* object : objects) {
                        if (pass > 0)
                            painter->container().removeObject(object);
                        painter->container().addObject(object);
                        object->setWriteable(true, &painter->container());
                    }
            });
        const std::string name = "renamed while added " + std::to_string(round);
        for (ICnrObj* object : objects)
            object->setIconText(name.c_str());
        for (PaintingThread* painter : painters)
            painter->finish();
        checkTexts(objects);
    };
    // Each thread edits its own object of the two, in its own container: the edit opens, the
    // keys replace the text and Enter commits it, while the worker renames the object. The two
    // edits take turns: an edit control paints through the platform's text shaping, whose font
    // caches two threads must not fill at once here.
    const auto editWhileRenamed = [&](const std::vector<ICnrObj*>& objects, int round) {
        for (int which = 0; which < 2; ++which) {
            PaintingThread* const painter = painters[which];
            ICnrObj* const object = objects[which];
            const std::string typed = "edited " + std::to_string(round) + " by " + std::to_string(which);
            painter->start([painter, object, &typed, &editsNotDone] {
                ICnrCtl& container = painter->container();
                container.editObject(object);
                IWindow* const edit = container.editWindow();
                if (!edit) {
                    ++editsNotDone;
                    return;
                }
                typeInto(edit->handle(), typed);
                PostMessageA(edit->handle(), WM_KEYDOWN, VK_RETURN, 1);
                if (!ovktest::pumpUntil([&] { return container.editWindow() == nullptr; }, 10000))
                    ++editsNotDone;
            });
            for (int rename = 0; rename < 5; ++rename)
                object->setIconText(IString("renamed while edited ") + IString(round) + " " +
                                    IString(rename));
            painter->finish();
            const std::string text = ovktest::str(object->iconText());
            if (text != typed && text.rfind("renamed while edited " + std::to_string(round) + " ", 0) != 0)
                ++wrongTexts;
        }
        checkTexts(objects);
    };
    // The threads ask until the worker is done hiding, and once more after; each question makes
    // the native container ask its list where the item lies and what state it is in.
    const auto queryWhileHidden = [&](const std::vector<ICnrObj*>& objects) {
        std::atomic<bool> hidden{false};
        for (PaintingThread* painter : painters)
            painter->start([painter, &objects, &hidden] {
                for (bool last = false; !last;) {
                    last = hidden;
                    for (ICnrObj* object : objects) {
                        object->isVisible(&painter->container());
                        object->isVisible();
                    }
                    ovktest::pumpPending();
                }
            });
        for (ICnrObj* object : objects)
            object->hide();
        hidden = true;
        for (PaintingThread* painter : painters)
            painter->finish();
        for (ICnrObj* object : objects) {
            if (object->isVisible())
                ++lostHides;
            for (PaintingThread* painter : painters)
                painter->run([&] {
                    if (object->isVisible(&painter->container()))
                        ++lostHides;
                });
        }
    };
    const auto remakeWhileDeleted = [&](const std::vector<ICnrObj*>& objects) {
        for (PaintingThread* painter : painters)
            painter->start([painter, &editing] {
                editing.stopHandlingEventsFor(&painter->container());
                painter->remake();
                editing.handleEventsFor(&painter->container());
            });
        for (ICnrObj* object : objects)
            delete object;
        for (PaintingThread* painter : painters)
            painter->finish();
        for (PaintingThread* painter : painters)
            painter->run([&] {
                if (SendMessageA(painter->list(), LVM_GETITEMCOUNT, 0, 0) != 0 ||
                    painter->container().objectCount() != 0)
                    ++leftBehind;
            });
    };

    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int round = 0; round < kRounds; ++round) {
            std::vector<ICnrObj*> objects;
            for (int i = 0; i < kObjects; ++i)
                objects.push_back(new PoisonedItem(IString("object ") + IString(round * kObjects + i)));
            addWhileRenamed(objects, round);
            editWhileRenamed(objects, round);
            for (ICnrObj* object : objects)
                object->setIconText(IString("a longer name given before it goes ") + IString(round));
            queryWhileHidden(objects);
            remakeWhileDeleted(objects);
        }
        done = true;
    });
    ovktest::pumpUntil([&] { return done.load(); }, 280000);
    worker.join();
    for (PaintingThread* painter : painters)
        painter->run([&editing, painter] { editing.stopHandlingEventsFor(&painter->container()); });
    EXPECT_EQ(wrongCounts, 0) << "lists in which a container did not hold every object once";
    EXPECT_EQ(wrongTexts, 0) << "lists or objects that read another text than the object's latest";
    EXPECT_EQ(editsNotDone, 0) << "edits that did not open or did not end";
    EXPECT_EQ(lostHides, 0) << "objects that a query showed again after the worker hid them";
    EXPECT_EQ(leftBehind, 0) << "rounds that left an item of a deleted object behind";
    EXPECT_EQ(faults.faults(), 0) << "a deleted object or container or a freed text was read";
}

} // namespace
