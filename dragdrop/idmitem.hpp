// IDMItem: one thing being dragged, in the drag model of types, rendering mechanism and format
// pairs, operations and attributes.
#pragma once

#include <memory>

#include <ipoint.hpp>
#include <irefcnt.hpp>
#include <ireftype.hpp>
#include <istring.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

#include "idmrmf.hpp"

class IDMDragInfoItem;
class IDMImage;
class IDMSourceOperation;
class IDMTargetOperation;
class IWindow;
class IDMSourceRenderEvent;
class IDMSourcePrepareEvent;
class IDMSourceEndEvent;
class IDMSourceDiscardEvent;
class IDMSourcePrintEvent;
class IDMTargetDropEvent;
class IDMTargetEndEvent;

// An item belongs to one operation: its source operation on the side where the drag started,
// its target operation where it is dropped; it holds a reference on that operation. Items are
// always held through Handle. The rendering list is kept expanded (see IDMRMFList): an item
// travels only by a pair that a renderer of its handler serves too; the pairs of the default
// renderers, with a dragged file as the example, are listed in idmrendr.hpp.
//
// A generator (the static generateSourceItems of an item class, which IDMItemFactoryFor calls,
// or a provider's provideSourceItems) makes each source item thus:
//
//     static IBase::Boolean generateSourceItems(IDMSourceOperation* operation)
//     {
//         operation->addRef();  // the reference the new item adopts
//         IDMItem::Handle item(new MyItem(operation, IDMNames::file, IDMItem::copyable));
//         item->setRMFs(IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfText));
//         operation->addItem(item);
//         return true;
//     }
//
// The source constructor takes no reference of its own: each item it makes gives one back when
// it goes, so without the addRef the operation is freed while the drag still uses it.
class OVKWIN_API IDMItem : public IRefCounted {
public:
    using Handle = IReference<IDMItem>;

    static const unsigned long noOperation;
    static const unsigned long copyable;
    static const unsigned long moveable;
    static const unsigned long linkable;
    static const unsigned long noAttribute;
    static const unsigned long open;
    static const unsigned long reference;
    static const unsigned long group;
    static const unsigned long container;
    static const unsigned long prepare;
    static const unsigned long removableMedia;

    // The source side: the caller's reference on the operation passes to the item; take it
    // with operation->addRef() right before (see the generator above).
    IDMItem(IDMSourceOperation* sourceOperation, const IString& types,
            unsigned long supportedOperations = noOperation,
            unsigned long attributes = noAttribute);
    // The target side: an item rebuilt from its drag-information entry; the item takes a
    // reference on the operation.
    IDMItem(IDMTargetOperation* targetOperation, const IDMDragInfoItem& entry);
    IDMItem(const IDMItem& item);
    // As the copy, and when the drag ends in the window where it started, pairs the new item
    // with its source item.
    explicit IDMItem(const Handle& item);
    IDMItem& operator=(const IDMItem& item);
    IDMItem& operator=(const Handle& item);
    ~IDMItem() override;

    IString asString() const override;
    IString asDebugInfo() const override;
    // When only its operation's list is left holding the item, the operation may be held by
    // nothing but its items: it is told, so that the two do not keep each other alive.
    void removeRef() noexcept override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual IWindowHandle sourceWindowHandle() const;
    virtual IWindow* sourceWindow() const;
    virtual IString containerName() const;
    virtual IString sourceName() const;
    virtual IString targetName() const;
    virtual unsigned long attributes() const;
    virtual unsigned long supportedOperations() const;
    virtual IPoint objectOffset() const;
    virtual IBase::Boolean isOpen() const;
    virtual IBase::Boolean isReference() const;
    virtual IBase::Boolean isGroup() const;
    virtual IBase::Boolean isContainer() const;
    virtual IBase::Boolean isRemovableMedia() const;
    virtual IBase::Boolean isPrepareRequired() const;
    virtual IDMItem& setPrepareRequired(IBase::Boolean flag = true);
    virtual IDMItem& setOpen(IBase::Boolean flag = true);
    virtual IDMItem& setReference(IBase::Boolean flag = true);
    virtual IDMItem& setGroup(IBase::Boolean flag = true);
    virtual IDMItem& setContainer(IBase::Boolean flag = true);
    virtual IDMItem& setRemovableMedia(IBase::Boolean flag = true);
    virtual IBase::Boolean isCopyable() const;
    virtual IBase::Boolean isLinkable() const;
    virtual IBase::Boolean isMoveable() const;
    virtual IDMItem& setCopyable(IBase::Boolean flag = true);
    virtual IDMItem& setLinkable(IBase::Boolean flag = true);
    virtual IDMItem& setMoveable(IBase::Boolean flag = true);
    // What the item allows when it travels by the pair: by default what it allows at all.
    virtual unsigned long supportedOperationsFor(const IString& rmf) const;
    virtual IString trueType() const;
    virtual IString types() const;
    // A plain search: a type is also found inside a longer type name.
    virtual IBase::Boolean hasType(const char* type) const;
    virtual IDMItem& setTrueType(const char* type);
    virtual IDMItem& setTypes(const char* types);
    virtual IDMItem& addType(const char* type);
    virtual IDMItem& removeType(const IString& type);
    virtual IString nativeRMF() const;
    virtual IString nativeRenderingMechanism() const;
    virtual IString nativeRenderingFormat() const;
    virtual IString rmfs() const;
    virtual IBase::Boolean supportsRMFs(const IString& rmfs) const;
    virtual IBase::Boolean supportsRMF(const IString& mechanisms, const IString& formats) const;
    virtual IDMItem& setNativeRMF(const IString& rmf);
    virtual IDMItem& setNativeRMF(const IString& mechanism, const IString& format);
    virtual IDMItem& setRMFs(const IString& rmfs);
    virtual IDMItem& addRMFs(const IString& rmfs);
    virtual IDMItem& addRMFs(const IString& mechanisms, const IString& formats);
    virtual IDMItem& removeRMF(const IString& rmf);
    virtual IDMItem& removeRMF(const IString& mechanism, const IString& format);
    // The steps of a transfer, for derived items; the base does nothing and answers false.
    virtual IBase::Boolean sourceRender(IDMSourceRenderEvent& event);
    virtual IBase::Boolean sourcePrepare(IDMSourcePrepareEvent& event);
    virtual IBase::Boolean sourceEnd(IDMSourceEndEvent& event);
    virtual IBase::Boolean sourceDiscard(IDMSourceDiscardEvent& event);
    virtual IBase::Boolean sourcePrint(IDMSourcePrintEvent& event);
    virtual IBase::Boolean targetDrop(IDMTargetDropEvent& event);
    virtual IBase::Boolean targetEnd(IDMTargetEndEvent& event);
    // The item's image, made on first use.
    virtual IDMImage& image();
    virtual IDMItem& setImage(const IDMImage& image);
    virtual IDMSourceOperation* sourceOperation() const;
    virtual IDMTargetOperation* targetOperation() const;
    virtual IString contents() const;
    virtual IBase::Boolean hasContents() const;
    virtual IBase::Boolean setContents(const IString& contents);
    virtual void* object() const;
    virtual IDMItem& setObject(void* object);

