// Fonts: a description by face name, size, emphasis, angle and direction that creates the
// matching native font on every change, measures text with it and selects it into device
// contexts.
#pragma once

#include <cstdint>
#include <vector>

#include <ievtdata.hpp>
#include <ipoint.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

class IWindow;
// The device-context wrapper of the handle header. The operations that take it are built apart
// (ifont3.cpp) and forward to private ones on the native device context.
class IPresSpaceHandle;
// The native records and handles, declared as <windows.h> declares them, so that this header
// does not bring the platform header into every user of the library. A caller that includes
// <windows.h> reads fontAttributes() as a LOGFONTA and handle() as an HFONT.
struct tagLOGFONTA;
struct HFONT__;
// The font dialog's settings (IFontDialog::Settings), which report a chosen font back.
class IFontDialogSettings;
struct HDC__;

// Copies of a font share one reference-counted record of attributes, native font and metrics;
// every changing operation first gives its object a record of its own (copy on write), so a
// copy never sees the changes made through another.
class OVKWIN_API IFont : public IVBase {
public:
    // The direction text runs in.
    enum Direction : unsigned int {
        defaultDirection,
        leftToRight,
        topToBottom,
        rightToLeft,
        bottomToTop
    };

    class FaceNameCursor;
    class PointSizeCursor;

    // Construction.
    // The font a window uses now, the desktop's for null.
    IFont(const IWindow* window = nullptr);
    // The font a native window uses now, the desktop's for a null handle: the font object of a
    // library window that keeps one, else the font the window answers to WM_GETFONT, else the
    // system font.
    explicit IFont(const IWindowHandle& window);
    // A face at a point size, sized for the device context (the screen's when none is given or
    // it is null). `fixed` asks for a fixed-pitch font.
    IFont(const char* faceName, unsigned long pointSize, IBase::Boolean fixed = false,
          IBase::Boolean vector = false);
    IFont(const char* faceName, unsigned long pointSize, IBase::Boolean fixed,
          IBase::Boolean vector, const IPresSpaceHandle& context);
    // The font selected in the device context now.
    explicit IFont(const IPresSpaceHandle& context);
    IFont(const IFont& other) noexcept;
    IFont& operator=(const IFont& other) noexcept;
    ~IFont() override;

    IString asString() const override;
    IString asDebugInfo() const override;

    // Changing attributes. Each re-creates the native font; on failure the font is unchanged.
    // The context, where there is one, is the device the size is measured for (the screen's
    // when it is not given or null).
    virtual IFont& setName(const char* faceName);
    virtual IFont& setPointSize(unsigned long points, const IPresSpaceHandle& context);
    IFont& setPointSize(unsigned long points);
    virtual IFont& setUnderscore(IBase::Boolean underscore = true);
    virtual IFont& setStrikeout(IBase::Boolean strikeout = true);
    // Keeps its place among the virtual operations, which is fixed; it does nothing.
    virtual void reservedOperation();
    virtual IFont& setBold(IBase::Boolean bold = true);
    virtual IFont& setItalic(IBase::Boolean italic = true);
    virtual IFont& setAllEmphasis(IBase::Boolean emphasis = true);
    // An unknown direction throws the invalid-request error with message number 39.
    virtual IFont& setDirection(Direction direction);
    // Gives the window a copy of this font to keep (sharing this font's native font) and tells
    // the native window to use it, redrawing; a null window fails the argument check.
    virtual IBase::Boolean setWindowFont(IWindow* window);
    // The five below throw the invalid-request error with message number 67 on a font that is
    // restricted to raster fonts, which come in fixed sizes and cannot turn.
    virtual IFont& setCharWidth(unsigned long width, const IPresSpaceHandle& context);
    IFont& setCharWidth(unsigned long width);
    virtual IFont& setCharHeight(unsigned long height, const IPresSpaceHandle& context);
    IFont& setCharHeight(unsigned long height);
    virtual IFont& setCharSize(const ISize& size, const IPresSpaceHandle& context);
    IFont& setCharSize(const ISize& size);
    // The direction of the characters' baseline as a vector: (1, 0) is the usual, (0, 1) turns
    // the characters a quarter turn counter-clockwise.
    virtual IFont& setFontAngle(const IPoint& angle, const IPresSpaceHandle& context);
    IFont& setFontAngle(const IPoint& angle);
    // The direction of the characters' vertical strokes as a vector; (0, 1) is upright.
    virtual IFont& setFontShear(const IPoint& shear, const IPresSpaceHandle& context);
    IFont& setFontShear(const IPoint& shear);

    // Using the font in a device context: begin selects it and counts; the matching end (per
    // device context) puts back what the first begin replaced.
    virtual IFont& beginUsingFont(const IPresSpaceHandle& context);
    virtual IFont& endUsingFont(const IPresSpaceHandle& context);

    // Restrictions for font matching and the font dialog. Raster-only and vector-only are two
    // sides of one switch: turning either off turns the other on. Fixed-only stands alone.
    virtual IFont& useFixedOnly(IBase::Boolean fixedOnly = true);
    virtual IFont& useBitmapOnly(IBase::Boolean bitmapOnly = true);
    virtual IFont& useVectorOnly(IBase::Boolean vectorOnly = true);

