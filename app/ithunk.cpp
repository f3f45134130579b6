// The binding of the thunk library.
#include <windows.h>

#include <atomic>

#include "detail/iparked.hpp"
#include "idll.hpp"
#include "ithunk.hpp"

namespace {

// Never reset: the module stays loaded while the process runs, so its entries stay valid.
std::atomic<IDynamicLinkLibrary*> gLibrary{nullptr};
std::atomic<IThunkEntry> gSend{nullptr};
std::atomic<IThunkEntry> gPost{nullptr};
std::atomic<IThunkEntry> gReturn{nullptr};

IThunkEntry entryOf(IDynamicLinkLibrary& library, const char* name)
{
    // Through the generic function pointer, which converts to any other without a
    // cast-function-type warning; the entries have SendMessageA's signature.
    return reinterpret_cast<IThunkEntry>(
        reinterpret_cast<void (*)()>(library.procAddress(name)));
}

} // namespace

IDynamicLinkLibrary* thunkLibrary()
{
    IDynamicLinkLibrary* library = gLibrary.load(std::memory_order_acquire);
    if (library)
        return library;
    library = new IDynamicLinkLibrary("ovkthk");
    IDynamicLinkLibrary* expected = nullptr;
    // Two first callers: one binding wins, the other's object goes (its module record is the
    // same, so the module stays loaded).
    if (!gLibrary.compare_exchange_strong(expected, library, std::memory_order_acq_rel)) {
        delete library;
        return expected;
    }
    // In order, each stored as soon as it is found; a missing one ends the binding here, and
    // the entries after it stay unresolved.
    gSend.store(entryOf(*library, "DllS32to16SendMessage"), std::memory_order_release);
    gPost.store(entryOf(*library, "DllS32to16PostMessage"), std::memory_order_release);
    gReturn.store(entryOf(*library, "DllS16to32Message"), std::memory_order_release);
    return library;
}

IThunkEntry thunkSendEntry() noexcept { return gSend.load(std::memory_order_acquire); }
IThunkEntry thunkPostEntry() noexcept { return gPost.load(std::memory_order_acquire); }
IThunkEntry thunkReturnEntry() noexcept { return gReturn.load(std::memory_order_acquire); }
