// The drag item.
#include <windows.h>

#include <iwindow.hpp>

#include "idmdinfo.hpp"
#include "idmimage.hpp"
#include "idmitem.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"

const unsigned long IDMItem::noOperation = 0;
const unsigned long IDMItem::copyable = 1;
const unsigned long IDMItem::moveable = 2;
const unsigned long IDMItem::linkable = 4;
const unsigned long IDMItem::noAttribute = 0;
const unsigned long IDMItem::open = 1;
const unsigned long IDMItem::reference = 2;
const unsigned long IDMItem::group = 4;
const unsigned long IDMItem::container = 8;
const unsigned long IDMItem::prepare = 0x10;
const unsigned long IDMItem::removableMedia = 0x20;

namespace {

// The operation an item holds a reference on: its source operation, else its target operation.
IDMOperation* owningOperation(IDMSourceOperation* source, IDMTargetOperation* target)
{
    return source ? static_cast<IDMOperation*>(source) : static_cast<IDMOperation*>(target);
}

// The process of a window; 0 when the window is gone.
DWORD processOf(HWND window)
{
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process))
        return 0;
    return process;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

IDMItem::IDMItem(IDMSourceOperation* sourceOperation, const IString& types,
                 unsigned long supportedOperations, unsigned long attributes)
    : fSupportedOperations(supportedOperations), fAttributes(attributes), fTypes(types),
      fSourceOperation(sourceOperation)
{
    if (sourceOperation)
        fSourceWindow = sourceOperation->sourceWindowHandle();
}

IDMItem::IDMItem(IDMTargetOperation* targetOperation, const IDMDragInfoItem& entry)
    : fSupportedOperations(entry.supportedOperations), fAttributes(entry.control),
      // A window handle travels as its 32 significant bits.
      fSourceWindow(static_cast<HWND>(LongToHandle(static_cast<LONG>(entry.itemWindow)))),
      fObjectOffset(entry.offsetX, entry.offsetY), fContainerName(entry.containerName),
      fSourceName(entry.sourceName), fTargetName(entry.targetName), fTypes(entry.types),
      fRMFs(IDMRMFList::expandRMFs(entry.rmfs)), fTargetOperation(targetOperation),
      fDragInfoItem(std::make_unique<IDMDragInfoItem>(entry))
{
    if (targetOperation)
        targetOperation->addRef();
}

IDMItem::IDMItem(const IDMItem& item) : IRefCounted()
{
    copyFrom(item);
}

IDMItem::IDMItem(const Handle& item) : IRefCounted()
{
    copyFrom(*item);
    pairWithSource(item);
}

IDMItem& IDMItem::operator=(const IDMItem& item)
{
    if (this != &item) {
        IDMOperation* old = owningOperation(fSourceOperation, fTargetOperation);
        copyFrom(item);
        if (old)
            old->removeRef();
    }
    return *this;
}

IDMItem& IDMItem::operator=(const Handle& item)
{
    return *this = *item;
}

IDMItem::~IDMItem()
{
    if (fSourceOperation)
        fSourceOperation->removeRef();
    if (fTargetOperation)
        fTargetOperation->removeRef();
}

void IDMItem::copyFrom(const IDMItem& other)
{
    fContents = other.fContents;
    fSupportedOperations = other.fSupportedOperations;
    fAttributes = other.fAttributes;
    fSourceWindow = other.fSourceWindow;
    fImage = other.fImage ? std::make_unique<IDMImage>(*other.fImage) : nullptr;
    fObjectOffset = other.fObjectOffset;
    fContainerName = other.fContainerName;
    fSourceName = other.fSourceName;
    fTargetName = other.fTargetName;
    fTypes = other.fTypes;
    fRMFs = other.fRMFs;
    fSelectedRMF = other.fSelectedRMF;
    fSourceOperation = other.fSourceOperation;
    fTargetOperation = other.fTargetOperation;
    fRendererIndex = other.fRendererIndex;
    fDropAnswer = other.fDropAnswer;
    fObject = other.fObject;
    fPaired = other.fPaired;
    fItemId = other.fItemId;
    fDragInfoItem = other.fDragInfoItem ? std::make_unique<IDMDragInfoItem>(*other.fDragInfoItem)
                                        : nullptr;
    if (IDMOperation* operation = owningOperation(fSourceOperation, fTargetOperation))
        operation->addRef();
}

