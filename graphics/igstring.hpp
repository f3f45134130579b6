// IGString: a line of text as a graphic, drawn at a point, optionally in a font of its own and
// clipped to a rectangle.
#pragma once

#include <memory>

#include <istring.hpp>

#include "igraphic.hpp"

class IFont;
class IResourceId;

class OVKWIN_API IGString : public IGraphic {
public:
    // With its own copy of the font.
    IGString(const IString& text, const IPoint& position, const IFont& font);
    // In the context's current font.
    IGString(const IString& text, const IPoint& position);
    // Copies the graphic part, the text, the position and the font, never the clipping
    // rectangle.
    IGString(const IGString& other);
    // The target keeps its own clipping rectangle.
    IGString& operator=(const IGString& other);
    ~IGString() override;

    IGString& drawOn(IGraphicContext& context) override;

    virtual IGString& setText(const char* text);
    // The string of the identifier's resource library; a missing one throws as the library's
    // string loading does.
    virtual IGString& setText(const IResourceId& text);
    virtual IString text() const;
    virtual IGString& setFont(const IFont& font);
    // A copy of the own font, or the desktop window's when there is none.
    virtual IFont font() const;
    virtual IBase::Boolean hasFont() const;
    virtual IGString& resetFont();
    // The text hangs from its position: the point is the top left corner of the text's box (the
    // top of its character cell, not its baseline), as the device context's text alignment is
    // top left unless the program changed it there.
    virtual IGString& setPosition(const IPoint& position);
    virtual IPoint position() const;
    virtual IGString& setClippingRect(const IRectangle& rectangle);
    // The all-zero rectangle when there is none.
    virtual IRectangle clippingRect() const;
    virtual IGString& resetClippingRect();
    virtual IBase::Boolean hasClippingRect() const;

    // Whether both or neither have an own font (the fonts themselves are not compared), and
    // the texts, positions and graphic parts are equal. Clipping rectangles do not count.
    IBase::Boolean operator==(const IGString& other) const;
    IBase::Boolean operator!=(const IGString& other) const { return !(*this == other); }

private:
    IString fText;
    IPoint fPosition;
    std::unique_ptr<IFont> fFont;
    std::unique_ptr<IRectangle> fClippingRect;
};
