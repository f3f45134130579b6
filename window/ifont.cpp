// Fonts: the shared font record, creation of the native font, attributes and queries.
#include <windows.h>

#include <detail/iscoped.hpp>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "ifont.hpp"

namespace {

// The private font query that IFont(window) sends; a library window that keeps a font answers
// with that font's fontQueryAnswer().
constexpr UINT gFontQuery = 0xFFCA;

// Restrictions and needs of a font (the record's flags).
constexpr std::uint32_t gBitmapOnly = 0x1;
constexpr std::uint32_t gVectorOnly = 0x2;
constexpr std::uint32_t gFixedOnly = 0x4;
constexpr std::uint32_t gOutline = 0x8;

// A device context for measuring: the caller's, or the screen's, released again.
class MeasuringContext {
public:
    explicit MeasuringContext(HDC context) : fContext(context)
    {
        if (!fContext) {
            fContext = fScreen.emplace(nullptr).get();
            if (!fContext)
                IThrow::systemError(
                    "GetDC", GetLastError(),
                    IEXCEPTION_LOCATION("ifont", "MeasuringContext::MeasuringContext(HDC)"));
        }
    }
    MeasuringContext(const MeasuringContext&) = delete;
    MeasuringContext& operator=(const MeasuringContext&) = delete;
    HDC get() const noexcept { return fContext; }

private:
    std::optional<ovk_native::WindowDC> fScreen;
    HDC fContext;
};

// Keeps a font selected into a device context for the life of the object.
class FontSelection {
public:
    FontSelection(HDC context, HFONT font) : fSelection(context, font)
    {
        if (!fSelection)
            IThrow::systemError(
                "SelectObject", GetLastError(),
                IEXCEPTION_LOCATION("ifont", "FontSelection::FontSelection(HDC,HFONT)"));
    }
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;

private:
    ovk_native::Selection fSelection;
};

// The screen's device context with the font selected, for the measuring operations.
class ScreenFont {
public:
    explicit ScreenFont(HFONT font) : fScreen(nullptr), fSelection(fScreen.get(), font) {}
    HDC get() const noexcept { return fScreen.get(); }

private:
    MeasuringContext fScreen;
    FontSelection fSelection;
};

int dotsPerInch(HDC context)
{
    MeasuringContext measuring(context);
    int dpi = GetDeviceCaps(measuring.get(), LOGPIXELSY);
    // A device that reports no resolution (a bad handle) is measured as the screen.
    if (dpi <= 0 && context) {
        MeasuringContext screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return dpi > 0 ? dpi : 96;
}

// The system font: what a window without a font of its own draws with, and its character set,
// which every newly named face asks for.
HFONT defaultFont() noexcept
{
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

BYTE defaultCharSet() noexcept
{
    static const BYTE charSet = [] {
        LOGFONTA attributes{};
        if (GetObjectA(defaultFont(), sizeof attributes, &attributes) != sizeof attributes)
            return static_cast<BYTE>(ANSI_CHARSET);
        return attributes.lfCharSet;
    }();
    return charSet;
}

LOGFONTA attributesOf(HFONT font)
{
    LOGFONTA attributes{};
    if (!font || GetObjectA(font, sizeof attributes, &attributes) != sizeof attributes) {
        attributes = LOGFONTA{};
        GetObjectA(defaultFont(), sizeof attributes, &attributes);
    }
    return attributes;
}

void copyFaceName(LOGFONTA& attributes, const char* faceName)
{
    // The face name field holds 31 characters and the terminating zero; a longer name is cut
    // rather than written past the record.
    std::memset(attributes.lfFaceName, 0, sizeof attributes.lfFaceName);
    if (faceName)
        std::strncpy(attributes.lfFaceName, faceName, sizeof attributes.lfFaceName - 1);
}

// The angle of a vector in tenths of degrees, counter-clockwise from the x axis. atan2 keeps the
// vectors that point left apart from those that point right (atan(y / x) would fold (-1, 0)
// onto (1, 0)), and rounding keeps whole angles whole: (1, 1) is 450, where truncating the
// product, a hair below 450, would give 449.
long tenthsOfDegrees(const IPoint& vector)
{
    if (vector.x() == 0)
        return vector.y() > 0 ? 900 : vector.y() < 0 ? -900 : 0;
    return std::lround(
        std::atan2(static_cast<double>(vector.y()), static_cast<double>(vector.x())) * 572.9577951);
}

} // namespace

// What a font is asked to be; a change is made on a copy and kept only once the native font
// for it exists.
struct IFont::Settings {
    LOGFONTA attributes{};
    std::uint32_t flags = 0;
    IPoint angle{1, 0};
    IPoint shear{0, 1};
    long direction = 0;

    // An outline font is needed to turn or shear the characters, or when only vector fonts
    // may be used; a raster font never is one.
    void updateOutline() noexcept
    {
        if (flags & gBitmapOnly)
            flags &= ~gOutline;
        else if (angle != IPoint(1, 0) || shear != IPoint(0, 1) || (flags & gVectorOnly))
            flags |= gOutline;
        else
            flags &= ~gOutline;
    }
};

// The record that copies of a font share.
struct IFont::Data {
    // Where the font is selected, and what it replaced there.
    struct Selection {
        HDC context;
        HGDIOBJ previous;
        unsigned long count;
    };

    Settings settings;
    unsigned long pointSize = 0;
    std::shared_ptr<HFONT__> font;
    TEXTMETRICA metrics{};
    std::vector<Selection> selections;
    std::atomic<long> useCount{1};
    // The chain of live records, through which an answer to the font query is checked.
    Data* previousLive = nullptr;
    Data* nextLive = nullptr;

    static Data* create(const Settings& settings, HDC context);
    static Data* copyOf(const Data& other);
    // The record that a font query answered, with its use count raised; null when the answer
    // names no live record.
    static Data* acquire(const IEventData& answer) noexcept;
    void addRef() noexcept { useCount.fetch_add(1, std::memory_order_relaxed); }
    void release() noexcept;
    void realize(const Settings& next, HDC context);

private:
    Data() = default;
    void enlist() noexcept;
    void delist() noexcept;

    // Exclusive for enlisting and delisting, shared for look-ups. A slim lock needs no
    // construction, so fonts may be made during static initialisation.
    static SRWLOCK liveLock;
    static Data* firstLive;
};

SRWLOCK IFont::Data::liveLock = SRWLOCK_INIT;
IFont::Data* IFont::Data::firstLive = nullptr;

void IFont::Data::enlist() noexcept
{
    AcquireSRWLockExclusive(&liveLock);
    nextLive = firstLive;
    if (firstLive)
        firstLive->previousLive = this;
    firstLive = this;
    ReleaseSRWLockExclusive(&liveLock);
}

void IFont::Data::delist() noexcept
{
    AcquireSRWLockExclusive(&liveLock);
    if (previousLive)
        previousLive->nextLive = nextLive;
    else
        firstLive = nextLive;
    if (nextLive)
        nextLive->previousLive = previousLive;
    ReleaseSRWLockExclusive(&liveLock);
}

IFont::Data* IFont::Data::create(const Settings& settings, HDC context)
{
    std::unique_ptr<Data> data(new Data);
    data->realize(settings, context);
    data->enlist();
    return data.release();
}

IFont::Data* IFont::Data::copyOf(const Data& other)
{
    // The copy shares the native font until it makes its own.
    std::unique_ptr<Data> data(new Data);
    data->settings = other.settings;
    data->pointSize = other.pointSize;
    data->font = other.font;
    data->metrics = other.metrics;
    data->enlist();
    return data.release();
}

IFont::Data* IFont::Data::acquire(const IEventData& answer) noexcept
{
    void* candidate = answer.asPointer();
    if (!candidate)
        return nullptr;
    Data* found = nullptr;
    AcquireSRWLockShared(&liveLock);
    for (Data* data = firstLive; data; data = data->nextLive) {
        if (data != candidate)
            continue;
        // A record whose count has reached 0 is on its way out; it waits for this lock
        // before it is freed, so reading its count here is safe.
        long count = data->useCount.load(std::memory_order_relaxed);
        while (count > 0 && !data->useCount.compare_exchange_weak(count, count + 1))
            ;
        if (count > 0)
            found = data;
        break;
    }
    ReleaseSRWLockShared(&liveLock);
    return found;
}

void IFont::Data::release() noexcept
{
    if (useCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delist();
        delete this;
    }
}

void IFont::Data::realize(const Settings& next, HDC context)
{
    HFONT created = CreateFontIndirectA(&next.attributes);
    if (!created)
        IThrow::systemError(
            "CreateFontIndirect", GetLastError(),
            IEXCEPTION_LOCATION("ifont", "IFont::Data::realize(const IFont::Settings&,HDC)"));
    std::shared_ptr<HFONT__> holder(created, [](HFONT font) { ovk_native::dispose(font); });

    TEXTMETRICA measured{};
    MeasuringContext measuring(context);
    {
        FontSelection selection(measuring.get(), created);
        if (!GetTextMetricsA(measuring.get(), &measured))
            IThrow::systemError(
                "GetTextMetrics", GetLastError(),
                IEXCEPTION_LOCATION("ifont", "IFont::Data::realize(const IFont::Settings&,HDC)"));
    }
    const unsigned long points =
        pointsFromCharHeight(measured.tmHeight, measured.tmInternalLeading, context);

    // Device contexts that hold the old font get the new one first: Windows does not delete a
    // font that is still selected, so the old one would leak.
    for (Selection& selection : selections)
        SelectObject(selection.context, created);
    settings = next;
    font = std::move(holder);
    metrics = measured;
    pointSize = points;
}

// IFont

IFont::IFont(const IWindowHandle& window) : fData(nullptr)
{
    HWND desktop = GetDesktopWindow();
    HWND handle = window.isValid() ? static_cast<HWND>(window) : desktop;
    // The desktop is never a library window, so it is not asked (it may even belong to another
    // process, where the question would cost a round trip).
    if (handle != desktop) {
        IEventData answer = IWindowHandle(handle).sendEvent(gFontQuery);
        fData = Data::acquire(answer);
        if (fData)
            return;
    }
    const ovk_native::WindowDC windowContext(handle);
    if (!windowContext)
        IThrow::systemError("GetDC", GetLastError(),
                            IEXCEPTION_LOCATION("ifont", "IFont::IFont(const IWindowHandle&)"));
    // A font handle that the window answers is only borrowed: its attributes are copied and a
    // font of our own is made from them.
    HFONT windowFont = reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0));
    Settings settings;
    settings.attributes = attributesOf(windowFont);
    fData = Data::create(settings, windowContext.get());
}

