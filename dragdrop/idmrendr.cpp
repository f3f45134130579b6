// Renderers.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <iapp.hpp>
#include <iprivmsg.hpp>

#include "detail/idmanswr.hpp"
#include "detail/idmfiles.hpp"
#include "detail/idmmedium.hpp"
#include "idmdnfo.hpp"
#include "idmevent.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"
#include "idmrendr.hpp"
#include "idmsupp.hpp"
#include "iidlbyte.hpp"
#include "ishlist.hpp"

namespace {

const char kFile[] = "idmrendr";
const char kTargetRender[] = "IDMTargetRenderer::targetRender(IDMTargetDropEvent&,const IDMItem::Handle&)";

// The names of a comma-separated list, blanks around them dropped.
std::vector<IString> namesOf(const IString& list)
{
    std::vector<IString> names;
    std::string text(static_cast<const char*>(list), list.length());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        std::string name = text.substr(start, end - start);
        const std::size_t first = name.find_first_not_of(' ');
        const std::size_t last = name.find_last_not_of(' ');
        if (first != std::string::npos)
            names.emplace_back(name.substr(first, last - first + 1).c_str());
        start = end + 1;
    }
    return names;
}

bool acceptsAny(const IString& types)
{
    return types.includes(IString(IDMNames::any));
}

// A global block holding the bytes, for a medium handed to another program.
HGLOBAL globalBlock(const void* bytes, std::size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    const ovk_native::GlobalLockScope lock(block);
    if (lock.data())
        std::memcpy(lock.data(), bytes, size);
    return block;
}

void handOver(STGMEDIUM* medium, HGLOBAL block)
{
    if (!medium || !block)
        return;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
}

IString pathOf(const IDMItem::Handle& item)
{
    return item->containerName() + item->sourceName();
}

// The items a file rendering covers: the one the request names, else every "File" item.
std::vector<IDMItem::Handle> fileItems(IDMSourceOperation& operation, const IDMItem::Handle& named)
{
    std::vector<IDMItem::Handle> items;
    if (named) {
        items.push_back(named);
        return items;
    }
    for (unsigned long i = 1; i <= operation.numberOfItems(); ++i) {
        IDMItem::Handle item = operation.item(i);
        if (item->trueType() == IString(IDMNames::file))
            items.push_back(item);
    }
    return items;
}

