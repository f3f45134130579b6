// IBaseComboBox: the combo box on the native "ComboBox" class in its simple, drop-down and
// read-only drop-down kinds: the entry field's text operations on its text field and the list
// box's item operations on its list.
#pragma once

#include <memory>

#include <vector>

#include <idefs.hpp>

#include "ientryfd.hpp"
#include "ilistcur.hpp"

struct IBaseComboBoxData;

// The inner edit window is subclassed so that Enter, Esc, Tab and the Alt keys typed in the
// text reach the owner; the list window is marked so that it leads back to its combo box.
class OVKWIN_API IBaseComboBox : public IEntryField {
public:
    enum ComboType { simple = 0, dropDown = 1, readOnlyDropDown = 2 };
    enum SearchType { prefix = 0, substring = 1, exactMatch = 2 };
    static const unsigned long notFound;
    static const unsigned long first;

    using Style = IWindowClassStyle<IBaseComboBox>;
    static const Style simpleType;
    static const Style dropDownType;
    static const Style readOnlyDropDownType;
    static const Style _horizontalScroll;
    static const Style _oemConvert;
    static const Style _autoScroll;
    static const Style _border3D;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    static const char* const selectId;
    static const char* const enterId;

    class OVKWIN_API Cursor : public IListItemCursor<IBaseComboBox> {
    public:
        explicit Cursor(const IBaseComboBox& box, FilterType filter = selectedItems)
            : IListItemCursor(box, filter) {}
    };

    // The style must name one of the three kinds.
    IBaseComboBox(unsigned long id, IWindow* parent, IWindow* owner,
                  const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IBaseComboBox(unsigned long id, IWindow* parent);
    explicit IBaseComboBox(const IWindowHandle& handle);
    ~IBaseComboBox() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // A drop-down kind's rectangle is that of its dropped list.
    IRectangle nativeRect() const override;
    // The text field has the focus, not the combo box's own window.
    IBase::Boolean hasFocus() const override;
    // The room that a dropped list needs below the field.
    IRectangle layoutAdjustment() const override;
    IRectangle visibleRectangle() const override;
    // A drop-down kind's minimum height is that of its closed field, which the native control
    // keeps and sets from the font; a layout gives the dropped list the room below it.
    ISize calcMinimumSize() const override;
    // The native combo box cannot change its alignment: message 2.
    IEntryField& setAlignment(Alignment alignment) override;
    IEntryField& setLimit(unsigned long limit) override;
    IEntryField& setLimit(const IResourceId& limit) override;
    unsigned long limit() const override;

    // Nothing for the simple kind, whose list always shows.
    virtual IBaseComboBox& showList(IBase::Boolean show = true);
    virtual IBaseComboBox& hideList();
    virtual IString itemText(unsigned long index) const;
    virtual IBaseComboBox& setItemText(unsigned long index, const char* text,
                                       IBase::Boolean reserved = true);
    virtual IBaseComboBox& setItemText(unsigned long index, const IResourceId& text);
    virtual IString elementAt(const Cursor& cursor) const;
    virtual IBaseComboBox& select(unsigned long index, IBase::Boolean select = true);
    virtual IBaseComboBox& deselect(unsigned long index);
    virtual IBaseComboBox& deselectAll();
    virtual IBase::Boolean isSelected(unsigned long index) const;
    virtual unsigned long numberOfSelections() const;
    virtual unsigned long selection() const;
    virtual IBaseComboBox& setTop(unsigned long index);
    virtual unsigned long top() const;
    virtual IBaseComboBox& setItemHandle(unsigned long index, unsigned long handle);
    virtual unsigned long itemHandle(unsigned long index) const;
    virtual unsigned long locateText(const char* text, IBase::Boolean caseSensitive = true,
                                     SearchType search = prefix,
                                     unsigned long start = first) const;
    virtual unsigned long count() const;
    virtual IBase::Boolean isEmpty() const;
    virtual IBaseComboBox& setMinimumRows(unsigned long rows);

    ComboType comboType() const;
    IBase::Boolean isListShowing() const;
    IBase::Boolean isHorizontalScroll() const;
    unsigned long minimumRows() const;
    // The text field (none for the read-only drop-down kind) and the list window.
    IWindowHandle editHandle() const;
    IWindowHandle listHandle() const;
    // The library's combo box whose list a window is; null for any other window.
    static IBaseComboBox* comboBoxWithList(const IWindowHandle& list);

    unsigned long changeCount() const noexcept { return fChangeCount; }
    std::vector<unsigned long> selectedIndices(unsigned long wanted) const;
    // Made by the operations that add and remove items, so that cursors see the change.
    void countChange() noexcept { ++fChangeCount; }

private:
    friend class IBaseComboBoxHandler;
    friend struct IBaseComboBoxEdit;

    void checkKind(const Style& style) const;
    long closedHeight() const;
    void takeInnerWindows(const Style& style, const char* function, unsigned long line);

    unsigned long fChangeCount = 0;
    // Deleted by the destructor, or when a constructor fails.
    std::unique_ptr<IBaseComboBoxData> fComboData;
};
