// IOutlineBox: a plain frame around other controls, in one of three frame colours.
#pragma once

#include <idefs.hpp>

#include "icontrol.hpp"

// Takes no part in the focus and handles no input; its visible rectangle is empty, so that it
// never counts as covering the controls inside it.
class OVKWIN_API IOutlineBox : public IControl {
public:
    enum OutlineType { foreground = 0, background = 1, halftone = 2 };

    // The frame kinds (a style needs at least one) and the sunken static edge.
    static const Style backgroundFrame;
    static const Style foregroundFrame;
    static const Style halftoneFrame;
    static const Style _border3D;
    static const Style classDefault;

    IOutlineBox(unsigned long id, IWindow* parent, IWindow* owner,
                const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    IOutlineBox(unsigned long id, IWindow* parent);
    explicit IOutlineBox(const IWindowHandle& handle);
    ~IOutlineBox() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IRectangle visibleRectangle() const override;
    // The frame's colour.
    IColor foregroundColor() const override;

    // Message 39 for a value outside the enumeration; the style is then left as it was.
    IOutlineBox& setOutlineType(const OutlineType& type);
    OutlineType outlineType() const;
};
