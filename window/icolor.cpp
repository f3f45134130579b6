// Colours: RGB values, named colours, system colours and device colours.
#include <windows.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "icolor.hpp"

namespace {

// The Windows system colour (COLOR_ index) that each of the library's system colours is bound to.
// Four to a line: the entries for 0-3, 4-7, and so on.
constexpr unsigned char gSystemColorIndex[46] = {
    COLOR_HIGHLIGHT,           COLOR_HIGHLIGHTTEXT,   COLOR_WINDOWTEXT,      COLOR_WINDOW,
    COLOR_WINDOW,              COLOR_GRAYTEXT,        COLOR_HIGHLIGHTTEXT,   COLOR_HIGHLIGHT,
    COLOR_BTNFACE,             COLOR_INACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_BTNHIGHLIGHT,
    COLOR_BTNFACE,             COLOR_BTNSHADOW,       COLOR_WINDOWTEXT,      COLOR_MENU,
    COLOR_BTNHIGHLIGHT,        COLOR_BTNHIGHLIGHT,    COLOR_WINDOWTEXT,      COLOR_BTNFACE,
    COLOR_HIGHLIGHTTEXT,       COLOR_HIGHLIGHT,       COLOR_INACTIVECAPTION, COLOR_ACTIVECAPTION,
    COLOR_INACTIVECAPTIONTEXT, COLOR_CAPTIONTEXT,     COLOR_WINDOWTEXT,      COLOR_WINDOWTEXT,
    COLOR_SCROLLBAR,           COLOR_BACKGROUND,      COLOR_ACTIVECAPTION,   COLOR_INACTIVECAPTION,
    COLOR_MENU,                COLOR_WINDOW,          COLOR_WINDOWFRAME,     COLOR_MENUTEXT,
    COLOR_WINDOWTEXT,          COLOR_CAPTIONTEXT,     COLOR_CAPTIONTEXT,     COLOR_CAPTIONTEXT,
    COLOR_ACTIVEBORDER,        COLOR_INACTIVEBORDER,  COLOR_APPWORKSPACE,    COLOR_WINDOW,
    COLOR_WINDOWTEXT,          COLOR_WINDOWTEXT};
constexpr unsigned int gSystemColorCount = sizeof gSystemColorIndex;

// GetSysColor keeps only the RGB bytes; the high byte is masked in case a driver sets it.
std::uint32_t systemRGB(std::int32_t index) noexcept
{
    return static_cast<std::uint32_t>(GetSysColor(index)) & 0xFFFFFF;
}

IString rgbFields(const IColor& color)
{
    return "red=" + IString(static_cast<unsigned>(color.redMix())) +
           ",green=" + IString(static_cast<unsigned>(color.greenMix())) +
           ",blue=" + IString(static_cast<unsigned>(color.blueMix()));
}

} // namespace

IColor::IColor(SystemColor color) : fIndex(0), fKind(systemKind)
{
    if (color >= gSystemColorCount)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IColor::IColor(SystemColor)"));
    fIndex = gSystemColorIndex[color];
    setRGB(systemRGB(fIndex));
}