HGLOBAL dropFilesBlock(const std::vector<IDMItem::Handle>& items)
{
    std::string list;
    for (const IDMItem::Handle& item : items) {
        const IString path = pathOf(item);
        list.append(static_cast<const char*>(path), path.length());
        list.push_back('\0');
    }
    list.push_back('\0');
    list.push_back('\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    std::vector<char> block(sizeof header);
    if (IPlatform::isWideCharacterSystem()) {
        header.fWide = TRUE;
        const int count = MultiByteToWideChar(CP_ACP, 0, list.data(), static_cast<int>(list.size()),
                                              nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(count > 0 ? count : 0));
        if (count > 0)
            MultiByteToWideChar(CP_ACP, 0, list.data(), static_cast<int>(list.size()), wide.data(),
                                count);
        const char* bytes = reinterpret_cast<const char*>(wide.data());
        block.insert(block.end(), bytes, bytes + wide.size() * sizeof(wchar_t));
    } else {
        block.insert(block.end(), list.begin(), list.end());
    }
    std::memcpy(block.data(), &header, sizeof header);
    return globalBlock(block.data(), block.size());
}

// The shell's "Shell IDList Array" (CIDA): the count, the offsets of the parent's list (the
// desktop's, empty) and of each item's list, then the lists. Nothing when a path does not parse,
// as the shell offers no list for a file it cannot find either.
HGLOBAL idListArrayBlock(IDMSourceOperation& operation)
{
    std::vector<IShellIDList> lists;
    if (!ovk_dragdrop::shellListsOf(operation, lists))
        return nullptr;
    const std::size_t n = lists.size();
    std::vector<char> block(4 * n + 10, 0);
    const auto put32 = [&block](std::size_t at, std::uint32_t value) {
        std::memcpy(block.data() + at, &value, sizeof value);
    };
    put32(0, static_cast<std::uint32_t>(n));
    put32(4, static_cast<std::uint32_t>(4 * n + 8));
    for (std::size_t i = 0; i < n; ++i) {
        put32(8 + 4 * i, static_cast<std::uint32_t>(block.size()));
        const char* bytes = reinterpret_cast<const char*>(lists[i].list());
        block.insert(block.end(), bytes, bytes + lists[i].size());
    }
    return globalBlock(block.data(), block.size());
}

HGLOBAL objectOffsetsBlock(IDMSourceOperation& operation)
{
    std::vector<std::int32_t> points{40, 50};
    for (unsigned long i = 1; i <= operation.numberOfItems(); ++i) {
        const IPoint offset = operation.item(i)->objectOffset();
        points.push_back(static_cast<std::int32_t>(offset.x()));
        points.push_back(static_cast<std::int32_t>(offset.y()));
    }
    return globalBlock(points.data(), points.size() * sizeof(std::int32_t));
}

// The file rendering: a path is the container name joined to the source name.
void renderFile(IDMSourceRenderEvent& event, IDMSourceOperation& operation,
                const IDMItem::Handle& named, const IDMItem::Handle& item)
{
    const FORMATETC* format = event.format();
    if (!format)
        return;
    const unsigned int wanted = format->cfFormat;
    HGLOBAL block = nullptr;
    if (wanted == CF_HDROP) {
        block = dropFilesBlock(fileItems(operation, named));
    } else if (wanted == IDragInfoWrapper::formatOfType(CFSTR_SHELLIDLIST)) {
        block = idListArrayBlock(operation);
    } else if (wanted == IDragInfoWrapper::formatOfType(CFSTR_SHELLIDLISTOFFSET)) {
        block = objectOffsetsBlock(operation);
    } else if (wanted == IDragInfoWrapper::formatOfType(CFSTR_FILENAMEA)) {
        const IString path = pathOf(item);
        block = globalBlock(static_cast<const char*>(path), path.length() + 1);
    }
    handOver(event.medium(), block);
}

// How much of another program's "Shell IDList Array" block the item takes: everything up to the
// end of the list that ends last, or 0 when the block is not one. The header is measured in 64
// bits, so that a hostile count cannot wrap a 32-bit size. Every offset, the parent's included,
// must point past the header and at a list that ends on a zero record inside the block: the
// shell's walkers and ours read a list until that record and nothing else would stop them, and
// whoever takes the text takes every offset in it.
std::size_t idListArrayEnd(const char* bytes, std::size_t size)
{
    std::uint32_t count = 0;
    if (size < sizeof count)
        return 0;
    std::memcpy(&count, bytes, sizeof count);
    const std::uint64_t header = 4 * static_cast<std::uint64_t>(count) + 8;
    if (header > size)
        return 0;
    std::size_t end = 0;
    for (std::uint32_t i = 0; i <= count; ++i) {
        std::uint32_t offset = 0;
        std::memcpy(&offset, bytes + 4 + 4 * static_cast<std::size_t>(i), sizeof offset);
        if (offset < header || offset >= size)
            return 0;
        const std::size_t list = IIDListBytes::sizeWithin(bytes + offset, size - offset);
        if (list == 0 || bytes[offset + list - 2] != 0 || bytes[offset + list - 1] != 0)
            return 0;
        end = std::max(end, offset + list);
    }
    return end;
}

// Whether the drag's data object carries this library's drag information, which numbers the
// files of a "File" block by item; another program's block holds its one file first.
bool carriesLibraryDragInfo(IDataObject& data)
{
    FORMATETC own{static_cast<CLIPFORMAT>(IDragInfoWrapper::formatOfType("ZUQ_DRAGINFO")), nullptr,
                  DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    return data.QueryGetData(&own) == S_OK;
}

// The type to fetch: the first of the item's types that the default target renderer takes, else
// the last of them. The types must not be empty.
IString typeToFetch(const std::vector<IString>& types)
{
    const IString accepted = IDMSupport::defaultTargetRenderer().supportedTypes();
    if (acceptsAny(accepted))
        return types.front();
    for (const IString& name : types)
        if (accepted.includes(name))
            return name;
    return types.back();
}

// The file name at the index of a "File" block. DragQueryFileA converts a wide list, but reads it
// without a size: it sees only a block whose list was found whole inside it.
IString fileNameIn(HGLOBAL block, const char* bytes, std::size_t size, UINT index)
{
    HDROP drop = static_cast<HDROP>(block);
    const UINT length =
        ovk_dragdrop::isDropFilesBlock(bytes, size) ? DragQueryFileA(drop, index, nullptr, 0) : 0;
    if (length == 0 || length == 0xFFFFFFFF)
        return IString();
    std::vector<char> name(length + 1);
    DragQueryFileA(drop, index, name.data(), length + 1);
    return IString(name.data());
}

// The contents that a fetched block gives the item, read by the type fetched. A file or an
// identifier list also names the item's container and source and becomes its true type.
IString contentsOfBlock(IDMItem& item, const IString& type, HGLOBAL block, UINT fileIndex)
{
    const ovk_native::GlobalLockScope lock(block);
    const SIZE_T size = lock.size();
    const char* bytes = size ? static_cast<const char*>(lock.data()) : nullptr;
    if (!bytes)
        return IString();
    if (type == IString(IDMNames::file)) {
        const IString text = fileNameIn(block, bytes, size, fileIndex);
        IDMTargetRenderer::splitPath(item, text);
        item.setTrueType(IDMNames::file);
        return text;
    }
    if (type == IString(CFSTR_SHELLIDLIST)) {
        const std::size_t end = idListArrayEnd(bytes, size);
        if (!end)
            return IString();
        const IString text(bytes, end);
        IDMTargetRenderer::splitPath(item, text);
        item.setTrueType(CFSTR_SHELLIDLIST);
        return text;
    }
    return IString(bytes, strnlen(bytes, size));
}

// The item's contents from the drag's data object: empty when there is no data object, the item
// has no type, or the object does not give the type's block.
IString fetchedContents(IDataObject* data, IDMItem& item)
{
    if (!data)
        return IString();
    const bool library = carriesLibraryDragInfo(*data);
    const std::vector<IString> types = namesOf(item.types());
    if (types.empty())
        return IString();
    const IString type = typeToFetch(types);
    const IDMDragInfoItem* entry = item.dragInfoItem();
    FORMATETC format{static_cast<CLIPFORMAT>(IDragInfoWrapper::formatOfType(type)), nullptr,
                     DVASPECT_CONTENT, entry ? static_cast<LONG>(entry->itemId) : -1, TYMED_HGLOBAL};
    ovk_native::Medium fetched;
    if (format.cfFormat == 0 || !fetched.fetch(data, format))
        return IString();
    const UINT fileIndex = library ? 0 : (entry ? entry->itemId : 0);
    return contentsOfBlock(item, type, fetched.medium.hGlobal, fileIndex);
}

void raise(unsigned long message)
{
    IThrow::message(message, IExceptionLocation(kFile, kTargetRender, __LINE__));
}

} // namespace

bool ovk_dragdrop::shellListsOf(IDMSourceOperation& operation, std::vector<IShellIDList>& lists)
{
    lists.clear();
    for (const IDMItem::Handle& item : fileItems(operation, IDMItem::Handle())) {
        lists.push_back(IShellIDList::fromPath(pathOf(item)));
        if (!lists.back().list())
            return false;
    }
    return true;
}

bool ovk_dragdrop::isDropFilesBlock(const void* bytes, std::size_t size) noexcept
{
    DROPFILES header{};
    if (!bytes || size < sizeof header)
        return false;
    std::memcpy(&header, bytes, sizeof header);
    const std::size_t unit = header.fWide ? sizeof(wchar_t) : 1;
    const auto* list = static_cast<const unsigned char*>(bytes);
    const auto isZero = [&](std::size_t at) {
        for (std::size_t i = 0; i < unit; ++i)
            if (list[at + i])
                return false;
        return true;
    };
    // Name after name, each up to its zero, until an empty name ends the list.
    bool nameStarts = true;
    for (std::size_t at = header.pFiles; at <= size && size - at >= unit; at += unit) {
        const bool zero = isZero(at);
        if (zero && nameStarts)
            return true;
        nameStarts = zero;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// IDMRenderer

IDMRenderer::IDMRenderer()
{
    setSupportedTypes(IDMNames::any);
}

IDMRenderer::IDMRenderer(const char* rmfs, const char* types)
    : fTypes(types), fRMFs(IDMItem::expandRMFs(rmfs))
{
}

IDMRenderer::~IDMRenderer() = default;

IString IDMRenderer::supportedTypes() const
{
    return fTypes;
}

IString IDMRenderer::supportedRMFs() const
{
    return fRMFs;
}

IDMRenderer& IDMRenderer::setSupportedTypes(const char* types)
{
    fTypes = types;
    return *this;
}

IDMRenderer& IDMRenderer::setSupportedRMFs(const char* rmfs)
{
    fRMFs = IDMItem::expandRMFs(rmfs);
    return *this;
}

IString IDMRenderer::processFormat()
{
    return IString(IDMNames::rfProcess) + "=" + IString(IApplication::currentProcessId());
}

IString IDMRenderer::processRMF()
{
    return IDMItem::rmfFrom(IDMNames::rmLibrary, processFormat());
}

// ---------------------------------------------------------------------------------------------
// IDMSourceRenderer

IDMSourceRenderer::IDMSourceRenderer()
{
    IString pairs = IDMItem::rmfsFrom(IDMNames::rmLibrary, processFormat() + "," +
                                                               IDMNames::rfText + "," +
                                                               IDMNames::rfSharedMemory);
    IDMItem::appendEntry(pairs, IDMItem::rmfsFrom(IString(IDMNames::rmDiscard) + "," +
                                                      IDMNames::rmPrint,
                                                  IDMNames::rfUnknown));
    IDMItem::appendEntry(pairs, IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfText));
    IDMItem::appendEntry(pairs, IDMItem::rmfFrom(IDMNames::rmObject, IDMNames::rfObject));
    setSupportedRMFs(pairs);
}

IDMSourceRenderer::IDMSourceRenderer(const char* rmfs, const char* types)
    : IDMRenderer(rmfs, types)
{
}

IDMSourceRenderer::~IDMSourceRenderer() = default;

IBase::Boolean IDMSourceRenderer::canRenderTypes(const IString& types) const
{
    const IString supported = supportedTypes();
    if (acceptsAny(supported))
        return true;
    for (const IString& name : namesOf(types))
        if (supported.includes(name))
            return true;
    return false;
}

IBase::Boolean IDMSourceRenderer::fits(const IDMItem::Handle& item) const
{
    const IString supported = supportedTypes();
    bool typeFits = acceptsAny(supported);
    for (const IString& name : namesOf(supported))
        typeFits = typeFits || item->hasType(name);
    return typeFits && IDMItem::matchingRMFs(item->rmfs(), supportedRMFs(), true).length() != 0;
}

IBase::Boolean IDMSourceRenderer::sourceRender(IDMSourceRenderEvent& event)
{
    const IDMItem::Handle item = event.item();
    if (!item)
        return false;
    if (item->supportsRMF(IDMNames::rmFile, IDMNames::rfText)) {
        const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
        if (!operation)
            return false;
        const FORMATETC* format = event.format();
        const IDMItem::Handle named =
            format && format->lindex != -1 ? item : IDMItem::Handle();
        renderFile(event, *operation, named, item);
        return true;
    }
    const IString contents = item->contents();
    handOver(event.medium(), globalBlock(static_cast<const char*>(contents), contents.length() + 1));
    return true;
}

IBase::Boolean IDMSourceRenderer::sourcePrepare(IDMSourcePrepareEvent& event)
{
    const IDMItem::Handle item = event.item();
    return item ? item->sourcePrepare(event) : false;
}

IBase::Boolean IDMSourceRenderer::sourceEnd(IDMSourceEndEvent& event)
{
    const IDMItem::Handle item = event.item();
    if (!item)
        return false;
    const IBase::Boolean done = item->sourceEnd(event);
    if (IDMSourceOperation* operation = item->sourceOperation())
        operation->removeItem(item);
    return done;
}

IBase::Boolean IDMSourceRenderer::sourceDiscard(IDMSourceDiscardEvent& event)
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    const IDMItem::Handle item =
        operation ? operation->itemWithId(static_cast<unsigned long>(event.parameter1().asUnsignedLong()))
                  : IDMItem::Handle();
    return item ? item->sourceDiscard(event) : false;
}

IBase::Boolean IDMSourceRenderer::sourcePrint(IDMSourcePrintEvent& event)
{
    const IReference<IDMSourceOperation> operation = IDMSourceOperation::currentSourceOperation();
    const IDMItem::Handle item =
        operation ? operation->itemWithId(static_cast<unsigned long>(event.parameter1().asUnsignedLong()))
                  : IDMItem::Handle();
    return item ? item->sourcePrint(event) : false;
}

// ---------------------------------------------------------------------------------------------
// IDMTargetRenderer

IDMTargetRenderer::IDMTargetRenderer()
{
    IString pairs = IDMItem::rmfsFrom(IDMNames::rmLibrary, processFormat() + "," +
                                                               IDMNames::rfText + "," +
                                                               IDMNames::rfSharedMemory);
    IDMItem::appendEntry(pairs, IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfText));
    IDMItem::appendEntry(pairs, IDMItem::rmfFrom(IDMNames::rmObject, IDMNames::rfObject));
    setSupportedRMFs(pairs);
}

