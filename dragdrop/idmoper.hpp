// IDMOperation and its source and target sides: the record of one drag as each side sees it,
// with the items being dragged.
#pragma once

#include <memory>

#include <ipoint.hpp>
#include <irefcnt.hpp>
#include <ireftype.hpp>
#include <istring.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

class ICnrCtl;
class ICnrObj;
class IDMImage;
class IDMItem;
class IDMSourceBeginEvent;
class IDMSourceOperationData;
class IDMTargetEnterEvent;
class IDMTargetEvent;
class IDragInfoWrapper;
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
    // The begin flag and the position of the event.
    explicit IDMOperation(IDMSourceBeginEvent& event);
    IDMOperation(const IDMOperation&) = delete;
    IDMOperation& operator=(const IDMOperation&) = delete;
    ~IDMOperation() override;

    IString asString() const override;
    IString asDebugInfo() const override;
    // Each item holds a reference on its operation while the operation holds the item: when
    // only those references are left, the operation lets its items go, and they it.
    void removeRef() noexcept override;
    // The same check, for an item whose last holder outside the list has let it go.
    void releaseItemsIfOnlyTheyHold() noexcept;

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

    // On a container: the object dragged (source) or under the pointer (target).
    ICnrObj* containerObject() const noexcept { return fContainerObject; }
    IDMOperation& setContainerObject(ICnrObj* object);
    // Suspends the container's refresh until the operation is destroyed, which switches it
    // on again (and refreshes the container after a drop or a move). A container destroyed in
    // the meantime is left alone.
    IDMOperation& setContainer(ICnrCtl* container);
    IDMOperation& setRefreshAfterMove(IBase::Boolean refresh = true);
    IBase::Boolean isRefreshAfterMove() const noexcept { return fRefreshAfterMove; }
    // The drag information: made by the source when the drag begins, read by the target from
    // the data object. Null before.
    IDragInfoWrapper* dragInfo() const noexcept { return fDragInfo.get(); }
    IDMOperation& setDragInfo(std::unique_ptr<IDragInfoWrapper> info);

protected:
    // Switches the container's refresh back on (and repaints it) once the drag is done with it.
    void restoreContainerRefresh() noexcept;

private:
    void checkPosition(unsigned long position, const char* function) const;
    void giveId(const ItemHandle& item);
    unsigned long referencesFromOwnItems() const noexcept;

    struct Items;
    unsigned long fOperation;
    IWindowHandle fSourceWindow;
    IWindowHandle fTargetWindow;
    IBase::Boolean fBeginFlag = false;
    IPoint fPosition{0, 0};
    unsigned long fLastItemId = 0;
    Items* fItems = nullptr;
    ICnrObj* fContainerObject = nullptr;
    // The container is found again by its handle, so that one destroyed meanwhile is not used.
    IWindowHandle fContainer;
    // Whether the application had the container's refresh off itself when it was taken: then
    // the end of the drag leaves it off, as the application left it.
    IBase::Boolean fContainerRefreshHeld = false;
    IBase::Boolean fRefreshAfterMove = true;
    std::unique_ptr<IDragInfoWrapper> fDragInfo;
    IBase::Boolean fReleasingItems = false;
};

// The operation of the window where a drag starts. The library keeps one current source
// operation while a drag lasts.
class OVKWIN_API IDMSourceOperation : public IDMOperation {
public:
    explicit IDMSourceOperation(const IWindowHandle& sourceWindow = IWindowHandle());
    // For the drag-start event, the event's window is the source window.
    IDMSourceOperation(IDMSourceBeginEvent& event, IBase::Boolean stackAllImages = false);
    ~IDMSourceOperation() override;

    static void setCurrentSourceOperation(const IReference<IDMSourceOperation>& operation);
    static IReference<IDMSourceOperation> currentSourceOperation();

    // Offers the items' formats and the drag information to OLE and runs its drag loop; returns
    // when the drag has ended. Nothing starts without items or when the data object cannot be
    // made. What a handler let go during the drag is thrown from here.
    virtual IDMSourceOperation& begin();

