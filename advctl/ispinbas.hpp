// IBaseSpinButton: the base of the text and numeric spin buttons, carried out on an entry
// field with a native up-down control or by the outside "OVK Spin Button" window, chosen once
// at creation.
#pragma once

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>
#include <ihandler.hpp>

struct IBaseSpinButtonData;
struct HBRUSH__;
struct HWND__;

// Native variant: a wrapper window of the library's class "OVK Native SpinButton" holds an
// "Edit" entry field with the button's id and, for a master, an up-down control with id - 1
// whose automatic buddy is a hidden field with id - 2. A servant has no arrows of its own: its
// master's arrows serve whichever of them has the focus. The wrapper keeps its state in
// pointer-wide window slots (see detail/ispinslt.hpp).
class OVKWIN_API IBaseSpinButton : public IControl {
public:
    using Style = IWindowClassStyle<IBaseSpinButton>;
    static const Style master;
    static const Style servant;
    static const Style readOnly;
    static const Style centerAlign;
    static const Style leftAlign;
    // The same bit as leftAlign: the sunken edge around the native entry field.
    static const Style border3D;
    static const Style rightAlign;
    static const Style noBorder;
    // Selects the outside "OVK Spin Button" window.
    static const Style thunkedWindow;
    static const Style fastSpin;

    enum Alignment { left, center, right };

    ~IBaseSpinButton() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& enable(IBase::Boolean enable = true) override;
    // The button, its entry field or its arrows.
    IBase::Boolean hasFocus() const override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    IWindow& setForegroundColor(const IColor& color) override;
    IWindow& setBackgroundColor(const IColor& color) override;
    IWindow& resetForegroundColor() override;
    IWindow& resetBackgroundColor() override;
    ISize calcMinimumSize() const override;

    virtual IBaseSpinButton& enableReadOnly(IBase::Boolean readOnly = true);
    virtual IBaseSpinButton& disableReadOnly();
    // Once it spins for a while, the arrows step by 2 and then by 4.
    virtual IBaseSpinButton& enableFastSpin(IBase::Boolean fast = true);
    virtual IBaseSpinButton& disableFastSpin();
    virtual IBaseSpinButton& enableBorder(IBase::Boolean border = true);
    virtual IBaseSpinButton& disableBorder();
    virtual IBaseSpinButton& refreshAppearance();
    // The number of characters the entry field takes (255 at first).
    virtual IBaseSpinButton& setLimit(unsigned long characters);
    // This servant's value is spun by the master's arrows.
    virtual IBaseSpinButton& setMaster(IBaseSpinButton& master);
    // Steps the value; past a limit it wraps to the other.
    virtual IBaseSpinButton& spinDown(unsigned long steps = 1);
    virtual IBaseSpinButton& spinUp(unsigned long steps = 1);

    IBase::Boolean isMaster() const;
    IBase::Boolean isServant() const;
    IBase::Boolean usesThunkedWindow() const;
    IBase::Boolean isFastSpinEnabled() const;
    IBase::Boolean isReadOnly() const;
    IBase::Boolean hasBorder() const;
    Alignment alignment() const;
    unsigned long limit() const;

    // The native parts; null for the outside window.
    HWND__* entryField() const;
    HWND__* upDownControl() const;

protected:
    IBaseSpinButton();
    // Creates the window. `numeric` gives the native entry field its first text "0".
    void initialize(unsigned long id, const IWindowHandle& parent, const IWindowHandle& owner,
                    const IBitFlag& style, const IRectangle& rect);
    // Takes charge of an existing spin button window, its library style derived from its
    // native style.
    void takeCharge(const IWindowHandle& handle);
    // The same for a window that must be of one kind (numeric or not): another kind throws
    // the refusal's message.
    void takeChargeOfKind(const IWindowHandle& handle, IBase::Boolean numeric,
                          unsigned long refusal, const char* file, const char* function);
    // The parent's child with the id; none throws.
    static IWindowHandle childWithId(unsigned long id, IWindow* parent, const char* file,
                                     const char* function);
    // Attaches the default handler and the owner mouse handler.
    void attachHandlers();
    // The up-down control when it serves this button's entry field; null otherwise.
    HWND__* servingUpDown() const;
    // The spin position: the up-down control's, or the stored one without it.
    long nativePosition() const;
    // Stores the position and shows it in the entry field, as the arrows do.
    void showPosition(long position);
    // A setter of one extended bit: false when it did not change.
    bool changeStyleBit(unsigned long bit, IBase::Boolean on);

private:
    void createNative(unsigned long id, const IWindowHandle& parent, const IWindowHandle& owner,
                      const IBitFlag& style, const IRectangle& rect);
    void createArrows(unsigned long id, IBase::Boolean numeric);
    void spinBy(long steps, const char* outsideName, unsigned int outsideMessage,
                const char* function);

    IBaseSpinButtonData* fSpinData;
};

// Attached to every spin button: lays the native parts out, keeps the entry field's text and
// the arrows in step, and tells the parent of changes.
class OVKWIN_API IBaseSpinDefaultHandler : public IHandler {
public:
    IBaseSpinDefaultHandler() noexcept;
    ~IBaseSpinDefaultHandler() override;
    static IBaseSpinDefaultHandler& shared();

    // The handler serves spin buttons only: the IWindow* forms refuse.
    IBaseSpinDefaultHandler& handleEventsFor(IBaseSpinButton* spinButton);
    IBaseSpinDefaultHandler& stopHandlingEventsFor(IBaseSpinButton* spinButton);
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean focusToField(IEvent& event);
    // The font messages go to the entry field.
    IBase::Boolean passToField(IEvent& event);
    IBase::Boolean moved(IEvent& event);
    IBase::Boolean arrowsNotice(IEvent& event);
    IBase::Boolean arrowsScrolled(IEvent& event);
    IBase::Boolean positionSet(IEvent& event);
    IBase::Boolean focusFromArrows(IEvent& event);
    IBase::Boolean scrolled(IEvent& event, bool fromArrows);
    IBase::Boolean fieldNotification(IEvent& event);
    IBase::Boolean fieldFocused(HWND__* wrapper, HWND__* field);
    IBase::Boolean fieldLostFocus(HWND__* wrapper);
    IBase::Boolean fieldChanged(HWND__* wrapper, HWND__* field);
    IBase::Boolean colorField(IEvent& event);

    HWND__* fDeltaSender = nullptr;
    long fDelta = 0;
    HBRUSH__* fBrush = nullptr;
};
