// The root of the base class library: the types every interface shares.
#pragma once

#include <cstdint>

// IBase carries no data, so that value classes (points, rectangles, strings) keep the exact
// layout the library hands to Windows; only the classes with virtual operations derive from it,
// through IVBase.
class IBase {
public:
    // The boolean of every interface: a 32-bit integer, so that it has the width of the
    // platform's BOOL when it crosses into records and messages.
    using Boolean = int;
};

static_assert(sizeof(IBase::Boolean) == 4, "IBase::Boolean must be 32 bits wide");
