// The container drag item.
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <icnrctl.hpp>
#include <icnrobj.hpp>

#include "idmevent.hpp"
#include "idmimage.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"
#include "idmrendr.hpp"
#include "idmcnrit.hpp"

IDMCnrItem::IDMCnrItem(IDMSourceOperation* operation, ICnrCtl* container, ICnrObj* object,
                       const IPoint& objectOffset)
    : IDMItem(operation, IDMNames::containerObject, copyable | moveable, noAttribute),
      fContainer(container)
{
    setObjectOffset(objectOffset);
    setObject(object);
    setRMFs(IDMItem::rmfsFrom(IDMNames::rmLibrary,
                              IDMRenderer::processFormat() + "," + IDMNames::rfSharedMemory));
    if (object)
        setImage(IDMImage(object->icon()));
}

IDMCnrItem::IDMCnrItem(const IDMItem::Handle& item) : IDMItem(item)
{
    fContainer = dynamic_cast<ICnrCtl*>(item->sourceWindow());
    setRMFs(IDMItem::matchingRMFs(item->rmfs(), IDMRenderer::processRMF()));
}

IDMCnrItem::~IDMCnrItem() = default;

unsigned long IDMCnrItem::containerId() const
{
    return fContainer ? fContainer->id() : 0;
}

ICnrCtl* IDMCnrItem::sourceContainer() const
{
    return fContainer;
}

IBase::Boolean IDMCnrItem::generateSourceItems(IDMSourceOperation* operation)
{
    if (!operation)
        return false;
    ICnrObj* anchor = operation->containerObject();
    auto* container = dynamic_cast<ICnrCtl*>(operation->sourceWindow());
    if (!anchor || !container)
        return false;
    const IPoint offset = operation->offset();
    operation->addRef();
    operation->addItem(IDMItem::Handle(new IDMCnrItem(operation, container, anchor, offset)));
    const IPoint corner = container->iconRectangle(anchor, false).minimum();
    const IPoint delta(corner.x() - offset.x(), corner.y() - offset.y());
    if (container->isSelected(anchor)) {
        ICnrCtl::ObjectCursor cursor(*container, ICnrCtl::ObjectCursor::selected);
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
            ICnrObj* object = cursor.current();
            if (object == anchor)
                continue;
            const IPoint at = container->iconRectangle(object, false).minimum();
            operation->addRef();
            operation->addItem(IDMItem::Handle(new IDMCnrItem(
                operation, container, object, IPoint(at.x() - delta.x(), at.y() - delta.y()))));
        }
    }
    operation->setStackAllImages(true);
    return true;
}

IBase::Boolean IDMCnrItem::targetDrop(IDMTargetDropEvent&)
{
    auto* object = static_cast<ICnrObj*>(this->object());
    if (!object) {
        IThrow::message(OVK_MSG_DRAG_ITEM_HAS_NO_OBJECT,
                        IExceptionLocation("idmcnrit", "IDMCnrItem::targetDrop(IDMTargetDropEvent&)",
                                           __LINE__));
        return false;
    }
    IDMTargetOperation* target = targetOperation();
    ICnrCtl* source = sourceContainer();
    auto* into = target ? dynamic_cast<ICnrCtl*>(target->targetWindow()) : nullptr;
    if (!target || !source || !into)
        return false;
    ICnrObj* parent = target->containerObject();
    if (object == parent)
        return false;
    const IDMItem::Handle self(this);
    const unsigned long operation = target->operation();
    const bool rows = into->isNameView(false) || into->isTextView(false) || into->isDetailsView();
    if (operation == IDMOperation::move || operation == IDMOperation::drag) {
        if (into->isTreeView())
            source->moveObjectTo(object, parent, into, nullptr, target->dropPositionFor(self));
        else if (rows && target->dropOnObject())
            source->moveObjectTo(object, nullptr, into, parent, target->dropPositionFor(self));
        else if (source == into && into->isIconView(false))
            source->moveIconTo(object, target->dropPositionFor(self));
        else
            source->moveObjectTo(object, nullptr, into, nullptr, target->dropPositionFor(self));
        return true;
    }
    if (operation == IDMOperation::copy) {
        ICnrObj* copy = nullptr;
        if (into->isTreeView())
            copy = source->copyObjectTo(object, parent, into, nullptr, target->dropPositionFor(self));
        else if (rows && target->dropOnObject())
            copy = source->copyObjectTo(object, nullptr, into, parent, target->dropPositionFor(self));
        else
            copy = source->copyObjectTo(object, nullptr, into, nullptr, target->dropPositionFor(self));
        setObject(copy);
        return true;
    }
    return false;
}