IFont::IFont(const char* faceName, unsigned long pointSize, IBase::Boolean fixed,
             IBase::Boolean vector)
    : fData(createNamed(faceName, pointSize, fixed, vector, nullptr))
{
}

IFont::Data* IFont::createNamed(const char* faceName, unsigned long pointSize, IBase::Boolean fixed,
                                IBase::Boolean vector, HDC context)
{
    Settings settings;
    copyFaceName(settings.attributes, faceName);
    settings.attributes.lfHeight = heightFromPoints(pointSize, context);
    settings.attributes.lfCharSet = defaultCharSet();
    if (fixed)
        settings.attributes.lfPitchAndFamily |= FIXED_PITCH;
    // The wish for a vector face travels in the record (the font dialog reads it back); the
    // font mapper itself ignores the bit.
    if (vector)
        settings.attributes.lfPitchAndFamily |= 4;
    return Data::create(settings, context);
}

IFont::Data* IFont::createFromContext(HDC context)
{
    Settings settings;
    settings.attributes =
        attributesOf(context ? static_cast<HFONT>(GetCurrentObject(context, OBJ_FONT)) : nullptr);
    return Data::create(settings, context);
}

IFont::IFont(const IFont& other) noexcept : fData(other.fData)
{
    fData->addRef();
}

