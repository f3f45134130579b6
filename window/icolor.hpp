// Colours: an RGB value that may also be one of sixteen named colours or stand for a system
// colour, which is read from the system again before every use.
#pragma once

#include <cstdint>

#include <istring.hpp>
#include <ivbase.hpp>

#include "idefs.hpp"

class OVKWIN_API IColor : public IVBase {
public:
    // The sixteen named colours. The underlying type is fixed, so that any number converts to
    // the type and the constructor can map the ones out of range to black.
    enum Color : unsigned int {
        white,     // 255, 255, 255
        blue,      //   0,   0, 255
        red,       // 255,   0,   0
        pink,      // 255,   0, 255
        green,     //   0, 255,   0
        cyan,      //   0, 255, 255
        yellow,    // 255, 255,   0
        black,     //   0,   0,   0
        darkGray,  // 128, 128, 128
        darkBlue,  //   0,   0, 128
        darkRed,   // 128,   0,   0
        darkPink,  // 128,   0, 128
        darkGreen, //   0, 128,   0
        darkCyan,  //   0, 128, 128
        brown,     // 128, 128,   0
        paleGray   // 192, 192, 192
    };

    // The library's system colours, each bound to a Windows system colour (the COLOR_ index in
    // the comment). Several share a Windows colour: they name the use, Windows the colour.
    enum SystemColor : unsigned int {
        selectionBackground,     // COLOR_HIGHLIGHT
        selectionForeground,     // COLOR_HIGHLIGHTTEXT
        entryText,               // COLOR_WINDOWTEXT
        entryBackground,         // COLOR_WINDOW
        listBackground,          // COLOR_WINDOW
        disabledText,            // COLOR_GRAYTEXT
        menuSelectionForeground, // COLOR_HIGHLIGHTTEXT
        menuSelectionBackground, // COLOR_HIGHLIGHT
        buttonFace,              // COLOR_BTNFACE
        inactiveSelection,       // COLOR_INACTIVECAPTION
        disabledForeground,      // COLOR_INACTIVECAPTION
        buttonHighlight,         // COLOR_BTNHIGHLIGHT
        buttonMiddle,            // COLOR_BTNFACE
        buttonShadow,            // COLOR_BTNSHADOW
        windowForeground,        // COLOR_WINDOWTEXT
        frameShadow,             // COLOR_MENU
        frameHighlight,          // COLOR_BTNHIGHLIGHT
        shadow,                  // COLOR_BTNHIGHLIGHT
        labelText,               // COLOR_WINDOWTEXT
        dialogBackground,        // COLOR_BTNFACE
        hiliteForeground,        // COLOR_HIGHLIGHTTEXT
        hiliteBackground,        // COLOR_HIGHLIGHT
        inactiveTitleBackground, // COLOR_INACTIVECAPTION
        activeTitleBackground,   // COLOR_ACTIVECAPTION
        inactiveTitleText,       // COLOR_INACTIVECAPTIONTEXT
        activeTitleText,         // COLOR_CAPTIONTEXT
        outputText,              // COLOR_WINDOWTEXT
        iconText,                // COLOR_WINDOWTEXT
        scrollBar,               // COLOR_SCROLLBAR
        desktop,                 // COLOR_BACKGROUND
        activeTitle,             // COLOR_ACTIVECAPTION
        inactiveTitle,           // COLOR_INACTIVECAPTION
        menuBackground,          // COLOR_MENU
        windowBackground,        // COLOR_WINDOW
        windowFrame,             // COLOR_WINDOWFRAME
        menuText,                // COLOR_MENUTEXT
        windowText,              // COLOR_WINDOWTEXT
        titleText,               // COLOR_CAPTIONTEXT
        titleBarText,            // COLOR_CAPTIONTEXT
        helpText,                // COLOR_CAPTIONTEXT
        activeBorder,            // COLOR_ACTIVEBORDER
        inactiveBorder,          // COLOR_INACTIVEBORDER
        applicationWorkspace,    // COLOR_APPWORKSPACE
        fieldBackground,         // COLOR_WINDOW
        fieldText,               // COLOR_WINDOWTEXT
        pageText                 // COLOR_WINDOWTEXT
    };

