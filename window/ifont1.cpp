// Fonts: the lists of installed face names and of the point sizes of a face.
#include <windows.h>

#include <detail/iscoped.hpp>

#include <algorithm>
#include <exception>

#include <iexcept.hpp>

#include "ifont.hpp"

namespace {

// The screen's device context, which the lists are built on.
class ScreenContext {
public:
    ScreenContext() : fContext(nullptr)
    {
        if (!fContext)
            IThrow::systemError("GetDC", GetLastError(),
                                IEXCEPTION_LOCATION("ifont1", "ScreenContext::ScreenContext()"));
    }
    HDC get() const noexcept { return fContext.get(); }

private:
    ovk_native::WindowDC fContext;
};

// What a list accepts. A font's restrictions narrow it; a plain list takes everything.
struct Filter {
    bool raster = true;
    bool vector = true;
    bool fixedOnly = false;

    Filter() = default;
    explicit Filter(const IFont& font)
        : raster(!font.isVectorOnly()), vector(!font.isBitmapOnly()),
          fixedOnly(font.isFixedOnly() != 0)
    {
    }
};

bool isRaster(DWORD fontType) noexcept
{
    return (fontType & RASTER_FONTTYPE) != 0;
}

// The enumeration calls back through Windows frames, which an exception must not cross: a
// failure is kept here, the enumeration stopped, and the failure thrown once it has returned.
struct FaceNameList {
    Filter filter;
    std::vector<IString>* names;
    std::exception_ptr failure;
};

int CALLBACK addFaceName(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD fontType,
                         LPARAM parameter)
{
    FaceNameList& list = *reinterpret_cast<FaceNameList*>(parameter);
    try {
        if (isRaster(fontType) ? !list.filter.raster : !list.filter.vector)
            return 1;
        // The pitch bit is set for variable-pitch fonts.
        if (list.filter.fixedOnly && (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH))
            return 1;
        // A face name fills at most 31 characters of its field, but an enumerated record is
        // not trusted to end in a zero.
        const char* name = font->lfFaceName;
        const IString faceName(name, strnlen(name, LF_FACESIZE - 1));
        for (const IString& known : *list.names)
            if (lstrcmpA(known, faceName) == 0)
                return 1;
        list.names->push_back(faceName);
        return 1;
    } catch (...) {
        list.failure = std::current_exception();
        return 0;
    }
}

struct PointSizeList {
    Filter filter;
    int dpiX;
    int dpiY;
    std::vector<unsigned long>* sizes;
    std::exception_ptr failure;
};

int CALLBACK addPointSize(const LOGFONTA*, const TEXTMETRICA* metrics, DWORD fontType,
                          LPARAM parameter)
{
    PointSizeList& list = *reinterpret_cast<PointSizeList*>(parameter);
    try {
        // A raster font counts only in the sizes made for the screen's aspect; the others
        // would be drawn stretched.
        const bool raster = isRaster(fontType);
        const bool taken = raster
                               ? list.filter.raster && metrics->tmDigitizedAspectX == list.dpiX &&
                                     metrics->tmDigitizedAspectY == list.dpiY
                               : list.filter.vector;
        if (!taken)
            return 1;
        const long twips = 1440 / list.dpiY;
        const long points = (twips * (metrics->tmHeight - metrics->tmInternalLeading) + 10) / 20;
        const unsigned long size = points > 0 ? static_cast<unsigned long>(points) : 0;
        if (std::find(list.sizes->begin(), list.sizes->end(), size) == list.sizes->end())
            list.sizes->push_back(size);
        return 1;
    } catch (...) {
        list.failure = std::current_exception();
        return 0;
    }
}

std::vector<IString> faceNames(const Filter& filter)
{
    std::vector<IString> names;
    FaceNameList list{filter, &names, nullptr};
    ScreenContext screen;
    EnumFontFamiliesA(screen.get(), nullptr, &addFaceName, reinterpret_cast<LPARAM>(&list));
    if (list.failure)
        std::rethrow_exception(list.failure);
    std::sort(names.begin(), names.end(),
              [](const IString& a, const IString& b) { return lstrcmpiA(a, b) < 0; });
    return names;
}

std::vector<unsigned long> pointSizes(const IFont& font)
{
    std::vector<unsigned long> sizes;
    ScreenContext screen;
    int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    PointSizeList list{Filter(font), dpiX, dpiY > 0 ? dpiY : 96, &sizes, nullptr};
    // Without a face name the enumeration would list one font of every family instead.
    const IString face = font.name();
    if (face.isEmpty())
        return sizes;
    EnumFontFamiliesA(screen.get(), face, &addPointSize, reinterpret_cast<LPARAM>(&list));
    if (list.failure)
        std::rethrow_exception(list.failure);
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

// The moves that both cursors share, over a list of `count` entries.
bool moveTo(std::size_t& position, std::size_t count, std::size_t target) noexcept
{
    position = target < count ? target : static_cast<std::size_t>(-1);
    return target < count;
}

} // namespace

IFont::FaceNameCursor::FaceNameCursor() : fNames(faceNames(Filter())) {}

IFont::FaceNameCursor::FaceNameCursor(const IFont& font) : fNames(faceNames(Filter(font))) {}

IBase::Boolean IFont::FaceNameCursor::setToFirst()
{
    return moveTo(fPosition, fNames.size(), 0);
}

IBase::Boolean IFont::FaceNameCursor::setToNext()
{
    return isValid() && moveTo(fPosition, fNames.size(), fPosition + 1);
}

IBase::Boolean IFont::FaceNameCursor::setToPrevious()
{
    return isValid() && moveTo(fPosition, fNames.size(), fPosition - 1);
}

IBase::Boolean IFont::FaceNameCursor::setToLast()
{
    return moveTo(fPosition, fNames.size(), fNames.size() - 1);
}

IString IFont::FaceNameCursor::faceName() const
{
    ISTATE_CHECK(isValid(), "ifont1", "IFont::FaceNameCursor::faceName() const");
    return fNames[fPosition];
}

IFont::PointSizeCursor::PointSizeCursor(const IFont& font) : fSizes(pointSizes(font)) {}

IBase::Boolean IFont::PointSizeCursor::setToFirst()
{
    return moveTo(fPosition, fSizes.size(), 0);
}

IBase::Boolean IFont::PointSizeCursor::setToNext()
{
    return isValid() && moveTo(fPosition, fSizes.size(), fPosition + 1);
}

IBase::Boolean IFont::PointSizeCursor::setToPrevious()
{
    return isValid() && moveTo(fPosition, fSizes.size(), fPosition - 1);
}

IBase::Boolean IFont::PointSizeCursor::setToLast()
{
    return moveTo(fPosition, fSizes.size(), fSizes.size() - 1);
}

unsigned long IFont::PointSizeCursor::pointSize() const
{
    ISTATE_CHECK(isValid(), "ifont1", "IFont::PointSizeCursor::pointSize() const");
    return fSizes[fPosition];
}
