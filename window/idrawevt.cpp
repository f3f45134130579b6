// The owner-draw events.
#include <windows.h>

#include "idrawevt.hpp"

namespace {

// The size that a measure-item request asks for, shared by the list box's and the general
// owner-draw event; empty when the event carries no request.
ISize measuredSize(const MEASUREITEMSTRUCT* item)
{
    return item ? ISize(static_cast<std::int32_t>(item->itemWidth),
                        static_cast<std::int32_t>(item->itemHeight))
                : ISize();
}

void setMeasuredSize(MEASUREITEMSTRUCT* item, const ISize& size)
{
    if (item) {
        item->itemWidth = static_cast<UINT>(size.width());
        item->itemHeight = static_cast<UINT>(size.height());
    }
}

} // namespace

IDrawItemEvent::IDrawItemEvent(const IEvent& event) : IControlEvent(event)
{
    if (event.eventId() == WM_DRAWITEM)
        fItem = static_cast<const DRAWITEMSTRUCT*>(event.parameter2().asPointer());
}

unsigned int IDrawItemEvent::action() const noexcept
{
    return fItem ? fItem->itemAction : 0;
}

unsigned int IDrawItemEvent::state() const noexcept
{
    return fItem ? fItem->itemState : 0;
}

IPresSpaceHandle IDrawItemEvent::itemPresSpaceHandle() const
{
    return fItem ? fItem->hDC : nullptr;
}

unsigned long IDrawItemEvent::itemId() const
{
    return fItem ? fItem->itemID : 0;
}

IRectangle IDrawItemEvent::itemRect() const
{
    if (!fItem)
        return IRectangle();
    const RECT& r = fItem->rcItem;
    return IRectangle(r.left, r.top, r.right, r.bottom);
}

IBase::Boolean IDrawItemEvent::isDrawItem() const noexcept
{
    return (action() & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
}

IBase::Boolean IDrawItemEvent::isDrawEntire() const noexcept
{
    return (action() & ODA_DRAWENTIRE) != 0;
}

IBase::Boolean IDrawItemEvent::isSetHighlight() const noexcept
{
    return (action() & ODA_SELECT) && (state() & ODS_SELECTED);
}

IBase::Boolean IDrawItemEvent::isRemoveHighlight() const noexcept
{
    return (action() & ODA_SELECT) && !(state() & ODS_SELECTED);
}

IBase::Boolean IDrawItemEvent::isSelected() const noexcept
{
    return (state() & ODS_SELECTED) != 0;
}

IBase::Boolean IDrawItemEvent::isDisabled() const noexcept
{
    return (state() & ODS_DISABLED) != 0;
}

IBase::Boolean IDrawItemEvent::isChecked() const noexcept
{
    return (state() & ODS_CHECKED) != 0;
}

IListBoxMeasureItemEvent::IListBoxMeasureItemEvent(const IEvent& event) : IControlEvent(event)
{
    if (event.eventId() == WM_MEASUREITEM)
        fItem = static_cast<MEASUREITEMSTRUCT*>(event.parameter2().asPointer());
}

unsigned long IListBoxMeasureItemEvent::itemId() const
{
    return fItem ? fItem->itemID : 0;
}

ISize IListBoxMeasureItemEvent::itemSize() const
{
    return measuredSize(fItem);
}

IListBoxMeasureItemEvent& IListBoxMeasureItemEvent::setItemSize(const ISize& size)
{
    setMeasuredSize(fItem, size);
    return *this;
}

IOwnerDrawItemEvent::IOwnerDrawItemEvent(const IEvent& event) : IDrawItemEvent(event)
{
    if (event.eventId() == WM_MEASUREITEM)
        fMeasure = static_cast<MEASUREITEMSTRUCT*>(event.parameter2().asPointer());
}

unsigned long IOwnerDrawItemEvent::itemId() const
{
    return fMeasure ? fMeasure->itemID : IDrawItemEvent::itemId();
}

ISize IOwnerDrawItemEvent::itemSize() const
{
    return measuredSize(fMeasure);
}

IOwnerDrawItemEvent& IOwnerDrawItemEvent::setItemSize(const ISize& size)
{
    setMeasuredSize(fMeasure, size);
    return *this;
}
