// The notification handlers of the control families: each turns the native notifications and
// state-changing messages of its controls into observer notifications.
#pragma once

#include <idefs.hpp>

#include "inotifid.hpp"
#include "iwinntfy.hpp"

// Each family has one shared handler, made on first use and installed by the controls'
// enableNotification. A handler does its own work, then passes the event on to its base class,
// so that the window-level notifications are raised too.
//
// A change that the native control must carry out first (a check state, a read-only flag, a
// limit, a position) is told later: the handler posts the notification event to the control
// with the new value and a tag, and notifies when it comes back.
//
// A control's WM_COMMAND reaches the control's own dispatch first and its parent's after;
// the notification is raised in the control's own, so that a parent whose handler is of the
// same family does not raise it a second time.
class OVKWIN_API IControlNotifyHandler : public IWindowNotifyHandler {
public:
    IControlNotifyHandler() noexcept;
    ~IControlNotifyHandler() override;
    static IControlNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API ITitleNotifyHandler : public IControlNotifyHandler {
public:
    ITitleNotifyHandler() noexcept;
    ~ITitleNotifyHandler() override;
    static ITitleNotifyHandler& shared();
};

class OVKWIN_API IButtonNotifyHandler : public IControlNotifyHandler {
public:
    IButtonNotifyHandler() noexcept;
    ~IButtonNotifyHandler() override;
    static IButtonNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API ISettingButtonNotifyHandler : public IButtonNotifyHandler {
public:
    ISettingButtonNotifyHandler() noexcept;
    ~ISettingButtonNotifyHandler() override;
    static ISettingButtonNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API IEntryFieldNotifyHandler : public IControlNotifyHandler {
public:
    IEntryFieldNotifyHandler() noexcept;
    ~IEntryFieldNotifyHandler() override;
    static IEntryFieldNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API IComboBoxNotifyHandler : public IEntryFieldNotifyHandler {
public:
    IComboBoxNotifyHandler() noexcept;
    ~IComboBoxNotifyHandler() override;
    static IComboBoxNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API IMultiLineEditNotifyHandler : public IControlNotifyHandler {
public:
    IMultiLineEditNotifyHandler() noexcept;
    ~IMultiLineEditNotifyHandler() override;
    static IMultiLineEditNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API ICircularSliderNotifyHandler : public IControlNotifyHandler {
public:
    ICircularSliderNotifyHandler() noexcept;
    ~ICircularSliderNotifyHandler() override;
    static ICircularSliderNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API IListBoxNotifyHandler : public IWindowNotifyHandler {
public:
    IListBoxNotifyHandler() noexcept;
    ~IListBoxNotifyHandler() override;
    static IListBoxNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API IScrollBarNotifyHandler : public IWindowNotifyHandler {
public:
    IScrollBarNotifyHandler() noexcept;
    ~IScrollBarNotifyHandler() override;
    static IScrollBarNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API INotebookNotifyHandler : public IWindowNotifyHandler {
public:
    INotebookNotifyHandler() noexcept;
    ~INotebookNotifyHandler() override;
    static INotebookNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API ISliderNotifyHandler : public IWindowNotifyHandler {
public:
    ISliderNotifyHandler() noexcept;
    ~ISliderNotifyHandler() override;
    static ISliderNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API ITextSpinButtonNotifyHandler : public IWindowNotifyHandler {
public:
    ITextSpinButtonNotifyHandler() noexcept;
    ~ITextSpinButtonNotifyHandler() override;
    static ITextSpinButtonNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

class OVKWIN_API INumericSpinButtonNotifyHandler : public IWindowNotifyHandler {
public:
    INumericSpinButtonNotifyHandler() noexcept;
    ~INumericSpinButtonNotifyHandler() override;
    static INumericSpinButtonNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};

// What a control's enableNotification does: installs the family's handler unless one is
// installed already (by a derived class or by the application), then turns notification on
// or off.
OVKWIN_API IWindow& ovkEnableNotification(IWindow& control, IHandler& familyHandler,
                                          IBase::Boolean enable);