IFont& IFont::operator=(const IFont& other) noexcept
{
    if (fData != other.fData) {
        other.fData->addRef();
        fData->release();
        fData = other.fData;
    }
    return *this;
}

IFont::~IFont()
{
    fData->release();
}

IFont::Data& IFont::unshared()
{
    if (fData->useCount.load(std::memory_order_acquire) > 1) {
        Data* copy = Data::copyOf(*fData);
        // The font that changes takes the contexts it is selected in along: its change puts
        // the new native font there, and its endUsingFont puts back what it replaced. Left
        // behind, the selections would be ended by no one, and the old native font, selected
        // still, deleted with the last copy that shares it.
        copy->selections.swap(fData->selections);
        fData->release();
        fData = copy;
    }
    return *fData;
}

void IFont::update(const Settings& settings, HDC context)
{
    unshared().realize(settings, context);
}

const IFont::Settings& IFont::settings() const noexcept
{
    return fData->settings;
}

IString IFont::asString() const
{
    return "IFont(name=" + name() + ",pointSize=" + IString(pointSize()) + ")";
}

IString IFont::asDebugInfo() const
{
    const Settings& current = settings();
    return "IFont(name=" + name() + ",pointSize=" + IString(pointSize()) +
           ",height=" + IString(static_cast<long>(current.attributes.lfHeight)) +
           ",weight=" + IString(static_cast<long>(current.attributes.lfWeight)) +
           ",italic=" + IString(static_cast<unsigned>(current.attributes.lfItalic != 0)) +
           ",flags=" + IString(static_cast<unsigned long>(current.flags)) +
           ",shared=" + IString(fData->useCount.load(std::memory_order_relaxed)) + ")";
}

