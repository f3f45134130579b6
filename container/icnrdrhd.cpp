// ICnrDrawHandler and its events.
#include <windows.h>

#include <algorithm>

#include "icnrdrhd.hpp"

#include <iexcept.hpp>

#include <iwindow.hpp>

#include "icnrctl.hpp"
#include "icnrevt.hpp"
#include "icnrhdr.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrdrhd";

const DRAWITEMSTRUCT* drawItemOf(const IEvent& event)
{
    return event.eventId() == WM_DRAWITEM
               ? static_cast<const DRAWITEMSTRUCT*>(event.parameter2().asPointer())
               : nullptr;
}

const CNRDRAWITEMINFO* drawInfoOf(const IEvent& event)
{
    const DRAWITEMSTRUCT* item = drawItemOf(event);
    return item ? reinterpret_cast<const CNRDRAWITEMINFO*>(item->itemData) : nullptr;
}

const OWNERBACKGROUND* backgroundOf(const IEvent& event)
{
    return static_cast<const OWNERBACKGROUND*>(event.parameter1().asPointer());
}

} // namespace

// The item event ----------------------------------------------------------------------------------

ICnrDrawItemEvent::ICnrDrawItemEvent(const IEvent& event) : IControlEvent(event) {}

ICnrDrawItemEvent::~ICnrDrawItemEvent() = default;

ICnrDrawItemEvent::ItemPart ICnrDrawItemEvent::partOf(unsigned long itemId) noexcept
{
    switch (itemId) {
    case 0x1000: return text;
    case 0x0800: return icon;
    case 0x0400: return treeIcon;
    case 0x0001: return title;
    default: return detailsField;
    }
}

IRectangle ICnrDrawItemEvent::itemRect() const
{
    const DRAWITEMSTRUCT* item = drawItemOf(*this);
    if (!item)
        return IRectangle();
    const RECT& r = item->rcItem;
    return IRectangle(std::min(r.left, r.right), std::min(r.top, r.bottom),
                      std::max(r.left, r.right), std::max(r.top, r.bottom));
}

ICnrDrawItemEvent::ItemPart ICnrDrawItemEvent::itemPart() const
{
    const DRAWITEMSTRUCT* item = drawItemOf(*this);
    return partOf(item ? item->itemID : 0);
}

IPresSpaceHandle ICnrDrawItemEvent::itemHandle() const
{
    const DRAWITEMSTRUCT* item = drawItemOf(*this);
    return IPresSpaceHandle(item ? item->hDC : nullptr);
}

ICnrObj* ICnrDrawItemEvent::object() const
{
    const CNRDRAWITEMINFO* info = drawInfoOf(*this);
    return info ? ICnrObj::objectOf(info->pRecord) : nullptr;
}

IContainerColumn* ICnrDrawItemEvent::column() const
{
    const CNRDRAWITEMINFO* info = drawInfoOf(*this);
    return info && info->pFieldInfo ? static_cast<IContainerColumn*>(info->pFieldInfo->pUserData)
                                    : nullptr;
}

IWindow* ICnrDrawItemEvent::window() const
{
    return IWindow::windowWithHandle(
        IWindow::handleWithParent(parameter1().asUnsignedLong(), handle()));
}

// The background event -------------------------------------------------------------------------------

ICnrDrawBackgroundEvent::ICnrDrawBackgroundEvent(const IEvent& event) : IEvent(event) {}

ICnrDrawBackgroundEvent::~ICnrDrawBackgroundEvent() = default;

IRectangle ICnrDrawBackgroundEvent::backgroundRect() const
{
    const OWNERBACKGROUND* background = backgroundOf(*this);
    if (!background)
        return IRectangle();
    const CNR_RECTL& r = background->rclBackground;
    return IRectangle(std::min(r.xLeft, r.xRight), std::min(r.yBottom, r.yTop),
                      std::max(r.xLeft, r.xRight), std::max(r.yBottom, r.yTop));
}

IPresSpaceHandle ICnrDrawBackgroundEvent::presSpaceHandle() const
{
    const OWNERBACKGROUND* background = backgroundOf(*this);
    return IPresSpaceHandle(background ? background->hps : nullptr);
}

unsigned long ICnrDrawBackgroundEvent::windowPartId() const
{
    const OWNERBACKGROUND* background = backgroundOf(*this);
    return background ? background->idWindow : 0;
}

// The handler ------------------------------------------------------------------------------------------

ICnrDrawHandler::ICnrDrawHandler() = default;

ICnrDrawHandler::~ICnrDrawHandler() = default;

IHandler& ICnrDrawHandler::handleEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrDrawHandler::handleEventsFor(IWindow*)");
}

IHandler& ICnrDrawHandler::stopHandlingEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrDrawHandler::stopHandlingEventsFor(IWindow*)");
}

ICnrDrawHandler& ICnrDrawHandler::handleEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrDrawHandler::handleEventsFor(ICnrCtl*)");
    IHandler::handleEventsFor(container);
    return *this;
}

ICnrDrawHandler& ICnrDrawHandler::stopHandlingEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrDrawHandler::stopHandlingEventsFor(ICnrCtl*)");
    IHandler::stopHandlingEventsFor(container);
    return *this;
}

IBase::Boolean ICnrDrawHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == CM_PAINTBACKGROUND)
        return dispatchAs(*this, &ICnrDrawHandler::drawBackground, event);
    if (event.eventId() != WM_DRAWITEM)
        return false;
    const IControlEvent control(event);
    if (!control.controlWindow() || !ICnrEvent::isContainerWindow(control.controlHandle()))
        return false;
    switch (ICnrDrawItemEvent::partOf(drawItemOf(event) ? drawItemOf(event)->itemID : 0)) {
    case ICnrDrawItemEvent::text: return dispatchAs(*this, &ICnrDrawHandler::drawText, event);
    case ICnrDrawItemEvent::icon: return dispatchAs(*this, &ICnrDrawHandler::drawIcon, event);
    case ICnrDrawItemEvent::treeIcon: return dispatchAs(*this, &ICnrDrawHandler::drawTreeIcon, event);
    case ICnrDrawItemEvent::title: return dispatchAs(*this, &ICnrDrawHandler::drawTitle, event);
    default: return dispatchAs(*this, &ICnrDrawHandler::drawDetailsField, event);
    }
}

IBase::Boolean ICnrDrawHandler::drawText(ICnrDrawItemEvent&) { return false; }
IBase::Boolean ICnrDrawHandler::drawIcon(ICnrDrawItemEvent&) { return false; }
IBase::Boolean ICnrDrawHandler::drawTreeIcon(ICnrDrawItemEvent&) { return false; }
IBase::Boolean ICnrDrawHandler::drawDetailsField(ICnrDrawItemEvent&) { return false; }
IBase::Boolean ICnrDrawHandler::drawTitle(ICnrDrawItemEvent&) { return false; }
IBase::Boolean ICnrDrawHandler::drawBackground(ICnrDrawBackgroundEvent&) { return false; }
