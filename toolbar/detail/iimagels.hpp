// IImageList: an owning wrapper of a common-controls image list, used for drag images. Internal
// to the library: nothing of it is exported.
#pragma once

#include <ibase.hpp>
#include <ipoint.hpp>

struct _IMAGELIST;
struct HBITMAP__;
struct HICON__;

// Keeps one list handle and a current image, which icon(-1) and beginDrag use.
class IImageList : public IBase {
public:
    IImageList() = default;
    // Takes ownership; a null handle throws message 161.
    explicit IImageList(_IMAGELIST* list);
    IImageList(const IImageList&) = delete;
    IImageList& operator=(const IImageList&) = delete;
    virtual ~IImageList();

    // Destroys the list it holds, then makes a new one; a failure leaves it with none.
    IImageList& create(const ISize& size, unsigned int flags, int initial, int grow);

    _IMAGELIST* handle() const noexcept { return fHandle; }
    int currentIndex() const noexcept { return fCurrentIndex; }
    IImageList& setCurrentIndex(int index) noexcept;
    int count() const;
    ISize iconSize() const;

    // Each answers the index of the appended image.
    int add(HBITMAP__* bitmap);
    // The icon stays the caller's.
    int addIcon(HICON__* icon);
    // The other list's current image.
    int addIconFromImageList(IImageList& other);
    // Appends a copy of the icon whose opaque area lets every second pixel through. The handle
    // left in `icon` is not valid afterwards; the caller still frees the icon it passed in.
    int addIconAsSeeThru(HICON__*& icon);
    // An icon made of the image (-1: the current one), which the caller destroys.
    HICON__* icon(int index = -1);

    // Appends to `target` the first list's image with the second's drawn over it at the offset.
    static int addMergedIcon(IImageList& first, int firstIndex, IImageList& second,
                             int secondIndex, const IPoint& offset, IImageList& target);

    // Shows the current image as the drag image at a screen position, ending one that still
    // shows. Moving and ending it are the caller's.
    IImageList& beginDrag(const IPoint& hotSpot, const IPoint& position);

private:
    _IMAGELIST* fHandle = nullptr;
    int fCurrentIndex = 0;
};