// Changing attributes.

IFont& IFont::setName(const char* faceName)
{
    Settings next = settings();
    copyFaceName(next.attributes, faceName);
    // A new face asks for the system's character set; the other setters keep the character set
    // of the face, so that a symbol font stays a symbol font when it is made bold.
    next.attributes.lfCharSet = defaultCharSet();
    update(next, nullptr);
    return *this;
}

IFont& IFont::setPointSize(unsigned long points)
{
    return sizeToPoints(points, nullptr);
}

IFont& IFont::sizeToPoints(unsigned long points, HDC context)
{
    Settings next = settings();
    next.attributes.lfHeight = heightFromPoints(points, context);
    next.attributes.lfWidth = 0;
    update(next, context);
    return *this;
}

IFont& IFont::setUnderscore(IBase::Boolean underscore)
{
    Settings next = settings();
    next.attributes.lfUnderline = underscore ? 255 : 0;
    update(next, nullptr);
    return *this;
}

IFont& IFont::setStrikeout(IBase::Boolean strikeout)
{
    Settings next = settings();
    next.attributes.lfStrikeOut = strikeout ? 255 : 0;
    update(next, nullptr);
    return *this;
}

IFont& IFont::setBold(IBase::Boolean bold)
{
    Settings next = settings();
    next.attributes.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    update(next, nullptr);
    return *this;
}

IFont& IFont::setItalic(IBase::Boolean italic)
{
    Settings next = settings();
    next.attributes.lfItalic = italic ? 255 : 0;
    update(next, nullptr);
    return *this;
}

IFont& IFont::setAllEmphasis(IBase::Boolean emphasis)
{
    Settings next = settings();
    const BYTE flag = emphasis ? 255 : 0;
    next.attributes.lfWeight = emphasis ? FW_BOLD : FW_NORMAL;
    next.attributes.lfItalic = flag;
    next.attributes.lfUnderline = flag;
    next.attributes.lfStrikeOut = flag;
    update(next, nullptr);
    return *this;
}

IFont& IFont::setDirection(Direction direction)
{
    static const long escapements[] = {0, 0, -900, 1800, 900};
    if (direction > bottomToTop)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("ifont", "IFont::setDirection(Direction)"));
    Settings next = settings();
    next.direction = escapements[direction];
    next.attributes.lfEscapement = next.direction;
    update(next, nullptr);
    return *this;
}

// Raster fonts come in fixed sizes and cannot turn, so a font restricted to them refuses these
// changes, each with the signature of the operation that was asked for.
IFont& IFont::setCharWidth(unsigned long width)
{
    return charWidthOn(width, nullptr);
}

IFont& IFont::setCharHeight(unsigned long height)
{
    return charHeightOn(height, nullptr);
}

