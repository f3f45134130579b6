// The private record of a tool bar button.
#pragma once

#include <windows.h>

#include <memory>

#include <ibmphdl.hpp>
#include <icolor.hpp>
#include <igbitmap.hpp>

#include "../itbarbut.hpp"

namespace ovk_toolbar {

// A drawn face kept as a device bitmap, with the generation of the shared faces it was made in.
class KeptFace {
public:
    KeptFace() = default;
    ~KeptFace() { reset(); }
    KeptFace(const KeptFace&) = delete;
    KeptFace& operator=(const KeptFace&) = delete;

    bool valid() const { return fBitmap != nullptr; }
    HBITMAP bitmap() const { return fBitmap; }
    unsigned long generation() const { return fGeneration; }
    ISize size() const { return fSize; }
    void keep(HBITMAP bitmap, const ISize& size, unsigned long generation)
    {
        reset();
        fBitmap = bitmap;
        fSize = size;
        fGeneration = generation;
    }
    void reset()
    {
        if (fBitmap)
            DeleteObject(fBitmap);
        fBitmap = nullptr;
    }

private:
    HBITMAP fBitmap = nullptr;
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
};
