// IBaseListBox: the list box on the native "ListBox" class: items with texts and item handles,
// single, multiple or extended selection, owner-drawn items, search and a cursor.
#pragma once

#include <memory>

#include <vector>

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>
#include <ireslib.hpp>

#include "ilistcur.hpp"

struct HBRUSH__;
struct IBaseListBoxData;

// Indices are 0-based; 0xFFFFFFFF means none, not found or append. The native list is never
// sorted by the control: the sorted adds of IListBox place each item themselves.
class OVKWIN_API IBaseListBox : public IControl {
public:
    enum SearchType { prefix = 0, substring = 1, exactMatch = 2 };
    static const unsigned long notFound;
    static const unsigned long first;

    using Style = IWindowClassStyle<IBaseListBox>;
    static const Style _multipleSelect;
    static const Style _extendedSelect;
    static const Style _ownerDraw;
    static const Style _anyHeight;
    static const Style _horizontalScroll;
    static const Style _border3D;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Told when the program or the user changes the selection, and on a double click or Enter.
    static const char* const selectId;
    static const char* const enterId;

    class OVKWIN_API Cursor : public IListItemCursor<IBaseListBox> {
    public:
        explicit Cursor(const IBaseListBox& box, FilterType filter = selectedItems)
            : IListItemCursor(box, filter) {}
    };

    IBaseListBox(unsigned long id, IWindow* parent, IWindow* owner,
                 const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IBaseListBox(unsigned long id, IWindow* parent);
    explicit IBaseListBox(const IWindowHandle& handle);
    ~IBaseListBox() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // A new font marks the minimum size stale and has an owner-drawn list measured again.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    IColor backgroundColor() const override;
    ISize calcMinimumSize() const override;

    virtual IBaseListBox& enableOwnerDraw(IBase::Boolean enable = true);
    virtual IBaseListBox& disableOwnerDraw();
    // Have no effect on this platform.
    virtual IBaseListBox& enableDrawItem(IBase::Boolean enable = true);
    virtual IBaseListBox& disableDrawItem();
    virtual IBaseListBox& enableMultipleColumns(IBase::Boolean enable = true);
    virtual IBaseListBox& disableMultipleColumns();
    virtual IBaseListBox& enableAnyHeight(IBase::Boolean enable = true);
    virtual IBaseListBox& disableAnyHeight();

    // Message 154 when there is no such item.
    virtual IString itemText(unsigned long index) const;
    // Keeps the item's handle and selection.
    virtual IBaseListBox& setItemText(unsigned long index, const char* text);
    virtual IBaseListBox& setItemText(unsigned long index, const IResourceId& text);
    virtual IString elementAt(const Cursor& cursor) const;
    // Scrolls a newly selected item above the visible ones to the top, and tells the parent
    // that the program changed the selection.
    virtual IBaseListBox& select(unsigned long index, IBase::Boolean select = true);
    virtual IBaseListBox& deselect(unsigned long index);
    virtual IBaseListBox& selectAll();
    virtual IBaseListBox& deselectAll();
    virtual IBase::Boolean isSelected(unsigned long index) const;
    virtual unsigned long numberOfSelections() const;
    // The first selected item, or notFound.
    virtual unsigned long selection() const;
    virtual IBaseListBox& setTop(unsigned long index);
    virtual unsigned long top() const;
    virtual IBaseListBox& setItemHandle(unsigned long index, unsigned long handle);
    virtual unsigned long itemHandle(unsigned long index) const;
    // From the item after `start` (from the first with `first`); notFound when nothing matches.
    virtual unsigned long locateText(const char* text, IBase::Boolean caseSensitive = true,
                                     SearchType search = prefix,
                                     unsigned long start = first) const;
    virtual unsigned long count() const;
    virtual IBase::Boolean isEmpty() const;
    virtual IBaseListBox& setItemHeight(unsigned long height);
    virtual IBaseListBox& setMinimumCharacters(unsigned long characters);
    virtual IBaseListBox& setMinimumRows(unsigned long rows);

    unsigned long itemHeight() const;
    unsigned long minimumCharacters() const;
    unsigned long minimumRows() const;
    IBase::Boolean isMultipleSelect() const;
    IBase::Boolean isExtendedSelect() const;
    IBase::Boolean isOwnerDraw() const;
    IBase::Boolean isAnyHeight() const;
    IBase::Boolean isHorizontalScroll() const;
    IBase::Boolean isDrawItem() const;
    IBase::Boolean isMultipleColumns() const;

    // For cursors: grows with every add and remove of IListBox.
    unsigned long changeCount() const noexcept { return fChangeCount; }
    // The first `wanted` selected indices, in order.
    std::vector<unsigned long> selectedIndices(unsigned long wanted) const;
    // Made by the operations that add and remove items, so that cursors see the change.
    void countChange() noexcept { ++fChangeCount; }

private:
    friend class IBaseListBoxHandler;

    void takeCharge(const IWindowHandle& handle);
    void measureItem(unsigned long index) const;
    bool pageDown();

    unsigned long fChangeCount = 0;
    // Deleted by the destructor, or when a constructor fails.
    std::unique_ptr<IBaseListBoxData> fListData;
};
