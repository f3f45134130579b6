// The tool bar's places: the side holders that a frame carries at its sides, the floating frame
// and its handler, and moving from one place to another.
#include <windows.h>

#include <algorithm>

#include <detail/ilaybits.hpp>
#include <iapp.hpp>
#include <iexcept.hpp>
#include <isysmenu.hpp>
#include <ovkmsgid.hpp>

#include <detail/iscoped.hpp>

#include "detail/itbardat.hpp"
#include "itbar.hpp"

namespace {

constexpr char kFile[] = "itbar1";
// The library's tool bar picture, shown in the floating frame's title.
constexpr unsigned long kTitleBitmap = 28945;
// The caption height the picture was drawn for.
constexpr long kPictureCaptionHeight = 19;

bool isVerticalSide(IToolBar::Location location)
{
    return location == IToolBar::leftOfClient || location == IToolBar::rightOfClient;
}

// The set canvas's default style with the deck orientation of the side.
ISetCanvas::Style holderStyle(IToolBar::Location location)
{
    const ISetCanvas::Style base = ISetCanvas::defaultStyle();
    const ISetCanvas::Style orientation =
        isVerticalSide(location) ? ISetCanvas::verticalDecks : ISetCanvas::horizontalDecks;
    return ISetCanvas::Style(base.asUnsignedLong(),
                             (base.asExtendedUnsignedLong() & ~(ISetCanvas::verticalDecks.asExtendedUnsignedLong() |
                                                                ISetCanvas::horizontalDecks.asExtendedUnsignedLong())) |
                                 orientation.asExtendedUnsignedLong());
}

RECT windowRect(const IWindow& window)
{
    RECT rect{};
    GetWindowRect(window.handle(), &rect);
    return rect;
}

} // namespace

namespace ovk_toolbar {

IToolBarList* toolBarList(const IFrameWindow* frame)
{
    return frame ? static_cast<IToolBarList*>(frame->toolBarData()) : nullptr;
}

IToolBarContainer* sideHolder(const IFrameWindow* frame, IToolBar::Location location)
{
    IToolBar::FrameCursor cursor(frame);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        IToolBar* toolBar = IToolBar::toolBarAt(cursor);
        IToolBarContainer* holder = MoveAccess::data(*toolBar).holder;
        if (toolBar->location() == location && holder)
            return holder;
    }
    return nullptr;
}

} // namespace ovk_toolbar

// Side holder -----------------------------------------------------------------------------------

IToolBarContainer::IToolBarContainer(IFrameWindow* frame, IToolBar::Location location)
    : ISetCanvas(0, frame, frame, IRectangle(), holderStyle(location)),
      fFrame(frame), fLocation(location)
{
    setMargin(ISize(0, 0));
    setPad(ISize(0, 0));
    if (!isGroup())
        enableGroup(true);
    fFrame->addExtension(this, frameLocation(location), IFrameWindow::none);
}

IToolBarContainer::~IToolBarContainer() = default;

IFrameWindow::Location IToolBarContainer::frameLocation(IToolBar::Location location)
{
    switch (location) {
    case IToolBar::belowClient:
        return IFrameWindow::belowClient;
    case IToolBar::leftOfClient:
        return IFrameWindow::leftOfClient;
    case IToolBar::rightOfClient:
        return IFrameWindow::rightOfClient;
    default:
        return IFrameWindow::aboveClient;
    }
}

// The holder is sized by its minimum size as a frame extension; the frame compares that with the
// place it gave the holder and lays out again when they differ.
void IToolBarContainer::relayout()
{
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    layout();
    fFrame->setLayoutDistorted(ovk_layout::childMinimumSizeChanged, 0);
}

IBase::Boolean IToolBarContainer::hasChildren() const
{
    return GetWindow(handle(), GW_CHILD) != nullptr;
}

// Places -------------------------------------------------------------------------------------------

IToolBar::Location IToolBar::location() const
{
    return fToolBarData->location;
}

