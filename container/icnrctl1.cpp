// ICnrCtl: the per-thread allocation window, the list of all containers, the destroy handler
// and the clean-up.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "icnrctl.hpp"

#include <detail/iclasswide.hpp>
#include <inotifev.hpp>
#include <iresource.hpp>

#include <detail/icallgrd.hpp>
#include <iassert.hpp>
#include <ithread.hpp>
#include <ithunk.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnrrtxt.hpp"
#include "detail/ioutcls.hpp"
#include "icnrdhdr.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl1";
const char* const kHandleVariable = "ICnrCtl::hwnd";
constexpr int kAllocationWindowId = 0xFFFF;

// The allocation window's handle in the thread variable: its 32 significant bits (all a window
// handle has, on 64-bit Windows too) as four bytes of a counted string, zero bytes included.
HWND storedAllocationWindow()
{
    const IString value = IThread::current().variable(kHandleVariable);
    if (value.length() != sizeof(std::int32_t))
        return nullptr;
    std::int32_t bits = 0;
    std::memcpy(&bits, value.data(), sizeof bits);
    return static_cast<HWND>(LongToHandle(bits));
}

void storeAllocationWindow(HWND window)
{
    const std::int32_t bits = HandleToLong(window);
    IThread::current().setVariable(kHandleVariable,
                                   IString(reinterpret_cast<const char*>(&bits), sizeof bits));
}

// The disposal filter of a message-driven container that deletes its objects on close: each
// object loses this container's reference, and one that no container holds any more is
// deleted. Its record stays with the container, which frees it with its window. The record of
// an object that another container still holds is listed for the container to take out: the
// window would free it too, and a native container, or one whose thread is adding the object
// right now, holds no claim on it that the window knows of.
struct Disposal {
    // Records of objects that another container still holds.
    std::vector<MINIRECORDCORE*> survivors;
    // Records of the objects deleted, which stay with the window.
    std::vector<MINIRECORDCORE*> deleted;
};

int OVKCNR_CALLBACK disposeObject(MINIRECORDCORE* record, void* disposal)
{
    return ICallbackGuard::call(1, [record, disposal] {
        ICnrObj* object = ICnrObj::objectOf(record);
        if (!object)
            return 1;
        auto& records = *static_cast<Disposal*>(disposal);
        // The count and the mark in one step: another thread may be adding the object to a
        // container of its own right now, or closing one that holds it too.
        if (object->removeLastContainerReference()) {
            delete object;
            records.deleted.push_back(record);
        } else {
            records.survivors.push_back(record);
        }
        return 1;
    });
}

} // namespace

// The list of all containers ------------------------------------------------------------------------

IResource& ICnrList::lock()
{
    // Created on first use, kept until the library is unloaded.
    static IPrivateResource resource("ICnrCtl::containers");
    return resource;
}

std::vector<ICnrCtl*>& ICnrList::containers()
{
    static std::vector<ICnrCtl*>* list = [] {
        auto* containers = new std::vector<ICnrCtl*>;
        containers->reserve(100);
        return containers;
    }();
    return *list;
}

// A container stays listed until its clean-up, which its destroy handler runs as the window
// goes; one whose window died without that handler is still listed with a dead window. The walks
// run from object destructors, which may not throw, so such a container is passed over: its
// handle is asked for only while its window lives (another thread may destroy the window between
// the two questions, hence the catch).
HWND__* ICnrList::liveWindow(const ICnrCtl& container) noexcept
{
    try {
        if (container.isValid())
            return container.handle();
    } catch (const IException&) {
    }
    return nullptr;
}

std::vector<ICnrList::Member> ICnrList::members()
{
    IResourceLock lock(ICnrList::lock());
    std::vector<Member> found;
    found.reserve(containers().size());
    for (ICnrCtl* container : containers())
        if (HWND window = liveWindow(*container))
            found.push_back(Member{container, window});
    return found;
}

namespace {

// The holds of other threads' walks on each container, under the list's lock.
std::map<const ICnrCtl*, unsigned long>& uses()
{
    static auto* held = new std::map<const ICnrCtl*, unsigned long>;
    return *held;
}

} // namespace

ICnrList::Use::Use(const Member& member)
{
    IResourceLock lock(ICnrList::lock());
    const auto& all = containers();
    if (std::find(all.begin(), all.end(), member.container) == all.end() ||
        liveWindow(*member.container) != member.window)
        return;
    fContainer = member.container;
    fCounted = GetWindowThreadProcessId(member.window, nullptr) != GetCurrentThreadId();
    if (fCounted)
        ++uses()[fContainer];
}

ICnrList::Use::~Use()
{
    if (!fCounted)
        return;
    IResourceLock lock(ICnrList::lock());
    auto found = uses().find(fContainer);
    if (found != uses().end() && --found->second == 0)
        uses().erase(found);
}

ICnrCtl* ICnrCtl::containerWithHandle(const IWindowHandle& handle)
{
    IResourceLock lock(ICnrList::lock());
    for (ICnrCtl* container : ICnrList::containers())
        if (container->isValid() && container->handle() == handle)
            return container;
    return nullptr;
}

