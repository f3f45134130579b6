// The static text and its painter.
#include <windows.h>

#include <algorithm>
#include <string>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "ibmpctl.hpp"
#include "igrafctx.hpp"
#include "igrect.hpp"
#include "ipainevt.hpp"
#include "istattxt.hpp"

namespace {

constexpr unsigned long kLeft = 0x1, kTop = 0x2, kUnderscore = 0x4, kStrikeout = 0x8;
constexpr unsigned long kMnemonic = 0x10, kHalftone = 0x40, kFillBackground = 0x80;
constexpr unsigned long kBorder3D = 0x200, kCenter = 0x400, kRight = 0x100000;
constexpr unsigned long kVertCenter = 0x200000, kBottom = 0x400000, kWordBreak = 0x800000;
constexpr unsigned long kAlignmentBits =
    kVertCenter | kBottom | kTop | kWordBreak | kRight | kCenter | kLeft;

// The width of `limit` average characters in a proportional font: narrow texts need room for
// their widest letters, long ones average out.
ISize::Coord limitWidth(ISize::Coord average, unsigned long limit, bool fixedPitch)
{
    unsigned long width = static_cast<unsigned long>(average) * limit;
    if (fixedPitch)
        return static_cast<ISize::Coord>(width);
    struct Ratio {
        unsigned long upTo, p, q;
    };
    static const Ratio ratios[] = {{2, 3, 1},   {4, 5, 2},   {6, 2, 1},   {10, 8, 5},
                                   {16, 7, 5},  {32, 6, 5},  {48, 11, 10}};
    for (const Ratio& r : ratios) {
        if (limit <= r.upTo) {
            width = width * r.p / r.q;
            break;
        }
    }
    return static_cast<ISize::Coord>(width);
}

} // namespace

struct IStaticTextData {
    virtual ~IStaticTextData() = default;
    IColor fillColor = IColor(IColor::paleGray);
    std::int32_t fillColorSet = 0;
};

const IStaticText::Style IStaticText::_left(0, kLeft);
const IStaticText::Style IStaticText::_top(0, kTop);
const IStaticText::Style IStaticText::_underscore(0, kUnderscore);
const IStaticText::Style IStaticText::_strikeout(0, kStrikeout);
const IStaticText::Style IStaticText::_mnemonic(0, kMnemonic);
const IStaticText::Style IStaticText::_halftone(0, kHalftone);
const IStaticText::Style IStaticText::_fillBackground(0, kFillBackground);
const IStaticText::Style IStaticText::_border3D(0, kBorder3D);
const IStaticText::Style IStaticText::_center(0, kCenter);
const IStaticText::Style IStaticText::_right(0, kRight);
const IStaticText::Style IStaticText::_vertCenter(0, kVertCenter);
const IStaticText::Style IStaticText::_bottom(0, kBottom);
const IStaticText::Style IStaticText::_wordBreak(0, kWordBreak);
const IStaticText::Style IStaticText::classDefault(WS_VISIBLE, 0x83);

const char* const IStaticText::fillColorId = "IStaticText::fillColor";
const char* const IStaticText::fillBackgroundId = "IStaticText::fillBackground";
const char* const IStaticText::strikeoutId = "IStaticText::strikeout";
const char* const IStaticText::underscoreId = "IStaticText::underscore";
const char* const IStaticText::halftoneId = "IStaticText::halftone";
const char* const IStaticText::limitId = "IStaticText::limit";

IStaticText::Style IStaticText::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IStaticText::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

IStaticText::Painter& IStaticText::painter()
{
    // Shared by every static text of every thread; it keeps no state of its own.
    return ovk_app::sharedHandler<Painter>();
}

// Construction ---------------------------------------------------------------------------------

IStaticText::IStaticText(unsigned long id, IWindow* parent, IWindow* owner,
                         const IRectangle& rect, const Style& style)
    : fData(new IStaticTextData)
{
    if (!parent) {
        delete fData;
        fData = nullptr;
        IThrow::argument("parent != 0",
                         IExceptionLocation("istattxt", "IStaticText::IStaticText(unsigned long,"
                                                        "IWindow*,IWindow*,const IRectangle&,const "
                                                        "IStaticText::Style&)",
                                            191));
    }
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "Static", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(handle);
    painter().handleEventsFor(this);
}

IStaticText::IStaticText(const IWindowHandle& handle) : fData(new IStaticTextData)
{
    takeCharge(handle);
}

IStaticText::IStaticText(unsigned long id, IWindow* parent) : fData(new IStaticTextData)
{
    if (!parent)
        IThrow::argument("parent != 0", IEXCEPTION_LOCATION("istattxt", "IStaticText::IStaticText("
                                                                        "unsigned long,IWindow*)"));
    const IWindowHandle child = handleWithParent(id, parent->handle());
    if (!child)
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID,
                        IEXCEPTION_LOCATION("istattxt", "IStaticText::IStaticText(unsigned long,"
                                                        "IWindow*)"));
    takeCharge(child);
}

