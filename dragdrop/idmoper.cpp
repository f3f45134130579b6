// Drag operations: the items of a drag and the current source and target operations.
#include <algorithm>
#include <vector>

#include <iexcept.hpp>
#include <irect.hpp>
#include <ovkmsgid.hpp>

#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include <icnrctl.hpp>

#include "idmdnfo.hpp"
#include "idmevent.hpp"
#include "idmitem.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"
#include "idmrendr.hpp"
#include "idmsupp.hpp"

const unsigned long IDMOperation::copy = 1;
const unsigned long IDMOperation::move = 2;
const unsigned long IDMOperation::link = 4;
const unsigned long IDMOperation::drag = 0x20;
const unsigned long IDMOperation::unknown = 0xBFFF;

namespace {

const char kFile[] = "idmoper";

// The current operations of the process. Drags run on one thread at a time, inside the
// system's drag loop, so these are not locked.
IReference<IDMSourceOperation>& currentSource()
{
    static IReference<IDMSourceOperation> operation;
    return operation;
}

IReference<IDMTargetOperation>& currentTarget()
{
    static IReference<IDMTargetOperation> operation;
    return operation;
}

} // namespace

struct IDMOperation::Items {
    std::vector<ItemHandle> handles;
};

IDMOperation::IDMOperation() : fOperation(drag), fItems(new Items) {}

IDMOperation::IDMOperation(IDMSourceBeginEvent& event)
    : fOperation(drag), fBeginFlag(event.beginFlag()), fPosition(event.position()),
      fItems(new Items)
{
}

IDMOperation::~IDMOperation()
{
    restoreContainerRefresh();
    delete fItems;
}

unsigned long IDMOperation::referencesFromOwnItems() const noexcept
{
    unsigned long count = 0;
    for (const ItemHandle& handle : fItems->handles) {
        const IDMItem* item = handle.get();
        if (item && item->useCount() == 1 &&
            (item->sourceOperation() == this || item->targetOperation() == this))
            ++count;
    }
    return count;
}

void IDMOperation::removeRef() noexcept
{
    if (fReleasingItems || useCount() <= 1) {
        IRefCounted::removeRef();
        return;
    }
    IRefCounted::removeRef();
    releaseItemsIfOnlyTheyHold();
}

void IDMOperation::releaseItemsIfOnlyTheyHold() noexcept
{
    if (fReleasingItems)
        return;
    const unsigned long own = referencesFromOwnItems();
    if (own == 0 || useCount() != own)
        return;
    // Only our own items keep us: the last of them deletes this operation as it goes, so
    // nothing of the object is touched after the list is let go.
    fReleasingItems = true;
    std::vector<ItemHandle> items;
    items.swap(fItems->handles);
}

IDMOperation& IDMOperation::setContainerObject(ICnrObj* object)
{
    fContainerObject = object;
    return *this;
}

IDMOperation& IDMOperation::setContainer(ICnrCtl* container)
{
    if (!container)
        return *this;
    // A second container takes over: the first gets its refresh back now.
    if (fContainer && fContainer != container->handle())
        restoreContainerRefresh();
    // Taken again, the container's refresh is off by this operation's own hold.
    if (fContainer != container->handle())
        fContainerRefreshHeld = !container->isRefreshOn();
    fContainer = container->handle();
    container->disableRefresh();
    return *this;
}

IDMOperation& IDMOperation::setRefreshAfterMove(IBase::Boolean refresh)
{
    fRefreshAfterMove = refresh;
    return *this;
}

IDMOperation& IDMOperation::setDragInfo(std::unique_ptr<IDragInfoWrapper> info)
{
    fDragInfo = std::move(info);
    return *this;
}

// A target that saw the drop repaints the container; a source repaints it after a move only.
void IDMOperation::restoreContainerRefresh() noexcept
{
    if (!fContainer)
        return;
    ICnrCtl* container = ICnrCtl::containerWithHandle(fContainer);
    fContainer = IWindowHandle();
    // The application's own hold stays; it paints what changed when it lets go.
    if (!container || fContainerRefreshHeld)
        return;
    try {
        bool repaint = false;
        if (fTargetWindow)
            repaint = true;
        else if (fDragInfo)
            repaint = fDragInfo->operation() != copy && fRefreshAfterMove;
        container->enableRefresh(true);
        if (repaint)
            container->refresh(true);
    } catch (...) {
        // A destructor does not throw; the container paints again on its next change.
    }
}

IString IDMOperation::asString() const
{
    return IString("IDMOperation(") + IString(fOperation) + ")";
}

IString IDMOperation::asDebugInfo() const
{
    return IString("IDMOperation(operation=") + IString(fOperation) +
           ",items=" + IString(numberOfItems()) + ")";
}

