// IDragInfoWrapper: the drag information of one drag as the drag model reads it, from the
// library's own private format or made up from the formats another program offers.
#pragma once

#include <objidl.h>

#include <memory>

#include <ipoint.hpp>
#include <istring.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

#include "idmdinfo.hpp"

class IDMSourceOperation;

// Owns its record.
class OVKWIN_API IDragInfoWrapper {
public:
    // A view of one entry of the record, with a getter and a setter per field.
    class OVKWIN_API Item {
    public:
        explicit Item(IDMDragInfoItem& entry) noexcept : fEntry(&entry) {}

        IString types() const { return fEntry->types; }
        Item& setTypes(const IString& types);
        IString rmfs() const { return fEntry->rmfs; }
        Item& setRMFs(const IString& rmfs);
        IString containerName() const { return fEntry->containerName; }
        Item& setContainerName(const IString& name);
        IString sourceName() const { return fEntry->sourceName; }
        Item& setSourceName(const IString& name);
        IString targetName() const { return fEntry->targetName; }
        Item& setTargetName(const IString& name);
        IPoint offset() const { return IPoint(fEntry->offsetX, fEntry->offsetY); }
        Item& setOffset(const IPoint& offset);
        IWindowHandle itemWindow() const;
        Item& setItemWindow(const IWindowHandle& window);
        unsigned long itemId() const { return fEntry->itemId; }
        Item& setItemId(unsigned long id);
        unsigned short control() const { return fEntry->control; }
        Item& setControl(unsigned short control);
        unsigned short supportedOperations() const { return fEntry->supportedOperations; }
        Item& setSupportedOperations(unsigned short operations);

        const IDMDragInfoItem& entry() const noexcept { return *fEntry; }

    private:
        IDMDragInfoItem* fEntry;
    };

    explicit IDragInfoWrapper(std::unique_ptr<IDMDragInfo> info);
    IDragInfoWrapper(const IDragInfoWrapper&) = delete;
    IDragInfoWrapper& operator=(const IDragInfoWrapper&) = delete;
    virtual ~IDragInfoWrapper();

    // The drag information of a data object: the library's own record when the object carries
    // the private format, else one made up from the formats it offers (files of the shell
    // become one item each). Null when the private format is offered but cannot be fetched.
    // A stream that cannot be positioned or read throws the system error "IStream".
    static std::unique_ptr<IDragInfoWrapper> dragInfoWrapper(IDataObject* dataObject);
    // Fills the record from the source operation (one entry per item, in order; each item keeps
    // a copy of its entry) and wraps it.
    static std::unique_ptr<IDragInfoWrapper> dragInfoFor(IDMSourceOperation* operation,
                                                        std::unique_ptr<IDMDragInfo> info);

    // The entry at a 0-based index; message 161 for an index not below the count.
    Item operator[](unsigned long index) const;

    unsigned long numberOfItems() const { return fInfo->itemCount(); }
    unsigned long operation() const { return fInfo->operation; }
    IDragInfoWrapper& setOperation(unsigned long operation);
    unsigned long replyOperation() const { return fInfo->replyOperation; }
    unsigned long dropIndicator() const { return fInfo->dropIndicator; }
    IDragInfoWrapper& setDropAnswer(unsigned long answer);
    IWindowHandle sourceWindow() const;
    // Stores the window and the process that owns it.
    IDragInfoWrapper& setSourceWindow(const IWindowHandle& window);
    unsigned long sourceProcess() const { return fInfo->sourceProcess; }
    IPoint position() const { return IPoint(fInfo->positionX, fInfo->positionY); }
    IDragInfoWrapper& setPosition(const IPoint& position);
    // True when the record came from the library's private format (a drag that this library
    // started, in this process or another).
    IBase::Boolean isLibraryDrag() const noexcept { return fLibraryDrag; }

    IDMDragInfo& info() noexcept { return *fInfo; }
    const IDMDragInfo& info() const noexcept { return *fInfo; }

    // The drag type of a clipboard format: "Text" for 1 and 7, "Bitmap" 2, "File" 15, else the
    // registered name, "Unknown" for a format without one; appended to the text.
    static IString& typeOfFormat(unsigned int format, IString& text);
    // The clipboard format of a type: "Text" 1, "Bitmap" 2, "File" 15; other names registered.
    static unsigned int formatOfType(const IString& type);

private:
    static std::unique_ptr<IDragInfoWrapper> foreignDragInfo(IDataObject* dataObject);

    std::unique_ptr<IDMDragInfo> fInfo;
    IBase::Boolean fLibraryDrag = false;
};