    // Black as a plain RGB value.
    constexpr IColor() noexcept = default;
    constexpr IColor(unsigned char red, unsigned char green, unsigned char blue) noexcept
        : fRed(red), fGreen(green), fBlue(blue)
    {
    }
    // A named colour; a value of 16 or more gives black (and remembers it as black).
    constexpr IColor(Color color) noexcept
        : fRed(namedRGB(color) & 0xFF), fGreen((namedRGB(color) >> 8) & 0xFF),
          fBlue((namedRGB(color) >> 16) & 0xFF), fIndex(color < 16 ? color : black),
          fKind(namedKind)
    {
    }
    // A system colour, read now and again before every use. A value above 45 throws the
    // invalid-request error with message number 39.
    IColor(SystemColor color);
    // An entry of the system's default palette. An index that names no entry throws the
    // invalid-request error with message number 35.
    explicit IColor(long paletteIndex);

    IColor(const IColor& other) noexcept = default;
    IColor& operator=(const IColor& other) noexcept = default;
    ~IColor() override;

    // Reads a system colour from the system again: true for a system colour, else false and
    // nothing changes.
    IBase::Boolean refreshSystemColor();

    // The components, as the system has them now for a system colour.
    unsigned char redMix() const noexcept;
    unsigned char greenMix() const noexcept;
    unsigned char blueMix() const noexcept;
    // red | green << 8 | blue << 16, the layout of a Windows COLORREF.
    unsigned long asRGBLong() const noexcept;

    // The named colour this colour is. An RGB colour equal to a named colour becomes that named
    // colour; any other colour throws the invalid-request error with message number 35.
    Color value() const;
    // The Windows system colour index a system colour is bound to; any other colour throws the
    // invalid-request error with message number 35.
    unsigned long systemColor() const;
    // The index of the nearest entry of the system's default palette.
    virtual long index() const;

    IBase::Boolean isSystemColor() const noexcept { return fKind == systemKind; }
    IBase::Boolean isNamedColor() const noexcept { return fKind == namedKind; }

    // Equal when red, green and blue are equal as they are now; the kind does not count.
    IBase::Boolean operator==(const IColor& other) const noexcept;
    IBase::Boolean operator!=(const IColor& other) const noexcept { return !(*this == other); }

    IString asString() const override;
    IString asDebugInfo() const override;

protected:
    enum Kind : std::int32_t { rgbKind = 0, namedKind = 1, systemKind = 2 };

    // The RGB of a named colour, for the constant constructor.
    static constexpr std::uint32_t namedRGB(unsigned int color) noexcept
    {
        constexpr std::uint32_t table[16] = {
            0xFFFFFF, 0xFF0000, 0x0000FF, 0xFF00FF, 0x00FF00, 0xFFFF00, 0x00FFFF, 0x000000,
            0x808080, 0x800000, 0x000080, 0x800080, 0x008000, 0x808000, 0x008080, 0xC0C0C0};
        return color < 16 ? table[color] : 0;
    }
    // The system's current RGB for a system colour, the stored RGB otherwise.
    std::uint32_t currentRGB() const noexcept;
    void setRGB(std::uint32_t rgb) noexcept;

    unsigned char fRed = 0;
    unsigned char fGreen = 0;
    unsigned char fBlue = 0;
    // value() makes a matching RGB colour a named colour, also through a const object.
    mutable std::int32_t fIndex = 0;
    mutable std::int32_t fKind = rgbKind;
};

// A system colour that can also change the system's setting of the colour it is bound to.
class OVKWIN_API IGUIColor : public IColor {
public:
    IGUIColor(SystemColor color);
    IGUIColor(const IGUIColor& other) noexcept = default;
    IGUIColor& operator=(const IGUIColor& other) noexcept = default;
    ~IGUIColor() override;

    // Changes the system colour this colour is bound to into the RGB of the given colour, for
    // every program of the desktop. A failure throws the system error "WinSetSysColors".
    IGUIColor& setColor(const IColor& color);

    IString asString() const override;
};

// The colour a device uses by default, as its background or as its neutral colour. The RGB is
// fixed when the object is built; it does not follow later changes of the system colours.
class OVKWIN_API IDeviceColor : public IColor {
public:
    enum DeviceColor : unsigned int { defaultColor, background, neutral };

    // An unknown value throws the invalid-request error with message number 39.
    IDeviceColor(DeviceColor color);
    IDeviceColor(const IDeviceColor& other) noexcept = default;
    IDeviceColor& operator=(const IDeviceColor& other) noexcept = default;
    ~IDeviceColor() override;

    DeviceColor deviceColor() const noexcept { return static_cast<DeviceColor>(fDeviceColor); }

    IString asString() const override;

private:
    unsigned char fDeviceColor = defaultColor;
};
