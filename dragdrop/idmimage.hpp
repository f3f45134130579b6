// IDMImage: what the pointer shows for one drag item: an icon, a bitmap or a polygon outline.
#pragma once

#include <cstdint>
#include <vector>

#include <ibitflag.hpp>
#include <ipoint.hpp>
#include <ivbase.hpp>

#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <iptrhdl.hpp>

class IResourceId;

// A value: copies are deep (the handles are counted, the points copied). Style bits are only
// ever added: an image given an icon and then a bitmap has both, and users look at the icon
// first.
class OVKWIN_API IDMImage : public IVBase {
public:
    class Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value = 0, Word extendedValue = 0) noexcept
            : IBitFlagSet(value, extendedValue) {}
    };

    static const Style noStyle;
    static const Style iconImage;
    static const Style bitmapImage;
    static const Style polygonImage;
    static const Style stretchImage;
    static const Style transparentImage;
    static const Style closedPolygon;
    static const Style classDefaultStyle;

    // The style the constructors take when none is given.
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IDMImage();
    // A stretch size other than (0, 0) adds the stretch bit.
    IDMImage(const IPointerHandle& icon, const IPoint& offset = IPoint(0, 0),
             const ISize& stretchSize = ISize(0, 0), const Style& style = defaultStyle());
    IDMImage(const IBitmapHandle& bitmap, const IPoint& offset = IPoint(0, 0),
             const ISize& stretchSize = ISize(0, 0), const Style& style = defaultStyle());
    // Copies count 32-bit entries.
    IDMImage(const void* points, unsigned long count, const IPoint& offset = IPoint(0, 0),
             const Style& style = defaultStyle());
    // An icon (isPointer) or a bitmap from the identifier's resource library.
    IDMImage(const IResourceId& id, IBase::Boolean isPointer, const IPoint& offset = IPoint(0, 0),
             const ISize& stretchSize = ISize(0, 0), const Style& style = defaultStyle());
    IDMImage(const IDMImage& other);
    IDMImage& operator=(const IDMImage& other);
    ~IDMImage() override;

    IString asString() const override;
    IString asDebugInfo() const override;

    IDMImage& setIcon(const IPointerHandle& icon);
    IDMImage& setBitmap(const IBitmapHandle& bitmap);
    IDMImage& setPolygon(const void* points, unsigned long count);
    IDMImage& setStretchSize(const ISize& size);

    IPointerHandle icon() const { return fIcon; }
    IBitmapHandle bitmap() const { return fBitmap; }
    // The polygon's entries; null when there are none.
    const void* points() const noexcept { return fPoints.empty() ? nullptr : fPoints.data(); }
    unsigned long pointCount() const noexcept { return static_cast<unsigned long>(fPoints.size()); }
    IPoint offset() const { return fOffset; }
    ISize stretchSize() const { return fStretchSize; }
    Style style() const noexcept { return fStyle; }

private:
    // Adds the stretch bit when the size is not (0, 0).
    static Style withStretch(Style style, const ISize& stretchSize);

    IPointerHandle fIcon;
    IBitmapHandle fBitmap;
    std::vector<std::uint32_t> fPoints;
    IPoint fOffset{0, 0};
    ISize fStretchSize{0, 0};
    Style fStyle;
};
