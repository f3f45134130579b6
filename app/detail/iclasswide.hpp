// What a class keeps once for all its objects: the handler they share and the defaults (style,
// attribute) that new objects take when the caller names none.
#pragma once

#include <mutex>
#include <type_traits>

namespace ovk_app {

// The one instance of a class-wide handler, made on first use. Never deleted: windows may still
// dispatch to it while the process's static objects are being destroyed.
template <class Handler>
Handler& sharedHandler()
{
    static auto* handler = new Handler;
    return *handler;
}

// A class's current default, which starts as `initial` (the class default, a static member or a
// constant of the class's file, so that each class gets a store of its own) and which the class's
// `setDefault...` replaces. The store is made on first use, so it never copies a class default
// that another module's static initialisation has not built yet. Reads and writes are serialised:
// a thread creating controls never sees half of a style that another thread is setting.
template <const auto& initial>
class ClassDefault {
public:
    using Value = std::remove_cv_t<std::remove_reference_t<decltype(initial)>>;

    static Value current()
    {
        Store& store = theStore();
        std::lock_guard<std::mutex> hold(store.lock);
        return store.value;
    }

    static void replace(const Value& value)
    {
        Store& store = theStore();
        std::lock_guard<std::mutex> hold(store.lock);
        store.value = value;
    }

private:
    struct Store {
        std::mutex lock;
        Value value = initial;
    };

    // Never deleted, like the shared handlers: a window created while the process's statics are
    // destroyed still reads its class's default.
    static Store& theStore()
    {
        static auto* store = new Store;
        return *store;
    }
};

} // namespace ovk_app