IFont& IFont::setCharSize(const ISize& size)
{
    return charSizeOn(size, nullptr);
}

IFont& IFont::charWidthOn(unsigned long width, HDC context)
{
    return sizeCharacters(static_cast<long>(width > LONG_MAX ? LONG_MAX : width), 0, true, false,
                          "IFont::setCharWidth(unsigned long,const IPresSpaceHandle&)", context);
}

IFont& IFont::charHeightOn(unsigned long height, HDC context)
{
    return sizeCharacters(0, static_cast<long>(height > LONG_MAX ? LONG_MAX : height), false, true,
                          "IFont::setCharHeight(unsigned long,const IPresSpaceHandle&)", context);
}

IFont& IFont::charSizeOn(const ISize& size, HDC context)
{
    return sizeCharacters(size.width(), size.height(), true, true,
                          "IFont::setCharSize(const ISize&,const IPresSpaceHandle&)", context);
}

IFont& IFont::sizeCharacters(long width, long height, bool setWidth, bool setHeight,
                             const char* function, HDC context)
{
    if (isBitmapOnly())
        IThrow::message(OVK_MSG_RASTER_FONT_FIXED, IEXCEPTION_LOCATION("ifont", function));
    Settings next = settings();
    if (setWidth)
        next.attributes.lfWidth = width;
    if (setHeight)
        next.attributes.lfHeight = height;
    update(next, context);
    return *this;
}

IFont& IFont::setFontAngle(const IPoint& angle)
{
    return turn(angle, false, nullptr);
}

IFont& IFont::setFontShear(const IPoint& shear)
{
    return turn(shear, true, nullptr);
}

// The angle vector turns the characters (the orientation), the shear vector their baseline
// (the escapement).
IFont& IFont::turn(const IPoint& vector, bool shear, HDC context)
{
    if (isBitmapOnly())
        IThrow::message(
            OVK_MSG_RASTER_FONT_FIXED,
            IEXCEPTION_LOCATION("ifont", shear ? "IFont::setFontShear(const IPoint&,const "
                                                 "IPresSpaceHandle&)"
                                               : "IFont::setFontAngle(const IPoint&,const "
                                                 "IPresSpaceHandle&)"));
    Settings next = settings();
    if (shear) {
        next.shear = vector;
        next.attributes.lfEscapement = tenthsOfDegrees(vector);
    } else {
        next.angle = vector;
        next.attributes.lfOrientation = tenthsOfDegrees(vector);
    }
    next.updateOutline();
    update(next, context);
    return *this;
}

IFont& IFont::useFixedOnly(IBase::Boolean fixedOnly)
{
    Settings next = settings();
    next.flags = fixedOnly ? next.flags | gFixedOnly : next.flags & ~gFixedOnly;
    update(next, nullptr);
    return *this;
}

IFont& IFont::useBitmapOnly(IBase::Boolean bitmapOnly)
{
    Settings next = settings();
    // The two restrictions are one switch: giving up raster-only asks for vector fonts.
    if (bitmapOnly)
        next.flags = (next.flags | gBitmapOnly) & ~gVectorOnly;
    else
        next.flags = (next.flags | gVectorOnly) & ~gBitmapOnly;
    next.updateOutline();
    update(next, nullptr);
    return *this;
}

IFont& IFont::useVectorOnly(IBase::Boolean vectorOnly)
{
    Settings next = settings();
    // Giving up vector-only asks for raster fonts, as the other switch does the other way.
    if (vectorOnly)
        next.flags = (next.flags | gVectorOnly) & ~gBitmapOnly;
    else
        next.flags = (next.flags | gBitmapOnly) & ~gVectorOnly;
    next.updateOutline();
    update(next, nullptr);
    return *this;
}

// Using the font in device contexts.

