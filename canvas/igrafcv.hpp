// IGraphicCanvas: a canvas that paints a list of graphics and asks for room to show all of it.
#pragma once

#include <iclsstyl.hpp>

#include <cstdint>

#include <icanvas.hpp>

class IGList;
class IGraphicContext;

// The list and the context stay the application's: the canvas neither copies nor deletes
// them. Without _autoPaint the canvas paints nothing of its list.
class OVKWIN_API IGraphicCanvas : public ICanvas {
public:
    using Style = IWindowClassStyle<IGraphicCanvas>;
    static const Style _autoPaint;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IGraphicCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                   const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    ~IGraphicCanvas() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The canvas's own minimum size, widened and heightened to the far corner of the list's
    // bounds.
    ISize calcMinimumSize() const override;

    // A new list makes a layout due, which the canvas's parent sees.
    virtual IGraphicCanvas& setGraphicList(IGList* list);
    virtual IGList* graphicList() const;
    // The context the canvas paints and measures with; null for one on its window.
    virtual IGraphicCanvas& setGraphicContext(IGraphicContext* context);
    virtual IGraphicContext* graphicContext() const;

private:
    IGList* fList = nullptr;
    IGraphicContext* fContext = nullptr;
    std::uint32_t fReserved = 0;
};
