// The graphic canvas and its painter.
#include <windows.h>

#include <algorithm>
#include <memory>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include "icoordsy.hpp"
#include "igrafctx.hpp"
#include "igrafcv.hpp"
#include "iglist.hpp"
#include "ipainhdr.hpp"

namespace {

// Paints the canvas's list over its background on every paint.
class GraphicCanvasPainter : public IPaintHandler {
protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override
    {
        auto* canvas = dynamic_cast<IGraphicCanvas*>(event.window());
        if (!canvas)
            return false;
        std::unique_ptr<IGraphicContext> temporary;
        IGraphicContext* context = canvas->graphicContext();
        if (context) {
            event.setGraphicContext(*context);
        } else {
            if (!event.presSpaceHandle())
                return false;
            temporary = std::make_unique<IGraphicContext>(event);
            context = temporary.get();
        }
        const IRectangle area = event.rect();
        if (area.width() == 0 || area.height() == 0)
            return false;
        event.clearBackground(area, canvas->backgroundColor());
        if (IGList* list = canvas->graphicList()) {
            if (ICoordinateSystem::isConversionNeeded())
                context->setConversionHeight(static_cast<unsigned long>(canvas->size().height()));
            list->drawOn(*context);
        }
        return true;
    }
};

GraphicCanvasPainter& painter()
{
    return ovk_app::sharedHandler<GraphicCanvasPainter>();
}

constexpr unsigned long kAutoPaint = 0x1;

} // namespace

const IGraphicCanvas::Style IGraphicCanvas::_autoPaint(0, kAutoPaint);
const IGraphicCanvas::Style IGraphicCanvas::classDefault(WS_VISIBLE | WS_CLIPSIBLINGS, kAutoPaint);

IGraphicCanvas::Style IGraphicCanvas::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IGraphicCanvas::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

IGraphicCanvas::IGraphicCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                               const IRectangle& rect, const Style& style)
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    initialize(id, parent, owner, rect, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    if (style.asExtendedUnsignedLong() & kAutoPaint)
        painter().handleEventsFor(this);
}

IGraphicCanvas::~IGraphicCanvas()
{
    try {
        if ((extendedStyle() & kAutoPaint) && isValid())
            painter().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone already.
    }
}

unsigned long IGraphicCanvas::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = ICanvas::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return base | IControl::_group.asUnsignedLong() | style.asUnsignedLong() | WS_CHILD | 0x6;
}

ISize IGraphicCanvas::calcMinimumSize() const
{
    const ISize own = ICanvas::calcMinimumSize();
    if (!fList || fList->isEmpty())
        return own;
    std::unique_ptr<IGraphicContext> temporary;
    IGraphicContext* context = fContext;
    if (!context) {
        temporary = std::make_unique<IGraphicContext>(handle());
        context = temporary.get();
    }
    const IRectangle bounds = fList->boundingRect(*context);
    return ISize(std::max(own.width(), bounds.maxX()), std::max(own.height(), bounds.maxY()));
}

IGraphicCanvas& IGraphicCanvas::setGraphicList(IGList* list)
{
    fList = list;
    // The list's bounds are part of the minimum size: the parent has to hear of the change,
    // which a due layout alone would not tell it.
    setLayoutDistorted(ovk_layout::minimumSizeChanged | ovk_layout::layoutDue, 0);
    return *this;
}

IGList* IGraphicCanvas::graphicList() const
{
    return fList;
}

IGraphicCanvas& IGraphicCanvas::setGraphicContext(IGraphicContext* context)
{
    fContext = context;
    return *this;
}

IGraphicContext* IGraphicCanvas::graphicContext() const
{
    return fContext;
}