IDMTargetRenderer::IDMTargetRenderer(const char* rmfs, const char* types)
    : IDMRenderer(rmfs, types)
{
}

IDMTargetRenderer::~IDMTargetRenderer() = default;

unsigned char IDMTargetRenderer::canRender(const IDMItem::Handle& item)
{
    const IString supported = supportedTypes();
    if (!acceptsAny(supported)) {
        bool found = false;
        for (const IString& name : namesOf(item->types()))
            found = found || supported.includes(name);
        if (!found)
            return ovk_dragdrop::neverDropHere;
    }
    const IString match = IDMItem::matchingRMFs(item->rmfs(), supportedRMFs(), true);
    if (match.length() == 0)
        return ovk_dragdrop::neverDropHere;
    item->setSelectedRMF(match);
    return ovk_dragdrop::dropHere;
}

IBase::Boolean IDMTargetRenderer::isOperationSupported(const IDMItem::Handle& item)
{
    IDMTargetOperation* operation = item->targetOperation();
    if (!operation)
        return false;
    const unsigned long wanted = operation->operation();
    const unsigned long allowed = item->supportedOperations();
    if (wanted >= IDMOperation::unknown)
        return false;
    if (wanted != IDMOperation::drag)
        return (wanted == IDMOperation::copy && (allowed & IDMItem::copyable)) ||
               (wanted == IDMOperation::move && (allowed & IDMItem::moveable)) ||
               (wanted == IDMOperation::link && (allowed & IDMItem::linkable));
    if (allowed & IDMItem::moveable)
        operation->setOperation(IDMOperation::move);
    else if (allowed & IDMItem::copyable)
        operation->setOperation(IDMOperation::copy);
    else if (allowed & IDMItem::linkable)
        operation->setOperation(IDMOperation::link);
    else
        return false;
    return true;
}

