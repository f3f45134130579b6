// ITimer: periodic calls of a function object without a window, driven by thread timers.
#pragma once

#include <irefcnt.hpp>
#include <ireftype.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include "idefs.hpp"

// What a timer calls, with the timer's identifier, on the thread that started the timer (from
// that thread's message loop). A timer keeps a reference on its function object while it runs.
class OVKWIN_API ITimerFn : public IRefCounted {
public:
    virtual void timerExpired(unsigned long timerId) = 0;
};

// A timer is a slot in the library's process-wide timer table; several objects may refer to
// the same slot. Destroying an object does not stop its timer: a running timer keeps calling
// its function object until someone stops it, through ITimer(id) or a cursor if need be. The
// identifier an application sees is the slot number + 1000.
class OVKWIN_API ITimer : public IVBase {
public:
    // Visits the running timers.
    class OVKWIN_API Cursor : public IVBase {
    public:
        Cursor() = default;
        ~Cursor() override;
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        // True while the slot at the cursor still runs a timer.
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

    private:
        friend class ITimer;
        unsigned long fIndex = 0;
    };

    // A new timer that does not run yet (message 174 when the table is full).
    ITimer();
    // A new timer, started at once.
    ITimer(const IReference<ITimerFn>& function, unsigned long intervalMilliseconds);
    // The running timer with this identifier (message 172 when there is none).
    explicit ITimer(unsigned long timerId);
    ITimer(const ITimer& other);
    ITimer& operator=(const ITimer& other);
    // The timer goes on running.
    ~ITimer() override;

    // The virtual operations keep the order that code built against the library relies on.
    // "ITimer(<id>)" and "ITimer: id = <id>, interval = <ms>[, timer started]".
    IString asString() const override;
    IString asDebugInfo() const override;
    // Message 173 when the timer runs already; an empty reference throws message 58.
    virtual ITimer& start(const IReference<ITimerFn>& function);
    virtual ITimer& start(const IReference<ITimerFn>& function, unsigned long intervalMilliseconds);
    // A timer that does not run is left alone.
    virtual ITimer& stop();
    // A running timer with another interval is restarted with its function object.
    virtual ITimer& setInterval(unsigned long intervalMilliseconds);

    unsigned long id() const;
    unsigned long interval() const;
    IBase::Boolean isStarted() const;
    IBase::Boolean operator==(const ITimer& other) const { return id() == other.id(); }
    IBase::Boolean operator!=(const ITimer& other) const { return id() != other.id(); }

    // The timer at the cursor; an invalid cursor fails the argument check "cursor.isValid()".
    static ITimer timerAt(const Cursor& cursor);

private:
    unsigned long fSlot = 0;
};