IToolBar& IToolBar::setLocation(Location location)
{
    if (location > hidden)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION(kFile, "IToolBar::setLocation(IToolBar::Location)"));
    IToolBarData& data = *fToolBarData;
    const HWND focus = GetFocus();
    if (focus && (focus == handle() || IsChild(handle(), focus)))
        data.owner->setFocus();
    if (location == data.location && data.placed) {
        // A floating tool bar that the close button of its frame put away comes back.
        if (location == floating && !isVisible() && data.owner->isVisible())
            show();
        return *this;
    }

    data.moving = true;
    leaveCurrentPlace();
    data.location = location;
    data.placed = true;
    if (location == floating)
        enterFloatingFrame();
    else if (location != hidden)
        enterSideHolder();
    fitPass();
    relayout();
    data.moving = false;
    if (location == floating) {
        fitFloatingFrame();
        if (data.owner->isVisible())
            data.floatingFrame->show();
    }
    return *this;
}

// Back to the object window: out of the floating frame (remembering where it was) or out of the
// side holder (which goes when this was its last tool bar).
void IToolBar::leaveCurrentPlace()
{
    IToolBarData& data = *fToolBarData;
    setParent(objectWindow());
    setOwner(objectWindow());
    hide();
    if (IFrameWindow* frame = data.floatingFrame) {
        if (data.owner->isVisible())
            data.owner->setFocus();
        const RECT floatingRect = windowRect(*frame);
        const RECT ownerRect = windowRect(*data.owner);
        data.floatingPosition = IPoint(floatingRect.left - ownerRect.left,
                                       floatingRect.top - ownerRect.top);
        data.floatingFrame = nullptr;
        data.frameHandler->stopHandlingEventsFor(frame);
        delete frame;
        data.frameHandler.reset();
    }
    if (IToolBarContainer* holder = data.holder) {
        data.holder = nullptr;
        if (!holder->hasChildren()) {
            data.owner->removeExtension(holder);
            delete holder;
        } else {
            holder->relayout();
        }
    }
}

void IToolBar::enterSideHolder()
{
    IToolBarData& data = *fToolBarData;
    const bool vertical = isVerticalSide(data.location);
    setDeckOrientation(vertical ? ISetCanvas::vertical : ISetCanvas::horizontal);
    // The stored margin is that of a row; a column takes it turned, so the margin along the
    // buttons stays the same.
    setMargin(vertical ? ISize(data.margin.height(), data.margin.width()) : data.margin);
    IToolBarContainer* holder = ovk_toolbar::sideHolder(data.owner, data.location);
    if (!holder)
        holder = new IToolBarContainer(data.owner, data.location);
    data.holder = holder;
    setParent(holder);
    show();
}

