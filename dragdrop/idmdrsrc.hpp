// IDMDropSource: the drop source that the library hands to OLE for a drag; it also moves the
// drag image and hides the system cursor while the image carries the pointer.
#pragma once

#include <oleidl.h>

#include <ipoint.hpp>

#include <idefs.hpp>

class IDMImage;
class IDMDropSourceData;

// Counted from 0 at construction. Without a drag image it only answers OLE: drop when no mouse
// button is down, cancel on Escape. With one it shows one of four prepared images (the picture
// with the current pointer, with the copy badge, with the link badge, with the never badge) by
// the effect OLE allows, and hides the cursor while an image shows; everything it hid is shown
// again when it is destroyed.
class OVKWIN_API IDMDropSource : public IDropSource {
public:
    // Which image shows.
    enum ImageState : unsigned char { moveShown = 0, copyShown = 1, linkShown = 2, noneShown = 4 };
    // What kind of drag image there is.
    enum ImageMode : unsigned char { bitmapImage = 0, iconImage = 1, noImage = 2 };

    IDMDropSource();
    IDMDropSource(const IDMDropSource&) = delete;
    IDMDropSource& operator=(const IDMDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    // Prepares the drag images from the image's bitmap (else its icon) and the pointer's
    // position inside it. A failure leaves a drag without image; the drag goes on.
    virtual void setImage(IDMImage& image, const IPoint& hotSpot);

    // What the drop source shows, for those who watch a drag.
    ImageState imageState() const noexcept;
    ImageMode imageMode() const noexcept;
    IBase::Boolean isSkippingNext() const noexcept;
    // The index of the image in the drop source's list that shows now, and the number of the
    // cursor hides this drop source still owes the system.
    int currentImageIndex() const noexcept;
    unsigned long cursorHides() const noexcept;

protected:
    virtual ~IDMDropSource();

private:
    IDMDropSourceData* fData;
    unsigned long fReserved1 = 0;
    unsigned long fReserved2 = 0;
};
