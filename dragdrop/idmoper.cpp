// Drag operations: the items of a drag and the current source and target operations.
#include <algorithm>
#include <vector>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iwindow.hpp>

#include "idmitem.hpp"
#include "idmoper.hpp"

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

IDMOperation::~IDMOperation()
{
    delete fItems;
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

IDMSourceOperation::IDMSourceOperation(const IWindowHandle& sourceWindow)
{
    setSourceWindowHandle(sourceWindow);
}

IDMSourceOperation::~IDMSourceOperation() = default;

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

IDMTargetOperation::~IDMTargetOperation() = default;

void IDMTargetOperation::setCurrentTargetOperation(const IReference<IDMTargetOperation>& operation)
{
    currentTarget() = operation;
}

IReference<IDMTargetOperation> IDMTargetOperation::currentTargetOperation()
{
    return currentTarget();
}
