// ISetCanvas: a canvas that arranges its children in decks, rows or columns, each child at its
// minimum size, with margins, pads and an optional titled group frame.
#pragma once

#include <iclsstyl.hpp>

#include <cstdint>
#include <memory>
#include <vector>

#include "icanvas.hpp"

class IResizeHandler;
class IResourceId;

// Children follow each other along a deck with a pad between them; decks follow each other
// with a pad between them; a margin surrounds the whole. The canvas's minimum size is that of
// the arrangement, so an enclosing canvas or frame can size it.
class OVKWIN_API ISetCanvas : public ICanvas {
public:
    enum DeckOrientation { horizontal = 0, vertical = 1 };
    enum PackType { tight = 0, even = 1, expanded = 2 };
    // Horizontal position (left, centre, right) within the vertical one (top, centre, bottom).
    enum Alignment {
        topLeft = 0, topCenter, topRight, centerLeft, centerCenter, centerRight,
        bottomLeft, bottomCenter, bottomRight
    };

    using Style = IWindowClassStyle<ISetCanvas>;
    static const Style horizontalDecks;
    static const Style verticalDecks;
    static const Style packTight;
    static const Style packEven;
    static const Style packExpanded;
    static const Style leftAlign;
    static const Style rightAlign;
    static const Style centerAlign;
    static const Style topAlign;
    static const Style bottomAlign;
    static const Style centerVerticalAlign;
    // A child whose isGroup() is true starts a new deck; the deck count is then not used.
    static const Style decksByGroup;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Notifications: the text changed; the deck orientation changed (data: the new one).
    static const char* const textId;
    static const char* const deckOrientationId;

    // A style holding both bits of one choice (two orientations, two pack types, two
    // alignments of one axis) throws message 43.
    ISetCanvas(unsigned long id, IWindow* parent, IWindow* owner,
               const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    ~ISetCanvas() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // A child's changed minimum size makes a layout due, unless this canvas is laying out.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    ISetCanvas& layout() override;

    // Each setter does nothing when the value is unchanged; otherwise a layout is due.
    virtual ISetCanvas& setAlignment(Alignment alignment);
    virtual ISetCanvas& setPackType(PackType type);
    virtual ISetCanvas& setMargin(const ISize& margin);
    // A pad of -1 overlaps neighbours by one pixel, so that their borders coincide.
    virtual ISetCanvas& setPad(const ISize& pad);
    virtual ISetCanvas& setGroupPad(unsigned long pad);
    virtual ISetCanvas& setDeckOrientation(DeckOrientation orientation);
    virtual ISetCanvas& setDeckCount(unsigned long count);
    // A text turns the canvas into a titled group frame; an empty one turns it back.
    virtual ISetCanvas& setText(const char* text);
    virtual ISetCanvas& setText(const IResourceId& text);
    virtual IString text() const;
    // Widens and heightens the layout's minimum size for the title.
    virtual ISetCanvas& expandForText();

    Alignment alignment() const;
    PackType packType() const;
    DeckOrientation deckOrientation() const;
    unsigned long deckCount() const noexcept { return fDeckCount; }
    unsigned long groupPad() const noexcept { return fGroupPad; }
    ISize margin() const noexcept { return fMargin; }
    ISize pad() const noexcept { return fPad; }

private:
    struct Placement;
    struct Arrangement;
    void changeExtendedStyle(unsigned long clear, unsigned long set);
    ISize arrange(Arrangement& arrangement);

    unsigned long fDeckCount = 1;
    unsigned long fGroupPad = 0;
    ISize fMargin;
    ISize fPad;
    std::unique_ptr<IResizeHandler> fResizeHandler;
    std::unique_ptr<std::uint32_t> fLayoutDepth;
};
