// The drag source and target handlers.
#include <windows.h>

#include <utility>

#include <iprivmsg.hpp>
#include <itrace.hpp>
#include <iwindow.hpp>

#include "detail/idmanswr.hpp"
#include "detail/idmkeys.hpp"
#include "detail/idmloop.hpp"
#include "idmevent.hpp"
#include "idmfact.hpp"
#include "idmnames.hpp"
#include "idmrendr.hpp"
#include "idmsrhdr.hpp"

IDMSourceOperation* ovkCurrentSourceOperation()
{
    return IDMSourceOperation::currentSourceOperation().get();
}

namespace {

// Keeps an operation current for the scope: on every way out, a throw included, it stops being
// the current one, unless another has taken its place meanwhile. What a drag leaves current
// would otherwise be taken for the next drag's.
template <class Operation, IReference<Operation> (*current)(),
          void (*setCurrent)(const IReference<Operation>&)>
class CurrentForTheScope {
public:
    explicit CurrentForTheScope(IReference<Operation> operation) : fOperation(std::move(operation)) {}
    ~CurrentForTheScope()
    {
        if (fOperation && current().get() == fOperation.get())
            setCurrent(IReference<Operation>());
    }
    CurrentForTheScope(const CurrentForTheScope&) = delete;
    CurrentForTheScope& operator=(const CurrentForTheScope&) = delete;

private:
    IReference<Operation> fOperation;
};

using CurrentSource = CurrentForTheScope<IDMSourceOperation, &IDMSourceOperation::currentSourceOperation,
                                         &IDMSourceOperation::setCurrentSourceOperation>;
using CurrentTarget = CurrentForTheScope<IDMTargetOperation, &IDMTargetOperation::currentTargetOperation,
                                         &IDMTargetOperation::setCurrentTargetOperation>;

} // namespace

// ---------------------------------------------------------------------------------------------
// IDMSourceHandler

IDMSourceHandler::IDMSourceHandler()
{
    IDMSupport::addRenderer(defaultSourceRenderer());
}

IDMSourceHandler::IDMSourceHandler(IWindow* window) : IDMSourceHandler()
{
    handleEventsFor(window);
}

IDMSourceHandler::~IDMSourceHandler() = default;

unsigned long IDMSourceHandler::numberOfRenderers() const
{
    return IDMSupport::numberOfRenderers();
}

IDMSourceRenderer* IDMSourceHandler::renderer(unsigned long position) const
{
    return static_cast<IDMSourceRenderer*>(IDMSupport::renderer(position));
}

IDMSupport& IDMSourceHandler::replaceRenderer(unsigned long, IDMRenderer&) { return *this; }
IDMSupport& IDMSourceHandler::addRenderer(IDMRenderer&) { return *this; }
IDMSupport& IDMSourceHandler::removeRenderer(unsigned long) { return *this; }
IDMSupport& IDMSourceHandler::removeRenderer(IDMRenderer&) { return *this; }
IDMSupport& IDMSourceHandler::setRenderer(IDMRenderer&) { return *this; }

IDMSourceHandler& IDMSourceHandler::replaceRenderer(unsigned long position, IDMSourceRenderer& renderer)
{
    IDMSupport::replaceRenderer(position, renderer);
    return *this;
}

IDMSourceHandler& IDMSourceHandler::addRenderer(IDMSourceRenderer& renderer)
{
    IDMSupport::addRenderer(renderer);
    return *this;
}

IDMSourceHandler& IDMSourceHandler::removeRenderer(IDMSourceRenderer& renderer)
{
    IDMSupport::removeRenderer(renderer);
    return *this;
}

IDMSourceHandler& IDMSourceHandler::setRenderer(IDMSourceRenderer& renderer)
{
    IDMSupport::setRenderer(renderer);
    return *this;
}

IDMSourceRenderer* IDMSourceHandler::rendererFor(const IDMItem::Handle& item) const
{
    const unsigned long index = item ? item->rendererIndex() : 0;
    return index >= 1 && index <= numberOfRenderers() ? renderer(index) : nullptr;
}