// By identity rather than by handle, so that a container whose window is already gone still
// leaves the list. Out of the list no walk can take a new hold; the holds taken before are waited
// out here, since the container's memory goes once its destructor returns. The threads that hold
// them may be sending to this container's window right now, so the wait answers sent messages,
// and the list's lock is let go while it waits. Then no text can be kept for the container any
// more, and what was kept for it goes: it reads no record from now on.
void ICnrCtl::leaveContainerList() noexcept
{
    for (bool listed = true;;) {
        {
            IResourceLock lock(ICnrList::lock());
            if (listed) {
                auto& containers = ICnrList::containers();
                auto found = std::find(containers.begin(), containers.end(), this);
                if (found != containers.end())
                    containers.erase(found);
                listed = false;
            }
            if (uses().find(this) == uses().end())
                break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    ICnrReplacedTexts::release(*this);
}

// The allocation window --------------------------------------------------------------------------------

void ICnrCtl::initialize()
{
    IThread::current().initializeGUI(30);
    ICnrList::lock();
    ICnrList::containers();
    thunkLibrary();
    ovk_native::ensureOutsideClass(WC_CONTAINER, ovk_native::kContainerModule);
    HWND window = CreateWindowExA(0, WC_CONTAINER, nullptr, 0x46000040, 0, 0, 0, 0,
                                  GetDesktopWindow(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAllocationWindowId)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        IThrow::systemError("CreateWindow(WC_CONTAINER-Allocate)", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrCtl::initialize()"));
    }
    storeAllocationWindow(window);
}

IWindowHandle ICnrCtl::allocationWindow()
{
    HWND window = storedAllocationWindow();
    if (!window || !IsWindow(window)) {
        initialize();
        window = storedAllocationWindow();
    }
    return IWindowHandle(window);
}

// The destroy handler -----------------------------------------------------------------------------------

ICnrDestroyHandler* ICnrCtl::destroyHandler()
{
    return &ovk_app::sharedHandler<ICnrDestroyHandler>();
}

ICnrCtl& ICnrCtl::addDestroyHandler()
{
    destroyHandler()->handleEventsFor(this);
    return *this;
}

ICnrCtl& ICnrCtl::removeDestroyHandler()
{
    destroyHandler()->stopHandlingEventsFor(this);
    return *this;
}

// Clean-up ------------------------------------------------------------------------------------------------

void ICnrCtl::cleanUp() noexcept
{
    if (!(fState & live))
        return;
    fState &= ~live;
    // Each step is attempted whatever the one before did: a container that is going away must
    // still leave the list of all containers, or objects would later reach a dead one.
    const auto step = [](auto&& body) {
        try {
            body();
        } catch (const IException& failure) {
            IAssertion::report(failure);
        } catch (...) {
            IAssertion::report("unexpected exception",
                               IExceptionLocation(kFile, "ICnrCtl::cleanUp()"));
        }
    };
    // A window that is already gone has nothing left to empty.
    if (isValid()) {
        step([this] {
            hide();
            disableRefresh();
        });
        // An edit left open would write into a record after it has left the window.
        step([this] {
            if (fEditWindow || (fControlData && fControlData->isEditing()))
                closeEdit();
        });
        step([this] {
            if (!(fState & deleteObjectsOnClose))
                removeAllRecords();
            else
                disposeOfObjects();
        });
        // Columns leave the window; deleting them is the column owner's business unless the
        // container was asked to.
        step([this] { releaseColumns(); });
    }
    leaveContainerList();
}

// All records leave the window; none is freed and no object changes.
void ICnrCtl::removeAllRecords()
{
    const IEventData result = sendEvent(CM_REMOVERECORD, 0, 0);
    if (result.asLong() != static_cast<std::intptr_t>(static_cast<LRESULT>(-1)))
        notifyObservers(INotificationEvent(removeId, *this, true, IEventData()));
}

void ICnrCtl::disposeOfObjects()
{
    // A native container deletes every object it shows; a message-driven one lets each go, and
    // deletes those that no other container holds.
    if (!isMessageContainer()) {
        deleteAllObjects();
        return;
    }
    Disposal disposal;
    sendEvent(CM_FILTER, reinterpret_cast<std::uintptr_t>(&disposeObject),
              static_cast<const void*>(&disposal));
    // A survivor leaves with everything under it, and the window then frees none of that: the
    // records of deleted objects under a survivor are found first and freed once out. Each
    // belongs to a deleted object, so no container holds it any more.
    // Nothing is looked for when every object went: the window frees all their records.
    std::vector<MINIRECORDCORE*> underSurvivors;
    std::sort(disposal.survivors.begin(), disposal.survivors.end());
    if (disposal.survivors.empty())
        disposal.deleted.clear();
    for (MINIRECORDCORE* record : disposal.deleted) {
        for (MINIRECORDCORE* above = record;;) {
            above = reinterpret_cast<MINIRECORDCORE*>(
                sendEvent(CM_QUERYRECORD, above,
                          IEventData(std::uint16_t(CMA_PARENT), std::uint16_t(CMA_ITEMORDER)))
                    .asUnsignedLong());
            if (!above || above == reinterpret_cast<MINIRECORDCORE*>(static_cast<std::intptr_t>(-1)))
                break;
            if (std::binary_search(disposal.survivors.begin(), disposal.survivors.end(), above)) {
                underSurvivors.push_back(record);
                break;
            }
        }
    }
    // Each leaves the window without being freed; one that went with a parent before it is
    // refused, which is as good.
    for (MINIRECORDCORE* record : disposal.survivors) {
        MINIRECORDCORE* records[1] = {record};
        sendEvent(CM_REMOVERECORD, records, IEventData(std::uint16_t(1), std::uint16_t(0)));
    }
    if (!underSurvivors.empty())
        allocationWindow().sendEvent(CM_FREERECORD, underSurvivors.data(),
                                     static_cast<unsigned long>(underSurvivors.size()));
}
