// IGraphicContext: drawing text, graphic lists and regions, and clipping to a region graphic.
#include "igrafctx.hpp"

#include <windows.h>

#include <detail/iscoped.hpp>

#include <algorithm>
#include <climits>
#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <ifont.hpp>

#include "detail/igcdata.hpp"
#include "detail/igeometry.hpp"
#include "detail/igregion.hpp"
#include "detail/igscope.hpp"
#include "iglist.hpp"
#include "igrect.hpp"
#include "igregion.hpp"
#include "igstring.hpp"

namespace {

[[noreturn]] void throwDrawError(const char* call, const char* function)
{
    IThrow::systemError(call, GetLastError(), IEXCEPTION_LOCATION("igrafctx", function));
}

// A font made for one call, selected for its length, then put back and deleted: the selection
// is declared after the font, so it is undone first.
class ScaledFont {
public:
    ScaledFont(HDC context, HFONT font) : fFont(font), fSelected(context, font) {}

private:
    ovk_native::Font fFont;
    ovk_native::Selection fSelected;
};

// The string's font, or the context's, with its height scaled by the string's own transform's
// m22 and its width by m11; none when the string has no own transform or it rotates.
HFONT scaledFontFor(const IGraphicContext& context, const IGString& text, const IFont* own)
{
    if (!text.hasTransformMatrix())
        return nullptr;
    const ITransformMatrix matrix = text.transformMatrix();
    if (matrix.m12() != 0.0 || matrix.m21() != 0.0)
        return nullptr;
    LOGFONTA attributes = own ? own->fontAttributes() : context.currentFont().fontAttributes();
    attributes.lfHeight = static_cast<LONG>(attributes.lfHeight * matrix.m22());
    attributes.lfWidth = static_cast<LONG>(attributes.lfWidth * matrix.m11());
    return CreateFontIndirectA(&attributes);
}

// The box the text covers when drawn at the point with the context's text alignment.
IRectangle textBox(HDC context, const IString& text, const IPoint& position)
{
    SIZE extent{};
    const int length = static_cast<int>(std::min<std::size_t>(text.length(), INT_MAX));
    if (IPlatform::isPlatformVariant())
        GetTextExtentPointA(context, text, length, &extent);
    else
        GetTextExtentPoint32A(context, text, length, &extent);
    const UINT align = GetTextAlign(context);
    IPoint::Coord left = position.x();
    if ((align & TA_CENTER) == TA_CENTER)
        left -= extent.cx / 2;
    else if (align & TA_RIGHT)
        left -= extent.cx;
    IPoint::Coord top = position.y();
    if ((align & TA_BASELINE) == TA_BASELINE) {
        TEXTMETRICA metrics{};
        GetTextMetricsA(context, &metrics);
        top -= metrics.tmAscent;
    } else if (align & TA_BOTTOM) {
        top -= extent.cy;
    }
    return IRectangle(IPoint(left, top), ISize(extent.cx, extent.cy));
}

// The lists being drawn on this thread: a list that contains itself, directly or through
// another, is drawn once instead of recursing until the stack runs out.
thread_local std::vector<const IGList*> tListsDrawn;

class ListDrawn {
public:
    explicit ListDrawn(const IGList& list) { tListsDrawn.push_back(&list); }
    ~ListDrawn() { tListsDrawn.pop_back(); }
    ListDrawn(const ListDrawn&) = delete;
    ListDrawn& operator=(const ListDrawn&) = delete;
    static bool isDrawing(const IGList& list)
    {
        return std::find(tListsDrawn.begin(), tListsDrawn.end(), &list) != tListsDrawn.end();
    }
};

} // namespace

