// Owner-draw events: IDrawItemEvent over the system's draw-item record, the list box's
// draw and measure events.
#pragma once

#include <ipoint.hpp>
#include <irect.hpp>

#include <idefs.hpp>

#include "icmdevt.hpp"

struct tagDRAWITEMSTRUCT;
struct tagMEASUREITEMSTRUCT;

// A WM_DRAWITEM (or, for its handler, WM_MEASUREITEM): the queries read the record the second
// parameter points to. A query on a message that carries no draw-item record answers false
// or an empty value.
class OVKWIN_API IDrawItemEvent : public IControlEvent {
public:
    IDrawItemEvent(const IEvent& event);

    virtual IPresSpaceHandle itemPresSpaceHandle() const;
    virtual unsigned long itemId() const;
    virtual IRectangle itemRect() const;

    IBase::Boolean isDrawItem() const noexcept;
    IBase::Boolean isDrawEntire() const noexcept;
    IBase::Boolean isSetHighlight() const noexcept;
    IBase::Boolean isRemoveHighlight() const noexcept;
    IBase::Boolean isSelected() const noexcept;
    IBase::Boolean isDisabled() const noexcept;
    IBase::Boolean isChecked() const noexcept;

private:
    unsigned int action() const noexcept;
    unsigned int state() const noexcept;
    const tagDRAWITEMSTRUCT* fItem = nullptr;
};

// A WM_MEASUREITEM of a list box.
class OVKWIN_API IListBoxMeasureItemEvent : public IControlEvent {
public:
    IListBoxMeasureItemEvent(const IEvent& event);

    unsigned long itemId() const;
    ISize itemSize() const;
    IListBoxMeasureItemEvent& setItemSize(const ISize& size);

private:
    tagMEASUREITEMSTRUCT* fItem = nullptr;
};

// A WM_DRAWITEM of a list box. Its result reaches Windows only when the callback also sets the
// flag: a list box ignores the answer to WM_DRAWITEM, and most callbacks leave it alone.
class OVKWIN_API IListBoxDrawItemEvent : public IDrawItemEvent {
public:
    IListBoxDrawItemEvent(const IEvent& event) : IDrawItemEvent(event) {}

    IBase::Boolean isResultSet() const noexcept { return fResultSet != 0; }
    IListBoxDrawItemEvent& setResultSet(IBase::Boolean set = true) noexcept {
        fResultSet = set ? 1 : 0;
        return *this;
    }

private:
    std::int32_t fResultSet = 0;
};

// The event of the owner-draw handler, for both owner-draw messages: the draw-item queries on
// a WM_DRAWITEM, the measure-item ones on a WM_MEASUREITEM.
class OVKWIN_API IOwnerDrawItemEvent : public IDrawItemEvent {
public:
    IOwnerDrawItemEvent(const IEvent& event);

    unsigned long itemId() const override;
    ISize itemSize() const;
    IOwnerDrawItemEvent& setItemSize(const ISize& size);

private:
    tagMEASUREITEMSTRUCT* fMeasure = nullptr;
};