unsigned long IDMOperation::operation() const { return fOperation; }
IDMOperation& IDMOperation::setOperation(unsigned long operation)
{
    fOperation = operation;
    return *this;
}

IPoint IDMOperation::position() const { return fPosition; }
IDMOperation& IDMOperation::setPosition(const IPoint& position)
{
    fPosition = position;
    return *this;
}

IBase::Boolean IDMOperation::beginFlag() const { return fBeginFlag; }
IDMOperation& IDMOperation::setBeginFlag(IBase::Boolean flag)
{
    fBeginFlag = flag;
    return *this;
}

IWindowHandle IDMOperation::sourceWindowHandle() const { return fSourceWindow; }
IWindowHandle IDMOperation::targetWindowHandle() const { return fTargetWindow; }
IWindow* IDMOperation::sourceWindow() const
{
    return IWindow::windowWithHandle(fSourceWindow, true);
}

IWindow* IDMOperation::targetWindow() const
{
    return IWindow::windowWithHandle(fTargetWindow, true);
}

IDMOperation& IDMOperation::setSourceWindowHandle(const IWindowHandle& handle)
{
    fSourceWindow = handle;
    return *this;
}

IDMOperation& IDMOperation::setTargetWindowHandle(const IWindowHandle& handle)
{
    fTargetWindow = handle;
    return *this;
}

unsigned long IDMOperation::numberOfItems() const
{
    return static_cast<unsigned long>(fItems->handles.size());
}

void IDMOperation::checkPosition(unsigned long position, const char* function) const
{
    if (position < 1 || position > numberOfItems())
        IThrow::message(OVK_MSG_POSITION_INVALID, IExceptionLocation(kFile, function, __LINE__));
}

IDMOperation::ItemHandle IDMOperation::item(unsigned long position) const
{
    checkPosition(position, "IDMOperation::item(unsigned int)");
    return fItems->handles[position - 1];
}

void IDMOperation::giveId(const ItemHandle& item)
{
    if (item && item->fItemId == 0)
        item->fItemId = ++fLastItemId;
}

IDMOperation& IDMOperation::addItem(const ItemHandle& item)
{
    giveId(item);
    fItems->handles.push_back(item);
    return *this;
}

IDMOperation& IDMOperation::removeItem(unsigned long position)
{
    checkPosition(position, "IDMOperation::removeItem(unsigned int)");
    fItems->handles.erase(fItems->handles.begin() + static_cast<long>(position - 1));
    return *this;
}

IDMOperation& IDMOperation::removeItem(const ItemHandle& item)
{
    auto& handles = fItems->handles;
    const auto found = std::find_if(handles.begin(), handles.end(), [&](const ItemHandle& h) {
        return h.get() == item.get();
    });
    if (found != handles.end())
        handles.erase(found);
    return *this;
}

IDMOperation& IDMOperation::replaceItem(unsigned long position, const ItemHandle& item)
{
    checkPosition(position, "IDMOperation::replaceItem(unsigned int,const IDMItem::Handle&)");
    giveId(item);
    fItems->handles[position - 1] = item;
    return *this;
}

IDMOperation::ItemHandle IDMOperation::itemWithId(unsigned long id) const
{
    if (id == 0)
        return ItemHandle();
    for (const ItemHandle& handle : fItems->handles) {
        if (handle && handle->itemId() == id)
            return handle;
    }
    return ItemHandle();
}

// ---------------------------------------------------------------------------------------------
// Source and target sides


void IDMSourceOperation::setCurrentSourceOperation(const IReference<IDMSourceOperation>& operation)
{
    currentSource() = operation;
}

IReference<IDMSourceOperation> IDMSourceOperation::currentSourceOperation()
{
    return currentSource();
}

IDMTargetOperation::IDMTargetOperation(const IWindowHandle& targetWindow)
{
    setTargetWindowHandle(targetWindow);
}

IDMTargetOperation::IDMTargetOperation(IDMTargetEnterEvent& event)
{
    setTargetWindowHandle(event.handle());
    std::unique_ptr<IDragInfoWrapper> info = IDragInfoWrapper::dragInfoWrapper(event.dataObject());
    const unsigned long count = info ? info->numberOfItems() : 0;
    if (info)
        setSourceWindowHandle(info->sourceWindow());
    setPosition(event.packedPoint());
    setOperation(move);
    for (unsigned long index = 0; index < count; ++index) {
        addRef();
        ItemHandle item(new IDMItem(this, (*info)[index].entry()));
        // Items of another process travel by shared memory in the library's own mechanism.
        item->addRMFs(IDMItem::rmfFrom(IDMNames::rmLibrary, IDMNames::rfSharedMemory));
        addItem(item);
    }
    setDragInfo(std::move(info));
    takeContainerState(event);
}

IDMTargetOperation::~IDMTargetOperation()
{
    restoreRendererTypes();
}

