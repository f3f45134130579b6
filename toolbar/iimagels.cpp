// The image list behind drag images.
#include <windows.h>
#include <commctrl.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <detail/iscoped.hpp>

#include "detail/iimagels.hpp"

namespace {

const char kFile[] = "iimagels";

[[noreturn]] void fail(const char* signature)
{
    IThrow::message(OVK_MSG_POSITION_INVALID, IEXCEPTION_LOCATION(kFile, signature));
}

// The mask of the see-through copy: the inverted mask (opaque 1) ANDed with a 50 % grey, then
// ORed with the old mask, so that transparent pixels stay transparent and every second opaque
// pixel becomes transparent. The colour image is cleared under every pixel the new mask lets
// through: a transparent pixel whose colour is not black would otherwise invert what lies
// beneath instead of showing it.
HBITMAP seeThruMask(HBITMAP oldMask, HBITMAP colour)
{
    BITMAP record{};
    GetObjectA(oldMask, sizeof record, &record);
    ovk_native::WindowDC screen(nullptr);
    const ovk_native::MemoryDC source(screen.get());
    const ovk_native::MemoryDC target(screen.get());
    screen.close();
    ovk_native::Bitmap mask(CreateBitmap(record.bmWidth, record.bmHeight, record.bmPlanes,
                                         record.bmBitsPixel, nullptr));
    if (!mask)
        return nullptr;
    {
        // Both bitmaps leave their contexts at the end of this scope, before the mask is
        // handed out.
        const ovk_native::Selection sourceBitmap(source.get(), oldMask);
        const ovk_native::Selection targetBitmap(target.get(), mask.get());
        const int width = record.bmWidth;
        // An icon without a colour image keeps its image below the mask in the same bitmap.
        const int height = colour ? record.bmHeight : record.bmHeight / 2;
        if (!colour)
            BitBlt(target.get(), 0, height, width, height, source.get(), 0, height, SRCCOPY);
        BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, NOTSRCCOPY);
        {
            const ovk_native::Selection grey(target.get(), GetStockObject(GRAY_BRUSH));
            BitBlt(target.get(), 0, 0, width, height, target.get(), 0, 0, MERGECOPY);
        }
        BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCPAINT);
        if (colour) {
            const ovk_native::MemoryDC image(target.get());
            const ovk_native::Selection colourBitmap(image.get(), colour);
            // DSna: the colour where the mask is 0, black where it is 1.
            constexpr DWORD keepOpaque = 0x00220326;
            BitBlt(image.get(), 0, 0, width, height, target.get(), 0, 0, keepOpaque);
        }
    }
    return mask.release();
}

} // namespace

IImageList::IImageList(HIMAGELIST list) : fHandle(list)
{
    if (!list)
        fail("IImageList::IImageList(HIMAGELIST)");
}

IImageList::~IImageList()
{
    if (fHandle)
        ImageList_Destroy(fHandle);
}

IImageList& IImageList::create(const ISize& size, unsigned int flags, int initial, int grow)
{
    if (fHandle) {
        ImageList_Destroy(fHandle);
        fHandle = nullptr;
    }
    fHandle = ImageList_Create(static_cast<int>(size.width()), static_cast<int>(size.height()),
                               flags, initial, grow);
    if (!fHandle)
        fail("IImageList::create(const ISize&,unsigned int,int,int)");
    return *this;
}

IImageList& IImageList::setCurrentIndex(int index) noexcept
{
    fCurrentIndex = index;
    return *this;
}

int IImageList::count() const
{
    return ImageList_GetImageCount(fHandle);
}

ISize IImageList::iconSize() const
{
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(fHandle, &width, &height);
    return ISize(width, height);
}

int IImageList::add(HBITMAP bitmap)
{
    const int index = ImageList_Add(fHandle, bitmap, nullptr);
    if (index == -1)
        fail("IImageList::add(HBITMAP)");
    return index;
}

int IImageList::addIcon(HICON icon)
{
    const int index = ImageList_ReplaceIcon(fHandle, -1, icon);
    if (index == -1)
        fail("IImageList::addIcon(HICON)");
    return index;
}

HICON IImageList::icon(int index)
{
    HICON made = ImageList_GetIcon(fHandle, index == -1 ? fCurrentIndex : index, ILD_TRANSPARENT);
    if (!made)
        fail("IImageList::icon(int)");
    return made;
}

int IImageList::addIconFromImageList(IImageList& other)
{
    const ovk_native::Icon image(other.icon(-1));
    const int index = ImageList_ReplaceIcon(fHandle, -1, image.get());
    if (index == -1)
        fail("IImageList::addIconFromImageList(IImageList&)");
    return index;
}

int IImageList::addIconAsSeeThru(HICON& icon)
{
    const ovk_native::IconInfo bitmaps(icon);
    if (!bitmaps)
        fail("IImageList::addIconAsSeeThru(HICON&)");
    ovk_native::Bitmap mask(seeThruMask(bitmaps.info().hbmMask, bitmaps.info().hbmColor));
    if (!mask)
        fail("IImageList::addIconAsSeeThru(HICON&)");
    ICONINFO record = bitmaps.info();
    record.hbmMask = mask.get();
    icon = CreateIconIndirect(&record);
    mask.reset();
    if (!icon)
        fail("IImageList::addIconAsSeeThru(HICON&)");
    // The list keeps a copy: the icon made here goes when the call ends, added or not.
    const ovk_native::Icon made(icon);
    return addIcon(icon);
}

int IImageList::addMergedIcon(IImageList& first, int firstIndex, IImageList& second,
                              int secondIndex, const IPoint& offset, IImageList& target)
{
    IImageList merged(ImageList_Merge(first.handle(), firstIndex, second.handle(), secondIndex,
                                      static_cast<int>(offset.x()),
                                      static_cast<int>(offset.y())));
    return target.addIconFromImageList(merged);
}

IImageList& IImageList::beginDrag(const IPoint& hotSpot, const IPoint& position)
{
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    ImageList_BeginDrag(fHandle, fCurrentIndex, static_cast<int>(hotSpot.x()),
                        static_cast<int>(hotSpot.y()));
    ImageList_DragEnter(nullptr, static_cast<int>(position.x()), static_cast<int>(position.y()));
    return *this;
}