IGraphicContext& IGraphicContext::draw(const IGString& text)
{
    static const char* const function = "IGraphicContext::draw(const IGString&)";
    IGString& graphic = const_cast<IGString&>(text);
    const IString characters = text.text();
    IPoint position = text.position();
    // The own font object must live while its native font is selected.
    std::unique_ptr<IFont> own = text.hasFont() ? std::make_unique<IFont>(text.font()) : nullptr;
    if (flips()) {
        const unsigned long height = own ? own->maxCharHeight() : currentFont().maxCharHeight();
        position = IPoint(position.x(), static_cast<IPoint::Coord>(fData->fConversionHeight) -
                                            position.y() -
                                            static_cast<IPoint::Coord>(height));
    }
    ovk_graphics::GraphicScope scope(*this, text);
    ovk_native::Selection font(fHandle, own ? own->handle() : nullptr);
    const IRectangle box = textBox(fHandle, characters, position);
    switch (fData->fState) {
    case IGCData::collectingBounds:
        addToBounds(ovk_graphics::boundsOf(ovk_graphics::cornersOf(box), worldTransform(), 1));
        break;
    case IGCData::hitTesting: {
        // The text is hit where a filled rectangle over its box would be.
        IGRectangle cover(box);
        cover.setGraphicBundle(IGraphicBundle().setDrawOperation(IGraphicBundle::fillAndFrame));
        draw(cover);
        if (cover.isHit())
            graphic.setHit(true);
        break;
    }
    default: {
        const IPoint device = toDevice(position);
        // Without the device's transform the glyphs are not scaled with the position: a font
        // scaled by the string's own transform is made for the call instead.
        ScaledFont scaled(fHandle,
                          fData->fAdvancedMode ? nullptr : scaledFontFor(*this, text, own.get()));
        RECT clip{};
        UINT options = 0;
        if (text.hasClippingRect()) {
            const IRectangle rectangle = flipped(text.clippingRect());
            clip = RECT{rectangle.minX(), rectangle.minY(), rectangle.maxX(), rectangle.maxY()};
            options = ETO_CLIPPED;
        }
        const UINT length = static_cast<UINT>(std::min<std::size_t>(characters.length(), INT_MAX));
        if (!ExtTextOutA(fHandle, device.x(), device.y(), options, options ? &clip : nullptr,
                         characters, length, nullptr))
            throwDrawError("TextOut", function);
    }
    }
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGList& list)
{
    if (ListDrawn::isDrawing(list))
        return *this;
    ListDrawn drawn(list);
    ovk_graphics::GraphicScope scope(*this, list);
    IGList& self = const_cast<IGList&>(list);
    IGList::Cursor cursor(list);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        IGraphic* graphic = list.graphicAt(cursor);
        graphic->setHit(false);
        graphic->drawOn(*this);
        if (graphic->isHit() && list.isHitTestingEnabled())
            self.setHit(true);
    }
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGRegion& region)
{
    static const char* const function = "IGraphicContext::draw(const IGRegion&)";
    HRGN native = region.handle();
    RECT box{};
    const int kind = GetRgnBox(native, &box);
    ovk_graphics::GraphicScope scope(*this, region);
    switch (fData->fState) {
    case IGCData::collectingBounds:
        if (kind != ERROR)
            addToBounds(IRectangle(box.left, box.top, box.right, box.bottom));
        break;
    case IGCData::hitTesting: {
        // The region's area is in logical coordinates, where painting puts it through the world
        // transform and the mapping mode; the hit point comes from the device.
        POINT logical{fData->fHitPoint.x(), fData->fHitPoint.y()};
        DPtoLP(fHandle, &logical, 1);
        const ISize aperture = fData->fHitAperture;
        const IPoint corner(logical.x - aperture.width() / 2, logical.y - aperture.height() / 2);
        const RECT test{corner.x(), corner.y(), corner.x() + aperture.width(),
                        corner.y() + aperture.height()};
        if (RectInRegion(native, &test))
            const_cast<IGRegion&>(region).setHit(true);
        break;
    }
    default: {
        if (kind == ERROR || box.right == box.left || box.bottom == box.top)
            break;
        // A region is painted like an outline: in the pen's colour and pattern. The fill is
        // put back also when painting or making a brush throws.
        struct PenAsFill {
            IGCData& data;
            HDC context;
            IColor color;
            long pattern;
            PenAsFill(IGCData& d, HDC c)
                : data(d), context(c), color(d.fFillColor), pattern(d.fFillPattern)
            {
                data.fFillColor = data.fPenColor;
                data.fFillPattern = data.fPenPattern;
                data.createBrush(context);
            }
            ~PenAsFill()
            {
                data.fFillColor = color;
                data.fFillPattern = pattern;
                try {
                    data.createBrush(context);
                } catch (...) {
                    // The next fill setter makes the brush again; a destructor must not throw.
                }
            }
        } penAsFill(*fData, fHandle);
        if (!flips()) {
            if (!PaintRgn(fHandle, native))
                throwDrawError("PaintRgn", function);
            break;
        }
        // For y counting upward each row is mirrored about the conversion height; shifting
        // the region would mirror only one that starts at the top.
        const ovk_native::Region mirrored(
            ovk_graphics::mirroredRegion(native, static_cast<long>(fData->fConversionHeight)));
        if (!mirrored || !PaintRgn(fHandle, mirrored.get()))
            throwDrawError("PaintRgn", function);
    }
    }
    return *this;
}

IGraphicContext& IGraphicContext::setClipRegion(const IGRegion& region)
{
    return setClipRegion(region.handle());
}
