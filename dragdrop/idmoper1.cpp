// The source operation: the drag start through OLE and the drag image stacked from the items'
// images.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include <iexcept.hpp>
#include <irect.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>
#include <icoordsy.hpp>
#include <iprivmsg.hpp>
#include <iptrhdl.hpp>
#include <iwindow.hpp>

#include "detail/idmfiles.hpp"
#include "idmdatao.hpp"
#include "idmdistr.hpp"
#include "idmdnfo.hpp"
#include "idmdrsrc.hpp"
#include "idmevent.hpp"
#include "idmfmten.hpp"
#include "idmimage.hpp"
#include "idmitem.hpp"
#include "idmnames.hpp"
#include "idmoper.hpp"

namespace {

const char kFile[] = "idmoper1";

// An image list destroyed with the scope.
class ImageList {
public:
    explicit ImageList(HIMAGELIST list = nullptr) noexcept : fList(list) {}
    ~ImageList() { reset(); }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    HIMAGELIST get() const noexcept { return fList; }
    // Hands the list on: the scope no longer destroys it.
    ImageList& operator=(std::nullptr_t) noexcept
    {
        fList = nullptr;
        return *this;
    }
    void reset(HIMAGELIST list = nullptr) noexcept
    {
        if (fList)
            ImageList_Destroy(fList);
        fList = list;
    }

private:
    HIMAGELIST fList;
};

[[noreturn]] void failPass(const char* pass)
{
    IThrow::systemError(pass, GetLastError(), IEXCEPTION_LOCATION(kFile, pass));
}

} // namespace

// What the source operation keeps for its drag: the flags of the drag image lists and the
// stacked drag image, which it owns.
class IDMSourceOperationData {
public:
    ~IDMSourceOperationData() { ovk_native::Icon(stackedIcon).destroy(); }

    // The formats the drag offers: the first item's types, the drag information, and the
    // shell's file formats when the first item renders as a file ("Shell IDList Array" only
    // when the shell can parse every file's path).
    static std::vector<FORMATETC> formatsFor(IDMSourceOperation& operation, bool withDragInfo);
    static unsigned long stackImagesPass1(IDMSourceOperation& operation, const ISize& step,
                                          HIMAGELIST& list, IRectangle& bounds);
    HICON stackImagesPass2(const ISize& step, HIMAGELIST list, const IRectangle& bounds);

    UINT listFlags = ILC_MASK;
    HICON stackedIcon = nullptr;
};

namespace {

FORMATETC formatEntry(CLIPFORMAT format, DWORD medium)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, medium};
}

// The size of one image: an icon's colour bitmap, or the bitmap itself. A cursor, an icon whose
// colour is monochrome, or an image with neither cannot be stacked: (0, 0).
ISize stackableSize(IDMImage& image)
{
    if (image.icon().isValid()) {
        const ovk_native::IconInfo icon(image.icon().asValue());
        if (!icon)
            return ISize(0, 0);
        const ICONINFO& info = icon.info();
        BITMAP bitmap{};
        if (!info.fIcon || !info.hbmColor || !GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) ||
            (bitmap.bmPlanes == 1 && bitmap.bmBitsPixel == 1))
            return ISize(0, 0);
        return ISize(bitmap.bmWidth, bitmap.bmHeight);
    }
    if (image.bitmap().isValid()) {
        BITMAP bitmap{};
        if (!GetObjectA(image.bitmap().asValue(), sizeof bitmap, &bitmap))
            return ISize(0, 0);
        return ISize(bitmap.bmWidth, bitmap.bmHeight);
    }
    return ISize(0, 0);
}

// A target of this library ends each item it took with the end notification, which takes the
// item out of this operation. Another program's target sends none and reports the move only
// through the effect: the items still here are ended as moved, so that what they carried leaves
// its source as it would after a drop on one of our own windows.
void endMovedItems(IDMSourceOperation& operation)
{
    std::vector<IDMItem::Handle> left;
    for (unsigned long position = 1; position <= operation.numberOfItems(); ++position)
        left.push_back(operation.item(position));
    const IWindowHandle window = operation.sourceWindowHandle();
    for (const IDMItem::Handle& moved : left)
        window.sendEvent(IPrivateMessage::dragSourceEnd,
                         IEventParameter1(static_cast<unsigned long>(moved->itemId())),
                         IEventParameter2(std::uint16_t{1}, static_cast<std::uint16_t>(IDMOperation::move)));
}

} // namespace

