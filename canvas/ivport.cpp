// The view port and its view rectangle.
#include <windows.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/icvclient.hpp"
#include "icoordsy.hpp"
#include "iscroll.hpp"
#include "ivporhdr.hpp"
#include "ivport.hpp"

namespace {

constexpr unsigned long kHorzAsNeeded = 0x1, kHorzAlways = 0x2, kHorzNever = 0x4;
constexpr unsigned long kVertAsNeeded = 0x8, kVertAlways = 0x10, kVertNever = 0x20;
constexpr unsigned long kClipChildren = 0x40, kExpandView = 0x80;

constexpr std::uint8_t kConstructed = 0x1, kResizeAttached = 0x2, kScrollAttached = 0x4;
constexpr std::uint8_t kKeysAttached = 0x8, kRectanglePaintAttached = 0x20;
constexpr std::uint8_t kFollowsMinimum = 0x40;

// The longest view a scroll bar's 16-bit thumb position covers pixel by pixel.
constexpr long kLongestUnscaled = 0x7FFF;

bool conflicting(unsigned long extended)
{
    for (unsigned long group : {kHorzAsNeeded | kHorzAlways | kHorzNever,
                                kVertAsNeeded | kVertAlways | kVertNever}) {
        const unsigned long chosen = extended & group;
        if (chosen & (chosen - 1))
            return true;
    }
    return false;
}

ISize nativeSize(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return ISize(r.right - r.left, r.bottom - r.top);
}

using ovk_canvas::clientSize;

// Where the view port's own children go is fixed on the screen (the bars along the bottom and
// right edges, the view rectangle at the top left), in either coordinate system; the position
// buffer takes the application's coordinates.
IRectangle fromNative(const IRectangle& native, const ISize& client)
{
    return ICoordinateSystem::convertToApplication(native, client);
}

// Thumb positions travel in 16 bits: a longer view is scrolled through scaled positions.
long scaleOf(long extent)
{
    return extent > kLongestUnscaled ? (extent >> 15) + 1 : 1;
}

long roundedHalf(long value)
{
    return (value + 1) / 2;
}

} // namespace

// IViewRectangle ------------------------------------------------------------------------------

// The view rectangle always clips its child: a "Static" window paints with its parent's device
// context, and here its own paint, arriving after the view window's, would cover the view.
IViewRectangle::IViewRectangle(unsigned long id, IWindow* viewPort)
{
    const IWindowHandle handle =
        create(id, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, "Static", viewPort->handle(),
               viewPort->handle(), IRectangle(), nullptr, nullptr);
    startHandlingEventsFor(handle);
}

IViewRectangle::~IViewRectangle() = default;

// IViewPort -----------------------------------------------------------------------------------

const IViewPort::Style IViewPort::asNeededHorizontalScrollBar(0, kHorzAsNeeded);
const IViewPort::Style IViewPort::alwaysHorizontalScrollBar(0, kHorzAlways);
const IViewPort::Style IViewPort::noHorizontalScrollBar(0, kHorzNever);
const IViewPort::Style IViewPort::asNeededVerticalScrollBar(0, kVertAsNeeded);
const IViewPort::Style IViewPort::alwaysVerticalScrollBar(0, kVertAlways);
const IViewPort::Style IViewPort::noVerticalScrollBar(0, kVertNever);
const IViewPort::Style IViewPort::noViewWindowFill(0, kClipChildren);
const IViewPort::Style IViewPort::expandableViewWindow(0, kExpandView);
const IViewPort::Style IViewPort::classDefault(WS_VISIBLE, kHorzAsNeeded | kVertAsNeeded);
const char* const IViewPort::viewWindowSizeId = "IViewPort::viewWindowSize";

IViewPort::Style IViewPort::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IViewPort::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

