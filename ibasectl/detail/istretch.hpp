// The picture painters' shared step: a bitmap stretched over a control's client area.
#pragma once

#include <ipoint.hpp>

#include <ibmphdl.hpp>
#include <igbitmap.hpp>
#include <igrafctx.hpp>

#include <ipainevt.hpp>

namespace ovk_window {

// The whole bitmap into the whole area, through a graphic context on the event's device
// context. The destination's far corner is exclusive, so the last row and column of the
// control are covered too. An empty area is left alone: the transfer would fail on it.
inline void stretchBitmapOver(IPaintEvent& event, const IBitmapHandle& bitmap, const ISize& area)
{
    if (area.width() <= 0 || area.height() <= 0)
        return;
    IGraphicContext context(event);
    IGBitmap picture(bitmap);
    const ISize size = picture.size();
    picture.drawWithPoints(context, IPoint(0, 0), IPoint(area.width(), area.height()),
                           IPoint(0, 0), IPoint(size.width(), size.height()));
}

} // namespace ovk_window