    // Without it, the drag image shows the first three items' images and a pointer for the
    // rest; with it, every item's.
    virtual IBase::Boolean stackAllImages() const { return fStackAllImages; }
    virtual IDMSourceOperation& setStackAllImages(IBase::Boolean stackAll = true);
    // The share of each image (percent per axis) that adds to the accumulated offset.
    virtual IDMSourceOperation& setOffsetPercentage(const ISize& percentage);
    virtual IPoint offset() const { return fOffset; }
    virtual IDMSourceOperation& setOffset(const IPoint& offset);

    ISize offsetPercentage() const { return fOffsetPercentage; }
    IPoint accumulatedOffset() const { return fAccumulatedOffset; }
    // Adds the image's offset and size, scaled by the percentage, to the accumulated offset
    // (an image without a bitmap adds nothing).
    IDMSourceOperation& accumulateImageOffset(IDMImage& image);

    // The items' images stacked into one: the image to drag and the pointer's place in it, and
    // the number of images stacked (0: no drag image). Exposed for those who check a drag.
    unsigned long composeImage(IDMImage& image, IPoint& hotSpot);

private:
    IPoint fOffset{0, 0};
    IPoint fAccumulatedOffset{0, 0};
    IBase::Boolean fStackAllImages = false;
    ISize fOffsetPercentage{50, 50};
    IDMSourceOperationData* fData;
};

// The operation of a window that a drag is over.
class OVKWIN_API IDMTargetOperation : public IDMOperation {
public:
    explicit IDMTargetOperation(const IWindowHandle& targetWindow = IWindowHandle());
    // Filled from the drag information of the event's data object: the source window, the
    // position, and one item per entry; the operation starts as move.
    explicit IDMTargetOperation(IDMTargetEnterEvent& event);
    ~IDMTargetOperation() override;

    static void setCurrentTargetOperation(const IReference<IDMTargetOperation>& operation);
    static IReference<IDMTargetOperation> currentTargetOperation();
    // Brings the current target operation up to date from a drag over a container; answers it
    // (empty when there is none).
    static IReference<IDMTargetOperation> updateTargetOperation(IDMTargetEvent& event);

    // Set while the default target renderer's types have not yet been narrowed for this drag.
    virtual unsigned long rendererTypesFlag() const { return fRendererTypes; }
    IDMTargetOperation& clearRendererTypesFlag();
    // Narrows the default target renderer to the types once for this drag; the types it had
    // come back when the operation stops being the current one, or ends.
    IDMTargetOperation& narrowRendererTypes(const char* types);

    // Non-zero when the pointer is over a container object.
    unsigned long dropOnObject() const noexcept { return fDropOnObject; }
    // Bits 1 (at the pointer), 2, 4 and 8 (placement of the next dropped object).
    unsigned char dropStyle() const noexcept { return fDropStyle; }
    IDMTargetOperation& setDropStyle(unsigned char style);
    IBase::Boolean hasDropStyle(unsigned char bits) const noexcept
    {
        return (fDropStyle & bits) == bits;
    }
    IPoint dropPosition() const { return fDropPosition; }
    IDMTargetOperation& setDropPosition(const IPoint& position);
    // Where the item goes in the target container's workspace: at the pointer (drop style
    // bit 1), or one object further than the last one placed, down a column (bit 2) or along a
    // row, wrapping at the viewport's edge (bit 4; with bit 8 a whole object must fit before
    // it). The pointer position and the item's offset start the placement. (0, 0) without a
    // container.
    IPoint dropPositionFor(const IDMItem::Handle& item);

private:
    void takeContainerState(IDMTargetEvent& event);
    void restoreRendererTypes() noexcept;

    unsigned long fDropOnObject = 0;
    IPoint fDropPosition{0, 0};
    unsigned char fDropStyle = 0;
    unsigned long fRendererTypes = 1;
    // What the narrowing replaced, and what it set.
    IString fTypesBeforeNarrowing;
    IString fNarrowedTypes;
};
