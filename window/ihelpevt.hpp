// The help events: the help viewer's notifications and the library's item-help request, as the
// help handler of frame windows passes them to its callbacks.
#pragma once

#include <cstdint>

#include <istring.hpp>

#include <idefs.hpp>

#include "ievent.hpp"

// The readers that the help messages share. Each reads the event's parameters when asked; which
// of them a message carries is the help handler's business, so none of them checks the message.
class OVKWIN_API IHelpEvent : public IEvent {
public:
    IHelpEvent(const IEvent& event) noexcept : IEvent(event) {}
    ~IHelpEvent() override;

    unsigned long lowWord2() const noexcept { return parameter2().lowNumber(); }
    unsigned long highWord2() const noexcept { return parameter2().highNumber(); }
    unsigned long value1() const noexcept
    {
        return static_cast<unsigned long>(parameter1().asUnsignedLong() & 0xFFFFFFFFu);
    }
    // The text the first parameter points to; empty when it points nowhere, so that a request
    // sent without its text cannot take the receiver down.
    IString text1() const;
    // The viewer names the kind of window it found no help for by a negative code in the low
    // word of the first parameter.
    IBase::Boolean isCodeMinus1() const noexcept { return lowCode1() == -1; }
    IBase::Boolean isCodeMinus2() const noexcept { return lowCode1() == -2; }
    IBase::Boolean isCodeMinus3() const noexcept { return lowCode1() == -3; }

private:
    int lowCode1() const noexcept
    {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(parameter1().lowNumber()));
    }
};

// The viewer reports an error (0x062E).
class OVKWIN_API IHelpEvent062E : public IHelpEvent {
public:
    IHelpEvent062E(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEvent062E() override;

    // The viewer's code in the first parameter as the library's help error code (7 to 16, or
    // 19 for a code the library does not know).
    unsigned long errorCode() const noexcept;
};

// Viewer notifications (0x0633, 0x0634, 0x0644 with 11 in the low word of the second
// parameter) and the item-help request of the help window (0xFFCC).
class OVKWIN_API IHelpEvent0633 : public IHelpEvent {
public:
    IHelpEvent0633(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEvent0633() override;
};

class OVKWIN_API IHelpEvent0634 : public IHelpEvent {
public:
    IHelpEvent0634(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEvent0634() override;
};

class OVKWIN_API IHelpEvent0644 : public IHelpEvent {
public:
    // The low word of the second parameter that makes a 0x0644 notification a help event.
    enum : unsigned long { helpCode = 11 };

    IHelpEvent0644(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEvent0644() override;
};

class OVKWIN_API IHelpEventFFCC : public IHelpEvent {
public:
    IHelpEventFFCC(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEventFFCC() override;
};

// Not built by the help handler; kept for applications that build help events of their own.
class OVKWIN_API IHelpEventSpare : public IHelpEvent {
public:
    IHelpEventSpare(const IEvent& event) noexcept : IHelpEvent(event) {}
    ~IHelpEventSpare() override;
};
