// The control notification handlers: edit, focus, select, combo drop-down, spin button,
// slider and slider drawing. Which control classes and codes reach which callback is the
// table in ictlnote.hpp.
#pragma once

#include <idefs.hpp>

#include "icmdevt.hpp"
#include "idrawevt.hpp"
#include "ihandler.hpp"

// Each handler acts on the control notification event only, and only when the control is
// found (see IControlEvent); a callback that answers true has its result reach Windows.
class OVKWIN_API IEditHandler : public IHandler {
public:
    ~IEditHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean edit(IControlEvent& event) = 0;
};

class OVKWIN_API IFocusHandler : public IHandler {
public:
    ~IFocusHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean gotFocus(IControlEvent& event);
    virtual IBase::Boolean lostFocus(IControlEvent& event);
};

// Selections and "enter" (a double click, or the Enter key in a list box). A list box with
// multiple selection and no extended selection reports a selection for each button release
// and space key, since it sends no selection change of its own then.
class OVKWIN_API ISelectHandler : public IHandler {
public:
    ~ISelectHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // By default a button's enter is a selection; others are not handled.
    virtual IBase::Boolean enter(IControlEvent& event);
    virtual IBase::Boolean selected(IControlEvent& event);

private:
    IBase::Boolean dispatchNotification(IEvent& event);
    IBase::Boolean dispatchDerived(IEvent& event);
};

class OVKWIN_API IComboDropDownHandler : public IHandler {
public:
    ~IComboDropDownHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean listShown(IControlEvent& event) = 0;
};

class OVKWIN_API ISpinHandler : public IHandler {
public:
    ~ISpinHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The spin button's arrows, or the Up and Down keys in its field, stepped its value up
    // (spinCode96) or down (spinCode97), told after the new value shows; the spin ended, the
    // arrow or the key let go (spinCode98). A spin made by the program (spinUp, spinTo) is told
    // to observers as a value change only.
    virtual IBase::Boolean spinCode96(IControlEvent& event);
    virtual IBase::Boolean spinCode97(IControlEvent& event);
    virtual IBase::Boolean spinCode98(IControlEvent& event);
};

class OVKWIN_API ISliderHandler : public IHandler {
public:
    ~ISliderHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean sliderMoving(IControlEvent& event);
    virtual IBase::Boolean sliderChanged(IControlEvent& event);
};

// The parts of the library's slider that it draws through its owner, by item identifier:
// 1 ribbon strip, 2 shaft, 3 background, 4 arm.
class OVKWIN_API ISliderDrawHandler : public IHandler {
public:
    ~ISliderDrawHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean drawSliderShaft(IDrawItemEvent& event);
    virtual IBase::Boolean drawRibbonStrip(IDrawItemEvent& event);
    virtual IBase::Boolean drawSliderArm(IDrawItemEvent& event);
    virtual IBase::Boolean drawSliderBackground(IDrawItemEvent& event);
};
