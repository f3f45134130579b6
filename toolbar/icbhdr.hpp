// The two handlers that every custom button shares: ICustomButtonHandler latches and clicks,
// ICustomButtonDrawHandler draws the face.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

class ICustomButtonDrawEvent;

// Mouse, keys, the click notification and the private latch messages of custom buttons.
class OVKWIN_API ICustomButtonHandler : public IHandler {
public:
    ICustomButtonHandler();
    ~ICustomButtonHandler() override;

    // The single instance that every custom button uses, made on first use.
    static ICustomButtonHandler& defaultHandler();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

// WM_DRAWITEM of custom buttons: border, background, content, and the disabled look, each a
// step that derived buttons may replace.
class OVKWIN_API ICustomButtonDrawHandler : public IHandler {
public:
    ICustomButtonDrawHandler();
    ~ICustomButtonDrawHandler() override;

    // The single instance that every custom button uses, made on first use.
    static ICustomButtonDrawHandler& defaultHandler();

    // The steps in order; true when the face was drawn.
    virtual IBase::Boolean draw(ICustomButtonDrawEvent& event);
    // Clears a margin in the parent's background, draws the outline and the 3-D edges, and
    // leaves the face inside them in the event.
    virtual IBase::Boolean drawBorder(ICustomButtonDrawEvent& event, unsigned long marginX = 0,
                                      unsigned long marginY = 0);
    virtual IBase::Boolean drawBackground(ICustomButtonDrawEvent& event);
    // The window text, centred line by line.
    virtual IBase::Boolean drawForeground(ICustomButtonDrawEvent& event);
    virtual IBase::Boolean drawDisabled(ICustomButtonDrawEvent& event);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // Builds the draw event, tells the button whether it is pressed, and draws.
    IBase::Boolean drawItem(IEvent& event);
};
