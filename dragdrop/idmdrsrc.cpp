// The drop source and its drag images.
#include <windows.h>
#include <commctrl.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>

#include "detail/icomobj.hpp"
#include <detail/iimagels.hpp>
#include <iapp.hpp>
#include <igbitmap.hpp>
#include <ireslib.hpp>

#include "idmdrsrc.hpp"
#include "idmimage.hpp"

namespace {

const char kFile[] = "idmdrsrc";

// The library's drag pointers, in the order they join the cursor list after the current cursor:
// the copy badge, the link badge, the never badge.
constexpr unsigned long kPointers[] = {28994, 28995, 28993};
// ShowCursor counts without bound; a cursor that stays visible after this many hides is left
// visible rather than hidden forever.
constexpr unsigned long kMostHides = 64;

[[noreturn]] void fail(const char* function)
{
    IThrow::message(OVK_MSG_POSITION_INVALID, IEXCEPTION_LOCATION(kFile, function));
}

} // namespace

// The drop source's state and its four prepared images.
class IDMDropSourceData {
public:
    static ISize iconSize(HICON icon);

    // Hides the cursor with calls of its own until the system counts it hidden, or shows again
    // exactly what it hid. The application's own hides are left as they are.
    void hideCursor();
    void showCursor();
    // Ends a drag image that shows.
    void leaveImage();
    bool hasImage() const { return mode != IDMDropSource::noImage; }

    unsigned char state = IDMDropSource::noneShown;
    unsigned char mode = IDMDropSource::noImage;
    long references = 0;
    IImageList images;
    bool skipNext = true;
    unsigned long hides = 0;
    DWORD allowedEffects = 0;
    int moveImage = -1;
    int copyImage = -1;
    int linkImage = -1;
    int neverImage = -1;
    IPoint hotSpot{16, 16};
};

ISize IDMDropSourceData::iconSize(HICON icon)
{
    const ovk_native::IconInfo parts(icon);
    if (!parts)
        fail("IDMDropSourceData::iconSize(HICON)");
    const ICONINFO& info = parts.info();
    BITMAP bitmap{};
    HBITMAP image = info.hbmColor ? info.hbmColor : info.hbmMask;
    if (!GetObjectA(image, sizeof bitmap, &bitmap))
        fail("IDMDropSourceData::iconSize(HICON)");
    // A monochrome icon keeps its image below its mask in one bitmap of twice the height.
    const long height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    return ISize(bitmap.bmWidth, height);
}

void IDMDropSourceData::hideCursor()
{
    if (hides)
        return;
    while (hides < kMostHides) {
        ++hides;
        if (ShowCursor(FALSE) < 0)
            break;
    }
}

void IDMDropSourceData::showCursor()
{
    for (; hides; --hides)
        ShowCursor(TRUE);
}

void IDMDropSourceData::leaveImage()
{
    if (!hasImage())
        return;
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
}

// ---------------------------------------------------------------------------------------------
// The COM object

IDMDropSource::IDMDropSource() : fData(new IDMDropSourceData) {}

IDMDropSource::~IDMDropSource()
{
    fData->showCursor();
    delete fData;
}

HRESULT IDMDropSource::QueryInterface(REFIID riid, void** object)
{
    return ovk_dragdrop::queryInterface(static_cast<IDropSource*>(this), riid, IID_IDropSource,
                                        object);
}

ULONG IDMDropSource::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&fData->references));
}

ULONG IDMDropSource::Release()
{
    const long count = InterlockedDecrement(&fData->references);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT IDMDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        IDMDropSourceData& data = *fData;
        if (escapePressed) {
            data.leaveImage();
            return DRAGDROP_S_CANCEL;
        }
        if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) {
            data.leaveImage();
            return DRAGDROP_S_DROP;
        }
        if (!data.hasImage())
            return S_OK;
        POINT cursor{};
        GetCursorPos(&cursor);
        if (data.skipNext) {
            data.skipNext = false;
            return S_OK;
        }
        if (!(data.allowedEffects & 0xF)) {
            // Over a place that takes nothing: the normal cursor instead of the image.
            if (data.state != noneShown) {
                data.state = noneShown;
                ImageList_DragLeave(nullptr);
                data.showCursor();
                data.skipNext = true;
            }
            return S_OK;
        }
        data.hideCursor();
        unsigned char state = data.state;
        int image = data.images.currentIndex();
        if (data.allowedEffects & DROPEFFECT_COPY) {
            state = copyShown;
            image = data.copyImage;
        } else if (data.allowedEffects & DROPEFFECT_MOVE) {
            state = moveShown;
            image = data.moveImage;
        } else if (data.allowedEffects & DROPEFFECT_LINK) {
            state = linkShown;
            image = data.linkImage;
        }
        if (state != data.state) {
            data.state = state;
            data.images.setCurrentIndex(image);
            data.images.beginDrag(data.hotSpot, IPoint(cursor.x, cursor.y));
        }
        ImageList_DragMove(cursor.x, cursor.y);
        return S_OK;
    });
}