IViewPort::IViewPort(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                     const Style& style)
{
    const unsigned long extended = style.asExtendedUnsignedLong();
    if (conflicting(extended))
        IThrow::message(OVK_MSG_CONFLICTING_STYLE,
                        IEXCEPTION_LOCATION("ivport", "IViewPort::IViewPort(unsigned long,IWindow*,"
                                                      "IWindow*,const IRectangle&,const "
                                                      "IViewPort::Style&)"));
    setExtendedStyle(extendedStyle() | extended);
    initialize(id, parent, owner, initial, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    const IScrollBar::Style group(IControl::_group);
    const long across = static_cast<long>(IScrollBar::systemScrollBarWidth(false));
    const long down = static_cast<long>(IScrollBar::systemScrollBarWidth(true));
    fHorizontal = std::make_unique<IScrollBar>(horizontalScrollBarId, this, this,
                                               IRectangle(0, 0, across, across),
                                               group | IScrollBar::_horizontal);
    fVertical = std::make_unique<IScrollBar>(verticalScrollBarId, this, this,
                                             IRectangle(0, 0, down, down),
                                             group | IScrollBar::_vertical);
    fViewRectangle = std::make_unique<IViewRectangle>(viewRectangleId, this);
    const ISize character = characterSize();
    fHorizontal->setMinScrollIncrement(static_cast<unsigned long>(roundedHalf(character.width())));
    fVertical->setMinScrollIncrement(static_cast<unsigned long>(roundedHalf(character.height())));

    fResizeHandler = std::make_unique<IViewPortResizeHandler>();
    fResizeHandler->handleEventsFor(this);
    fScrollHandler = std::make_unique<IViewPortScrollHandler>();
    fScrollHandler->handleEventsFor(this);
    fKeyboardHandler = std::make_unique<IViewPortKeyboardHandler>();
    fKeyboardHandler->handleEventsFor(this);
    IViewPortPaintHandler::shared().handleEventsFor(this);
    IViewRectanglePaintHandler::shared().handleEventsFor(fViewRectangle.get());
    fState |= kResizeAttached | kScrollAttached | kKeysAttached | kRectanglePaintAttached;
    if (extended & kExpandView)
        fState |= kFollowsMinimum;
    fState |= kConstructed;
    // The first paint or showing lays the view out, whenever the view window comes.
    IWindow::setLayoutDistorted(ovk_layout::layoutDue, 0);
}

IViewPort::~IViewPort()
{
    try {
        if (isValid()) {
            if (fState & kResizeAttached)
                fResizeHandler->stopHandlingEventsFor(this);
            if (fState & kScrollAttached)
                fScrollHandler->stopHandlingEventsFor(this);
            if (fState & kKeysAttached)
                fKeyboardHandler->stopHandlingEventsFor(this);
            IViewPortPaintHandler::shared().stopHandlingEventsFor(this);
        }
        if ((fState & kRectanglePaintAttached) && fViewRectangle && fViewRectangle->isValid())
            IViewRectanglePaintHandler::shared().stopHandlingEventsFor(fViewRectangle.get());
    } catch (const IException&) {
        // The windows and their handler lists are gone already.
    }
    fState = 0;
    fVertical.reset();
    fHorizontal.reset();
    fViewRectangle.reset();
}

unsigned long IViewPort::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long result = ICanvas::convertToGUIStyle(style, extended);
    if (!extended && (style.asExtendedUnsignedLong() & kClipChildren))
        return result | WS_CLIPCHILDREN;
    return result;
}

IWindow& IViewPort::setLayoutDistorted(unsigned long layoutAttributeOn,
                                       unsigned long layoutAttributeOff)
{
    unsigned long on = layoutAttributeOn & ~(ovk_layout::viewPortSizeChanged |
                                             ovk_layout::childMinimumSizeChanged);
    if ((layoutAttributeOn & ovk_layout::viewPortSizeChanged) ||
        ((layoutAttributeOn & ovk_layout::childMinimumSizeChanged) && (fState & kFollowsMinimum))) {
        on |= ovk_layout::layoutDue;
        if (!(layoutAttributeOn & ovk_layout::childrenChanged) &&
            !isLayoutDistorted(ovk_layout::childrenChanged))
            on |= ovk_layout::refreshDue;
    }
    return ICanvas::setLayoutDistorted(on, layoutAttributeOff);
}

ISize IViewPort::calcMinimumSize() const
{
    const_cast<IViewPort*>(this)->layout();
    return layoutMinimumSize();
}

IWindowHandle IViewPort::viewWindow()
{
    static const char* const function = "IViewPort::viewWindow()";
    const HWND own[] = {fVertical->handle(), fHorizontal->handle(), fViewRectangle->handle()};
    HWND candidate = nullptr;
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (std::find(std::begin(own), std::end(own), child) != std::end(own))
            continue;
        if (candidate)
            IThrow::message(OVK_MSG_VIEW_WINDOW_AMBIGUOUS, IEXCEPTION_LOCATION("ivport", function));
        candidate = child;
    }
    const HWND rectangle = fViewRectangle->handle();
    if (candidate) {
        if (IWindow* window = windowWithHandle(candidate))
            window->setParent(fViewRectangle.get());
        else
            SetParent(candidate, rectangle);
        if (GetFocus() == rectangle)
            SetFocus(candidate);
    }
    HWND inside = GetWindow(rectangle, GW_CHILD);
    if (inside && GetWindow(inside, GW_HWNDNEXT))
        IThrow::message(OVK_MSG_VIEW_WINDOW_AMBIGUOUS, IEXCEPTION_LOCATION("ivport", function));
    return IWindowHandle(inside);
}

