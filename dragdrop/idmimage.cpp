// The drag image of one item.
#include <cstring>

#include <detail/iclasswide.hpp>
#include <ireslib.hpp>

#include "idmimage.hpp"

const IDMImage::Style IDMImage::noStyle(0);
const IDMImage::Style IDMImage::iconImage(1);
const IDMImage::Style IDMImage::bitmapImage(2);
const IDMImage::Style IDMImage::polygonImage(4);
const IDMImage::Style IDMImage::stretchImage(8);
const IDMImage::Style IDMImage::transparentImage(0x10);
const IDMImage::Style IDMImage::closedPolygon(0x20);
const IDMImage::Style IDMImage::classDefaultStyle(0);

namespace {

std::vector<std::uint32_t> copyOfPoints(const void* points, unsigned long count)
{
    std::vector<std::uint32_t> copy;
    if (points && count) {
        copy.resize(count);
        std::memcpy(copy.data(), points, count * sizeof(std::uint32_t));
    }
    return copy;
}

} // namespace

IDMImage::Style IDMImage::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IDMImage::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IDMImage::Style IDMImage::withStretch(Style style, const ISize& stretchSize)
{
    if (stretchSize.width() != 0 || stretchSize.height() != 0)
        style |= stretchImage;
    return style;
}

IDMImage::IDMImage() = default;

IDMImage::IDMImage(const IPointerHandle& icon, const IPoint& offset, const ISize& stretchSize,
                   const Style& style)
    : fIcon(icon), fOffset(offset), fStretchSize(stretchSize),
      fStyle(withStretch(style | iconImage, stretchSize))
{
}

IDMImage::IDMImage(const IBitmapHandle& bitmap, const IPoint& offset, const ISize& stretchSize,
                   const Style& style)
    : fBitmap(bitmap), fOffset(offset), fStretchSize(stretchSize),
      fStyle(withStretch(style | bitmapImage, stretchSize))
{
}

IDMImage::IDMImage(const void* points, unsigned long count, const IPoint& offset,
                   const Style& style)
    : fPoints(copyOfPoints(points, count)), fOffset(offset), fStyle(style | polygonImage)
{
}

IDMImage::IDMImage(const IResourceId& id, IBase::Boolean isPointer, const IPoint& offset,
                   const ISize& stretchSize, const Style& style)
    : fOffset(offset), fStretchSize(stretchSize), fStyle(withStretch(style, stretchSize))
{
    if (isPointer) {
        fIcon = id.resourceLibrary().loadIcon(id.id(), true);
        fStyle |= iconImage;
    } else {
        fBitmap = id.resourceLibrary().loadBitmap(id.id());
        fStyle |= bitmapImage;
    }
}

IDMImage::IDMImage(const IDMImage& other) = default;

IDMImage& IDMImage::operator=(const IDMImage& other) = default;

IDMImage::~IDMImage() = default;

IString IDMImage::asString() const
{
    return IString("IDMImage(style=") + IString(fStyle.asUnsignedLong()) + ")";
}

IString IDMImage::asDebugInfo() const
{
    return IString("IDMImage(style=") + IString(fStyle.asUnsignedLong()) +
           ",offset=" + fOffset.asString() + ",stretch=" + fStretchSize.asString() +
           ",points=" + IString(pointCount()) + ")";
}

IDMImage& IDMImage::setIcon(const IPointerHandle& icon)
{
    fIcon = icon;
    fStyle |= iconImage;
    return *this;
}

IDMImage& IDMImage::setBitmap(const IBitmapHandle& bitmap)
{
    fBitmap = bitmap;
    fStyle |= bitmapImage;
    return *this;
}

IDMImage& IDMImage::setPolygon(const void* points, unsigned long count)
{
    fPoints = copyOfPoints(points, count);
    fStyle |= polygonImage;
    return *this;
}

IDMImage& IDMImage::setStretchSize(const ISize& size)
{
    fStretchSize = size;
    fStyle |= stretchImage;
    return *this;
}