IBase::Boolean IDMSourceHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_DESTROY:
        // The map would otherwise hand the provider to a window made later at this address.
        setItemFactory(event.window(), nullptr);
        return false;
    case IPrivateMessage::dragStart: {
        IDMSourceBeginEvent begin(event);
        const IBase::Boolean handled = sourceBegin(begin);
        event.setResult(1);
        return handled;
    }
    case IPrivateMessage::dragPrepare: {
        IDMSourcePrepareEvent prepare(event);
        const IBase::Boolean handled = sourcePrepare(prepare);
        event.setResult(handled ? 1 : 0);
        return handled;
    }
    case IPrivateMessage::dragRender: {
        IDMSourceRenderEvent render(event);
        const IBase::Boolean handled = sourceRender(render);
        event.setResult(handled ? 1 : 0);
        return handled;
    }
    case IPrivateMessage::dragSourceEnd: {
        IDMSourceEndEvent end(event);
        const IBase::Boolean handled = sourceEnd(end);
        event.setResult(0);
        return handled;
    }
    case IPrivateMessage::dragDiscard: {
        IDMSourceDiscardEvent discard(event);
        const IBase::Boolean handled = sourceDiscard(discard);
        event.setResult(discard.reply());
        return handled;
    }
    case IPrivateMessage::dragPrint: {
        IDMSourcePrintEvent print(event);
        const IBase::Boolean handled = sourcePrint(print);
        event.setResult(print.reply());
        return handled;
    }
    default:
        return false;
    }
}

IReference<IDMSourceOperation> IDMSourceHandler::makeSourceOperation(IDMSourceBeginEvent& event)
{
    IReference<IDMSourceOperation> operation(new IDMSourceOperation(event));
    operation->setContainerObject(event.sourceContainerObject());
    operation->setOffset(event.sourceObjectOffset());
    IDMSourceOperation::setCurrentSourceOperation(operation);
    return operation;
}

namespace {

// The items of the operation's list that hold a reference on it: each source item gives one
// back when it goes.
unsigned long itemsHolding(IDMSourceOperation& operation)
{
    unsigned long count = 0;
    for (unsigned long i = 1; i <= operation.numberOfItems(); ++i)
        if (operation.item(i)->sourceOperation() == &operation)
            ++count;
    return count;
}

// A source item adopts a reference that its maker took for it (IDMItem's generator form). A
// provider written without that reference would leave the operation to be freed by its own
// items while the drag still uses it: the references it did not take are taken for it here, and
// with tracing on a line says so.
void takeMissingReferences(IDMSourceOperation& operation, unsigned long expected)
{
    const unsigned long held = operation.useCount();
    if (held >= expected)
        return;
    for (unsigned long missing = expected - held; missing; --missing)
        operation.addRef();
    if (ITrace::isTraceEnabled())
        ITrace::write(IString("IDMSourceHandler: the item provider took no reference on the "
                              "source operation for ") +
                      IString(expected - held) +
                      " of its items; taken for it (see the generator form in idmitem.hpp).");
}

// A drag that ends before it starts shows nothing to the user and throws nothing: the trace is
// where a program's writer learns which item no renderer took, and by what it could travel.
void traceUnserved(unsigned long position, const IDMItem& item)
{
    if (!ITrace::isTraceEnabled())
        return;
    ITrace::write(IString("IDMSourceHandler: no renderer serves item ") + IString(position) +
                  " (types \"" + item.types() + "\", pairs \"" + item.rmfs() +
                  "\"); the drag does not start. The default source renderer serves the types \"" +
                  IDMSupport::defaultSourceRenderer().supportedTypes() + "\" with the pairs \"" +
                  IDMSupport::defaultSourceRenderer().supportedRMFs() + "\".");
}

} // namespace

IBase::Boolean IDMSourceHandler::sourceBegin(IDMSourceBeginEvent& event)
{
    IReference<IDMSourceOperation> operation = makeSourceOperation(event);
    const CurrentSource current(operation);
    IDMItemFactory* factory = itemFactoryFor(event.window());
    if (!factory)
        return true;
    const unsigned long referencesBefore = operation->useCount();
    const unsigned long itemsBefore = itemsHolding(*operation);
    const IBase::Boolean provided = factory->provideSourceItems(event);
    takeMissingReferences(*operation, referencesBefore + itemsHolding(*operation) - itemsBefore);
    if (provided && selectRenderers()) {
        const ovk_dragdrop::OwnDragLoop loop;
        operation->begin();
    }
    return true;
}