    // Queries. The metrics are those of the native font as the device context of its last
    // creation measured it.
    IString name() const;
    unsigned long pointSize() const;
    unsigned long maxCharHeight() const;
    unsigned long avgCharWidth() const;
    unsigned long internalLeading() const;
    unsigned long externalLeading() const;
    ISize maxSize() const;
    IBase::Boolean isBold() const;
    IBase::Boolean isItalic() const;
    IBase::Boolean isUnderscore() const;
    IBase::Boolean isStrikeout() const;
    IBase::Boolean isBitmap() const;
    IBase::Boolean isFixed() const;
    IBase::Boolean isBitmapOnly() const;
    IBase::Boolean isVectorOnly() const;
    IBase::Boolean isFixedOnly() const;
    const tagLOGFONTA& fontAttributes() const;
    // Takes the attributes chosen in a font dialog and re-creates the font; the restrictions
    // stay as they were.
    IFont& setFromDialog(const IFontDialogSettings& settings);
    // The native font. It belongs to the font's record: valid while this object (or a copy
    // sharing the record) lives unchanged.
    HFONT__* handle() const;

    // Measuring, with the font selected into the screen's device context.
    unsigned long charWidth(char character) const;
    unsigned long textWidth(const IString& text) const;
    unsigned long textWidth(const char* text) const;
    // The widest of the words of the text (split at white space); 0 for no words.
    unsigned long widestWordWidth(const char* text) const;
    // The lines the text needs when it is broken at blanks to fit the width: 0 when the width
    // is 0 or less than the widest word, and for an empty text. A line feed starts a new line
    // (unless it ends the text); a line without a blank is broken where it is full.
    unsigned long textLines(const char* text, unsigned long width) const;

    // Point sizes and character heights on a device context (the screen's when null). The
    // negative height asks Windows for the character height rather than the cell height.
    static long charHeightFromPoints(unsigned long points);
    static long charHeightFromPoints(unsigned long points, const IPresSpaceHandle& context);
    static unsigned long pointsFromHeight(long height, long internalLeading);
    static unsigned long pointsFromHeight(long height, long internalLeading,
                                          const IPresSpaceHandle& context);

    // The answer a library window gives to the private font query of IFont(window): it lets
    // the asker share this font's record. The asker checks the answer against the records
    // alive in the process, so a stale or foreign answer is never dereferenced.
    IEventData fontQueryAnswer() const noexcept;

private:
    struct Data;
    struct Settings;

    static Data* createNamed(const char* faceName, unsigned long pointSize, IBase::Boolean fixed,
                             IBase::Boolean vector, HDC__* context);
    static Data* createFromContext(HDC__* context);
    IFont& setAttributes(const tagLOGFONTA& attributes);
    Data& unshared();
    // Makes the record private, then creates the font of the new settings and keeps it.
    void update(const Settings& settings, HDC__* context);
    const Settings& settings() const noexcept;

    // The operations on a native device context (null for the screen's), which both forms of
    // each public operation share.
    IFont& sizeToPoints(unsigned long points, HDC__* context);
    IFont& charWidthOn(unsigned long width, HDC__* context);
    IFont& charHeightOn(unsigned long height, HDC__* context);
    IFont& charSizeOn(const ISize& size, HDC__* context);
    IFont& sizeCharacters(long width, long height, bool setWidth, bool setHeight,
                          const char* function, HDC__* context);
    IFont& turn(const IPoint& vector, bool shear, HDC__* context);
    IFont& beginUsing(HDC__* context);
    IFont& endUsing(HDC__* context);
    static long heightFromPoints(unsigned long points, HDC__* context);
    static unsigned long pointsFromCharHeight(long height, long internalLeading, HDC__* context);

    Data* fData;
};

// The face names of the installed fonts, each once, in alphabetical order. Built from a font,
// it lists only the faces the font's restrictions (raster, vector, fixed pitch) allow.
class OVKWIN_API IFont::FaceNameCursor {
public:
    FaceNameCursor();
    explicit FaceNameCursor(const IFont& font);

    IBase::Boolean setToFirst();
    IBase::Boolean setToNext();
    IBase::Boolean setToPrevious();
    IBase::Boolean setToLast();
    IBase::Boolean isValid() const noexcept { return fPosition < fNames.size(); }
    void invalidate() noexcept { fPosition = invalidPosition; }
    // The face name at the cursor; an invalid cursor fails the state check.
    IString faceName() const;

private:
    static constexpr std::size_t invalidPosition = static_cast<std::size_t>(-1);
    std::vector<IString> fNames;
    std::size_t fPosition = invalidPosition;
};

// The point sizes a font's face comes in, each once, ascending: every size of a raster face
// made for the screen's aspect, and the design size of a vector face (which scales to any
// size). A font restricted to raster or to vector fonts lists only those.
class OVKWIN_API IFont::PointSizeCursor {
public:
    explicit PointSizeCursor(const IFont& font);

    IBase::Boolean setToFirst();
    IBase::Boolean setToNext();
    IBase::Boolean setToPrevious();
    IBase::Boolean setToLast();
    IBase::Boolean isValid() const noexcept { return fPosition < fSizes.size(); }
    void invalidate() noexcept { fPosition = invalidPosition; }
    // The point size at the cursor; an invalid cursor fails the state check.
    unsigned long pointSize() const;

private:
    static constexpr std::size_t invalidPosition = static_cast<std::size_t>(-1);
    std::vector<unsigned long> fSizes;
    std::size_t fPosition = invalidPosition;
};
