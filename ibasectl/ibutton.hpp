// IButton: the base of the buttons on the native "Button" class: highlighting, clicking by
// the program, the mouse-click focus rule, colours and the click notification.
#pragma once

#include <idefs.hpp>

#include "itextctl.hpp"

struct IButtonData;

class OVKWIN_API IButton : public ITextControl {
public:
    // A click with the mouse leaves the focus where it was.
    static const Style _noPointerFocus;
    // Told after a click has been processed.
    static const char* const buttonClickId;

    ~IButton() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    IColor disabledForegroundColor() const override;
    IColor hiliteForegroundColor() const override;
    IColor hiliteBackgroundColor() const override;
    // Both mark the minimum size stale.
    ITextControl& setText(const char* text) override;
    ITextControl& setText(const IResourceId& text) override;

    virtual IButton& enableMouseClickFocus(IBase::Boolean enable = true);
    virtual IButton& disableMouseClickFocus();
    virtual IButton& highlight(IBase::Boolean highlight = true);
    virtual IButton& unhighlight();
    // Clicks as the user would: the notification is processed before click() returns, while
    // what a button makes of it for its owner (a push button's command) is posted and arrives
    // later.
    virtual IButton& click();

    // Clicks any button: BM_CLICK, or on the platform variant a press and a release given to
    // the button's window procedure directly.
    static void click(const IWindowHandle& button);
    IBase::Boolean isHighlighted() const;
    IBase::Boolean allowsMouseClickFocus() const;

protected:
    IButton();

private:
    friend class IButtonFocusHandler;

    IButtonData* fButtonData;
};
