// IClipboardHandler: late rendering of clipboard formats by their owner window.
#pragma once

#include <istring.hpp>

#include <idefs.hpp>
#include <ihandler.hpp>

// Attached to the window that owns what a clipboard object put there, it turns the three
// clipboard-owner messages into calls. A derived handler renders by putting the data of the
// requested format (setData or setHandle) on a clipboard of its own: the system has opened the
// clipboard for it while it asks for a format.
class OVKWIN_API IClipboardHandler : public IHandler {
public:
    IClipboardHandler() noexcept;
    ~IClipboardHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // Another program emptied the clipboard: what this window put there is gone.
    virtual IBase::Boolean clipboardEmptied() = 0;
    // Render one format, named as the clipboard names formats (a predefined one by its decimal
    // number, a registered one by its name).
    virtual IBase::Boolean renderFormat(const IString& format) = 0;
    // The owner is going away: render every format it promised.
    virtual IBase::Boolean renderAllFormats() = 0;
};