unsigned long IDMSourceHandler::findRendererFor(const IDMItem::Handle& item)
{
    for (unsigned long i = 1; i <= numberOfRenderers(); ++i)
        if (renderer(i)->fits(item))
            return i;
    return 0;
}

IBase::Boolean IDMSourceHandler::selectRenderers()
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    if (!operation)
        return false;
    const IString textPair = IDMItem::rmfFrom(IDMNames::rmLibrary, IDMNames::rfText);
    for (unsigned long i = 1; i <= operation->numberOfItems(); ++i) {
        const IDMItem::Handle item = operation->item(i);
        const unsigned long index = findRendererFor(item);
        if (!index) {
            traceUnserved(i, *item);
            return false;
        }
        item->setRendererIndex(index);
        // Each renderer's share of the item's pairs; a file pair makes the text pair redundant.
        IString joined;
        for (unsigned long r = 1; r <= numberOfRenderers(); ++r) {
            IString share = IDMItem::matchingRMFs(item->rmfs(), renderer(r)->supportedRMFs());
            if (share.includes(textPair) && share.includes(IString("<") + IDMNames::rmFile + ","))
                share = IDMItem::removeEntry(share, textPair);
            if (share.length())
                IDMItem::appendEntry(joined, share);
        }
        if (joined.length())
            item->setRMFs(joined);
    }
    return true;
}

IBase::Boolean IDMSourceHandler::sourcePrepare(IDMSourcePrepareEvent& event)
{
    IDMSourceRenderer* r = rendererFor(event.item());
    return r ? (r->sourcePrepare(event), true) : false;
}

IBase::Boolean IDMSourceHandler::sourceRender(IDMSourceRenderEvent& event)
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    if (!operation || operation->numberOfItems() == 0)
        return false;
    // The request names an item by its id in the source operation, never by an address.
    const FORMATETC* format = event.format();
    IDMItem::Handle item = format && format->lindex != -1
                               ? operation->itemWithId(static_cast<unsigned long>(format->lindex))
                               : operation->item(1);
    if (!item)
        return false;
    event.setItem(item);
    IDMSourceRenderer* r = rendererFor(item);
    return r ? (r->sourceRender(event), true) : false;
}

IBase::Boolean IDMSourceHandler::sourceEnd(IDMSourceEndEvent& event)
{
    if (IDMSourceRenderer* r = rendererFor(event.item()))
        r->sourceEnd(event);
    return true;
}

IBase::Boolean IDMSourceHandler::sourceDiscard(IDMSourceDiscardEvent& event)
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    const IDMItem::Handle item =
        operation ? operation->itemWithId(static_cast<unsigned long>(event.parameter1().asUnsignedLong()))
                  : IDMItem::Handle();
    if (IDMSourceRenderer* r = rendererFor(item))
        r->sourceDiscard(event);
    else
        event.setReply(3);
    return true;
}

IBase::Boolean IDMSourceHandler::sourcePrint(IDMSourcePrintEvent& event)
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    const IDMItem::Handle item =
        operation ? operation->itemWithId(static_cast<unsigned long>(event.parameter1().asUnsignedLong()))
                  : IDMItem::Handle();
    if (IDMSourceRenderer* r = rendererFor(item))
        r->sourcePrint(event);
    else
        event.setReply(3);
    return true;
}

// ---------------------------------------------------------------------------------------------
// IDMTargetHandler

IDMTargetHandler::IDMTargetHandler()
{
    IDMSupport::addRenderer(defaultTargetRenderer());
}

IDMTargetHandler::IDMTargetHandler(IWindow* window) : IDMTargetHandler()
{
    handleEventsFor(window);
}

IDMTargetHandler::~IDMTargetHandler() = default;

unsigned long IDMTargetHandler::numberOfRenderers() const
{
    return IDMSupport::numberOfRenderers();
}

IDMTargetRenderer* IDMTargetHandler::renderer(unsigned long position) const
{
    return static_cast<IDMTargetRenderer*>(IDMSupport::renderer(position));
}