void IStaticText::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
    painter().handleEventsFor(this);
    setExtendedStyle(extendedStyle() | kFillBackground);
}

IStaticText::~IStaticText()
{
    try {
        if (isValid())
            painter().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
    delete fData;
}

unsigned long IStaticText::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IWindow::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFFF20UL);
    return base | (style.asUnsignedLong() & 0xFFE0UL) | WS_CHILD;
}

// Colours and size -----------------------------------------------------------------------------

IColor IStaticText::foregroundColor() const
{
    return findColor(1, IGUIColor(IColor::iconText));
}

IColor IStaticText::backgroundColor() const
{
    return findColor(3, defaultBackgroundColor(handle()));
}

ISize IStaticText::limitSize() const
{
    if (fLimit == 0)
        return ISize(0, 0);
    const ISize character = characterSize();
    const ISize shown = displaySize();
    return ISize(limitWidth(character.width(), fLimit, IFont(this).isFixed() != 0),
                 std::max(character.height(), shown.height()));
}

ISize IStaticText::calcMinimumSize() const
{
    ISize size = displaySize();
    if (fLimit) {
        const ISize limited = limitSize();
        size = ISize(std::max(size.width(), limited.width()),
                     std::max(size.height(), limited.height()));
    }
    if ((extendedStyle() & kBorder3D) && IPlatform::hasNewShell())
        size += ISize(4, 4);
    return size;
}

IStaticText& IStaticText::setText(const char* text)
{
    const ISize before = minimumSize();
    ITextControl::setText(text);
    const ISize after = minimumSize(true);
    if (after != before) {
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
        setLayoutDistorted(0, ovk_layout::minimumSizeChanged);
    }
    return *this;
}

// Settings -------------------------------------------------------------------------------------

IStaticText& IStaticText::setAlignment(Alignment alignment)
{
    static const unsigned long bits[] = {kLeft | kTop,         kWordBreak,          kCenter,
                                         kRight,               kVertCenter,         kCenter | kVertCenter,
                                         kRight | kVertCenter, kBottom,             kCenter | kBottom,
                                         kRight | kBottom};
    const unsigned long value = static_cast<unsigned long>(alignment);
    if (value > 9)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IExceptionLocation("istattxt", "IStaticText::setAlignment(Alignment)", 545));
    const unsigned long current = extendedStyle();
    const unsigned long wanted = (current & ~kAlignmentBits) | bits[value];
    if (wanted != current) {
        setExtendedStyle(wanted);
        refresh();
    }
    return *this;
}

IStaticText::Alignment IStaticText::alignment() const
{
    const unsigned long style = extendedStyle();
    if (style & kRight)
        return (style & kBottom) ? bottomRight : (style & kVertCenter) ? centerRight : topRight;
    if (style & kCenter)
        return (style & kBottom) ? bottomCenter : (style & kVertCenter) ? centerCenter : topCenter;
    if (style & kBottom)
        return bottomLeft;
    if (style & kVertCenter)
        return centerLeft;
    return (style & kWordBreak) ? topLeftWrapped : topLeft;
}

IStaticText& IStaticText::changeFlag(unsigned long bit, IBase::Boolean on,
                                     const char* notificationId)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted == current)
        return *this;
    setExtendedStyle(wanted);
    refresh();
    notifyObservers(INotificationEvent(notificationId, *this, true,
                                       IEventData(static_cast<unsigned long>(on ? 1 : 0))));
    return *this;
}

IStaticText& IStaticText::enableStrikeout(IBase::Boolean enable)
{
    return changeFlag(kStrikeout, enable, strikeoutId);
}

IStaticText& IStaticText::disableStrikeout()
{
    return enableStrikeout(false);
}

IStaticText& IStaticText::enableUnderscore(IBase::Boolean enable)
{
    return changeFlag(kUnderscore, enable, underscoreId);
}

IStaticText& IStaticText::disableUnderscore()
{
    return enableUnderscore(false);
}

IStaticText& IStaticText::enableHalftone(IBase::Boolean enable)
{
    return changeFlag(kHalftone, enable, halftoneId);
}

IStaticText& IStaticText::disableHalftone()
{
    return enableHalftone(false);
}

IStaticText& IStaticText::enableFillBackground(IBase::Boolean enable)
{
    return changeFlag(kFillBackground, enable, fillBackgroundId);
}

IStaticText& IStaticText::disableFillBackground()
{
    return enableFillBackground(false);
}

IBase::Boolean IStaticText::isStrikeout() const
{
    return (extendedStyle() & kStrikeout) != 0;
}

IBase::Boolean IStaticText::isUnderscore() const
{
    return (extendedStyle() & kUnderscore) != 0;
}

