// The split canvas.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "isplitch.hpp"
#include "isplitcv.hpp"

namespace {

constexpr unsigned long kVertical = 0x1, kHorizontal = 0x2, kNoBars = 0x4;
constexpr unsigned long kMissingWeight = 10;

// The children that have window objects, in child order.
std::vector<IWindow*> childObjects(HWND canvas)
{
    std::vector<IWindow*> children;
    for (HWND child = GetWindow(canvas, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IWindow* window = IWindow::windowWithHandle(child))
            children.push_back(window);
    return children;
}

// Lengths in proportion to the weights; nothing is lost to rounding: a rest of more than 4
// pixels is shared out in proportion again, and the last pane that weighs anything takes what
// is still left. Panes that all weigh nothing share equally.
std::vector<long> lengthsFor(const std::vector<unsigned long>& weights, unsigned long available)
{
    std::uint64_t total = 0;
    for (unsigned long w : weights)
        total += w;
    std::vector<std::uint64_t> effective(weights.begin(), weights.end());
    if (total == 0) {
        std::fill(effective.begin(), effective.end(), 1);
        total = effective.size();
    }
    std::vector<long> lengths(weights.size(), 0);
    std::uint64_t assigned = 0;
    for (std::size_t i = 0; i < effective.size(); ++i) {
        lengths[i] = static_cast<long>(effective[i] * available / total);
        assigned += static_cast<std::uint64_t>(lengths[i]);
    }
    const std::uint64_t rest = available - assigned;
    if (rest > 4) {
        for (std::size_t i = 0; i < effective.size(); ++i) {
            const auto extra = static_cast<long>(effective[i] * rest / total);
            lengths[i] += extra;
            assigned += static_cast<std::uint64_t>(extra);
        }
    }
    for (std::size_t i = effective.size(); i-- > 0;) {
        if (effective[i]) {
            lengths[i] += static_cast<long>(available - assigned);
            break;
        }
    }
    return lengths;
}

} // namespace

const ISplitCanvas::Style ISplitCanvas::verticalSplitBars(0, kVertical);
const ISplitCanvas::Style ISplitCanvas::horizontalSplitBars(0, kHorizontal);
const ISplitCanvas::Style ISplitCanvas::noSplitBars(0, kNoBars);
const ISplitCanvas::Style ISplitCanvas::classDefault(WS_VISIBLE, kVertical);
const char* const ISplitCanvas::orientationId = "ISplitCanvas::orientation";

ISplitCanvas::Style ISplitCanvas::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void ISplitCanvas::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

ISplitCanvas::ISplitCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                           const IRectangle& initial, const Style& style)
    : fMiddleColor(IColor::paleGray), fEdgeColor(IColor::darkGray)
{
    const unsigned long extended = style.asExtendedUnsignedLong();
    if ((extended & kVertical) && (extended & kHorizontal))
        IThrow::message(OVK_MSG_CONFLICTING_STYLE,
                        IEXCEPTION_LOCATION("isplitcv", "ISplitCanvas::ISplitCanvas(unsigned long,"
                                                        "IWindow*,IWindow*,const IRectangle&,"
                                                        "const ISplitCanvas::Style&)"));
    fMiddleThickness = GetSystemMetrics(SM_CXFRAME) - 2 * GetSystemMetrics(SM_CXBORDER);
    fEdgeThickness = GetSystemMetrics(SM_CXBORDER);
    setExtendedStyle(extendedStyle() | extended);
    initialize(id, parent, owner, initial, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    fHandler = std::make_unique<ISplitCanvasHandler>();
    fHandler->handleEventsFor(this);
}

ISplitCanvas::~ISplitCanvas()
{
    try {
        if (fHandler && isValid())
            fHandler->stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone with the window.
    }
}

unsigned long ISplitCanvas::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    return ICanvas::convertToGUIStyle(style, extended);
}

bool ISplitCanvas::sideBySide() const
{
    return !(extendedStyle() & kHorizontal);
}

long ISplitCanvas::splitBarBreadth() const
{
    return (extendedStyle() & kNoBars) ? 0 : 2L * fEdgeThickness + fMiddleThickness;
}

ISplitCanvas::Orientation ISplitCanvas::orientation() const
{
    return (extendedStyle() & kVertical) ? verticalSplit : horizontalSplit;
}

ISplitCanvas& ISplitCanvas::setOrientation(Orientation orientation)
{
    const bool vertical = orientation == verticalSplit;
    if (vertical == ((extendedStyle() & kVertical) != 0))
        return *this;
    const unsigned long kept = extendedStyle() & ~(kVertical | kHorizontal);
    setExtendedStyle(kept | (vertical ? kVertical : kHorizontal));
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    notifyObservers(INotificationEvent(orientationId, *this, true,
                                       IEventData(static_cast<unsigned long>(orientation))));
    return *this;
}

unsigned long ISplitCanvas::splitBarThickness(SplitBarEdge which) const
{
    return static_cast<unsigned long>(which == splitBarEdge ? fEdgeThickness : fMiddleThickness);
}

ISplitCanvas& ISplitCanvas::setSplitBarThickness(unsigned long thickness, SplitBarEdge which)
{
    std::int32_t& field = which == splitBarEdge ? fEdgeThickness : fMiddleThickness;
    if (field != static_cast<std::int32_t>(thickness)) {
        field = static_cast<std::int32_t>(thickness);
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    }
    return *this;
}

ISplitCanvas::Share* ISplitCanvas::shareOf(const IWindow* window)
{
    for (Share& share : fShares)
        if (share.window == window)
            return &share;
    return nullptr;
}

const ISplitCanvas::Share* ISplitCanvas::shareOf(const IWindow* window) const
{
    return const_cast<ISplitCanvas*>(this)->shareOf(window);
}