HRESULT IDMDropSource::GiveFeedback(DWORD effect)
{
    if (fData->hasImage())
        fData->allowedEffects = effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

IDMDropSource::ImageState IDMDropSource::imageState() const noexcept
{
    return static_cast<ImageState>(fData->state);
}

IDMDropSource::ImageMode IDMDropSource::imageMode() const noexcept
{
    return static_cast<ImageMode>(fData->mode);
}

IBase::Boolean IDMDropSource::isSkippingNext() const noexcept
{
    return fData->skipNext;
}

int IDMDropSource::currentImageIndex() const noexcept
{
    return fData->state == noneShown ? -1 : fData->images.currentIndex();
}

unsigned long IDMDropSource::cursorHides() const noexcept
{
    return fData->hides;
}

// ---------------------------------------------------------------------------------------------
// The drag images

namespace {

const char kSetImage[] = "IDMDropSource::setImage(IDMImage&,const IPoint&)";

// Appends a see-through copy of the icon, which stays the caller's, and answers its index.
int addSeeThru(IImageList& list, HICON icon)
{
    HICON working = icon;
    return list.addIconAsSeeThru(working);
}

// The picture of the drag: the bitmap (or, without one, the icon) and a see-through copy of it,
// which becomes the list's current image.
void preparePicture(IImageList& picture, IDMImage& image)
{
    int index = -1;
    const IBitmapHandle bitmap = image.bitmap();
    if (bitmap.isValid()) {
        BITMAP info{};
        if (!GetObjectA(bitmap.asValue(), sizeof info, &info))
            fail(kSetImage);
        picture.create(ISize(info.bmWidth, info.bmHeight), ILC_MASK, 4, 4);
        // The list keeps a copy of what it is given; the copy made here is ours to delete.
        const ovk_native::Bitmap copy(IGBitmap::copyHandle(bitmap).asValue());
        const int added = picture.add(copy.get());
        const ovk_native::Icon asIcon(picture.icon(added));
        index = addSeeThru(picture, asIcon.get());
    } else {
        HICON icon = image.icon().asValue();
        picture.create(IDMDropSourceData::iconSize(icon), ILC_MASK, 4, 4);
        index = addSeeThru(picture, icon);
    }
    picture.setCurrentIndex(index);
}

// The current cursor, then the library's copy, link and never pointers.
void prepareCursors(IImageList& cursors)
{
    // The only way to read the thread's cursor is to set another and put it back at once.
    HCURSOR current = SetCursor(nullptr);
    SetCursor(current);
    if (!current)
        current = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    cursors.create(ISize(GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)), ILC_MASK,
                   4, 4);
    cursors.addIcon(current);
    const IResourceLibrary& library = IApplication::current().ovkuiResourceLibrary();
    for (unsigned long id : kPointers) {
        const IPointerHandle pointer = library.loadPointer(id);
        cursors.addIcon(pointer.asValue());
    }
}

} // namespace

void IDMDropSource::setImage(IDMImage& image, const IPoint& hotSpot)
{
    IDMDropSourceData& data = *fData;
    data.mode = image.bitmap().isValid() ? bitmapImage
                : image.icon().isValid() ? iconImage
                                         : noImage;
    if (data.mode == noImage)
        return;
    try {
        data.hotSpot = hotSpot;
        IImageList picture;
        preparePicture(picture, image);
        IImageList cursors;
        prepareCursors(cursors);
        // The move image is the picture with the current cursor at the hot spot; the others
        // add a badge to it at the same place.
        IImageList merged(ImageList_Merge(picture.handle(), picture.currentIndex(),
                                          cursors.handle(), 0, static_cast<int>(hotSpot.x()),
                                          static_cast<int>(hotSpot.y())));
        merged.setCurrentIndex(0);
        data.images.create(merged.iconSize(), ILC_MASK, 4, 4);
        data.moveImage = data.images.addIconFromImageList(merged);
        data.copyImage = IImageList::addMergedIcon(data.images, data.moveImage, cursors, 1,
                                                   hotSpot, data.images);
        data.linkImage = IImageList::addMergedIcon(data.images, data.moveImage, cursors, 2,
                                                   hotSpot, data.images);
        data.neverImage = IImageList::addMergedIcon(data.images, data.moveImage, cursors, 3,
                                                    hotSpot, data.images);
        data.skipNext = true;
    } catch (const IException&) {
        // A drag without image is still a drag.
        data.mode = noImage;
    }
}