IViewPort& IViewPort::layout()
{
    if (!isLayoutDistorted(ovk_layout::layoutDue) || !(fState & kConstructed))
        return *this;
    const IWindowHandle view = viewWindow();
    ISize size = fSetSize;
    if (fSetSize.width() < 0) {
        size = ISize();
        if (view) {
            size = nativeSize(view);
            if ((fState & kFollowsMinimum) || (size.width() == 0 && size.height() == 0)) {
                IWindow* window = windowWithHandle(view);
                if (window)
                    size = window->minimumSize();
                SetWindowPos(view, nullptr, 0, 0, size.width(), size.height(),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                fState |= kFollowsMinimum;
            } else {
                fState &= static_cast<std::uint8_t>(~kFollowsMinimum);
            }
        }
    } else {
        fState &= static_cast<std::uint8_t>(~kFollowsMinimum);
    }
    setLayoutMinimumSize(size);
    positionScrollBars();
    if (view)
        positionViewWindow(fViewRectangle->rect());
    IWindow::setLayoutDistorted(0, ovk_layout::layoutDue);
    return *this;
}

ISize IViewPort::viewWindowSize() const
{
    return fSetSize.width() < 0 ? layoutMinimumSize() : fSetSize;
}

IViewPort& IViewPort::setViewWindowSize(const ISize& size)
{
    if (size == fSetSize)
        return *this;
    fSetSize = size;
    setLayoutMinimumSize(size);
    fState &= static_cast<std::uint8_t>(~kFollowsMinimum);
    setLayoutDistorted(ovk_layout::viewPortSizeChanged, 0);
    notifyObservers(INotificationEvent(viewWindowSizeId, *this, true,
                                       IEventData(static_cast<const void*>(&fSetSize))));
    return *this;
}

IViewPort::Axis IViewPort::axis(bool vertical) const
{
    const ISize view = viewWindowSize();
    const ISize visible = fViewRectangle->size();
    Axis a{vertical ? fVertical.get() : fHorizontal.get(),
           vertical ? view.height() : view.width(),
           vertical ? visible.height() : visible.width(), 1, vertical ? fOffsetY : fOffsetX};
    a.scale = scaleOf(a.extent);
    return a;
}

void IViewPort::sizeViewToAtLeast(ISize& view, const ISize& visible) const
{
    view = ISize(std::max(view.width(), visible.width()), std::max(view.height(), visible.height()));
}

IViewPort& IViewPort::positionScrollBars()
{
    const unsigned long style = extendedStyle();
    const bool expand = (style & kExpandView) && fSetSize.width() < 0;
    ISize view = viewWindowSize();
    const ISize port = size();
    long width = port.width();
    long height = port.height();
    const long barHeight = static_cast<long>(IScrollBar::systemScrollBarWidth(false));
    const long barWidth = static_cast<long>(IScrollBar::systemScrollBarWidth(true));
    auto raise = [&] {
        if (expand)
            sizeViewToAtLeast(view, ISize(std::max(0L, width), std::max(0L, height)));
    };
    raise();
    bool horizontal = (style & kHorzAlways) || ((style & kHorzAsNeeded) && width < view.width());
    if (horizontal) {
        height -= barHeight;
        raise();
    }
    const bool vertical = (style & kVertAlways) || ((style & kVertAsNeeded) && height < view.height());
    if (vertical) {
        width -= barWidth;
        raise();
        if (!horizontal && (style & kHorzAsNeeded) && width < view.width()) {
            horizontal = true;
            height -= barHeight;
            raise();
        }
    }
    width = std::max(0L, width);
    height = std::max(0L, height);

    IWindowPosBuffer buffer(this);
    buffer.moveSizeTo(fViewRectangle.get(),
                      fromNative(IRectangle(0, 0, width, height), clientSize(handle())));
    buffer.show(fViewRectangle.get());
    if (expand) {
        setLayoutMinimumSize(view);
        const IWindowHandle window = GetWindow(fViewRectangle->handle(), GW_CHILD);
        if (window && nativeSize(window) != view)
            SetWindowPos(window, nullptr, 0, 0, view.width(), view.height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    placeBar(false, horizontal, width, height, buffer);
    placeBar(true, vertical, height, width, buffer);
    buffer.apply();
    return *this;
}

// `visible` is the visible extent along the bar, `other` across it (where the bar goes).
void IViewPort::placeBar(bool vertical, bool shown, long visible, long other,
                         IWindowPosBuffer& buffer)
{
    IScrollBar& bar = vertical ? *fVertical : *fHorizontal;
    std::uint32_t& offset = vertical ? fOffsetY : fOffsetX;
    if (!shown) {
        buffer.hide(&bar);
        offset = 0;
        return;
    }
    const ISize view = viewWindowSize();
    const long extent = vertical ? view.height() : view.width();
    const long scale = scaleOf(extent);
    const long scaledExtent = extent / scale;
    const long scaledVisible = visible / scale;
    offset = static_cast<std::uint32_t>(
        std::min<long>(static_cast<long>(offset), std::max(0L, extent - visible)));
    const long upper = IPlatform::isPlatformVariant() ? scaledExtent - scaledVisible : scaledExtent;
    bar.setScrollBar(IRange(1, static_cast<IRange::Bound>(upper)),
                     static_cast<unsigned long>(scaledVisible));
    bar.moveScrollBoxTo(static_cast<long>(offset) / scale + 1);
    const long breadth = static_cast<long>(IScrollBar::systemScrollBarWidth(vertical));
    const IRectangle native = vertical ? IRectangle(other, 0, other + breadth, visible)
                                       : IRectangle(0, other, visible, other + breadth);
    buffer.moveSizeTo(&bar, fromNative(native, clientSize(handle())));
    buffer.show(&bar);
}

IViewPort& IViewPort::positionViewWindow(const IRectangle& viewRectangle)
{
    const HWND rectangle = fViewRectangle->handle();
    const HWND view = GetWindow(rectangle, GW_CHILD);
    if (!view)
        return *this;
    // The visible part of the view starts at the given rectangle's near corner (on the screen,
    // its top left). The rectangle is in the view port's coordinates and the view window lives
    // in the view rectangle's: the view rectangle's own place lies between the two.
    const HWND port = handle();
    const ISize client = clientSize(port);
    const IRectangle wanted = ICoordinateSystem::convertToNative(viewRectangle, client);
    POINT origin{0, 0};
    MapWindowPoints(rectangle, port, &origin, 1);
    SetWindowPos(view, nullptr, wanted.minX() - origin.x - static_cast<long>(fOffsetX),
                 wanted.minY() - origin.y - static_cast<long>(fOffsetY), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return *this;
}

IViewPort& IViewPort::scrollTo(bool vertical, unsigned long offset)
{
    const Axis a = axis(vertical);
    if (a.extent <= a.visible)
        return *this;
    const unsigned long limited = std::min(offset, static_cast<unsigned long>(a.lastOffset()));
    (vertical ? fOffsetY : fOffsetX) = static_cast<std::uint32_t>(limited);
    positionViewWindow(fViewRectangle->rect());
    a.bar->moveScrollBoxTo(static_cast<long>(limited) / a.scale + 1);
    return *this;
}

IViewPort& IViewPort::scrollViewVerticallyTo(unsigned long top)
{
    return scrollTo(true, top);
}

IViewPort& IViewPort::scrollViewHorizontallyTo(unsigned long left)
{
    return scrollTo(false, left);
}

IRectangle IViewPort::viewportRect() const
{
    const ISize visible = fViewRectangle->size();
    long top = static_cast<long>(fOffsetY);
    if (ICoordinateSystem::isConversionNeeded())
        top = viewWindowSize().height() - top - visible.height();
    return IRectangle(IPoint(static_cast<long>(fOffsetX), top), visible);
}

IViewPort& IViewPort::setViewOrigin(const IPoint& origin)
{
    long top = origin.y();
    if (ICoordinateSystem::isConversionNeeded())
        top = viewWindowSize().height() - top;
    scrollTo(false, static_cast<unsigned long>(std::max(0L, static_cast<long>(origin.x()))));
    scrollTo(true, static_cast<unsigned long>(std::max(0L, top)));
    return *this;
}

IPoint IViewPort::viewOrigin() const
{
    long y = static_cast<long>(fOffsetY);
    if (ICoordinateSystem::isConversionNeeded())
        y = viewWindowSize().height() - y;
    return IPoint(static_cast<long>(fOffsetX), y);
}