IFont& IFont::beginUsing(HDC dc)
{
    IARGUMENT_CHECK(dc != nullptr, "ifont", "IFont::beginUsingFont(const IPresSpaceHandle&)");
    Data& data = *fData;
    HFONT font = data.font.get();
    HGDIOBJ replaced = SelectObject(dc, font);
    if (!replaced || replaced == HGDI_ERROR)
        IThrow::systemError(
            "SelectObject", GetLastError(),
            IEXCEPTION_LOCATION("ifont", "IFont::beginUsingFont(const IPresSpaceHandle&)"));
    for (Data::Selection& selection : data.selections) {
        if (selection.context == dc) {
            // Selected again: what it replaced now is only remembered when it is not this
            // font, that is, when someone selected another object in between.
            if (replaced != font)
                selection.previous = replaced;
            ++selection.count;
            return *this;
        }
    }
    try {
        data.selections.push_back({dc, replaced != font ? replaced : nullptr, 1});
    } catch (...) {
        SelectObject(dc, replaced);
        throw;
    }
    return *this;
}

IFont& IFont::endUsing(HDC dc)
{
    std::vector<Data::Selection>& selections = fData->selections;
    for (auto selection = selections.begin(); selection != selections.end(); ++selection) {
        if (selection->context != dc)
            continue;
        if (--selection->count == 0) {
            if (selection->previous)
                SelectObject(dc, selection->previous);
            selections.erase(selection);
        }
        break;
    }
    return *this;
}

// Queries.

IString IFont::name() const
{
    return IString(settings().attributes.lfFaceName);
}

unsigned long IFont::pointSize() const
{
    return fData->pointSize;
}

unsigned long IFont::maxCharHeight() const
{
    return static_cast<unsigned long>(fData->metrics.tmHeight);
}

unsigned long IFont::avgCharWidth() const
{
    return static_cast<unsigned long>(fData->metrics.tmAveCharWidth);
}

unsigned long IFont::internalLeading() const
{
    return static_cast<unsigned long>(fData->metrics.tmInternalLeading);
}

unsigned long IFont::externalLeading() const
{
    return static_cast<unsigned long>(fData->metrics.tmExternalLeading);
}

ISize IFont::maxSize() const
{
    return ISize(fData->metrics.tmMaxCharWidth, fData->metrics.tmHeight);
}

IBase::Boolean IFont::isBold() const
{
    return fData->metrics.tmWeight > 500;
}

IBase::Boolean IFont::isItalic() const
{
    return fData->metrics.tmItalic != 0;
}

IBase::Boolean IFont::isUnderscore() const
{
    return fData->metrics.tmUnderlined != 0;
}

IBase::Boolean IFont::isStrikeout() const
{
    return fData->metrics.tmStruckOut != 0;
}

IBase::Boolean IFont::isBitmap() const
{
    return !(fData->metrics.tmPitchAndFamily & TMPF_VECTOR);
}

IBase::Boolean IFont::isFixed() const
{
    // The bit is named the wrong way round: it is set for variable-pitch fonts.
    return !(fData->metrics.tmPitchAndFamily & TMPF_FIXED_PITCH);
}

IBase::Boolean IFont::isBitmapOnly() const
{
    return (settings().flags & gBitmapOnly) != 0;
}

IBase::Boolean IFont::isVectorOnly() const
{
    return (settings().flags & gVectorOnly) != 0;
}

IBase::Boolean IFont::isFixedOnly() const
{
    return (settings().flags & gFixedOnly) != 0;
}

const tagLOGFONTA& IFont::fontAttributes() const
{
    return settings().attributes;
}

IFont& IFont::setAttributes(const tagLOGFONTA& attributes)
{
    Settings next = settings();
    next.attributes = attributes;
    update(next, nullptr);
    return *this;
}

HFONT__* IFont::handle() const
{
    return fData->font.get();
}

IEventData IFont::fontQueryAnswer() const noexcept
{
    return IEventData(static_cast<void*>(fData));
}

// Conversions.

long IFont::charHeightFromPoints(unsigned long points)
{
    return heightFromPoints(points, nullptr);
}

unsigned long IFont::pointsFromHeight(long height, long internalLeading)
{
    return pointsFromCharHeight(height, internalLeading, nullptr);
}

long IFont::heightFromPoints(unsigned long points, HDC context)
{
    // Rounded to the nearest pixel; in 64 bits, so that no point size overflows.
    const long long dpi = dotsPerInch(context);
    const long long height = (static_cast<long long>(points) * dpi + 36) / 72;
    return -static_cast<long>(height > LONG_MAX ? LONG_MAX : height);
}

