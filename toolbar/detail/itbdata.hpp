// The private record of a tool bar button.
#pragma once

#include <windows.h>

#include <memory>

#include <ibmphdl.hpp>
#include <icolor.hpp>
#include <igbitmap.hpp>

#include <detail/iscoped.hpp>

#include "../itbarbut.hpp"

namespace ovk_toolbar {

// A drawn face kept as a device bitmap, with the generation of the shared faces it was made in.
class KeptFace {
public:
    bool valid() const { return static_cast<bool>(fBitmap); }
    HBITMAP bitmap() const { return fBitmap.get(); }
    unsigned long generation() const { return fGeneration; }
    ISize size() const { return fSize; }
    void keep(HBITMAP bitmap, const ISize& size, unsigned long generation)
    {
        fBitmap.reset(bitmap);
        fSize = size;
        fGeneration = generation;
    }
    void reset() { fBitmap.reset(); }

private:
    ovk_native::Bitmap fBitmap;
    ISize fSize;
    unsigned long fGeneration = 0;
};

} // namespace ovk_toolbar

struct IToolBarButtonData {
    explicit IToolBarButtonData(IToolBarButton& button) : drawHandler(button) {}

    IToolBarButtonDrawHandler drawHandler;
    IBitmapHandle bitmap;
    IBitmapHandle latchedBitmap;
    std::unique_ptr<IColor> transparent;
    std::unique_ptr<IGBitmap> bitmapGraphic;
    std::unique_ptr<IGBitmap> latchedGraphic;
    ISize minimum;
    bool minimumValid = false;
    // The button's whole up face as last drawn.
    ovk_toolbar::KeptFace face;
    // A press that may become a drag, where it was, the button that pressed (MK_LBUTTON or
    // MK_RBUTTON) and whether the button took the capture for it (the native button takes it
    // itself for the left button only).
    bool dragPending = false;
    bool dragCaptured = false;
    POINT dragStart = {0, 0};
    WPARAM dragButton = 0;
};