std::vector<FORMATETC> IDMSourceOperationData::formatsFor(IDMSourceOperation& operation,
                                                          bool withDragInfo)
{
    const IDMItem::Handle first = operation.item(1);
    std::vector<FORMATETC> formats;
    const IString types = first->types();
    unsigned long position = 1;
    while (position <= types.length()) {
        std::size_t comma = types.indexOf(',', position);
        if (comma == 0)
            comma = types.length() + 1;
        const IString type = types.subString(position, comma - position).strip();
        if (!type.isEmpty())
            formats.push_back(formatEntry(
                static_cast<CLIPFORMAT>(IDragInfoWrapper::formatOfType(type)), TYMED_HGLOBAL));
        position = comma + 1;
    }
    if (withDragInfo)
        formats.push_back(formatEntry(IDMDragInfoStream::format(), TYMED_ISTREAM));
    if (first->supportsRMF("DRM_TARVOSFILE", IDMNames::rfText)) {
        std::vector<IShellIDList> lists;
        const bool listed = ovk_dragdrop::shellListsOf(operation, lists);
        // The shell's own names (CFSTR_SHELLIDLIST, CFSTR_SHELLIDLISTOFFSET, CFSTR_FILENAMEA):
        // <shlobj.h>, which defines them, declares OLE's IFont beside the library's.
        for (const char* name : {"Shell IDList Array", "Shell Object Offsets", "FileName"})
            if (listed || std::strcmp(name, "Shell IDList Array") != 0)
                formats.push_back(formatEntry(
                    static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)), TYMED_HGLOBAL));
    }
    return formats;
}

// Collects the images into one list, each placed one step further; answers how many, 0 when an
// image cannot be stacked.
unsigned long IDMSourceOperationData::stackImagesPass1(IDMSourceOperation& operation,
                                                       const ISize& step, HIMAGELIST& list,
                                                       IRectangle& bounds)
{
    const unsigned long count = operation.numberOfItems();
    if (count == 0)
        failPass("stackImagesPass1");
    const bool all = operation.stackAllImages();
    ImageList collected;
    ISize size;
    // The pointer that stands for the items not shown; the system's copy, never destroyed.
    const ISystemPointerHandle more(ISystemPointerHandle::libraryIcon);
    unsigned long stacked = 0;
    for (unsigned long position = 1; position <= count; ++position) {
        if (!all && position > 4)
            break;
        IDMImage image = operation.item(position)->image();
        if (!all && position == 4)
            image = IDMImage(IPointerHandle(more));
        const ISize own = stackableSize(image);
        if (own.width() <= 0 || own.height() <= 0)
            return 0;
        if (!collected.get()) {
            size = own;
            collected.reset(ImageList_Create(static_cast<int>(size.width()),
                                             static_cast<int>(size.height()),
                                             ILC_MASK | ILC_COLOR32, 4, 4));
            if (!collected.get())
                return 0;
        }
        const int added = image.icon().isValid()
                              ? ImageList_ReplaceIcon(collected.get(), -1, image.icon().asValue())
                              : ImageList_AddMasked(collected.get(), image.bitmap().asValue(),
                                                    0xFFFFFF);
        if (added < 0)
            return 0;
        ++stacked;
    }
    const long across = step.width() * static_cast<long>(stacked - 1);
    const long down = step.height() * static_cast<long>(stacked - 1);
    bounds = IRectangle(IPoint(0, 0), ISize(size.width() + across, size.height() + down));
    // The list passes to the caller.
    list = collected.get();
    collected = nullptr;
    return stacked;
}

