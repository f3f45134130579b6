// IBitmapControl: a static text that shows a bitmap under its optional text.
#pragma once

#include <iclsstyl.hpp>

#include <cstdint>

#include <ibmphdl.hpp>
#include <ireslib.hpp>

#include "istattxt.hpp"

// The native "Static" is never given a picture style: the library paints the bitmap
// stretched over the whole control, and the text, when there is one, over it.
class OVKWIN_API IBitmapControl : public IStaticText {
public:
    using Style = IWindowClassStyle<IBitmapControl>;
    // The control takes the size of its bitmap (or of its text, when larger).
    static const Style _sizeToBitmap;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IBitmapControl(unsigned long id, IWindow* parent, IWindow* owner,
                   ISystemBitmapHandle::Identifier bitmap, const IRectangle& rect = IRectangle(),
                   const Style& style = defaultStyle());
    IBitmapControl(unsigned long id, IWindow* parent, IWindow* owner, const IResourceId& bitmap,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    // A bitmap resource of the application's user resource library.
    IBitmapControl(unsigned long id, IWindow* parent, IWindow* owner, unsigned long bitmap,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IBitmapControl(unsigned long id, IWindow* parent, IWindow* owner, const IBitmapHandle& bitmap,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    // Take charge of a static window; a native bitmap static keeps its bitmap, which the
    // library then paints.
    explicit IBitmapControl(const IWindowHandle& handle);
    IBitmapControl(unsigned long id, IWindow* parent);
    ~IBitmapControl() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    // The larger, each way, of the text's size and the bitmap's.
    ISize calcMinimumSize() const override;

    virtual IBitmapControl& setBitmap(unsigned long id);
    virtual IBitmapControl& setBitmap(const IResourceId& id);
    virtual IBitmapControl& setBitmap(const IBitmapHandle& bitmap);
    virtual IBitmapControl& setBitmap(ISystemBitmapHandle::Identifier id);

    IBitmapHandle bitmap() const { return fBitmap; }

protected:
    // For the icon control: the static text is made hidden and plain; the caller restyles it.
    enum class Construction { bare };
    IBitmapControl(Construction, unsigned long id, IWindow* parent, IWindow* owner,
                   const IRectangle& rect);
    IBitmapControl(Construction, const IWindowHandle& handle);
    // Clears the native style's picture type (the low five bits): the library paints.
    void takeNativeType();
    // The bitmap's pixel size; (0, 0) for none.
    static ISize bitmapSize(const IBitmapHandle& bitmap);
    // Shows a control made hidden when its style asks for a visible one.
    void showIfVisible(const IBitFlag& style);
    static IWindow* checkedParent(IWindow* parent, const char* file, const char* function,
                                  unsigned long line);

private:
    void finishConstruction(const Style& style);

    IBitmapHandle fBitmap;
    std::int32_t fSizeToBitmap = 0;
    std::int32_t fReserved = 0;
};
