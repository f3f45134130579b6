// ICustomButton: a push button that the library draws itself, with a 3-D face, and that can
// latch on its own or as one button of a group.
#pragma once

#include <ibitflag.hpp>

#include <ibutton.hpp>
#include <iclsstyl.hpp>
#include <icolor.hpp>
#include <idefs.hpp>

class ICustomButton;
struct ICustomButtonData;

// The Style of a class derived from the custom button: its own constants combine with the
// custom button's latch styles and with the window-wide ones, never with another class's.
template <class Owner>
class ICustomButtonClassStyle : public IBitFlagSet<ICustomButtonClassStyle<Owner>> {
public:
    using Word = IBitFlag::Word;

    constexpr ICustomButtonClassStyle(Word value, Word extendedValue = 0)
        : IBitFlagSet<ICustomButtonClassStyle<Owner>>(value, extendedValue) {}
    constexpr ICustomButtonClassStyle(const IWindowClassStyle<ICustomButton>& style)
        : IBitFlagSet<ICustomButtonClassStyle<Owner>>(style.asUnsignedLong(),
                                                      style.asExtendedUnsignedLong()) {}
    constexpr ICustomButtonClassStyle(const IWindow::Style& style)
        : IBitFlagSet<ICustomButtonClassStyle<Owner>>(style.asUnsignedLong(),
                                                      style.asExtendedUnsignedLong()) {}
};

// Runs on the system "Button" class with the owner-draw style. Two handlers shared by every
// custom button do the work: one follows the mouse, keys and commands and latches the button,
// the other draws it (ICustomButtonDrawHandler, whose steps derived buttons replace).
class OVKWIN_API ICustomButton : public IButton {
public:
    using Style = IWindowClassStyle<ICustomButton>;
    // Latches on a click and is released by the next one.
    static const Style latchable;
    // Latches on a click and releases the other buttons of its group; a click does not release
    // it.
    static const Style autoLatch;
    static const Style classDefaultStyle;

    // Told on every change of the latched state, with the new state as the event data.
    static const char* const latchId;

    // A null parent fails the argument check "parent!=0".
    ICustomButton(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                  const Style& style = defaultStyle());
    // Takes charge of an existing button window, which outlives the object.
    explicit ICustomButton(const IWindowHandle& handle);
    ~ICustomButton() override;

    // The virtual operations keep the order that derived buttons rely on.
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The system's button face.
    IColor backgroundColor() const override;
    // The text in the window's font, with room for the border.
    ISize calcMinimumSize() const override;

    // Changing the latch styles does not redraw the button; disabling latching unlatches it.
    virtual ICustomButton& enableLatching(IBase::Boolean enable = true);
    virtual ICustomButton& disableLatching();
    virtual ICustomButton& enableAutoLatch(IBase::Boolean enable = true);
    virtual ICustomButton& disableAutoLatch();
    virtual IBase::Boolean allowsLatching() const;
    virtual IBase::Boolean isAutoLatchEnabled() const;
    // Nothing happens without a latch style or when the state is unchanged. Latching an
    // auto-latch button releases the rest of its group.
    virtual ICustomButton& setLatched(IBase::Boolean latched, IBase::Boolean refresh = true);
    virtual ICustomButton& unlatch();
    virtual IBase::Boolean isLatched() const;
    // The colours of a latched face: the button's own foreground and background unless set.
    virtual IColor latchedForegroundColor() const;
    virtual IColor latchedBackgroundColor() const;
    virtual ICustomButton& setLatchedForegroundColor(const IColor& color);
    virtual ICustomButton& setLatchedBackgroundColor(const IColor& color,
                                                     IBase::Boolean halftone = true);
    virtual ICustomButton& resetLatchedForegroundColor();
    virtual ICustomButton& resetLatchedBackgroundColor();
    virtual IBase::Boolean isLatchedBackgroundHalftoned() const;

    // A value kept for the application; the button never uses it.
    ICustomButton& setValue(unsigned long value);
    unsigned long value() const;

    // The window text that the face shows.
    IString buttonText() const;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

protected:
    // Makes the private record and attaches the shared handlers; the derived class creates the
    // window (createButtonWindow).
    ICustomButton();
    // Creates the native owner-draw button with the style's bits and takes charge of it.
    void createButtonWindow(unsigned long id, IWindow* parent, IWindow* owner,
                            const IRectangle& rect, const IBitFlag& style);
    // Sets or clears a bit of the extended style, writing it only when it changes.
    void setExtendedBit(unsigned long bit, bool on);

private:
    void attachSharedHandlers();
    void releaseGroup();

    ICustomButtonData* fCustomButtonData;
};
