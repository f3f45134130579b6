// ICnrHandler.
#include <windows.h>

#include "icnrhdr.hpp"

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iapp.hpp>
#include <ihelpwin.hpp>

#include "icnrcol.hpp"
#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrhdr";

// The emphasis state of the object in the container; a container that cannot answer counts as
// showing it.
template <class Query>
IBase::Boolean stateOrOn(Query query) noexcept
{
    try {
        return query();
    } catch (const IException&) {
        return true;
    }
}

} // namespace

void cnrRefuseWindowForm(const char* file, const char* function)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED, IEXCEPTION_LOCATION(file, function),
                    IException::recoverable);
}

ICnrHandler::ICnrHandler() = default;

ICnrHandler::~ICnrHandler() = default;

IHandler& ICnrHandler::handleEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrHandler::handleEventsFor(IWindow*)");
}

IHandler& ICnrHandler::stopHandlingEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrHandler::stopHandlingEventsFor(IWindow*)");
}

ICnrHandler& ICnrHandler::handleEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrHandler::handleEventsFor(ICnrCtl*)");
    IHandler::handleEventsFor(container);
    return *this;
}

ICnrHandler& ICnrHandler::stopHandlingEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrHandler::stopHandlingEventsFor(ICnrCtl*)");
    IHandler::stopHandlingEventsFor(container);
    return *this;
}

IBase::Boolean ICnrHandler::dispatchHandlerEvent(IEvent& event)
{
    const ICnrEvent notification(event);
    if (!ICnrEvent::isFromContainer(notification))
        return false;
    auto* container = dynamic_cast<ICnrCtl*>(notification.controlWindow());
    const auto* record = static_cast<const MINIRECORDCORE*>(event.parameter2().asPointer());
    switch (notification.notificationCode()) {
    case CN_ENTER: return dispatchAs(*this, &ICnrHandler::enter, event);
    case CN_EMPHASIS: return emphasisChanged(event);
    case CN_SCROLL: return dispatchAs(*this, &ICnrHandler::scroll, event);
    case CN_QUERYDELTA: return dispatchAs(*this, &ICnrHandler::queryDelta, event);
    case CN_COLLAPSETREE: return treeCollapsed(ICnrObj::objectOf(record), container);
    case CN_EXPANDTREE: return treeExpanded(ICnrObj::objectOf(record), container);
    case CN_HELP: return dispatchAs(*this, &ICnrHandler::help, event);
    default: return false;
    }
}

// Each emphasis in the change is told on its own, cursored first; the notification always goes
// on to the other handlers, whatever the callbacks answer.
IBase::Boolean ICnrHandler::emphasisChanged(IEvent& event)
{
    ICnrEmphasisEvent emphasis(event);
    if (emphasis.changed(ICnrEmphasisEvent::cursored))
        cursoredChanged(emphasis);
    if (emphasis.changed(ICnrEmphasisEvent::inUse))
        inUseChanged(emphasis);
    if (emphasis.changed(ICnrEmphasisEvent::selected))
        selectedChanged(emphasis);
    return false;
}

IBase::Boolean ICnrHandler::queryDelta(ICnrQueryDeltaEvent&) { return false; }
IBase::Boolean ICnrHandler::scroll(ICnrScrollEvent&) { return false; }

IBase::Boolean ICnrHandler::treeCollapsed(ICnrObj* object, ICnrCtl* container)
{
    if (object)
        object->treeCollapsedHook(container);
    return false;
}

IBase::Boolean ICnrHandler::treeExpanded(ICnrObj* object, ICnrCtl* container)
{
    if (object)
        object->treeExpandedHook(container);
    return false;
}

IBase::Boolean ICnrHandler::enter(ICnrEnterEvent& event)
{
    if (ICnrObj* object = event.object())
        object->open(event.container());
    return false;
}

IBase::Boolean ICnrHandler::selectedChanged(ICnrEmphasisEvent& event)
{
    ICnrObj* object = event.object();
    ICnrCtl* container = event.container();
    if (object && container)
        object->selectedChangedHook(container,
                                    stateOrOn([&] { return container->isSelected(object); }));
    return false;
}

IBase::Boolean ICnrHandler::inUseChanged(ICnrEmphasisEvent& event)
{
    ICnrObj* object = event.object();
    ICnrCtl* container = event.container();
    if (object && container)
        object->inUseChangedHook(container,
                                 stateOrOn([&] { return object->isInUse(container); }));
    return false;
}

IBase::Boolean ICnrHandler::cursoredChanged(ICnrEmphasisEvent& event)
{
    ICnrObj* object = event.object();
    ICnrCtl* container = event.container();
    if (object && container)
        object->cursoredChangedHook(container,
                                    stateOrOn([&] { return container->isCursored(object); }));
    return false;
}

IBase::Boolean ICnrHandler::help(ICnrHelpEvent& event)
{
    ICnrCtl* container = event.container();
    IHelpWindow* helpWindow = container ? IHelpWindow::helpWindow(container) : nullptr;
    if (!helpWindow)
        return false;
    unsigned long id = 0;
    if (container->editedColumn())
        id = container->editedColumn()->helpId();
    else if (ICnrObj* object = event.object())
        id = object->helpId();
    if (id == 0)
        id = container->helpId();
    if (id == 0)
        return false;
    helpWindow->show(IResourceId(id, IApplication::current().userResourceLibrary()));
    return true;
}
