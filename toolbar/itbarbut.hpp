// IToolBarButton: the button that tool bars hold, showing a bitmap, a text, or a bitmap above a
// text, loaded by the button's id; buttons of the standard format share one cell size and their
// up faces.
#pragma once

#include <ibmphdl.hpp>
#include <icolor.hpp>
#include <idefs.hpp>
#include <ireslib.hpp>

#include "icbhdr.hpp"
#include "icustbut.hpp"

struct IToolBarButtonData;
namespace ovk_toolbar {
struct StandardButtons;
}

// A click posts WM_COMMAND with the button's id to the button's owner only (its parent when it
// has none): with the tool bar as owner, the frame's command handler never hears it, so give
// the frame as the owner (IToolBarButton(id, &toolBar, &frame)), which stays the owner while
// the tool bar floats. click() posts too: the command arrives after it returns.
class OVKWIN_API IToolBarButton : public ICustomButton {
public:
    using Style = ICustomButtonClassStyle<IToolBarButton>;
    static const Style bitmapView;
    static const Style textView;
    static const Style bitmapAndTextView;
    static const Style useIdForBitmap;
    static const Style useIdForText;
    static const Style standardFormat;
    static const Style noDragDelete;
    static const Style classDefaultStyle;

    enum View { showBitmap = 0, showText = 1, showBitmapAndText = 2 };

    // More than one view style throws message 43; a null parent fails "parent!=0".
    IToolBarButton(unsigned long id, IWindow* parent, IWindow* owner,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    ~IToolBarButton() override;

    // Says whether the button keeps a face of its up state, and how many shared faces exist.
    IString asDebugInfo() const override;
    ISize calcMinimumSize() const override;
    // A press on the button itself, then a move of more than 2 pixels, starts a drag: the
    // button has no child window for the window's own detection to find under the pointer.
    IBase::Boolean isDragStarting(IEvent& event) override;
    // The minimum-size flag (0x8) drops both caches; 0x2 drops the face and has the system
    // colours compared again; the text flag (0x20) drops the face when the text shows.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;

    // The virtual operations keep the order that derived buttons rely on. The resource forms
    // load ids below 0x7000 from the application's resources and the others from the library's,
    // showing the library's bitmap 0x7101 when there is none; the number forms load from the
    // application's resources.
    virtual IToolBarButton& setBitmap(const IResourceId& id);
    virtual IToolBarButton& setBitmap(const IBitmapHandle& bitmap);
    virtual IToolBarButton& setBitmap(unsigned long id);
    virtual IToolBarButton& setLatchedBitmap(const IResourceId& id);
    virtual IToolBarButton& setLatchedBitmap(const IBitmapHandle& bitmap);
    virtual IToolBarButton& setLatchedBitmap(unsigned long id);
    // The size the bitmap is shown at.
    virtual ISize bitmapSize() const;
    virtual IToolBarButton& setView(View view);
    virtual IToolBarButton& setTransparentColor(const IColor& color);
    virtual IToolBarButton& resetTransparentColor();
    virtual IColor transparentColor() const;
    virtual IBase::Boolean hasTransparentColor() const;
    virtual IToolBarButton& enableDragDelete(IBase::Boolean enable = true);
    virtual IToolBarButton& disableDragDelete();

    IBitmapHandle bitmap() const;
    IBitmapHandle latchedBitmap() const;
    View view() const;
    IBase::Boolean isDragDeleteEnabled() const;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // The class-wide values of the standard format. Changing one re-lays out every
    // standard-format button.
    static ISize standardBitmapSize();
    static void setStandardBitmapSize(const ISize& size);
    static unsigned long standardTextWidth();
    static void setStandardTextWidth(unsigned long width);
    static unsigned long standardTextLines();
    static void setStandardTextLines(unsigned long lines);
    // Magenta until reset; black when there is none. Buttons made later take a copy.
    static void setStandardTransparentColor(const IColor& color);
    static void resetStandardTransparentColor();
    static IBase::Boolean hasStandardTransparentColor();
    static IColor standardTransparentColor();

private:
    friend class IToolBarButtonDrawHandler;

    bool isStandardFormat() const;
    bool showsBitmap() const;
    bool showsText() const;
    void loadByRule(unsigned long id, bool latched);
    void storeBitmap(const IBitmapHandle& bitmap, bool latched);
    void minimumSizeChanged();
    static void relayoutStandardButtons();
    static void setStandardTextValue(unsigned long ovk_toolbar::StandardButtons::*value,
                                     unsigned long setting);

    IToolBarButtonData* fToolBarButtonData;
};

// The tool bar button's own draw handler, attached to that button alone and offered
// WM_DRAWITEM before the shared one: the content is the bitmap and the text of the view, and up
// faces come from the caches.
class OVKWIN_API IToolBarButtonDrawHandler : public ICustomButtonDrawHandler {
public:
    explicit IToolBarButtonDrawHandler(IToolBarButton& button);
    ~IToolBarButtonDrawHandler() override;

    IBase::Boolean draw(ICustomButtonDrawEvent& event) override;
    IBase::Boolean drawForeground(ICustomButtonDrawEvent& event) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean drawFromCaches(ICustomButtonDrawEvent& event);

    IToolBarButton& fButton;
};