ISplitCanvas& ISplitCanvas::setSplitWindowPercentage(IWindow* window, unsigned long percentage)
{
    IARGUMENT_CHECK(window != 0, "isplitcv",
                    "ISplitCanvas::setSplitWindowPercentage(IWindow*,unsigned long)");
    if (Share* share = shareOf(window))
        *share = Share{window, percentage, percentage};
    else
        fShares.push_back(Share{window, percentage, percentage});
    fPercentagesDirty = 1;
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return *this;
}

unsigned long ISplitCanvas::splitWindowPercentage(IWindow* window) const
{
    if (fPercentagesDirty)
        const_cast<ISplitCanvas*>(this)->normalize();
    const Share* share = shareOf(window);
    return share ? share->percentage : 0;
}

// The children are visited from the last to the first, so the first child with a share takes
// the rounding rest that makes the percentages add up to 100. Shares of windows that are no
// longer children are dropped.
void ISplitCanvas::normalize()
{
    std::vector<IWindow*> children = childObjects(handle());
    std::reverse(children.begin(), children.end());
    std::vector<Share> kept;
    std::vector<IWindow*> missing;
    std::uint64_t sum = 0;
    for (IWindow* child : children) {
        if (const Share* share = shareOf(child)) {
            kept.push_back(*share);
            sum += share->weight;
        } else {
            missing.push_back(child);
        }
    }
    const std::size_t present = kept.size();
    const auto average =
        present && sum ? static_cast<unsigned long>(sum / present) : kMissingWeight;
    for (IWindow* child : missing)
        kept.push_back(Share{child, average, average});
    // Back into reverse child order, with the missing ones in their places.
    std::vector<Share> ordered;
    for (IWindow* child : children)
        for (const Share& share : kept)
            if (share.window == child)
                ordered.push_back(share);
    std::uint64_t total = 0;
    for (const Share& share : ordered)
        total += share.weight;
    unsigned long given = 0;
    Share* rest = nullptr;
    for (Share& share : ordered) {
        // Children that all weigh nothing share equally.
        const std::uint64_t weight = total ? share.weight : 1;
        const std::uint64_t divisor = total ? total : ordered.size();
        share.percentage = static_cast<unsigned long>(weight * 100 / divisor);
        given += share.percentage;
        if (share.percentage)
            rest = &share;
    }
    if (rest)
        rest->percentage = 100 - given + rest->percentage;
    fShares = std::move(ordered);
    fPercentagesDirty = 0;
}

std::vector<ISplitCanvas::Pane> ISplitCanvas::panes() const
{
    std::vector<Pane> list;
    for (IWindow* child : childObjects(handle())) {
        const Share* share = shareOf(child);
        list.push_back(Pane{child, share ? share->weight : kMissingWeight});
    }
    return list;
}

ISplitCanvas& ISplitCanvas::layout()
{
    if (!isLayoutDistorted(ovk_layout::layoutDue))
        return *this;
    ISize area = fPendingSize.width() >= 0 ? fPendingSize : size();
    fPendingSize = ISize(-1, -1);
    if (area.width() <= 0 || area.height() <= 0)
        return *this;
    if (fPercentagesDirty)
        normalize();
    const std::vector<Pane> list = panes();
    fChildCount = static_cast<std::uint32_t>(list.size());
    if (list.empty()) {
        fPercentagesDirty = 1;
        return *this;
    }
    const bool across = sideBySide();
    const long bar = splitBarBreadth();
    const long along = across ? area.width() : area.height();
    // A canvas narrower than its bars leaves the panes no room rather than negative room.
    const long available = std::max(0L, along - static_cast<long>(list.size() - 1) * bar);
    std::vector<unsigned long> weights;
    for (const Pane& pane : list)
        weights.push_back(pane.weight);
    const std::vector<long> lengths = lengthsFor(weights, static_cast<unsigned long>(available));
    IWindowPosBuffer& buffer = fixupChildren();
    long start = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const IRectangle r = across ? IRectangle(start, 0, start + lengths[i], area.height())
                                    : IRectangle(0, start, area.width(), start + lengths[i]);
        buffer.moveSizeTo(list[i].window, r);
        start += lengths[i] + bar;
    }
    buffer.apply();
    IWindow::setLayoutDistorted(0, ovk_layout::layoutDue);
    return *this;
}

void ISplitCanvas::setWeightsFromLengths()
{
    const bool across = sideBySide();
    for (IWindow* child : childObjects(handle())) {
        const ISize extent = child->size();
        const auto length = static_cast<unsigned long>(std::max(0L, static_cast<long>(
                                                                       across ? extent.width()
                                                                              : extent.height())));
        if (Share* share = shareOf(child))
            share->weight = length;
        else
            fShares.push_back(Share{child, length, length});
    }
    normalize();
}

IColor ISplitCanvas::splitBarEdgeColor() const
{
    return fEdgeColor;
}

IColor ISplitCanvas::splitBarMiddleColor() const
{
    return fMiddleColor;
}

ISplitCanvas& ISplitCanvas::setSplitBarEdgeColor(const IColor& color)
{
    fEdgeColor = color;
    refresh();
    return *this;
}

ISplitCanvas& ISplitCanvas::setSplitBarMiddleColor(const IColor& color)
{
    fMiddleColor = color;
    refresh();
    return *this;
}

ISplitCanvas& ISplitCanvas::resetSplitBarEdgeColor()
{
    return setSplitBarEdgeColor(IColor(IColor::darkGray));
}

ISplitCanvas& ISplitCanvas::resetSplitBarMiddleColor()
{
    return setSplitBarMiddleColor(IColor(IColor::paleGray));
}