IBase::Boolean IDMTargetRenderer::targetRender(IDMTargetDropEvent& event,
                                               const IDMItem::Handle& item)
{
    const IString selected = item->selectedRMF();
    const IString mechanism = IDMItem::firstMechanism(selected);
    const IString format = IDMItem::firstFormat(selected);
    if (mechanism == IString(IDMNames::rmLibrary)) {
        if (format.includes(IString(IDMNames::rfProcess))) {
            if (format != processFormat())
                raise(OVK_MSG_RENDER_OTHER_PROCESS);
            if (const IDMItem::Handle source = IDMItem::sourceItemFor(item)) {
                item->setContents(source->contents());
                item->setObject(source->object());
            }
        } else if (format == IString(IDMNames::rfText)) {
            item->setContents(item->sourceName());
        } else if (format == IString(IDMNames::rfSharedMemory)) {
            if (!fetchData(event, item))
                raise(OVK_MSG_RENDER_DATA_UNAVAILABLE);
        } else {
            raise(OVK_MSG_RENDER_FORMAT_UNSUPPORTED);
        }
    } else if (mechanism == IString(IDMNames::rmFile)) {
        if (!fetchData(event, item))
            raise(OVK_MSG_RENDER_DATA_UNAVAILABLE);
    } else if (mechanism != IString(IDMNames::rmObject)) {
        raise(OVK_MSG_RENDER_MECHANISM_UNSUPPORTED);
    }
    const IBase::Boolean dropped = item->targetDrop(event);
    endNotification(item, dropped ? 1 : 2);
    return dropped;
}

