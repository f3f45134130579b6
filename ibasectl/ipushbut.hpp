// IPushButton: a push button, which may be the default button, ask for help or send a
// system command.
#pragma once

#include <idefs.hpp>

#include "ibutton.hpp"

// A click (the mouse, Space, Enter on the default button, or click()) posts WM_COMMAND with the
// button's id to the button's owner, given at construction, or to its parent when it has none:
// the command arrives after click() has returned, and only the owner's handlers hear it; it is
// not passed on to the owner's owner or to the frame (ICommandHandler says how to hear it there).
class OVKWIN_API IPushButton : public IButton {
public:
    // A click asks the frame for help: about the window that had the focus before the click
    // when the button also has _noPointerFocus (the click leaves that focus alone), otherwise
    // about the button itself, which took the focus.
    static const Style _help;
    // A click sends WM_SYSCOMMAND with the button's id, not WM_COMMAND.
    static const Style _systemCommand;
    // The default button (BS_DEFPUSHBUTTON).
    static const Style _defaultButton;
    // Has no bits on this platform.
    static const Style _reservedStyle;
    static const Style classDefault;

    IPushButton(unsigned long id, IWindow* parent, IWindow* owner,
                const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    IPushButton(unsigned long id, IWindow* parent);
    explicit IPushButton(const IWindowHandle& handle);
    ~IPushButton() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    ISize calcMinimumSize() const override;

    // Each writes the style only when it changes.
    virtual IPushButton& enableDefault(IBase::Boolean enable = true);
    virtual IPushButton& disableDefault();
    virtual IPushButton& enableHelp(IBase::Boolean enable = true);
    virtual IPushButton& disableHelp();
    virtual IPushButton& enableReservedStyle(IBase::Boolean enable = true);
    virtual IPushButton& disableReservedStyle();
    virtual IPushButton& enableSystemCommand(IBase::Boolean enable = true);
    virtual IPushButton& disableSystemCommand();

    IBase::Boolean isDefault() const;
    IBase::Boolean isHelp() const;
    IBase::Boolean isReservedStyle() const;
    IBase::Boolean isSystemCommand() const;

private:
    void takeDefaultKind();
    void setExtendedBit(unsigned long bit, bool on);

    unsigned long fReserved = 0;
};
