// ICnrCtl::CompareFn and ICnrCtl::FilterFn: the decisions behind sorting and filtering a
// container, made by the application.
#pragma once

#include <ivbase.hpp>

#include <idefs.hpp>

#include "icnrctl.hpp"

// The order of two objects: negative when the first comes before the second, 0 when they are
// equal, positive when it comes after. Only the sign counts.
class OVKWIN_API ICnrCtl::CompareFn : public IVBase {
public:
    CompareFn();
    ~CompareFn() override;
    virtual int isEqual(ICnrObj* object1, ICnrObj* object2, ICnrCtl* container) const = 0;
};

// Whether an object stays shown.
class OVKWIN_API ICnrCtl::FilterFn : public IVBase {
public:
    FilterFn();
    ~FilterFn() override;
    virtual IBase::Boolean isMemberOf(ICnrObj* object, ICnrCtl* container) const = 0;
};

// Compares two texts as the container's default order does: lstrcmpA, with -11 for "before"
// and 1 for "after".
OVKWIN_API int cnrCompareTexts(const char* text1, const char* text2);
