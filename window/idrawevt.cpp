// The owner-draw events.
#include <windows.h>

#include "idrawevt.hpp"

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
    return fItem ? ISize(static_cast<std::int32_t>(fItem->itemWidth),
                         static_cast<std::int32_t>(fItem->itemHeight))
                 : ISize();
}

IListBoxMeasureItemEvent& IListBoxMeasureItemEvent::setItemSize(const ISize& size)
{
    if (fItem) {
        fItem->itemWidth = static_cast<UINT>(size.width());
        fItem->itemHeight = static_cast<UINT>(size.height());
    }
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
    return fMeasure ? ISize(static_cast<std::int32_t>(fMeasure->itemWidth),
                            static_cast<std::int32_t>(fMeasure->itemHeight))
                    : ISize();
}

IOwnerDrawItemEvent& IOwnerDrawItemEvent::setItemSize(const ISize& size)
{
    if (fMeasure) {
        fMeasure->itemWidth = static_cast<UINT>(size.width());
        fMeasure->itemHeight = static_cast<UINT>(size.height());
    }
    return *this;
}