IBase::Boolean IStaticText::isHalftone() const
{
    return (extendedStyle() & kHalftone) != 0;
}

IBase::Boolean IStaticText::hasFillBackground() const
{
    return (extendedStyle() & kFillBackground) != 0;
}

IColor IStaticText::fillColor() const
{
    return fData->fillColorSet ? fData->fillColor : backgroundColor();
}

IStaticText& IStaticText::setFillColor(const IColor& color)
{
    if (color.asRGBLong() == fData->fillColor.asRGBLong())
        return *this;
    fData->fillColorSet = 1;
    fData->fillColor = color;
    refresh();
    notifyObservers(fillColorId);
    return *this;
}

IStaticText& IStaticText::resetFillColor()
{
    if (!fData->fillColorSet)
        return *this;
    fData->fillColorSet = 0;
    fData->fillColor = fillColor();
    refresh();
    notifyObservers(fillColorId);
    return *this;
}

IStaticText& IStaticText::setLimit(unsigned long limit)
{
    if (limit == fLimit)
        return *this;
    fLimit = static_cast<std::uint32_t>(limit);
    setLayoutDistorted(ovk_layout::minimumSizeChanged | ovk_layout::refreshDue, 0);
    notifyObservers(INotificationEvent(limitId, *this, true, IEventData(limit)));
    return *this;
}

// Painting -------------------------------------------------------------------------------------

IStaticText::Painter::~Painter() = default;

namespace {

unsigned int drawFormat(unsigned long style)
{
    unsigned int format = DT_NOPREFIX;
    if (style & kRight)
        format |= DT_RIGHT;
    if (style & kCenter)
        format |= DT_CENTER;
    if (style & kBottom)
        format |= DT_BOTTOM | DT_SINGLELINE;
    if (style & kVertCenter)
        format |= DT_VCENTER | DT_SINGLELINE;
    if (style & kWordBreak)
        format |= DT_WORDBREAK;
    // Without DT_NOPREFIX an "&" underlines the character after it.
    if (style & kMnemonic)
        format &= 0xFF;
    return format;
}

// Puts the device context's text colours back whatever happens while drawing.
class TextColors {
public:
    explicit TextColors(HDC dc) : fDc(dc), fText(GetTextColor(dc)), fBack(GetBkColor(dc)) {}
    ~TextColors() {
        SetTextColor(fDc, fText);
        SetBkColor(fDc, fBack);
    }
    TextColors(const TextColors&) = delete;
    TextColors& operator=(const TextColors&) = delete;

private:
    HDC fDc;
    COLORREF fText;
    COLORREF fBack;
};

} // namespace

IBase::Boolean IStaticText::Painter::paintWindow(IPaintEvent& event)
{
    auto* text = dynamic_cast<IStaticText*>(event.window());
    HDC dc = event.presSpaceHandle();
    if (!text || !dc)
        return true;
    const ISize area = text->size();
    const unsigned long length = text->textLength();
    const unsigned long style = text->extendedStyle();
    const IColor foreground = text->foregroundColor();
    const IColor background = text->backgroundColor();
    IGraphicContext context(event);
    // A picture control's own painter has filled and drawn under the text already.
    if ((style & kFillBackground) && !dynamic_cast<IBitmapControl*>(text)) {
        const IColor fill = text->fillColor();
        context.setFillColor(fill).setPenColor(fill);
        context.setDrawOperation(IGraphicBundle::fillAndFrame);
        context.draw(IGRectangle(IRectangle(0, 0, area.width(), area.height())));
        context.setPenColor(foreground);
    }
    if (length == 0)
        return true;
    const TextColors restore(dc);
    const COLORREF textColor = ((style & kHalftone) || !text->isEnabled())
                                   ? GetSysColor(COLOR_GRAYTEXT)
                                   : static_cast<COLORREF>(foreground.asRGBLong());
    if (SetTextColor(dc, textColor) == CLR_INVALID)
        IThrow::systemError("SetTextColor", GetLastError(),
                            IExceptionLocation("istathdr", "IStaticTextHandler::paintWindow("
                                                           "IPaintEvent&)", 337));
    if (SetBkColor(dc, static_cast<COLORREF>(background.asRGBLong())) == CLR_INVALID)
        IThrow::systemError("SetBkColor", GetLastError(),
                            IExceptionLocation("istathdr", "IStaticTextHandler::paintWindow("
                                                           "IPaintEvent&)", 344));
    IFont font = text->font();
    if (style & kUnderscore)
        font.setUnderscore(true);
    if (style & kStrikeout)
        font.setStrikeout(true);
    const IString shown = text->text();
    RECT bounds{0, 0, area.width(), area.height()};
    font.beginUsingFont(IPresSpaceHandle(dc));
    DrawTextA(dc, shown, static_cast<int>(shown.length()), &bounds, drawFormat(style));
    font.endUsingFont(IPresSpaceHandle(dc));
    return true;
}
