// The drag items of the library's own controls: text of entry fields and multi-line edits,
// menu items, tool bar buttons and drops on a tool bar itself. All travel only inside the
// process.
#pragma once

#include <idefs.hpp>

#include "idmitem.hpp"

class IToolBar;
class IToolBarButton;

class OVKWIN_API IDMEntryFieldItem : public IDMItem {
public:
    explicit IDMEntryFieldItem(IDMSourceOperation* operation);
    explicit IDMEntryFieldItem(const IDMItem::Handle& item);
    // The dragged text.
    void* object() const override;
    // After a move, the text leaves the source control.
    IBase::Boolean sourceEnd(IDMSourceEndEvent& event) override;
    // The text becomes the entry field's whole text.
    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override;
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation);

private:
    void wipeCopies() noexcept;

    mutable IString fText;
    // Set by a target item of this process that put the text into a password field.
    bool fWipeAtEnd = false;
};

class OVKWIN_API IDMMultiLineEditItem : public IDMEntryFieldItem {
public:
    explicit IDMMultiLineEditItem(IDMSourceOperation* operation);
    explicit IDMMultiLineEditItem(const IDMItem::Handle& item);
    // The text replaces the edit's selection.
    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override;
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation);
};

class OVKWIN_API IDMMenuItemItem : public IDMItem {
public:
    explicit IDMMenuItemItem(IDMSourceOperation* operation);
    explicit IDMMenuItemItem(const IDMItem::Handle& item);
    unsigned long supportedOperationsFor(const IString& rmf) const override;
    IBase::Boolean sourceEnd(IDMSourceEndEvent& event) override;
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation);
};

class OVKWIN_API IDMToolBarButtonItem : public IDMItem {
public:
    explicit IDMToolBarButtonItem(IDMSourceOperation* operation);
    explicit IDMToolBarButtonItem(const IDMItem::Handle& item);
    // Over the file pair a button can only be copied.
    unsigned long supportedOperationsFor(const IString& rmf) const override;
    // The shredder: the button leaves its tool bar and its window is destroyed.
    IBase::Boolean sourceDiscard(IDMSourceDiscardEvent& event) override;
    // Dropped on a button: before it on its left (upper) half, after it on the other.
    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override;
    virtual IToolBar* sourceToolBar() const;
    virtual IToolBar* targetToolBar() const;
    virtual IToolBarButton* toolBarButton() const;
    virtual IWindow* referenceWindow() const;
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation);
};

// A drop on the tool bar itself: buttons and menu items go to the end of its list.
class OVKWIN_API IDMToolBarItem : public IDMToolBarButtonItem {
public:
    explicit IDMToolBarItem(const IDMItem::Handle& item) : IDMToolBarButtonItem(item) {}
    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override;
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation)
    {
        return IDMItem::generateSourceItems(operation);
    }
};