unsigned long IFont::pointsFromCharHeight(long height, long internalLeading, HDC context)
{
    const long long dpi = dotsPerInch(context);
    const long long points =
        ((static_cast<long long>(height) - internalLeading) * 1440 / dpi + 10) / 20;
    return points > 0 ? static_cast<unsigned long>(points) : 0;
}

// Measuring.

unsigned long IFont::charWidth(char character) const
{
    ScreenFont screen(handle());
    const UINT code = static_cast<unsigned char>(character);
    INT width = 0;
    if (!GetCharWidth32A(screen.get(), code, code, &width))
        return 0;
    return width > 0 ? static_cast<unsigned long>(width) : 0;
}

unsigned long IFont::textWidth(const IString& text) const
{
    ScreenFont screen(handle());
    SIZE extent{};
    const std::size_t length = text.length();
    if (!GetTextExtentPoint32A(screen.get(), text,
                               static_cast<int>(length > INT_MAX ? INT_MAX : length), &extent))
        return 0;
    return extent.cx > 0 ? static_cast<unsigned long>(extent.cx) : 0;
}

unsigned long IFont::textWidth(const char* text) const
{
    return textWidth(IString(text));
}

namespace {

bool isWhiteSpace(char character) noexcept
{
    return character == ' ' || character == '\t' || character == '\n' || character == '\r' ||
           character == '\f' || character == '\v';
}

} // namespace

unsigned long IFont::widestWordWidth(const char* text) const
{
    if (!text || !*text)
        return 0;
    ScreenFont screen(handle());
    unsigned long widest = 0;
    const char* position = text;
    while (*position) {
        while (*position && isWhiteSpace(*position))
            ++position;
        const char* word = position;
        while (*position && !isWhiteSpace(*position))
            ++position;
        const std::size_t length = static_cast<std::size_t>(position - word);
        SIZE extent{};
        if (length &&
            GetTextExtentPoint32A(screen.get(), word,
                                  static_cast<int>(length > INT_MAX ? INT_MAX : length), &extent) &&
            extent.cx > 0 && static_cast<unsigned long>(extent.cx) > widest)
            widest = static_cast<unsigned long>(extent.cx);
    }
    return widest;
}

unsigned long IFont::textLines(const char* text, unsigned long width) const
{
    if (!text || !*text || width == 0 || width < widestWordWidth(text))
        return 0;
    // The widths of all single-byte characters at once, rather than a device context per
    // character.
    INT widths[256] = {};
    {
        ScreenFont screen(handle());
        if (!GetCharWidth32A(screen.get(), 0, 255, widths))
            return 0;
    }
    unsigned long lines = 1;
    unsigned long lineWidth = 0;
    unsigned long widthThroughBlank = 0;
    bool hasBlank = false;
    for (const char* position = text; *position; ++position) {
        const unsigned char character = static_cast<unsigned char>(*position);
        if (character == '\n') {
            if (position[1]) {
                ++lines;
                lineWidth = 0;
                hasBlank = false;
            }
            continue;
        }
        const unsigned long charWidth = character == '\r' || widths[character] < 0
                                            ? 0
                                            : static_cast<unsigned long>(widths[character]);
        if (character == ' ' && lineWidth + charWidth > width) {
            // A blank that does not fit hangs at the end of its line; the next character
            // that does not fit breaks there.
            hasBlank = true;
            widthThroughBlank = lineWidth;
            continue;
        }
        // Break at the last blank; the characters after it move to the new line. A line with
        // no blank left (a word measured wider character by character than as a whole, or
        // words joined by tabs) is broken where it is full, so every pass makes progress.
        while (lineWidth > 0 && lineWidth + charWidth > width) {
            ++lines;
            lineWidth = hasBlank ? lineWidth - widthThroughBlank : 0;
            hasBlank = false;
        }
        lineWidth += charWidth;
        if (character == ' ') {
            hasBlank = true;
            widthThroughBlank = lineWidth;
        }
    }
    return lines;
}
