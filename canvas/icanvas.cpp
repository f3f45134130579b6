// The canvas base.
#include <windows.h>

#include <algorithm>
#include <utility>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include <detail/iwincore.hpp>

#include "icanvas.hpp"
#include "icoordsy.hpp"
#include "icvhdr.hpp"
#include "iprivmsg.hpp"
#include "irecohdr.hpp"

const ICanvas::Style ICanvas::classDefault(WS_VISIBLE, 0);

namespace {

// The static type 6 (SS_WHITEFRAME) keeps the native static from drawing a text of its own;
// a titled set canvas clears it to get the group frame painted.
constexpr unsigned long kCanvasNativeStyle = WS_CHILD | 0x6;

// A child's rectangle in the canvas's client area, in the library's coordinates.
IRectangle childRect(HWND canvas, HWND child, const ISize& canvasSize)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, canvas, reinterpret_cast<POINT*>(&r), 2);
    const IRectangle native(r.left, r.top, r.right, r.bottom);
    return ICoordinateSystem::isConversionNeeded()
               ? ICoordinateSystem::convertToApplication(native, canvasSize)
               : native;
}

bool childIsTabStop(HWND child)
{
    if (IWindow* window = IWindow::windowWithHandle(child))
        return window->isTabStop() != 0;
    return (GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) != 0;
}

} // namespace

ICanvas::Style ICanvas::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void ICanvas::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

ICanvas::ICanvas()
{
    if (defaultSiblingOrder() == behindSiblings)
        fSiblingOrderFixed = 1;
}

ICanvas::ICanvas(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                 const Style& style)
    : ICanvas()
{
    initialize(id, parent, owner, initial, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    IRecoordHandler::defaultHandler().handleEventsFor(this);
    fRecoordAttached = 1;
}

ICanvas::~ICanvas()
{
    try {
        if (fRecoordAttached && isValid())
            IRecoordHandler::defaultHandler().stopHandlingEventsFor(this);
        if (fHandlersAttached && isValid()) {
            ICanvasStatics::keyboardHandler().stopHandlingEventsFor(this);
            ICanvasStatics::canvasHandler().stopHandlingEventsFor(this);
        }
    } catch (const IException&) {
        // The window is already gone with its handler list: nothing is left to detach.
    }
    fHandlersAttached = 0;
    delete fFont;
}

ICanvas& ICanvas::initialize(unsigned long id, IWindow* parent, IWindow* owner,
                             const IRectangle& rect, unsigned long style,
                             unsigned long extendedStyle)
{
    if (!parent)
        IThrow::argument("parent != 0",
                         IEXCEPTION_LOCATION("icanvas", "ICanvas::initialize(unsigned long,IWindow*,"
                                                        "IWindow*,const IRectangle&,unsigned long,"
                                                        "unsigned long)"));
    const IWindowHandle handle =
        create(id, nullptr, style, "Static", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), extendedStyle);
    startHandlingEventsFor(handle);
    attachHandlers();
    return *this;
}

void ICanvas::attachHandlers()
{
    if (fHandlersAttached)
        return;
    ICanvasStatics::canvasHandler().handleEventsFor(this);
    ICanvasStatics::keyboardHandler().handleEventsFor(this);
    fHandlersAttached = 1;
}

unsigned long ICanvas::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IWindow::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return base | style.asUnsignedLong() | IControl::_group.asUnsignedLong() | kCanvasNativeStyle;
}

IBase::Boolean ICanvas::isGroup() const
{
    return IControl::isGroup();
}

IBase::Boolean ICanvas::isTabStop() const
{
    bool any = false;
    for (HWND child = GetWindow(handle(), GW_CHILD); child && !any;
         child = GetWindow(child, GW_HWNDNEXT))
        any = childIsTabStop(child);
    // Asked from a const context (an enclosing canvas's walk), yet the answer is the canvas's
    // own setting, so that native tab walks over the siblings see it too.
    const_cast<ICanvas*>(this)->enableTabStop(any);
    return any;
}

IWindowHandle ICanvas::defaultPushButton() const
{
    return ICanvasStatics::defaultPushButtonHandle(this);
}

IWindow* ICanvas::matchForMnemonic(unsigned short character) const
{
    const IWindowHandle match = ICanvasStatics::matchForMnemonic(this, character);
    return match ? windowWithHandle(match) : nullptr;
}

IWindow& ICanvas::setLayoutDistorted(unsigned long layoutAttributeOn,
                                     unsigned long layoutAttributeOff)
{
    unsigned long on = layoutAttributeOn;
    if (on & ovk_layout::childSizeChanged)
        on = (on & ~ovk_layout::childSizeChanged) | ovk_layout::layoutDue;
    if (on & ovk_layout::childDeleted)
        on = (on & ~ovk_layout::childDeleted) | ovk_layout::layoutDue;
    IWindow::setLayoutDistorted(on, layoutAttributeOff);
    if (on && isLayoutDistorted(ovk_layout::refreshDue) && isValid() && isVisible()) {
        IWindow::setLayoutDistorted(0, ovk_layout::refreshDue);
        const ISize area = size();
        if (area.width() > 0 && area.height() > 0)
            refresh();
        else
            layout();
    }
    return *this;
}

IColor ICanvas::backgroundColor() const
{
    return findColor(3, defaultBackgroundColor(handle()));
}