IDMSupport& IDMTargetHandler::replaceRenderer(unsigned long, IDMRenderer&) { return *this; }
IDMSupport& IDMTargetHandler::addRenderer(IDMRenderer&) { return *this; }
IDMSupport& IDMTargetHandler::removeRenderer(unsigned long) { return *this; }
IDMSupport& IDMTargetHandler::removeRenderer(IDMRenderer&) { return *this; }
IDMSupport& IDMTargetHandler::setRenderer(IDMRenderer&) { return *this; }

IDMTargetHandler& IDMTargetHandler::replaceRenderer(unsigned long position, IDMTargetRenderer& renderer)
{
    IDMSupport::replaceRenderer(position, renderer);
    return *this;
}

IDMTargetHandler& IDMTargetHandler::addRenderer(IDMTargetRenderer& renderer)
{
    IDMSupport::addRenderer(renderer);
    return *this;
}

IDMTargetHandler& IDMTargetHandler::removeRenderer(IDMTargetRenderer& renderer)
{
    IDMSupport::removeRenderer(renderer);
    return *this;
}

IDMTargetHandler& IDMTargetHandler::setRenderer(IDMTargetRenderer& renderer)
{
    IDMSupport::setRenderer(renderer);
    return *this;
}

IDMTargetRenderer* IDMTargetHandler::rendererFor(const IDMItem::Handle& item) const
{
    const unsigned long index = item ? item->rendererIndex() : 0;
    return index >= 1 && index <= numberOfRenderers() ? renderer(index) : nullptr;
}

unsigned char IDMTargetHandler::combineAnswers(unsigned char current, unsigned char answer)
{
    switch (current) {
    case 0:
        return answer == 2 || answer == 3 ? answer : 0;
    case 1:
        return answer;
    case 2:
        return answer == 3 ? 3 : 2;
    default:
        return 3;
    }
}

namespace {

// The operation the modifier keys of the drag ask for: Ctrl copies, Shift moves, both link; none
// leaves the choice to the items (the default operation).
unsigned long operationOfKeys()
{
    const DWORD keys = ovk_dragdrop::DeliveredKeys::current();
    const bool control = (keys & MK_CONTROL) != 0;
    const bool shift = (keys & MK_SHIFT) != 0;
    if (control && shift)
        return IDMOperation::link;
    if (control)
        return IDMOperation::copy;
    if (shift)
        return IDMOperation::move;
    return IDMOperation::drag;
}

} // namespace

IBase::Boolean IDMTargetHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_DESTROY:
        // The map would otherwise hand the provider to a window made later at this address.
        setItemFactory(event.window(), nullptr);
        return false;
    case IPrivateMessage::dragOver: {
        IDMTargetEnterEvent enter(event);
        const IBase::Boolean handled = targetEnter(enter);
        event.setResult(IEventData(static_cast<std::uint16_t>(enter.dropAnswer()),
                                   static_cast<std::uint16_t>(enter.defaultOperation())));
        return handled;
    }
    case IPrivateMessage::dragLeave: {
        IDMTargetLeaveEvent leave(event);
        const IBase::Boolean handled = targetLeave(leave);
        event.setResult(0);
        return handled;
    }
    case IPrivateMessage::dragDrop: {
        IDMTargetDropEvent drop(event);
        const IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
        const unsigned long done = operation ? operation->operation() : 0;
        const IBase::Boolean dropped = targetDrop(drop);
        // The drop target tells OLE what was carried out.
        event.setResult(dropped ? done : 0);
        return true;
    }
    case IPrivateMessage::dragHelp: {
        IDMTargetHelpEvent help(event);
        const IBase::Boolean handled = targetHelp(help);
        event.setResult(0);
        return handled;
    }
    case IPrivateMessage::dragTargetEnd: {
        IDMTargetEndEvent end(event);
        const IBase::Boolean handled = targetEnd(end);
        event.setResult(0);
        return handled;
    }
    default:
        return false;
    }
}

IReference<IDMTargetOperation> IDMTargetHandler::makeTargetOperation(IDMTargetEnterEvent& event)
{
    IReference<IDMTargetOperation> operation(new IDMTargetOperation(event));
    if (IDMItemFactory* factory = itemFactoryFor(event.window()))
        for (unsigned long i = 1; i <= operation->numberOfItems(); ++i)
            operation->replaceItem(i, factory->provideTargetItemFor(operation->item(i)));
    IDMTargetOperation::setCurrentTargetOperation(operation);
    return operation;
}

