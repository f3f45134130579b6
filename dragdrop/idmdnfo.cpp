// The drag information wrapper.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "detail/idmfiles.hpp"
#include "detail/idmmedium.hpp"
#include "idmdistr.hpp"
#include "idmdnfo.hpp"
#include "idmitem.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"

namespace {

const char kFile[] = "idmdnfo";

// A window handle travels as its 32 significant bits.
std::uint32_t handleBits(const IWindowHandle& window)
{
    return static_cast<std::uint32_t>(HandleToUlong(static_cast<HWND>(window)));
}

IWindowHandle handleFrom(std::uint32_t bits)
{
    return IWindowHandle(static_cast<HWND>(LongToHandle(static_cast<LONG>(bits))));
}

// The number of files in a DROPFILES block, or -1 when there is none to count. The system
// counts the names once the block is known to hold its whole list.
long fileCount(IDataObject* data)
{
    ovk_native::Medium files;
    if (!files.fetch(data, CF_HDROP, TYMED_HGLOBAL))
        return -1;
    {
        const ovk_native::GlobalLockScope block(files.medium.hGlobal);
        if (!ovk_dragdrop::isDropFilesBlock(block.data(), block.size()))
            return -1;
    }
    return static_cast<long>(DragQueryFileA(static_cast<HDROP>(files.medium.hGlobal), 0xFFFFFFFF,
                                            nullptr, 0));
}

// The shell's placement of each item: a point for the whole drag, then one per item, each as
// two 32-bit values; items that the block does not reach keep (0, 0).
void readOffsets(IDataObject* data, IDMDragInfo& info)
{
    ovk_native::Medium offsets;
    if (!offsets.fetch(data,
                       static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_SHELLIDLISTOFFSET)),
                       TYMED_HGLOBAL))
        return;
    const ovk_native::GlobalLockScope block(offsets.medium.hGlobal);
    const auto* bytes = static_cast<const char*>(block.data());
    if (!bytes)
        return;
    for (std::size_t index = 0; index < info.itemCount(); ++index) {
        const std::size_t at = 8 + 8 * index;
        if (at + 8 > block.size())
            break;
        POINT point{};
        std::memcpy(&point, bytes + at, sizeof point);
        info.item(index).offsetX = point.x;
        info.item(index).offsetY = point.y;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The item view

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setTypes(const IString& types)
{
    fEntry->types = types;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setRMFs(const IString& rmfs)
{
    fEntry->rmfs = rmfs;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setContainerName(const IString& name)
{
    fEntry->containerName = name;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setSourceName(const IString& name)
{
    fEntry->sourceName = name;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setTargetName(const IString& name)
{
    fEntry->targetName = name;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setOffset(const IPoint& offset)
{
    fEntry->offsetX = static_cast<std::int32_t>(offset.x());
    fEntry->offsetY = static_cast<std::int32_t>(offset.y());
    return *this;
}

IWindowHandle IDragInfoWrapper::Item::itemWindow() const
{
    return handleFrom(fEntry->itemWindow);
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setItemWindow(const IWindowHandle& window)
{
    fEntry->itemWindow = handleBits(window);
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setItemId(unsigned long id)
{
    fEntry->itemId = static_cast<std::uint32_t>(id);
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setControl(unsigned short control)
{
    fEntry->control = control;
    return *this;
}

IDragInfoWrapper::Item& IDragInfoWrapper::Item::setSupportedOperations(unsigned short operations)
{
    fEntry->supportedOperations = operations;
    return *this;
}

// ---------------------------------------------------------------------------------------------
// The wrapper

IDragInfoWrapper::IDragInfoWrapper(std::unique_ptr<IDMDragInfo> info)
    : fInfo(info ? std::move(info) : std::make_unique<IDMDragInfo>())
{
}

IDragInfoWrapper::~IDragInfoWrapper() = default;

IDragInfoWrapper::Item IDragInfoWrapper::operator[](unsigned long index) const
{
    if (index >= numberOfItems())
        IThrow::message(OVK_MSG_POSITION_INVALID,
                        IEXCEPTION_LOCATION(kFile, "IDragInfoWrapper::operator[](unsigned long) const"));
    return Item(fInfo->item(index));
}

IDragInfoWrapper& IDragInfoWrapper::setOperation(unsigned long operation)
{
    fInfo->operation = static_cast<std::uint16_t>(operation);
    return *this;
}

IDragInfoWrapper& IDragInfoWrapper::setDropAnswer(unsigned long answer)
{
    fInfo->setDropAnswer(static_cast<std::uint32_t>(answer));
    return *this;
}

IWindowHandle IDragInfoWrapper::sourceWindow() const
{
    return handleFrom(fInfo->sourceWindow);
}

IDragInfoWrapper& IDragInfoWrapper::setSourceWindow(const IWindowHandle& window)
{
    fInfo->sourceWindow = handleBits(window);
    DWORD process = 0;
    if (window)
        GetWindowThreadProcessId(static_cast<HWND>(window), &process);
    fInfo->sourceProcess = process;
    return *this;
}

IDragInfoWrapper& IDragInfoWrapper::setPosition(const IPoint& position)
{
    fInfo->positionX = static_cast<std::int32_t>(position.x());
    fInfo->positionY = static_cast<std::int32_t>(position.y());
    return *this;
}

IString& IDragInfoWrapper::typeOfFormat(unsigned int format, IString& text)
{
    text += IDMItem::typeForFormat(static_cast<unsigned short>(format));
    return text;
}

unsigned int IDragInfoWrapper::formatOfType(const IString& type)
{
    return static_cast<unsigned short>(IDMItem::formatForType(type));
}

std::unique_ptr<IDragInfoWrapper> IDragInfoWrapper::dragInfoWrapper(IDataObject* dataObject)
{
    if (!dataObject)
        return nullptr;
    FORMATETC own{IDMDragInfoStream::format(), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    if (dataObject->QueryGetData(&own) != S_OK)
        return foreignDragInfo(dataObject);
    ovk_native::Medium medium;
    if (!medium.fetch(dataObject, own.cfFormat, TYMED_ISTREAM) || !medium.medium.pstm)
        return nullptr;
    std::unique_ptr<IDMDragInfo> info = IDMDragInfoStream::read(medium.medium.pstm);
    // Drag information that does not read is no drag information.
    if (!info)
        return nullptr;
    auto wrapper = std::make_unique<IDragInfoWrapper>(std::move(info));
    wrapper->fLibraryDrag = true;
    return wrapper;
}

// Another program's drag: one item per file of the shell, else one item, each with every
// format's type.
std::unique_ptr<IDragInfoWrapper> IDragInfoWrapper::foreignDragInfo(IDataObject* dataObject)
{
    IString types;
    long count = 1;
    ovk_native::ComReference<IEnumFORMATETC> formats;
    if (SUCCEEDED(dataObject->EnumFormatEtc(DATADIR_GET, formats.put())) && formats) {
        formats->Reset();
        FORMATETC format{};
        while (formats->Next(1, &format, nullptr) == S_OK) {
            if (format.ptd)
                CoTaskMemFree(format.ptd);
            IString type;
            typeOfFormat(format.cfFormat, type);
            IDMItem::appendEntry(types, type);
            if (type == IDMNames::file) {
                const long files = fileCount(dataObject);
                if (files >= 0)
                    count = files;
            }
        }
    }
    if (count > 0xFFFF)
        count = 0xFFFF;
    auto info = std::make_unique<IDMDragInfo>(static_cast<std::uint16_t>(count));
    for (std::uint16_t index = 0; index < info->itemCount(); ++index) {
        IDMDragInfoItem& entry = info->item(index);
        entry.types = types;
        entry.supportedOperations = static_cast<std::uint16_t>(IDMItem::moveable | IDMItem::copyable);
        entry.control = 0;
        entry.itemId = index;
    }
    readOffsets(dataObject, *info);
    return std::make_unique<IDragInfoWrapper>(std::move(info));
}

std::unique_ptr<IDragInfoWrapper> IDragInfoWrapper::dragInfoFor(IDMSourceOperation* operation,
                                                                std::unique_ptr<IDMDragInfo> info)
{
    auto wrapper = std::make_unique<IDragInfoWrapper>(std::move(info));
    if (!operation)
        return wrapper;
    wrapper->setSourceWindow(operation->sourceWindowHandle());
    wrapper->setOperation(operation->operation());
    const unsigned long count = std::min<unsigned long>(operation->numberOfItems(),
                                                        wrapper->numberOfItems());
    for (unsigned long position = 1; position <= count; ++position) {
        const IDMItem::Handle item = operation->item(position);
        if (!item)
            continue;
        Item entry = (*wrapper)[position - 1];
        entry.setItemWindow(item->sourceWindowHandle())
            .setItemId(item->itemId())
            .setTypes(item->types())
            .setRMFs(item->rmfs())
            .setContainerName(item->containerName())
            .setTargetName(item->targetName())
            .setSourceName(item->sourceName())
            .setOffset(item->objectOffset())
            .setControl(static_cast<unsigned short>(item->attributes()))
            .setSupportedOperations(static_cast<unsigned short>(item->supportedOperations()));
        item->setDragInfoItem(entry.entry());
    }
    return wrapper;
}
