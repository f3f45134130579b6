// IDMOperation and its source and target sides: the record of one drag as each side sees it,
// with the items being dragged.
#pragma once

#include <ipoint.hpp>
#include <irefcnt.hpp>
#include <ireftype.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

class IDMItem;
class IWindow;

// Counted: held through IReference. Items are held through their handles, positions from 1.
// Each item added gets an id of its own, a small number given per operation: the drag
// information carries it to the target, and a target in the same process finds the source item
// by it among the current source operation's items. No address ever travels.
class OVKWIN_API IDMOperation : public IRefCounted {
public:
    using ItemHandle = IReference<IDMItem>;

    static const unsigned long copy;
    static const unsigned long move;
    static const unsigned long link;
    static const unsigned long drag;
    static const unsigned long unknown;

    IDMOperation();
    IDMOperation(const IDMOperation&) = delete;
    IDMOperation& operator=(const IDMOperation&) = delete;
    ~IDMOperation() override;

    IString asString() const override;
    IString asDebugInfo() const override;

    virtual unsigned long operation() const;
    virtual IDMOperation& setOperation(unsigned long operation);
    virtual IPoint position() const;
    virtual IDMOperation& setPosition(const IPoint& position);
    virtual IBase::Boolean beginFlag() const;
    virtual IDMOperation& setBeginFlag(IBase::Boolean flag);
    virtual IWindowHandle sourceWindowHandle() const;
    virtual IWindowHandle targetWindowHandle() const;
    // The window objects of the handles, looked up in every thread; null when there is none.
    virtual IWindow* sourceWindow() const;
    virtual IWindow* targetWindow() const;
    virtual IDMOperation& setSourceWindowHandle(const IWindowHandle& handle);
    virtual IDMOperation& setTargetWindowHandle(const IWindowHandle& handle);

    unsigned long numberOfItems() const;
    // Message 161 for a position outside 1 to the count.
    ItemHandle item(unsigned long position) const;
    IDMOperation& addItem(const ItemHandle& item);
    IDMOperation& removeItem(unsigned long position);
    IDMOperation& removeItem(const ItemHandle& item);
    IDMOperation& replaceItem(unsigned long position, const ItemHandle& item);
    // The item with the id; an empty handle when none has it.
    ItemHandle itemWithId(unsigned long id) const;

private:
    void checkPosition(unsigned long position, const char* function) const;
    void giveId(const ItemHandle& item);

    struct Items;
    unsigned long fOperation;
    IWindowHandle fSourceWindow;
    IWindowHandle fTargetWindow;
    IBase::Boolean fBeginFlag = false;
    IPoint fPosition{0, 0};
    unsigned long fLastItemId = 0;
    Items* fItems = nullptr;
};

// The operation of the window where a drag starts. The library keeps one current source
// operation while a drag lasts.
class OVKWIN_API IDMSourceOperation : public IDMOperation {
public:
    explicit IDMSourceOperation(const IWindowHandle& sourceWindow = IWindowHandle());
    ~IDMSourceOperation() override;

    static void setCurrentSourceOperation(const IReference<IDMSourceOperation>& operation);
    static IReference<IDMSourceOperation> currentSourceOperation();
};

// The operation of a window that a drag is over.
class OVKWIN_API IDMTargetOperation : public IDMOperation {
public:
    explicit IDMTargetOperation(const IWindowHandle& targetWindow = IWindowHandle());
    ~IDMTargetOperation() override;

    static void setCurrentTargetOperation(const IReference<IDMTargetOperation>& operation);
    static IReference<IDMTargetOperation> currentTargetOperation();
};