// Merges the collected images into one icon: the first lowest and leftmost, each next one a
// step up and to the right.
HICON IDMSourceOperationData::stackImagesPass2(const ISize& step, HIMAGELIST list,
                                               const IRectangle& bounds)
{
    const int count = ImageList_GetImageCount(list);
    const int width = static_cast<int>(bounds.width());
    const int height = static_cast<int>(bounds.height());
    ImageList merged(ImageList_Create(width, height, listFlags | ILC_COLOR32, 1, 0));
    if (!merged.get())
        failPass("stackImagesPass2");
    // The first image of the growing list is a clear one of the whole size, so that every
    // merge keeps that size.
    {
        ovk_native::WindowDC screen(nullptr);
        ovk_native::Bitmap clear(CreateCompatibleBitmap(screen.get(), width, height));
        ovk_native::MemoryDC context(screen.get());
        {
            const ovk_native::Selection selected(context.get(), clear.get());
            RECT all{0, 0, width, height};
            FillRect(context.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        if (ImageList_AddMasked(merged.get(), clear.get(), 0xFFFFFF) < 0)
            failPass("stackImagesPass2");
    }
    for (int index = count; index >= 1; --index) {
        HIMAGELIST next = ImageList_Merge(merged.get(), 0, list, index - 1,
                                          static_cast<int>(step.width()) * (index - 1),
                                          static_cast<int>(step.height()) * (count - index));
        if (!next)
            failPass("stackImagesPass2");
        merged.reset(next);
    }
    HICON icon = ImageList_GetIcon(merged.get(), 0, ILD_TRANSPARENT);
    if (!icon)
        failPass("stackImagesPass2");
    return icon;
}

// ---------------------------------------------------------------------------------------------
// The source operation

IDMSourceOperation::IDMSourceOperation(const IWindowHandle& sourceWindow)
    : fData(new IDMSourceOperationData)
{
    setSourceWindowHandle(sourceWindow);
}

IDMSourceOperation::IDMSourceOperation(IDMSourceBeginEvent& event, IBase::Boolean stackAll)
    : IDMOperation(event), fStackAllImages(stackAll), fData(new IDMSourceOperationData)
{
    if (event.eventId() == IPrivateMessage::dragStart)
        setSourceWindowHandle(event.handle());
}

IDMSourceOperation::~IDMSourceOperation()
{
    delete fData;
}

IDMSourceOperation& IDMSourceOperation::setStackAllImages(IBase::Boolean stackAll)
{
    fStackAllImages = stackAll;
    return *this;
}

IDMSourceOperation& IDMSourceOperation::setOffsetPercentage(const ISize& percentage)
{
    fOffsetPercentage = percentage;
    return *this;
}

IDMSourceOperation& IDMSourceOperation::setOffset(const IPoint& offset)
{
    fOffset = offset;
    return *this;
}

IDMSourceOperation& IDMSourceOperation::accumulateImageOffset(IDMImage& image)
{
    BITMAP bitmap{};
    if (!image.bitmap().isValid() ||
        !GetObjectA(image.bitmap().asValue(), sizeof bitmap, &bitmap))
        return *this;
    const long x = (image.offset().x() + bitmap.bmWidth) * fOffsetPercentage.width() / 100;
    const long y = (image.offset().y() + bitmap.bmHeight) * fOffsetPercentage.height() / 100;
    fAccumulatedOffset = IPoint(fAccumulatedOffset.x() + x, fAccumulatedOffset.y() + y);
    return *this;
}

unsigned long IDMSourceOperation::composeImage(IDMImage& image, IPoint& hotSpot)
{
    const ISize step(16, 16);
    HIMAGELIST collectedList = nullptr;
    IRectangle bounds;
    const unsigned long stacked =
        IDMSourceOperationData::stackImagesPass1(*this, step, collectedList, bounds);
    ImageList collected(collectedList);
    if (stacked == 0)
        return 0;
    HICON icon = fData->stackImagesPass2(step, collected.get(), bounds);
    ovk_native::Icon(std::exchange(fData->stackedIcon, icon)).destroy();
    image = IDMImage(IPointerHandle(icon));
    // The pointer holds the middle of the first image, which lies lowest and leftmost.
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(collected.get(), &width, &height);
    hotSpot = IPoint(offset().x() + width / 2,
                     offset().y() + static_cast<long>(bounds.height()) - height / 2);
    if (ICoordinateSystem::applicationOrientation() == ICoordinateSystem::kOriginLowerLeft)
        hotSpot = IPoint(hotSpot.x(), static_cast<long>(bounds.height()) - hotSpot.y());
    return stacked;
}

IDMSourceOperation& IDMSourceOperation::begin()
{
    const IDMItem::Handle first = item(1);
    // The drag information travels in a stream; without it there is no drag.
    std::unique_ptr<IDragInfoWrapper> info =
        IDragInfoWrapper::dragInfoFor(this, std::make_unique<IDMDragInfo>(
                                                static_cast<std::uint16_t>(numberOfItems())));
    const ovk_native::ComReference<IStream> stream(IDMDragInfoStream::create(info->info()));
    if (!stream)
        return *this;
    const std::vector<FORMATETC> formats = IDMSourceOperationData::formatsFor(*this, true);

    ovk_native::ComReference<IEnumFORMATETC> enumerator;
    ovk_native::ComReference<IDataObject> data;
    ovk_native::ComReference<IDropSource> source;
    if (!enumerator.query(new IDMFormatEnumerator(static_cast<unsigned long>(formats.size()),
                                                 formats.data()),
                         IID_IEnumFORMATETC))
        return *this;
    IDMDataObject* dataObject = new IDMDataObject(sourceWindow(), enumerator.get(), stream.get());
    if (!data.query(dataObject, IID_IDataObject))
        return *this;
    setDragInfo(std::move(info));
    IDMDropSource* dropSource = new IDMDropSource;
    if (!source.query(dropSource, IID_IDropSource))
        return *this;

    IDMImage image;
    IPoint hotSpot;
    try {
        if (composeImage(image, hotSpot))
            dropSource->setImage(image, hotSpot);
    } catch (const IException&) {
        // A drag without an image is still a drag.
    }

    DWORD effects = 0;
    if (first->isMoveable())
        effects |= DROPEFFECT_MOVE;
    if (first->isCopyable())
        effects |= DROPEFFECT_COPY;
    if (first->isLinkable())
        effects |= DROPEFFECT_LINK;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT ended = DoDragDrop(data.get(), source.get(), effects, &effect);
    // A target may keep the data object; what it asks from now on finds no items to render.
    dataObject->setDragEnded();
    // The targets and renderers ran inside OLE's loop; what they let go leaves from here.
    ICallbackGuard::rethrowPending();
    if (ended == DRAGDROP_S_DROP && (effect & DROPEFFECT_MOVE))
        endMovedItems(*this);
    return *this;
}
