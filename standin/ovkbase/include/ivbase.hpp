// The root class with virtual operations: every object can describe itself as text.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"
#include "istring.hpp"

class OVKBASE_API IVBase : public IBase {
public:
    virtual ~IVBase();

    // A short description of the object; classes build "IClass(field=value,...)".
    virtual IString asString() const;
    // A longer description for diagnostics; by default the same as asString().
    virtual IString asDebugInfo() const;

protected:
    IVBase() = default;
    IVBase(const IVBase&) = default;
    IVBase& operator=(const IVBase&) = default;
};
