// IGraphicPushButton: a native push button that shows a bitmap or an icon, through an icon
// control placed inside it that follows the button's size and its pressed look.
#pragma once

#include <iclsstyl.hpp>
#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <iptrhdl.hpp>
#include <ipushbut.hpp>
#include <ireslib.hpp>

class IIconControl;
class IHandler;

class OVKWIN_API IGraphicPushButton : public IPushButton {
public:
    using Style = IWindowClassStyle<IGraphicPushButton>;
    // The picture keeps its own size, centred in the button, instead of filling it.
    static const Style sizeToGraphicStyle;
    static const Style classDefaultStyle;

    // A null parent fails the argument check "parent!=0". The bitmap id is one of the
    // application's resources.
    IGraphicPushButton(unsigned long id, IWindow* parent, IWindow* owner, const IResourceId& bitmap,
                       const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IGraphicPushButton(unsigned long id, IWindow* parent, IWindow* owner, unsigned long bitmap,
                       const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IGraphicPushButton(unsigned long id, IWindow* parent, IWindow* owner,
                       const IBitmapHandle& bitmap, const IRectangle& rect = IRectangle(),
                       const Style& style = defaultStyle());
    IGraphicPushButton(unsigned long id, IWindow* parent, IWindow* owner,
                       const IPointerHandle& icon, const IRectangle& rect = IRectangle(),
                       const Style& style = defaultStyle());
    // Take charge of an existing button and show the image it has (BM_GETIMAGE); the picture
    // keeps its own size.
    explicit IGraphicPushButton(const IWindowHandle& handle);
    IGraphicPushButton(unsigned long id, IWindow* dialogParent);
    ~IGraphicPushButton() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The picture's minimum size and the margin on every side.
    ISize calcMinimumSize() const override;

    // The virtual operations keep the order that derived buttons rely on.
    virtual IGraphicPushButton& setGraphic(unsigned long bitmapId);
    virtual IGraphicPushButton& setGraphic(const IBitmapHandle& bitmap);
    // The two picture modes: an icon, or a bitmap in its place. A picture at its own size
    // takes the size of the new one.
    virtual IGraphicPushButton& setIcon(const IPointerHandle& icon);
    virtual IGraphicPushButton& setBitmap(const IBitmapHandle& bitmap);
    // On: the picture keeps its own size. Off: it fills the button less the margin again.
    virtual IGraphicPushButton& enableGraphicSizing(IBase::Boolean enable = true);
    virtual IGraphicPushButton& disableGraphicSizing();

    IIconControl* graphic() const { return fGraphic; }
    ISize margin() const { return fMargin; }

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

private:
    friend class IGraphicButtonResizeHandler;
    friend class IGraphicButtonStateHandler;

    void setUp(const IPointerHandle& icon, const IBitmapHandle& bitmap, unsigned long classWord);
    void wrapImage(const char* function);
    void placeGraphic();
    void pictureChanged();

    IIconControl* fGraphic = nullptr;
    IBase::Boolean fGraphicAtOwnSize = false;
    IBase::Boolean fWrapped = false;
    // Which picture mode ran last: true for the icon.
    bool fIconMode = false;
    // Whether the picture is moved now to follow the pressed look.
    bool fPressedLook = false;
    ISize fMargin{3, 3};
    IHandler* fResizeHandler = nullptr;
    IHandler* fStateHandler = nullptr;
};
