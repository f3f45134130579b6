// The drag events.
#include <windows.h>
#include <windowsx.h>

#include <iexcept.hpp>

#include <detail/iscoped.hpp>
#include <icoordsy.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include <icnrctl.hpp>

#include "idmevent.hpp"
#include "idmoper.hpp"
#include "idmsupp.hpp"

namespace {

const char kFile[] = "idmevent";

// The container views that list objects in rows, where "over an object" means dropping on it
// rather than beside it: details, tree and text view.
bool listsInRows(const ICnrCtl& container)
{
    return container.isDetailsView() || container.isTreeView() || container.isTextView();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The base

IDMEvent::~IDMEvent() = default;

IPoint IDMEvent::packedPoint() const noexcept
{
    const LPARAM packed = static_cast<LPARAM>(parameter1().asUnsignedLong());
    return IPoint(GET_X_LPARAM(packed), GET_Y_LPARAM(packed));
}

IDataObject* IDMEvent::dataObject() const noexcept
{
    return static_cast<IDataObject*>(parameter2().asPointer());
}

// ---------------------------------------------------------------------------------------------
// Target events

// A copy does not share the context: only the event that fetched it releases it.
IDMTargetEvent::IDMTargetEvent(const IDMTargetEvent& other) noexcept : IDMEvent(other) {}

IDMTargetEvent::~IDMTargetEvent()
{
    releasePresSpace();
}

HDC IDMTargetEvent::presSpace()
{
    if (!fPresSpace) {
        ovk_native::WindowDC context(handle());
        if (!context)
            IThrow::systemError("DrgGetPS", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "IDMTargetEvent::presSpace()"));
        fPresSpace = context.release();
    }
    return fPresSpace;
}

IDMTargetEvent& IDMTargetEvent::releasePresSpace()
{
    ovk_native::closeWindowDC(handle(), fPresSpace);
    return *this;
}

IPoint IDMTargetEvent::screenPosition() const
{
    const IPoint point = packedPoint();
    if (ICoordinateSystem::applicationOrientation() != ICoordinateSystem::kOriginLowerLeft)
        return point;
    return IPoint(point.x(), GetSystemMetrics(SM_CYSCREEN) - point.y());
}

ICnrCtl* IDMTargetEvent::container() const
{
    IWindow* target = window();
    return IDMSupport::isContainer(target) ? dynamic_cast<ICnrCtl*>(target) : nullptr;
}

ICnrObj* IDMTargetEvent::objectUnder(const IPoint& screenPoint) const
{
    ICnrCtl* cnr = container();
    if (!cnr)
        return nullptr;
    return cnr->objectUnderPoint(IWindow::mapPoint(screenPoint, IWindowHandle(), cnr->handle()));
}

IPoint IDMTargetEnterEvent::position() const
{
    return screenPosition();
}

ICnrCtl* IDMTargetEnterEvent::containerWindow() const
{
    return eventId() == IPrivateMessage::dragOver ? container() : nullptr;
}

ICnrObj* IDMTargetEnterEvent::containerObject() const
{
    return containerWindow() ? objectUnder(position()) : nullptr;
}

IBase::Boolean IDMTargetEnterEvent::isOverContainerObject() const
{
    ICnrCtl* cnr = containerWindow();
    return cnr && listsInRows(*cnr) && objectUnder(position());
}

IDMTargetEnterEvent& IDMTargetEnterEvent::setDropAnswer(unsigned char answer)
{
    fDropAnswer = answer;
    return *this;
}

IDMTargetEnterEvent& IDMTargetEnterEvent::setDefaultOperation(unsigned long operation)
{
    fDefaultOperation = operation;
    return *this;
}

IDMTargetDropEvent::IDMTargetDropEvent(const IEvent& event)
    : IDMTargetEvent(event), fDropPosition(screenPosition())
{
}

IDMTargetDropEvent& IDMTargetDropEvent::setDropPosition(const IPoint& position)
{
    fDropPosition = position;
    return *this;
}

ICnrCtl* IDMTargetDropEvent::containerWindow() const
{
    return eventId() == IPrivateMessage::dragDrop ? container() : nullptr;
}

unsigned long IDMTargetDropEvent::containerId() const
{
    ICnrCtl* cnr = containerWindow();
    return cnr ? cnr->id() : 0;
}

ICnrObj* IDMTargetDropEvent::containerObject() const
{
    return containerWindow() ? objectUnder(fDropPosition) : nullptr;
}

IDMTargetEndEvent::IDMTargetEndEvent(const IEvent& event)
    : IDMEvent(event), fOperation(new IReference<IDMTargetOperation>)
{
}

IDMTargetEndEvent::~IDMTargetEndEvent()
{
    delete fOperation;
}

IReference<IDMTargetOperation> IDMTargetEndEvent::targetOperation() const
{
    return *fOperation;
}

IDMTargetEndEvent& IDMTargetEndEvent::setTargetOperation(
    const IReference<IDMTargetOperation>& operation)
{
    *fOperation = operation;
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Source events

IPoint IDMSourceBeginEvent::position() const
{
    return eventId() == IPrivateMessage::dragStart ? packedPoint() : IPoint(0, 0);
}

ICnrCtl* IDMSourceBeginEvent::container() const
{
    if (eventId() != IPrivateMessage::dragStart)
        return nullptr;
    IWindow* source = window();
    return IDMSupport::isContainer(source) ? dynamic_cast<ICnrCtl*>(source) : nullptr;
}

unsigned long IDMSourceBeginEvent::sourceContainerId() const
{
    ICnrCtl* cnr = container();
    return cnr ? cnr->id() : 0;
}

ICnrObj* IDMSourceBeginEvent::sourceContainerObject() const
{
    ICnrCtl* cnr = container();
    return cnr ? cnr->objectUnderPoint(position()) : nullptr;
}

ICnrCtl* IDMSourceBeginEvent::sourceContainer() const
{
    return container();
}

IPoint IDMSourceBeginEvent::sourceObjectOffset() const
{
    ICnrCtl* cnr = container();
    ICnrObj* object = cnr ? cnr->objectUnderPoint(position()) : nullptr;
    if (!object)
        return IPoint(0, 0);
    const IRectangle icon = cnr->iconRectangle(object);
    IPoint origin(icon.minX(), icon.minY());
    // The native container answers the rectangle in its workspace; the press point is in the
    // window.
    if (!cnr->isMessageContainer()) {
        const IRectangle workspace = cnr->workspaceViewport();
        const IRectangle window = cnr->windowViewport();
        origin = IPoint(origin.x() - workspace.minX() + window.minX(),
                        origin.y() - workspace.minY() + window.minY());
    }
    return IPoint(origin.x() - position().x(), origin.y() - position().y());
}

IDMSourceBeginEvent& IDMSourceBeginEvent::setBeginFlag(IBase::Boolean flag)
{
    fBeginFlag = flag;
    return *this;
}

IDMSourceRenderEvent::IDMSourceRenderEvent(const IEvent& event)
    : IDMEvent(event), fItem(new IDMItem::Handle)
{
}

IDMSourceRenderEvent::IDMSourceRenderEvent(const IDMSourceRenderEvent& other)
    : IDMEvent(other), fItem(new IDMItem::Handle(*other.fItem)), fReplyFlags(other.fReplyFlags)
{
}

IDMSourceRenderEvent::~IDMSourceRenderEvent()
{
    delete fItem;
}

IDMItem::Handle IDMSourceRenderEvent::item() const
{
    return *fItem;
}

IDMSourceRenderEvent& IDMSourceRenderEvent::setItem(const IDMItem::Handle& item)
{
    *fItem = item;
    return *this;
}

FORMATETC* IDMSourceRenderEvent::format() const noexcept
{
    return static_cast<FORMATETC*>(parameter1().asPointer());
}

STGMEDIUM* IDMSourceRenderEvent::medium() const noexcept
{
    return static_cast<STGMEDIUM*>(parameter2().asPointer());
}

IDMSourceRenderEvent& IDMSourceRenderEvent::setReplyFlags(unsigned char flags)
{
    fReplyFlags = flags;
    return *this;
}

IDMItem::Handle IDMSourceEndEvent::item() const
{
    const IReference<IDMSourceOperation> source = IDMSourceOperation::currentSourceOperation();
    if (!source)
        return IDMItem::Handle();
    return source->itemWithId(static_cast<unsigned long>(parameter1().asUnsignedLong()));
}

IDMSourceDiscardEvent& IDMSourceDiscardEvent::setReply(unsigned char reply)
{
    fReply = reply;
    return *this;
}