// The types go back only while they are still the ones this drag set: a later drag's own
// narrowing is left to that drag.
void IDMTargetOperation::restoreRendererTypes() noexcept
{
    if (fNarrowedTypes.length() == 0)
        return;
    try {
        IDMTargetRenderer& renderer = IDMSupport::defaultTargetRenderer();
        if (renderer.supportedTypes() == fNarrowedTypes)
            renderer.setSupportedTypes(fTypesBeforeNarrowing);
        fNarrowedTypes = IString();
    } catch (...) {
        // Called from the destructor, which does not throw; the renderer keeps the types.
    }
}

// A drag's conversation with a window ends when its operation stops being the current one,
// whether or not something still holds the operation: its narrowing and its hold on the
// container's refresh end there.
void IDMTargetOperation::setCurrentTargetOperation(const IReference<IDMTargetOperation>& operation)
{
    const IReference<IDMTargetOperation> previous = currentTarget();
    currentTarget() = operation;
    if (previous && previous.get() != operation.get()) {
        previous->restoreRendererTypes();
        previous->restoreContainerRefresh();
    }
}

IReference<IDMTargetOperation> IDMTargetOperation::currentTargetOperation()
{
    return currentTarget();
}

IReference<IDMTargetOperation> IDMTargetOperation::updateTargetOperation(IDMTargetEvent& event)
{
    IReference<IDMTargetOperation> operation = currentTarget();
    if (operation)
        operation->takeContainerState(event);
    return operation;
}

// Over a container, the operation follows the pointer: the container, the object under it and
// how a drop there places the objects.
void IDMTargetOperation::takeContainerState(IDMTargetEvent& event)
{
    if (event.eventId() != IPrivateMessage::dragOver)
        return;
    auto& enter = static_cast<IDMTargetEnterEvent&>(event);
    ICnrCtl* container = enter.containerWindow();
    if (!container)
        return;
    setTargetWindowHandle(container->handle());
    fDropOnObject = enter.isOverContainerObject() ? 1 : 0;
    fDropStyle = fDropOnObject ? 4 : 1;
    setContainerObject(enter.containerObject());
    setPosition(enter.position());
}

IDMTargetOperation& IDMTargetOperation::clearRendererTypesFlag()
{
    fRendererTypes = 0;
    return *this;
}

IDMTargetOperation& IDMTargetOperation::narrowRendererTypes(const char* types)
{
    if (!rendererTypesFlag())
        return *this;
    IDMTargetRenderer& renderer = IDMSupport::defaultTargetRenderer();
    fTypesBeforeNarrowing = renderer.supportedTypes();
    renderer.setSupportedTypes(types);
    fNarrowedTypes = renderer.supportedTypes();
    return clearRendererTypesFlag();
}

IDMTargetOperation& IDMTargetOperation::setDropStyle(unsigned char style)
{
    fDropStyle = style;
    return *this;
}

IDMTargetOperation& IDMTargetOperation::setDropPosition(const IPoint& position)
{
    fDropPosition = position;
    return *this;
}

IPoint IDMTargetOperation::dropPositionFor(const IDMItem::Handle& item)
{
    ICnrCtl* container = ICnrCtl::containerWithHandle(targetWindowHandle());
    if (!container)
        return IPoint(0, 0);
    // The pointer, from the screen into the container's window and on into its workspace.
    const IPoint inWindow = IWindow::mapPoint(position(), IWindowHandle(), container->handle());
    const IRectangle window = container->windowViewport();
    const IRectangle workspace = container->workspaceViewport();
    const IPoint offset = item ? item->objectOffset() : IPoint(0, 0);
    const IPoint start(inWindow.x() - window.minX() + workspace.minX() + offset.x(),
                       inWindow.y() - window.minY() + workspace.minY() + offset.y());
    if (hasDropStyle(1))
        return start;
    ISize extent = container->iconSize();
    if (extent.width() <= 0 || extent.height() <= 0)
        extent = ISize(32, 32);
    const bool column = hasDropStyle(2);
    IPoint next = start;
    if (fDropPosition != IPoint(0, 0))
        next = column ? IPoint(fDropPosition.x(), fDropPosition.y() + extent.height())
                      : IPoint(fDropPosition.x() + extent.width(), fDropPosition.y());
    if (hasDropStyle(4)) {
        // Bit 8: the whole object must fit before the edge, not only its origin.
        const long fitX = hasDropStyle(8) ? extent.width() : 0;
        const long fitY = hasDropStyle(8) ? extent.height() : 0;
        if (column && next.y() + fitY > workspace.maxY())
            next = IPoint(next.x() + extent.width(), start.y());
        else if (!column && next.x() + fitX > workspace.maxX())
            next = IPoint(start.x(), next.y() + extent.height());
    }
    setDropPosition(next);
    return next;
}