// A drag that ends in the window where it started joins the target item to its source item.
void IDMItem::pairWithSource(const Handle& item)
{
    if (!fTargetOperation ||
        fTargetOperation->sourceWindowHandle() != fTargetOperation->targetWindowHandle())
        return;
    Handle source = sourceItemFor(item);
    if (!source)
        return;
    fPaired = 1;
    source->fPaired = 1;
}

void IDMItem::removeRef() noexcept
{
    const unsigned long before = useCount();
    IDMOperation* operation = owningOperation(fSourceOperation, fTargetOperation);
    IRefCounted::removeRef();
    // Nothing of the item is touched from here: the operation may delete it.
    if (before == 2 && operation)
        operation->releaseItemsIfOnlyTheyHold();
}

IString IDMItem::asString() const
{
    return IString("IDMItem(") + fTypes + ")";
}

IString IDMItem::asDebugInfo() const
{
    return IString("IDMItem(types=") + fTypes + ",rmfs=" + fRMFs +
           ",operations=" + IString(fSupportedOperations) + ",attributes=" +
           IString(fAttributes) + ",id=" + IString(fItemId) + ")";
}

// ---------------------------------------------------------------------------------------------
// Names, attributes and operations

IWindowHandle IDMItem::sourceWindowHandle() const { return fSourceWindow; }
IWindow* IDMItem::sourceWindow() const { return IWindow::windowWithHandle(fSourceWindow, true); }
IString IDMItem::containerName() const { return fContainerName; }
IString IDMItem::sourceName() const { return fSourceName; }
IString IDMItem::targetName() const { return fTargetName; }
unsigned long IDMItem::attributes() const { return fAttributes; }
unsigned long IDMItem::supportedOperations() const { return fSupportedOperations; }
IPoint IDMItem::objectOffset() const { return fObjectOffset; }

IBase::Boolean IDMItem::isOpen() const { return (attributes() & open) != 0; }
IBase::Boolean IDMItem::isReference() const { return (attributes() & reference) != 0; }
IBase::Boolean IDMItem::isGroup() const { return (attributes() & group) != 0; }
IBase::Boolean IDMItem::isContainer() const { return (attributes() & container) != 0; }
IBase::Boolean IDMItem::isRemovableMedia() const { return (attributes() & removableMedia) != 0; }
IBase::Boolean IDMItem::isPrepareRequired() const { return (attributes() & prepare) != 0; }

IDMItem& IDMItem::setFlag(unsigned long& word, unsigned long bit, IBase::Boolean on)
{
    word = on ? (word | bit) : (word & ~bit);
    return *this;
}

IDMItem& IDMItem::setPrepareRequired(IBase::Boolean flag)
{
    return setFlag(fAttributes, prepare, flag);
}
IDMItem& IDMItem::setOpen(IBase::Boolean flag) { return setFlag(fAttributes, open, flag); }
IDMItem& IDMItem::setReference(IBase::Boolean flag)
{
    return setFlag(fAttributes, reference, flag);
}
IDMItem& IDMItem::setGroup(IBase::Boolean flag) { return setFlag(fAttributes, group, flag); }
IDMItem& IDMItem::setContainer(IBase::Boolean flag)
{
    return setFlag(fAttributes, container, flag);
}
IDMItem& IDMItem::setRemovableMedia(IBase::Boolean flag)
{
    return setFlag(fAttributes, removableMedia, flag);
}

IBase::Boolean IDMItem::isCopyable() const { return (supportedOperations() & copyable) != 0; }
IBase::Boolean IDMItem::isLinkable() const { return (supportedOperations() & linkable) != 0; }
IBase::Boolean IDMItem::isMoveable() const { return (supportedOperations() & moveable) != 0; }
IDMItem& IDMItem::setCopyable(IBase::Boolean flag)
{
    return setFlag(fSupportedOperations, copyable, flag);
}
IDMItem& IDMItem::setLinkable(IBase::Boolean flag)
{
    return setFlag(fSupportedOperations, linkable, flag);
}
IDMItem& IDMItem::setMoveable(IBase::Boolean flag)
{
    return setFlag(fSupportedOperations, moveable, flag);
}

