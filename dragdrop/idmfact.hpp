// IDMItemFactory: the per-window policy that the drag handlers ask which items a drag from the
// window carries, which items a drop onto it makes and whether a drop is acceptable.
#pragma once

#include <ivbase.hpp>

#include <idefs.hpp>

#include "idmitem.hpp"
#include "idmoper.hpp"
#include "idmsupp.hpp"

class IDMSourceBeginEvent;
class IDMTargetEnterEvent;
class IDMTargetLeaveEvent;
class IDMTargetHelpEvent;

class OVKWIN_API IDMItemFactory : public IVBase {
public:
    IDMItemFactory() = default;
    ~IDMItemFactory() override;

    // The base item's generation: one item of type "Unknown". A provider of its own makes each
    // item as the generator form in idmitem.hpp shows: the item adopts a reference on the
    // operation (ovkCurrentSourceOperation()) that is taken for it first.
    virtual IBase::Boolean provideSourceItems(IDMSourceBeginEvent& event);
    // The library's acceptance policy by the window's class: it may set the event's drop answer
    // to 0 (no drop here now) or 3 (never a drop here).
    virtual IBase::Boolean provideEnterSupport(IDMTargetEnterEvent& event);
    virtual IBase::Boolean provideLeaveSupport(IDMTargetLeaveEvent& event);
    virtual IBase::Boolean provideHelpSupport(IDMTargetHelpEvent& event);
    // The item the target operation keeps for a dropped item: by default the same one.
    virtual IDMItem::Handle provideTargetItemFor(const IDMItem::Handle& item);
};

// The provider of one item class: its generator for the source, its target constructor for
// the target.
template <class ItemClass>
class IDMItemFactoryFor : public IDMItemFactory {
public:
    IBase::Boolean provideSourceItems(IDMSourceBeginEvent& event) override;
    IDMItem::Handle provideTargetItemFor(const IDMItem::Handle& item) override
    {
        return IDMItem::Handle(new ItemClass(item));
    }
};

// The source operation of a drag being begun (null before the source handler made it).
OVKWIN_API IDMSourceOperation* ovkCurrentSourceOperation();

template <class ItemClass>
IBase::Boolean IDMItemFactoryFor<ItemClass>::provideSourceItems(IDMSourceBeginEvent&)
{
    return ItemClass::generateSourceItems(ovkCurrentSourceOperation());
}

// The one default provider of an item class.
template <class ItemClass>
IDMItemFactory& ovkDefaultItemFactory()
{
    static IDMItemFactoryFor<ItemClass> factory;
    return factory;
}

template <class ItemClass>
void IDMSupport::setDefaultItemFactory(IWindow* window)
{
    if (!itemFactoryFor(window))
        setItemFactory(window, &ovkDefaultItemFactory<ItemClass>());
}

template <class ItemClass>
void IDMSupport::enableDragDropFor(IWindow* window)
{
    enable(window, drag | drop, &ovkDefaultItemFactory<ItemClass>());
}

template <class ItemClass>
void IDMSupport::enableDropFor(IWindow* window)
{
    enable(window, drop, &ovkDefaultItemFactory<ItemClass>());
}

template <class ItemClass>
void IDMSupport::enableDragFor(IWindow* window)
{
    enable(window, drag, &ovkDefaultItemFactory<ItemClass>());
}