IWindow& ICanvas::setFont(const IFont& font)
{
    IFont* copy = new IFont(font);
    delete fFont;
    fFont = copy;
    IWindow::setFont(font);
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IWindow* window = windowWithHandle(child))
            window->setFont(font);
        else
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fFont->handle()), TRUE);
    }
    // Each child's new font changes its minimum size, but a font change tells the canvas only
    // that its children changed, which asks for no paint; the paint that the canvas's own font
    // caused came before the children had theirs. Without this the new layout waits for a paint
    // that nothing asks for, and the form keeps the old font's places.
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return *this;
}

ISize ICanvas::calcMinimumSize() const
{
    const_cast<ICanvas*>(this)->layout();
    return fMinimumSize;
}

ICanvas& ICanvas::setLayoutMinimumSize(const ISize& size) noexcept
{
    fMinimumSize = size;
    return *this;
}

ICanvas& ICanvas::layout()
{
    if (!isLayoutDistorted(ovk_layout::layoutDue))
        return *this;
    const ISize previous = fMinimumSize;
    fixupChildren().apply();
    setLayoutDistorted(0, ovk_layout::layoutDue);
    if (fMinimumSize != previous)
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

IWindowPosBuffer& ICanvas::fixupChildren()
{
    if (const std::vector<IWindowHandle::Value>* listed = std::exchange(fListedChildren, nullptr))
        return fixupInOrder(*listed);
    return fixupInOrder(childrenInOrder());
}

// Through the virtual fix-up, so that a derived canvas's own still runs; the list is offered to
// the base fix-up that the override calls, and withdrawn however the fix-up ends.
IWindowPosBuffer& ICanvas::fixupListedChildren(const std::vector<IWindowHandle::Value>& children)
{
    struct Offer {
        const std::vector<IWindowHandle::Value>*& slot;
        ~Offer() { slot = nullptr; }
    } offer{fListedChildren};
    fListedChildren = &children;
    return fixupChildren();
}

// A copy: what the fix-up sends to the children may lay this canvas out again and list anew.
std::vector<IWindowHandle::Value> ICanvas::childrenInOrder()
{
    const unsigned long changes = IWindowCore::childOrderChanges(*this);
    if (!fChildrenKept || changes != fChildOrderChanges || !keptChildrenHold())
        walkChildren(changes);
    return fChildren;
}

// The window core counts every change to the order of window objects' children that it hears
// of, a native child taken over by a window object or let go by one included. What it cannot
// hear of is a native child arriving; the platform puts a new child last and a re-parented one
// first, so the two ends are asked. A listed child destroyed or re-parented away no longer
// names this canvas as its parent, which the platform answers without a round trip. Missed
// until a walk is only a native child created without notifying its parent, or re-parented
// in, and restacked between two others before the next layout, for as long as it stays native:
// native children take no place in an arrangement, so what lags is the canvas's tab stop and
// the frame's default push button record. Taking it over counts, so it is placed from then on.
bool ICanvas::keptChildrenHold() const
{
    const HWND canvas = handle();
    const HWND first = GetWindow(canvas, GW_CHILD);
    if (fChildren.empty())
        return first == nullptr;
    if (first != fChildren.front() || GetWindow(fChildren.back(), GW_HWNDNEXT))
        return false;
    for (const HWND child : fChildren)
        if (GetAncestor(child, GA_PARENT) != canvas)
            return false;
    return true;
}

// The count is read before the walk, so that a change while it runs is not taken as seen.
void ICanvas::walkChildren(unsigned long orderChanges)
{
    fChildren.clear();
    bool allObjects = true;
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        fChildren.push_back(child);
        allObjects = allObjects && windowWithHandle(child) != nullptr;
    }
    fChildOrderChanges = orderChanges;
    fChildrenKept = allObjects;
}

IWindowPosBuffer& ICanvas::fixupInOrder(const std::vector<IWindowHandle::Value>& children)
{
    if (!fPositions)
        fPositions = std::make_unique<IWindowPosBuffer>(this);
    IWindowPosBuffer& buffer = *fPositions;
    const HWND canvas = handle();
    const ISize canvasSize = size();
    bool anyTabStop = false;
    ISize extent;
    IWindow* previous = nullptr;
    // The frame's original default push button is recorded once per frame; asking the frame
    // once per layout keeps the walk linear.
    const IWindowHandle frame(reinterpret_cast<HWND>(
        SendMessageA(canvas, IPrivateMessage::windowQuery, IPrivateMessage::queryFrame, 0)));
    const bool recordDefault = ICanvasStatics::isLibraryFrame(frame) &&
                               !ICanvasStatics::origDefaultButtonHandle(canvas);
    bool defaultRecorded = false;
    for (const HWND child : children) {
        const IRectangle r = childRect(canvas, child, canvasSize);
        anyTabStop = anyTabStop || childIsTabStop(child);
        extent = ISize(std::max(extent.width(), r.maxX()), std::max(extent.height(), r.maxY()));
        if (!fSiblingOrderFixed) {
            IWindow* window = windowWithHandle(child);
            if (window && previous)
                buffer.orderAfter(window, previous);
            if (window)
                previous = window;
        }
        if (recordDefault && !defaultRecorded &&
            (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            defaultRecorded = ICanvasStatics::setOrigDefaultButtonHandle(frame, child) != 0;
        }
    }
    fSiblingOrderFixed = 1;
    enableTabStop(anyTabStop);
    fMinimumSize = extent;
    return buffer;
}
