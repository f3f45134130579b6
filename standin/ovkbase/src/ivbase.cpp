// The root class with virtual operations.
#include "ivbase.hpp"

IVBase::~IVBase() = default;

IString IVBase::asString() const { return IString("IVBase"); }

IString IVBase::asDebugInfo() const { return asString(); }
