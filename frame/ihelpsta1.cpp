// Help statics: the binding of the help viewer, a module loaded by name on first use whose
// entries are looked up by name, each once.
#include <windows.h>

#include <hvxapi.h>

#include <iexcept.hpp>

#include <atomic>
#include <mutex>

#include <idll.hpp>

#include "ihelpsta.hpp"

namespace {

const char kFile[] = "ihelpsta";

std::mutex gBindLock;
// The module stays loaded as long as the process: freeing it from the library's detach at
// process end would call into the loader while it holds its lock.
IDynamicLinkLibrary* gViewer = nullptr;

std::atomic<HvxCreateHelpInstanceEntry> gCreate{nullptr};
std::atomic<HvxDestroyHelpInstanceEntry> gDestroy{nullptr};
std::atomic<HvxLoadHelpTableEntry> gLoadTable{nullptr};
std::atomic<HvxCallEntry> gCall{nullptr};

// The entry, looked up on its first use and kept; a module or entry that is missing throws and
// leaves nothing cached, so a later call binds once it is there.
template <class Entry>
Entry bind(std::atomic<Entry>& cache, const char* name)
{
    Entry entry = cache.load(std::memory_order_acquire);
    if (entry)
        return entry;
    IDynamicLinkLibrary& viewer = IHelpStatics::helpLibrary();
    std::lock_guard<std::mutex> lock(gBindLock);
    entry = cache.load(std::memory_order_relaxed);
    if (!entry) {
        // Through the generic function type, as GetProcAddress answers any entry.
        entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(viewer.procAddress(name)));
        cache.store(entry, std::memory_order_release);
    }
    return entry;
}

const char* createFailureText(long code)
{
    switch (code) {
    case 1001: return "WinCreateHelpInstance - Invalid Appl Handle";
    case 1015: return "WinCreateHelpInstance - Invalid Help Structure";
    case 1021: return "WinCreateHelpInstance - Insufficient Memory";
    case 1034: return "WinCreateHelpInstance - Invalid DLL HVX.DLL";
    case 1007: return "WinCreateHelpInstance - Invalid Help Table";
    case 1014:
    case 1018:
    case 1020: return "WinCreateHelpInstance - Help File Cannot Be Opened";
    default: return "WinCreateHelpInstance - Unknown Error";
    }
}

} // namespace

IDynamicLinkLibrary& IHelpStatics::helpLibrary()
{
    std::lock_guard<std::mutex> lock(gBindLock);
    if (!gViewer)
        gViewer = new IDynamicLinkLibrary(HVX_LIBRARY_NAME);
    return *gViewer;
}

IWindowHandle IHelpStatics::createHelpInstance(const IWindowHandle& application,
                                               void* initialisation)
{
    const HvxCreateHelpInstanceEntry create = bind(gCreate, HVX_CREATE_ENTRY);
    HWND instance = nullptr;
    const long code = create(application, static_cast<HVXINIT*>(initialisation), &instance);
    if (code != 0)
        IThrow::systemError(createFailureText(code), static_cast<IException::ErrorId>(code),
                            IEXCEPTION_LOCATION(kFile,
                                "IHelpStatics::createHelpInstance(const IWindowHandle&,void*)"));
    return instance;
}

IBase::Boolean IHelpStatics::destroyHelpInstance(const IWindowHandle& instance)
{
    return bind(gDestroy, HVX_DESTROY_ENTRY)(instance) == 0;
}

IBase::Boolean IHelpStatics::loadHelpTable(const IWindowHandle& instance, unsigned long tableId,
                                           const IModuleHandle& module)
{
    return bind(gLoadTable, HVX_LOAD_TABLE_ENTRY)(instance, tableId, module) == 0;
}

IEventData IHelpStatics::sendHelpCommand(const IWindowHandle& instance, unsigned short command,
                                         const IEventData& parameter1,
                                         const IEventData& parameter2)
{
    const LRESULT answer = bind(gCall, HVX_CALL_ENTRY)(
        instance, command, static_cast<WPARAM>(parameter1.asUnsignedLong()),
        static_cast<LPARAM>(parameter2.asLong()));
    return IEventData(static_cast<std::intptr_t>(answer));
}
