// IRegionHandle: value wrapper of a native region handle. It does not own the region.
#pragma once

#include <idefs.hpp>
#include <ihandval.hpp>

struct HRGN__;

class OVKWIN_API IRegionHandle : public IHandleValue<HRGN__> {
public:
    using IHandleValue::IHandleValue;
};