unsigned long IDMItem::supportedOperationsFor(const IString&) const
{
    return supportedOperations();
}

// ---------------------------------------------------------------------------------------------
// Types

IString IDMItem::trueType() const
{
    const std::size_t comma = fTypes.indexOf(',');
    return comma ? fTypes.subString(1, comma - 1) : fTypes;
}

IString IDMItem::types() const { return fTypes; }

IBase::Boolean IDMItem::hasType(const char* type) const
{
    return type && fTypes.indexOf(type) != 0;
}

IDMItem& IDMItem::setTrueType(const char* type)
{
    if (fTypes.isEmpty())
        fTypes = type;
    else
        fTypes.change(trueType(), IString(type), 1, 1);
    return *this;
}

IDMItem& IDMItem::setTypes(const char* types)
{
    fTypes = types;
    return *this;
}

IDMItem& IDMItem::addType(const char* type)
{
    IDMRMFList::appendEntry(fTypes, type);
    return *this;
}

IDMItem& IDMItem::removeType(const IString& type)
{
    return setTypes(IDMRMFList::removeEntry(fTypes, type));
}

// ---------------------------------------------------------------------------------------------
// Rendering pairs

IString IDMItem::nativeRMF() const
{
    return IDMRMFList::rmfFrom(nativeRenderingMechanism(), nativeRenderingFormat());
}

IString IDMItem::nativeRenderingMechanism() const { return IDMRMFList::firstMechanism(fRMFs); }
IString IDMItem::nativeRenderingFormat() const { return IDMRMFList::firstFormat(fRMFs); }
IString IDMItem::rmfs() const { return fRMFs; }

IBase::Boolean IDMItem::supportsRMFs(const IString& rmfs) const
{
    return !IDMRMFList::matchingRMFs(IDMRMFList::expandRMFs(rmfs), fRMFs, true).isEmpty();
}

IBase::Boolean IDMItem::supportsRMF(const IString& mechanisms, const IString& formats) const
{
    return !IDMRMFList::matchingRMFs(IDMRMFList::rmfsFrom(mechanisms, formats), fRMFs, true)
                .isEmpty();
}

IDMItem& IDMItem::setNativeRMF(const IString& rmf)
{
    if (rmf.isEmpty())
        return *this;
    if (fRMFs.isEmpty())
        fRMFs = rmf;
    else
        fRMFs.change(nativeRMF(), rmf, 1, 1);
    return *this;
}

IDMItem& IDMItem::setNativeRMF(const IString& mechanism, const IString& format)
{
    return setNativeRMF(IDMRMFList::rmfFrom(mechanism, format));
}

IDMItem& IDMItem::setRMFs(const IString& rmfs)
{
    fRMFs = IDMRMFList::expandRMFs(rmfs);
    return *this;
}

IDMItem& IDMItem::addRMFs(const IString& rmfs)
{
    IDMRMFList::appendEntry(fRMFs, IDMRMFList::expandRMFs(rmfs));
    return *this;
}

IDMItem& IDMItem::addRMFs(const IString& mechanisms, const IString& formats)
{
    IDMRMFList::appendEntry(fRMFs, IDMRMFList::rmfsFrom(mechanisms, formats));
    return *this;
}

IDMItem& IDMItem::removeRMF(const IString& rmf)
{
    return setRMFs(IDMRMFList::removeEntry(fRMFs, rmf));
}

IDMItem& IDMItem::removeRMF(const IString& mechanism, const IString& format)
{
    return removeRMF(IDMRMFList::rmfFrom(mechanism, format));
}

// ---------------------------------------------------------------------------------------------
// Transfer steps, image, contents

IBase::Boolean IDMItem::sourceRender(IDMSourceRenderEvent&) { return false; }
IBase::Boolean IDMItem::sourcePrepare(IDMSourcePrepareEvent&) { return false; }
IBase::Boolean IDMItem::sourceEnd(IDMSourceEndEvent&) { return false; }
IBase::Boolean IDMItem::sourceDiscard(IDMSourceDiscardEvent&) { return false; }
IBase::Boolean IDMItem::sourcePrint(IDMSourcePrintEvent&) { return false; }
IBase::Boolean IDMItem::targetDrop(IDMTargetDropEvent&) { return false; }
IBase::Boolean IDMItem::targetEnd(IDMTargetEndEvent&) { return false; }

