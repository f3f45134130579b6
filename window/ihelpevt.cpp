// The help events.
#include "ihelpevt.hpp"

IHelpEvent::~IHelpEvent() = default;
IHelpEvent062E::~IHelpEvent062E() = default;
IHelpEvent0633::~IHelpEvent0633() = default;
IHelpEvent0634::~IHelpEvent0634() = default;
IHelpEvent0644::~IHelpEvent0644() = default;
IHelpEventFFCC::~IHelpEventFFCC() = default;
IHelpEventSpare::~IHelpEventSpare() = default;

IString IHelpEvent::text1() const
{
    return IString(static_cast<const char*>(parameter1().asPointer()));
}

unsigned long IHelpEvent062E::errorCode() const noexcept
{
    // The viewer's codes are 32-bit; the high half of a 64-bit parameter carries nothing.
    switch (value1()) {
    case 1005: return 7;
    case 1011: return 8;
    case 1012: return 9;
    case 1014: return 10;
    case 1018: return 11;
    case 1019: return 12;
    case 1020: return 13;
    case 1021: return 14;
    case 1022: return 16;
    case 1027: return 15;
    default: return 19;
    }
}