IBase::Boolean IDMTargetRenderer::targetEnd(IDMTargetEndEvent& event)
{
    IReference<IDMTargetOperation> operation = event.targetOperation();
    if (!operation || operation->numberOfItems() == 0)
        return false;
    const IDMItem::Handle item = operation->item(1);
    const IBase::Boolean done = item->targetEnd(event);
    endNotification(item, done ? 1 : 2);
    return done;
}

IDMTargetRenderer& IDMTargetRenderer::endNotification(const IDMItem::Handle& item,
                                                      unsigned char code)
{
    IDMTargetOperation* operation = item->targetOperation();
    const IDMDragInfoItem* entry = item->dragInfoItem();
    const unsigned long done = operation ? operation->operation() : 0;
    if (entry)
        item->sourceWindowHandle().sendEvent(
            IPrivateMessage::dragSourceEnd, IEventParameter1(static_cast<unsigned long>(entry->itemId)),
            IEventParameter2(static_cast<std::uint16_t>(code), static_cast<std::uint16_t>(done)));
    IReference<IDMTargetOperation> current = IDMTargetOperation::currentTargetOperation();
    if (current && current.get() == operation) {
        current->removeItem(item);
        if (current->numberOfItems() == 0)
            IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
    }
    return *this;
}

IBase::Boolean IDMTargetRenderer::fetchData(IDMTargetDropEvent& event, const IDMItem::Handle& item)
{
    item->setContents(fetchedContents(event.dataObject(), *item));
    return true;
}

void IDMTargetRenderer::splitPath(IDMItem& item, const IString& path)
{
    if (path.length() == 0)
        return;
    const std::size_t slash = path.lastIndexOf('\\');
    item.setContainerName(slash ? static_cast<const char*>(path.subString(1, slash)) : "");
    item.setSourceName(path.subString(slash + 1));
}