IDMImage& IDMItem::image()
{
    if (!fImage)
        fImage = std::make_unique<IDMImage>();
    return *fImage;
}

IDMItem& IDMItem::setImage(const IDMImage& image)
{
    this->image() = image;
    return *this;
}

IDMSourceOperation* IDMItem::sourceOperation() const { return fSourceOperation; }
IDMTargetOperation* IDMItem::targetOperation() const { return fTargetOperation; }
IString IDMItem::contents() const { return fContents; }
IBase::Boolean IDMItem::hasContents() const { return !contents().isEmpty(); }

IBase::Boolean IDMItem::setContents(const IString& contents)
{
    fContents = contents;
    return true;
}

void* IDMItem::object() const { return fObject; }

IDMItem& IDMItem::setObject(void* object)
{
    fObject = object;
    return *this;
}

IDMItem& IDMItem::setContainerName(const char* name) { fContainerName = name; return *this; }
IDMItem& IDMItem::setSourceName(const char* name) { fSourceName = name; return *this; }
IDMItem& IDMItem::setTargetName(const char* name) { fTargetName = name; return *this; }
IDMItem& IDMItem::setSourceWindowHandle(const IWindowHandle& handle)
{
    fSourceWindow = handle; return *this;
}
IDMItem& IDMItem::setObjectOffset(const IPoint& offset) { fObjectOffset = offset; return *this; }
IDMItem& IDMItem::setRendererIndex(unsigned long index) { fRendererIndex = index; return *this; }
IDMItem& IDMItem::setDropAnswer(unsigned char answer) { fDropAnswer = answer; return *this; }

IDMItem& IDMItem::setSelectedRMF(const IString& rmf)
{
    fSelectedRMF = rmf;
    fSupportedOperations = supportedOperationsFor(rmf);
    return *this;
}

IDMItem& IDMItem::setDragInfoItem(const IDMDragInfoItem& entry)
{
    fDragInfoItem = std::make_unique<IDMDragInfoItem>(entry);
    return *this;
}

IString IDMItem::contentsAsName() const
{
    const IString text = contents();
    if (text.length() < 1 || text.length() > 255 || text.indexOf('\0') != 0)
        return IString();
    return text;
}

// ---------------------------------------------------------------------------------------------
// Statics

IBase::Boolean IDMItem::generateSourceItems(IDMSourceOperation* sourceOperation)
{
    if (sourceOperation)
        sourceOperation->addRef();
    Handle item(new IDMItem(sourceOperation, IDMNames::unknown, noOperation, noAttribute));
    if (sourceOperation)
        sourceOperation->addItem(item);
    return true;
}

IDMItem::Handle IDMItem::sourceItemFor(const Handle& item)
{
    if (!item || item->sourceOperation() || !item->targetOperation())
        return Handle();
    const DWORD sourceProcess = processOf(item->sourceWindowHandle());
    const DWORD targetProcess = processOf(item->targetOperation()->targetWindowHandle());
    if (!sourceProcess || !targetProcess || sourceProcess != targetProcess)
        return Handle();
    const IDMDragInfoItem* entry = item->dragInfoItem();
    const IReference<IDMSourceOperation> source = IDMSourceOperation::currentSourceOperation();
    if (!entry || !source)
        return Handle();
    return source->itemWithId(entry->itemId);
}

long IDMItem::formatForType(const IString& type)
{
    if (type.isEmpty())
        return 0;
    UINT format = 0;
    if (type == IDMNames::text)
        format = CF_TEXT;
    else if (type == IDMNames::bitmap)
        format = CF_BITMAP;
    else if (type == IDMNames::file)
        format = CF_HDROP;
    else
        format = RegisterClipboardFormatA(type);
    // The drag information keeps formats as signed 16-bit values.
    return static_cast<short>(format);
}

IString IDMItem::typeForFormat(unsigned short format)
{
    switch (format) {
    case CF_TEXT:
    case CF_OEMTEXT:
        return IDMNames::text;
    case CF_BITMAP:
        return IDMNames::bitmap;
    case CF_HDROP:
        return IDMNames::file;
    default: {
        char name[50] = {};
        if (!GetClipboardFormatNameA(format, name, sizeof name))
            return IDMNames::unknown;
        return IString(name);
    }
    }
}
