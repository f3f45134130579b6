// IStaticTextHandler: the paint handler of the library's static texts, which also keeps them
// repainted when they are resized and makes them targets for the mouse.
#pragma once

#include <idefs.hpp>

#include "ipainhdr.hpp"

// The text itself is drawn by paintWindow, which the static-text control supplies.
class OVKWIN_API IStaticTextHandler : public IPaintHandler {
public:
    IStaticTextHandler() noexcept = default;
    ~IStaticTextHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
