// The one guard around every function that Windows calls back: window, dialog and hook
// procedures, timer and enumeration callbacks, COM methods.
#pragma once

#include <iexcept.hpp>

#include <exception>
#include <utility>

#include "../idefs.hpp"

// A C++ exception must never unwind through a Windows frame: the frames between the callback
// and our own code belong to the system, which neither expects nor survives it. So each callback
// runs its body inside call(): an exception is caught there, offered to whoever may take it (a
// window's handleException), and what is declined waits in a per-thread slot while the callback
// returns a safe result to Windows. The library rethrows it with rethrowPending() as soon as the
// Windows call that led to the callback (DispatchMessage, SendMessage, CreateWindowEx,
// DoDragDrop, TrackPopupMenu, a modal loop) has returned to our own code.
// Exported for the test programs, which pump messages themselves and must see what waits.
class OVKWIN_API ICallbackGuard {
public:
    template <class Result, class Body>
    static Result call(Result safeResult, Body&& body) noexcept {
        try {
            return std::forward<Body>(body)();
        } catch (...) {
            keep(std::current_exception());
            return safeResult;
        }
    }

    // As above, but an IException is first offered to `offer(IException&)`; only when that
    // answers false (or throws) is it kept.
    template <class Result, class Body, class Offer>
    static Result call(Result safeResult, Body&& body, Offer&& offer) noexcept {
        try {
            return std::forward<Body>(body)();
        } catch (IException& exception) {
            bool taken = false;
            try {
                taken = std::forward<Offer>(offer)(exception);
            } catch (...) {
                keep(std::current_exception());
                return safeResult;
            }
            if (!taken)
                keep(std::current_exception());
            return safeResult;
        } catch (...) {
            keep(std::current_exception());
            return safeResult;
        }
    }

    // Keeps an exception for this thread. The first one kept is the cause of what follows, so
    // while one waits, a later one is reported and dropped.
    static void keep(std::exception_ptr exception) noexcept;
    static bool hasPending() noexcept;
    // Throws the exception that waits for this thread, if any, and empties the slot.
    static void rethrowPending();
    // Empties the slot and answers what it held.
    static std::exception_ptr takePending() noexcept;
};
