// IMenuBar: the menu bar of a frame window.
#pragma once

#include <idefs.hpp>
#include <iclsstyl.hpp>

#include "imenu.hpp"

class IFrameWindow;

// The menu stays with the frame: deleting the object destroys nothing.
class OVKWIN_API IMenuBar : public IMenu {
public:
    using Style = IWindowClassStyle<IMenuBar>;
    // An empty menu bar in place of the frame's menu.
    static const Style _newMenuBar;
    // The menu the frame has already.
    static const Style _wrapper;
    static const Style classDefaultStyle;

    // Exactly one of _newMenuBar and _wrapper (message 43); _wrapper of a frame without a menu
    // is message 144.
    explicit IMenuBar(IFrameWindow* owner, const Style& style = defaultStyle());
    // Loads the menu and makes it the frame's, destroying the one it had.
    IMenuBar(const IResourceId& menu, IFrameWindow* owner);
    ~IMenuBar() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;

    virtual IMenuBar& setMenu(const IResourceId& menu);

private:
    unsigned long fReserved = 0;
};
