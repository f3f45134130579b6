// IGroupBox: a captioned frame around other controls.
#pragma once

#include <idefs.hpp>

#include "itextctl.hpp"

// Takes no part in the focus and handles no input; its visible rectangle is empty, so that it
// never counts as covering the controls inside it.
class OVKWIN_API IGroupBox : public ITextControl {
public:
    static const Style classDefault;

    IGroupBox(unsigned long id, IWindow* parent, IWindow* owner,
              const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    IGroupBox(unsigned long id, IWindow* parent);
    explicit IGroupBox(const IWindowHandle& handle);
    ~IGroupBox() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IRectangle visibleRectangle() const override;
    IColor foregroundColor() const override;
    // The caption plus an average character on either side.
    ISize calcMinimumSize() const override;
    // Both mark the minimum size stale.
    ITextControl& setText(const char* text) override;
    ITextControl& setText(const IResourceId& text) override;
};