void IToolBar::enterFloatingFrame()
{
    IToolBarData& data = *fToolBarData;
    auto* frame = new IFrameWindow(
        IResourceId(0, IApplication::current().userResourceLibrary()), desktopWindow(), data.owner,
        IRectangle(), IFrameWindow::_titleBar | IFrameWindow::_systemMenu | IFrameWindow::_border |
                          IFrameWindow::_maximizeButton,
        data.floatingTitle);
    data.floatingFrame = frame;
    try {
        ISystemMenu menu(frame);
        menu.deleteItem(SC_SIZE);
        menu.deleteItem(SC_MINIMIZE);
    } catch (const IException&) {
        // A system menu without these items is what was wanted.
    }
    data.frameHandler = std::make_unique<IToolBarFrameHandler>(*this, *frame);
    data.frameHandler->handleEventsFor(frame);
    setDeckOrientation(data.expanded ? ISetCanvas::horizontal : ISetCanvas::vertical);
    setMargin(data.expanded ? data.margin : ISize(data.margin.height(), data.margin.width()));
    setParent(frame);
    frame->setClient(this);
    show();

    const RECT ownerRect = windowRect(*data.owner);
    SetWindowPos(frame->handle(), nullptr, ownerRect.left + data.floatingPosition.x() + 1,
                 ownerRect.top + data.floatingPosition.y() + 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (data.expanded)
        frame->maximize();
}

// The floating frame takes the size that gives the tool bar its minimum size; its top left
// corner stays where it is.
void IToolBar::fitFloatingFrame()
{
    IFrameWindow* frame = fToolBarData->floatingFrame;
    if (!frame)
        return;
    const ISize minimum = minimumSize(true);
    const IRectangle outer = frame->frameRectFor(IRectangle(IPoint(0, 0), minimum));
    SetWindowPos(frame->handle(), nullptr, 0, 0, outer.width(), outer.height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The tool bar fills the frame's client area, which the platform may have kept wider than
    // asked (a caption needs room for its buttons).
    RECT client{};
    GetClientRect(frame->handle(), &client);
    SetWindowPos(handle(), nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    frame->update();
}

IToolBar& IToolBar::setFloatingPosition(const IPoint& position)
{
    IToolBarData& data = *fToolBarData;
    data.floatingPosition = position;
    if (data.floatingFrame) {
        const RECT ownerRect = windowRect(*data.owner);
        SetWindowPos(data.floatingFrame->handle(), nullptr, ownerRect.left + position.x(),
                     ownerRect.top + position.y(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return *this;
}

IPoint IToolBar::floatingPosition() const
{
    return fToolBarData->floatingPosition;
}

IToolBar& IToolBar::setFloatingTitle(const char* title)
{
    IToolBarData& data = *fToolBarData;
    data.floatingTitle = IString(title ? title : "");
    if (data.floatingFrame)
        SetWindowTextA(data.floatingFrame->handle(), data.floatingTitle);
    return *this;
}

IToolBar& IToolBar::setFloatingTitle(const IResourceId& title)
{
    const IString text = title.resourceLibrary().loadString(title.id());
    return setFloatingTitle(static_cast<const char*>(text));
}

IString IToolBar::floatingTitle() const
{
    return fToolBarData->floatingTitle;
}

IToolBar& IToolBar::setExpanded(IBase::Boolean expanded)
{
    IToolBarData& data = *fToolBarData;
    if (data.expanded == (expanded != 0))
        return *this;
    data.expanded = expanded != 0;
    if (data.floatingFrame) {
        setDeckOrientation(data.expanded ? ISetCanvas::horizontal : ISetCanvas::vertical);
        setMargin(data.expanded ? data.margin : ISize(data.margin.height(), data.margin.width()));
        fitPass();
        relayout();
        fitFloatingFrame();
    }
    return *this;
}

// A floating tool bar is seen through its frame only, so the frame comes and goes with it;
// while the tool bar changes its place, the move shows the frame when it is ready.
IWindow& IToolBar::show(IBase::Boolean visible)
{
    ISetCanvas::show(visible);
    const IToolBarData* data = fToolBarData;
    if (data && data->floatingFrame && !data->moving)
        data->floatingFrame->show(visible);
    return *this;
}

IBase::Boolean IToolBar::isExpanded() const
{
    return fToolBarData->expanded;
}

IToolBar& IToolBar::placeAfter(IToolBar* neighbour)
{
    IARGUMENT_CHECK(neighbour != nullptr && neighbour != this, kFile,
                    "IToolBar::placeAfter(IToolBar*)");
    const Location target = neighbour->location();
    if (target == floating || target == hidden) {
        setLocation(target);
        return *this;
    }
    if (location() != target || !fToolBarData->placed) {
        setLocation(target);
    }
    if (IToolBarContainer* holder = fToolBarData->holder) {
        positionBehindSibling(neighbour->handle());
        holder->relayout();
    }
    return *this;
}

// The floating frame's handler ---------------------------------------------------------------------

// The library's picture was drawn for the 19 pixels high caption of the classic desktop; the
// cell it takes is as wide as this system's caption is high.
ISize IToolBarFrameTitle::size() const
{
    return ISize(GetSystemMetrics(SM_CYCAPTION), kPictureCaptionHeight);
}

IToolBarFrameHandler::~IToolBarFrameHandler() = default;

IBase::Boolean IToolBarFrameHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_GETMINMAXINFO:
        return minMaxInfo(event);
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        return paintTitle(event);
    default:
        return ICommandHandler::dispatchHandlerEvent(event);
    }
}

IBase::Boolean IToolBarFrameHandler::command(ICommandEvent& event)
{
    if (event.commandId() == expandCommand) {
        fToolBar.setExpanded(!fToolBar.isExpanded());
        return true;
    }
    if (IFrameWindow* owner = fToolBar.ownerFrame())
        owner->sendEvent(IWindow::command, event.parameter1(), event.parameter2());
    return true;
}

IBase::Boolean IToolBarFrameHandler::systemCommand(ICommandEvent& event)
{
    IFrameWindow* frame = fToolBar.floatingFrame();
    if (!frame)
        return false;
    switch (event.commandId() & 0xFFF0) {
    case SC_MAXIMIZE:
        if (!fToolBar.isExpanded())
            frame->postEvent(IWindow::command, expandCommand, 0);
        return false;
    case SC_RESTORE:
        if (fToolBar.isExpanded()) {
            // Restoring would put the frame back where it was before it was maximised; it
            // stays where the user has it now, at its normal size.
            const RECT now = windowRect(*frame);
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            GetWindowPlacement(frame->handle(), &placement);
            OffsetRect(&placement.rcNormalPosition, now.left - placement.rcNormalPosition.left,
                       now.top - placement.rcNormalPosition.top);
            SetWindowPlacement(frame->handle(), &placement);
            frame->postEvent(IWindow::command, expandCommand, 0);
        }
        return false;
    case SC_CLOSE:
        // Closing only puts the tool bar away, frame and all; the application still owns it
        // and brings it back with show() or by placing it floating again.
        fToolBar.hide();
        if (IFrameWindow* owner = fToolBar.ownerFrame())
            owner->setFocus();
        return true;
    default:
        return false;
    }
}

// A maximised floating frame keeps its size and place: maximising only switches the tool bar's
// arrangement, after which the frame is fitted again.
IBase::Boolean IToolBarFrameHandler::minMaxInfo(IEvent& event)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(event.parameter2().asPointer());
    IFrameWindow* frame = fToolBar.floatingFrame();
    if (!info || !frame)
        return false;
    const RECT now = windowRect(*frame);
    info->ptMaxSize.x = now.right - now.left;
    info->ptMaxSize.y = now.bottom - now.top;
    info->ptMaxPosition.x = now.left;
    info->ptMaxPosition.y = now.top;
    event.setResult(0);
    return true;
}

// The system draws the caption first; the library's picture then covers the square at its left
// end, where the system would show the frame's small icon. Without the picture the caption stays
// as the system drew it.
IBase::Boolean IToolBarFrameHandler::paintTitle(IEvent& event)
{
    IFrameWindow* frame = fToolBar.floatingFrame();
    if (!frame || event.handle() != frame->handle())
        return false;
    IBitmapHandle picture;
    try {
        picture = IApplication::current().ovkuiResourceLibrary().loadBitmap(kTitleBitmap);
    } catch (const IException&) {
        return false;
    }
    BITMAP size{};
    if (!picture.isValid() || !GetObjectA(picture.asValue(), sizeof size, &size))
        return false;
    frame->dispatchRemainingHandlers(event, true);

    const HWND window = frame->handle();
    const RECT outer = windowRect(*frame);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    // The caption ends where the client area begins (a floating frame has no menu bar); its last
    // row is the line under it.
    const int cell = fTitle.size().width() - 1;
    const int left = clientOrigin.x - outer.left;
    const int top = clientOrigin.y - outer.top - cell - 1;
    if (cell <= 0 || top < 0)
        return true;
    ovk_native::WindowDC context(window, ovk_native::WindowDC::whole);
    ovk_native::MemoryDC source(context.get());
    if (!context || !source)
        return true;
    ovk_native::Selection selected(source.get(), picture.asValue());
    const int oldMode = SetStretchBltMode(context.get(), COLORONCOLOR);
    StretchBlt(context.get(), left, top, cell, cell, source.get(), 0, 0, size.bmWidth,
               size.bmHeight, SRCCOPY);
    SetStretchBltMode(context.get(), oldMode);
    return true;
}