IBase::Boolean IDMTargetHandler::targetEnter(IDMTargetEnterEvent& event)
{
    IReference<IDMTargetOperation> operation = IDMTargetOperation::updateTargetOperation(event);
    if (!operation)
        operation = makeTargetOperation(event);
    operation->setOperation(operationOfKeys());
    if (IDMItemFactory* factory = itemFactoryFor(event.window()))
        factory->provideEnterSupport(event);
    if (event.dropAnswer() == ovk_dragdrop::noDropHereNow ||
        event.dropAnswer() == ovk_dragdrop::neverDropHere)
        return true;
    checkItems();
    unsigned char answer = 1;
    for (unsigned long i = 1; i <= operation->numberOfItems() && answer != 3; ++i) {
        const unsigned char itemAnswer = operation->item(i)->dropAnswer();
        if (itemAnswer != 1)
            answer = combineAnswers(answer, itemAnswer);
    }
    if (operation->numberOfItems() == 0)
        answer = 0;
    event.setDefaultOperation(operation->operation());
    event.setDropAnswer(answer);
    return true;
}

IBase::Boolean IDMTargetHandler::checkItems()
{
    const IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
    if (!operation)
        return false;
    for (unsigned long i = 1; i <= operation->numberOfItems(); ++i)
        if (!checkItem(operation->item(i)))
            return false;
    return true;
}

IBase::Boolean IDMTargetHandler::checkItem(const IDMItem::Handle& item)
{
    item->setDropAnswer(1);
    unsigned char combined = 1;
    for (unsigned long i = 1; i <= numberOfRenderers(); ++i) {
        IDMTargetRenderer* r = renderer(i);
        const unsigned char answer = r->canRender(item);
        if (answer == 1) {
            if (r->isOperationSupported(item)) {
                item->setRendererIndex(i);
                item->setDropAnswer(1);
                return true;
            }
            combined = combineAnswers(combined, 2);
        } else {
            combined = combineAnswers(combined, answer);
        }
    }
    item->setRendererIndex(0);
    item->setDropAnswer(combined == 1 ? 0 : combined);
    return false;
}

IBase::Boolean IDMTargetHandler::targetDrop(IDMTargetDropEvent& event)
{
    const IReference<IDMTargetOperation> operation = IDMTargetOperation::currentTargetOperation();
    if (!operation)
        return false;
    // OLE sends no DragLeave after a drop: the drop ends the target operation, also when a
    // renderer throws.
    const CurrentTarget current(operation);
    // A container's refresh waits across the drop alone, so that what the drop changes is
    // painted once when the operation ends. Held while the pointer still moves, a hold that
    // hides the window (WM_SETREDRAW through the default processing) takes the container out
    // of OLE's hit tests: the drag would leave and enter again at every tracking step.
    if (ICnrCtl* container = event.containerWindow())
        operation->setContainer(container);
    IBase::Boolean any = false;
    // From the last item to the first: an end notification takes its item out of the list.
    for (unsigned long i = operation->numberOfItems(); i >= 1; --i) {
        if (i > operation->numberOfItems())
            continue;
        const IDMItem::Handle item = operation->item(i);
        if (IDMTargetRenderer* r = rendererFor(item))
            any = r->targetRender(event, item) || any;
    }
    return any;
}

IBase::Boolean IDMTargetHandler::targetLeave(IDMTargetLeaveEvent& event)
{
    if (IDMItemFactory* factory = itemFactoryFor(event.window()))
        factory->provideLeaveSupport(event);
    IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
    return true;
}

IBase::Boolean IDMTargetHandler::targetHelp(IDMTargetHelpEvent& event)
{
    if (IDMItemFactory* factory = itemFactoryFor(event.window()))
        factory->provideHelpSupport(event);
    return true;
}

IBase::Boolean IDMTargetHandler::targetEnd(IDMTargetEndEvent& event)
{
    if (!event.targetOperation())
        event.setTargetOperation(IDMTargetOperation::currentTargetOperation());
    const IReference<IDMTargetOperation> operation = event.targetOperation();
    if (!operation || operation->numberOfItems() == 0)
        return false;
    if (IDMTargetRenderer* r = rendererFor(operation->item(1)))
        r->targetEnd(event);
    return true;
}