    IDMItem& setContainerName(const char* name);
    IDMItem& setSourceName(const char* name);
    IDMItem& setTargetName(const char* name);
    IDMItem& setSourceWindowHandle(const IWindowHandle& handle);
    IDMItem& setObjectOffset(const IPoint& offset);
    // Stores the pair a target asked for; the supported operations become those of that pair.
    IDMItem& setSelectedRMF(const IString& rmf);
    IString selectedRMF() const { return fSelectedRMF; }
    IDMItem& setRendererIndex(unsigned long index);
    unsigned long rendererIndex() const noexcept { return fRendererIndex; }
    unsigned char dropAnswer() const noexcept { return fDropAnswer; }
    IDMItem& setDropAnswer(unsigned char answer);
    IBase::Boolean isPaired() const noexcept { return fPaired != 0; }

    // The item's id in its source operation (0 before it is added to one).
    unsigned long itemId() const noexcept { return fItemId; }
    // The item's entry in the drag information, null before the information is built.
    const IDMDragInfoItem* dragInfoItem() const noexcept { return fDragInfoItem.get(); }
    IDMItem& setDragInfoItem(const IDMDragInfoItem& entry);

    // The default item provider's generator: one item of type "Unknown".
    static IBase::Boolean generateSourceItems(IDMSourceOperation* sourceOperation);
    // On the target side, the source item of the same drag when both windows belong to this
    // process: the current source operation's item whose id the item's entry carries. An empty
    // handle otherwise; never throws.
    static Handle sourceItemFor(const Handle& item);
    // The clipboard format that stands for a type name (0 for none), and the type name of a
    // format: "Text" 1, "Bitmap" 2, "File" 15; other names are registered formats.
    static long formatForType(const IString& type);
    static IString typeForFormat(unsigned short format);
    // The contents when they can serve as a name: 1 to 255 characters, no zero among them.
    IString contentsAsName() const;

    // The syntax of rendering lists (see IDMRMFList).
    static IString nextToken(const IString& list, unsigned long& position) {
        return IDMRMFList::nextToken(list, position);
    }
    static IString expandRMFs(const IString& list) { return IDMRMFList::expandRMFs(list); }
    static IString compressRMFs(const IString& list) { return IDMRMFList::compressRMFs(list); }
    static IString rmfsFrom(const IString& mechanisms, const IString& formats) {
        return IDMRMFList::rmfsFrom(mechanisms, formats);
    }
    static IString rmfFrom(const IString& mechanism, const IString& format) {
        return IDMRMFList::rmfFrom(mechanism, format);
    }
    static IString& appendEntry(IString& list, const IString& entry) {
        return IDMRMFList::appendEntry(list, entry);
    }
    static IString matchingRMFs(const IString& list, const IString& wanted,
                                IBase::Boolean firstOnly = false) {
        return IDMRMFList::matchingRMFs(list, wanted, firstOnly);
    }
    static IString removeEntry(const IString& list, const IString& entry) {
        return IDMRMFList::removeEntry(list, entry);
    }
    static IString firstMechanism(const IString& list) { return IDMRMFList::firstMechanism(list); }
    static IString firstFormat(const IString& list) { return IDMRMFList::firstFormat(list); }

private:
    friend class IDMOperation;

    void copyFrom(const IDMItem& other);
    IDMItem& setFlag(unsigned long& word, unsigned long bit, IBase::Boolean on);
    void pairWithSource(const Handle& item);

    IString fContents;
    unsigned long fSupportedOperations;
    unsigned long fAttributes;
    IWindowHandle fSourceWindow;
    std::unique_ptr<IDMImage> fImage;
    IPoint fObjectOffset{0, 0};
    IString fContainerName;
    IString fSourceName;
    IString fTargetName;
    IString fTypes;
    IString fRMFs;
    IString fSelectedRMF;
    IDMSourceOperation* fSourceOperation = nullptr;
    IDMTargetOperation* fTargetOperation = nullptr;
    unsigned long fRendererIndex = 0;
    unsigned char fDropAnswer = 0;
    void* fObject = nullptr;
    unsigned long fPaired = 0;
    unsigned long fItemId = 0;
    std::unique_ptr<IDMDragInfoItem> fDragInfoItem;
};
