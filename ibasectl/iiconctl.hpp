// IIconControl: a static text that shows an icon under its optional text.
#pragma once

#include <iclsstyl.hpp>

#include <iptrhdl.hpp>

#include "ibmpctl.hpp"

struct IIconControlData;

// The icon is painted by the library over the whole control: its colour image (or, for a
// monochrome icon, its mask) is the control's bitmap, which sizes the control.
class OVKWIN_API IIconControl : public IBitmapControl {
public:
    using Style = IWindowClassStyle<IIconControl>;
    static const Style _sizeToIcon;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IIconControl(unsigned long id, IWindow* parent, IWindow* owner,
                 ISystemPointerHandle::Identifier icon, const IRectangle& rect = IRectangle(),
                 const Style& style = defaultStyle());
    IIconControl(unsigned long id, IWindow* parent, IWindow* owner, const IPointerHandle& icon,
                 const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IIconControl(unsigned long id, IWindow* parent, IWindow* owner, unsigned long icon,
                 const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IIconControl(unsigned long id, IWindow* parent, IWindow* owner, const IResourceId& icon,
                 const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    // Take charge of a static window; a native icon static keeps its icon and loses its
    // native icon style.
    explicit IIconControl(const IWindowHandle& handle);
    IIconControl(unsigned long id, IWindow* parent);
    ~IIconControl() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // An empty rectangle at the control's position: an icon covers nothing of its parent.
    IRectangle visibleRectangle() const override;
    // The icon's size; a monochrome icon counts half the height of its mask, which holds two
    // images one above the other.
    ISize calcMinimumSize() const override;

    virtual IIconControl& setIcon(unsigned long id);
    virtual IIconControl& setIcon(const IResourceId& id);
    virtual IIconControl& setIcon(const IPointerHandle& icon);
    virtual IIconControl& setIcon(ISystemPointerHandle::Identifier id);

    IPointerHandle icon() const;
    IBase::Boolean isMonochrome() const;
    // False once another bitmap was set in place of the icon's own images.
    IBase::Boolean isShowingIcon() const;

private:
    void finishConstruction(const Style& style);
    void releaseIconBitmaps() noexcept;

    IIconControlData* fIconData;
};