IColor::IColor(long paletteIndex)
{
    // Only the entries the default palette has: asked for any other index, GetPaletteEntries
    // answers 0 and leaves the entry as it was, so the colour would be whatever lay there.
    PALETTEENTRY entry{};
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (paletteIndex < 0 || !palette ||
        GetPaletteEntries(palette, static_cast<UINT>(paletteIndex), 1, &entry) != 1)
        IThrow::message(OVK_MSG_NO_COLOR_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IColor::IColor(long)"));
    fRed = entry.peRed;
    fGreen = entry.peGreen;
    fBlue = entry.peBlue;
}

IColor::~IColor() = default;

std::uint32_t IColor::currentRGB() const noexcept
{
    if (fKind == systemKind)
        return systemRGB(fIndex);
    return fRed | static_cast<std::uint32_t>(fGreen) << 8 | static_cast<std::uint32_t>(fBlue) << 16;
}

void IColor::setRGB(std::uint32_t rgb) noexcept
{
    fRed = static_cast<unsigned char>(rgb & 0xFF);
    fGreen = static_cast<unsigned char>((rgb >> 8) & 0xFF);
    fBlue = static_cast<unsigned char>((rgb >> 16) & 0xFF);
}

IBase::Boolean IColor::refreshSystemColor()
{
    if (fKind != systemKind)
        return false;
    setRGB(systemRGB(fIndex));
    return true;
}

// The const readers ask the system directly instead of refreshing the stored bytes, so that a
// colour shared between threads is only ever read by them.
unsigned char IColor::redMix() const noexcept
{
    return static_cast<unsigned char>(currentRGB() & 0xFF);
}

unsigned char IColor::greenMix() const noexcept
{
    return static_cast<unsigned char>((currentRGB() >> 8) & 0xFF);
}

unsigned char IColor::blueMix() const noexcept
{
    return static_cast<unsigned char>((currentRGB() >> 16) & 0xFF);
}

unsigned long IColor::asRGBLong() const noexcept
{
    return currentRGB();
}

IColor::Color IColor::value() const
{
    if (fKind == namedKind)
        return static_cast<Color>(fIndex);
    const std::uint32_t rgb = currentRGB();
    for (unsigned int color = 0; color < 16; ++color) {
        if (namedRGB(color) == rgb) {
            // A system colour answers the match but stays bound to the system: turning it into
            // a fixed named colour would silently stop it following the user's settings.
            if (fKind == rgbKind) {
                fKind = namedKind;
                fIndex = static_cast<std::int32_t>(color);
            }
            return static_cast<Color>(color);
        }
    }
    IThrow::message(OVK_MSG_NO_COLOR_VALUE, IEXCEPTION_LOCATION("icolor", "IColor::value() const"));
}

unsigned long IColor::systemColor() const
{
    if (fKind != systemKind)
        IThrow::message(OVK_MSG_NO_COLOR_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IColor::systemColor() const"));
    return static_cast<unsigned long>(fIndex);
}

long IColor::index() const
{
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    UINT nearest = palette ? GetNearestPaletteIndex(palette, currentRGB()) : CLR_INVALID;
    // The failure value CLR_INVALID reads as -1, so it must be caught before it passes as an
    // index.
    if (nearest == CLR_INVALID)
        IThrow::message(OVK_MSG_NO_COLOR_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IColor::index() const"));
    return static_cast<long>(nearest);
}

IBase::Boolean IColor::operator==(const IColor& other) const noexcept
{
    return currentRGB() == other.currentRGB();
}

IString IColor::asString() const
{
    return "IColor(" + rgbFields(*this) + ")";
}

IString IColor::asDebugInfo() const
{
    static const char* const kinds[] = {"rgb", "named", "system"};
    const char* kind = fKind >= 0 && fKind <= 2 ? kinds[fKind] : "?";
    return "IColor(" + rgbFields(*this) + ",index=" + IString(static_cast<int>(fIndex)) +
           ",kind=" + kind + ")";
}

IGUIColor::IGUIColor(SystemColor color) : IColor(color) {}

IGUIColor::~IGUIColor() = default;

IGUIColor& IGUIColor::setColor(const IColor& color)
{
    // The element changed is the one this colour is bound to, so that reading the colour back
    // answers what was set. An IGUIColor assigned through its IColor part may no longer be bound.
    if (fKind != systemKind)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IGUIColor::setColor(const IColor&)"));
    const INT element = fIndex;
    const COLORREF rgb = color.asRGBLong();
    if (!SetSysColors(1, &element, &rgb))
        IThrow::systemError("WinSetSysColors", GetLastError(),
                            IEXCEPTION_LOCATION("icolor", "IGUIColor::setColor(const IColor&)"));
    refreshSystemColor();
    return *this;
}

IString IGUIColor::asString() const
{
    return "IGUIColor(" + rgbFields(*this) + ",systemColor=" + IString(static_cast<int>(fIndex)) +
           ")";
}

IDeviceColor::IDeviceColor(DeviceColor color)
{
    switch (color) {
    case defaultColor:
        // The window-text colour as it is now; it does not follow later changes.
        setRGB(systemRGB(COLOR_WINDOWTEXT));
        break;
    case background:
        setRGB(0xFFFFFF);
        break;
    case neutral:
        setRGB(0x000000);
        break;
    default:
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("icolor", "IDeviceColor::IDeviceColor(DeviceColor)"));
    }
    fDeviceColor = static_cast<unsigned char>(color);
}

IDeviceColor::~IDeviceColor() = default;

IString IDeviceColor::asString() const
{
    return "IDeviceColor(" + rgbFields(*this) +
           ",deviceColor=" + IString(static_cast<unsigned>(fDeviceColor)) + ")";
}
