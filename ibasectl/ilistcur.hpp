// IListItemCursor: the cursor of the list box and the combo box, over all items or over the
// selected ones.
#pragma once

#include <vector>

#include <ivbase.hpp>

// A cursor is a plain value held by the program. It remembers the box's change count when it
// is positioned, and any add or remove through the box makes it invalid until positioned
// again. The box provides count(), numberOfSelections(), changeCount() and
// selectedIndices(n), the first n selected indices. Like the base library's cursors it is an
// IVBase, so the slots after its destructor describe it (asString, asDebugInfo) and the moves
// follow them.
template <class Box>
class IListItemCursor : public IVBase {
public:
    enum FilterType : unsigned char { selectedItems = 0, allItems = 1 };

    explicit IListItemCursor(const Box& box, FilterType filter = selectedItems)
        : fBox(&box), fFilter(filter)
    {
        invalidate();
    }
    ~IListItemCursor() override = default;

    virtual bool setToFirst()
    {
        if (fBox->count() == 0)
            return false;
        if (fFilter == allItems)
            return standOn(0);
        fSelected.clear();
        const unsigned long wanted = fBox->numberOfSelections();
        if (wanted != 0)
            fSelected = fBox->selectedIndices(wanted);
        if (wanted == 0 || fSelected.size() != wanted) {
            invalidate();
            return false;
        }
        fPosition = 0;
        return standOn(fSelected.front());
    }

    virtual bool setToNext()
    {
        if (isValid() && fIndex < static_cast<long>(fBox->count()) - 1) {
            if (fFilter == allItems)
                return standOn(static_cast<unsigned long>(fIndex + 1));
            if (fPosition + 1 < fSelected.size())
                return standOn(fSelected[++fPosition]);
        }
        invalidate();
        return false;
    }

    virtual bool setToPrevious()
    {
        if (isValid() && fIndex != 0) {
            if (fFilter == allItems)
                return standOn(static_cast<unsigned long>(fIndex - 1));
            if (fPosition > 0)
                return standOn(fSelected[--fPosition]);
        }
        invalidate();
        return false;
    }

    virtual bool setToLast()
    {
        const unsigned long count = fBox->count();
        if (count == 0)
            return false;
        if (fFilter == allItems)
            return standOn(count - 1);
        if (!setToFirst())
            return false;
        fPosition = fSelected.size() - 1;
        return standOn(fSelected.back());
    }

    // The selection the cursor walks is left as it is.
    virtual bool setToIndex(unsigned long index)
    {
        if (static_cast<long>(index) < 0 || index >= fBox->count())
            return false;
        return standOn(index);
    }

    virtual bool isValid() const
    {
        if (fIndex < 0 || fIndex >= static_cast<long>(fBox->count()))
            return false;
        if (fFilter == selectedItems && fSelected.empty())
            return false;
        return fChangeCount == fBox->changeCount();
    }

    virtual void invalidate()
    {
        fIndex = -1;
        fSelected.clear();
        fPosition = 0;
    }

    virtual unsigned long index() const { return static_cast<unsigned long>(fIndex); }

private:
    bool standOn(unsigned long index)
    {
        fIndex = static_cast<long>(index);
        fChangeCount = fBox->changeCount();
        return true;
    }

    const Box* fBox;
    long fIndex = -1;
    FilterType fFilter;
    unsigned long fChangeCount = 0;
    std::vector<unsigned long> fSelected;
    std::size_t fPosition = 0;
};
