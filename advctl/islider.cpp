// The progress indicator and slider: construction, styles, and each operation on the outside
// window or on the native trackbar.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>

#include <detail/iclasswide.hpp>
#include <icoordsy.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/ioutcls.hpp"
#include "detail/isldata.hpp"
#include "inotifhd.hpp"
#include "islider.hpp"
#include "ithunk.hpp"

using namespace IOutsideMessage;
using namespace ovkslider;

namespace {

constexpr const char* kFile = "islider";
constexpr unsigned long kReadOnly = 0x80;
constexpr unsigned long kThunked = 0x10, kBorder3D = 0x200;
// Outside style bits.
constexpr unsigned long kVertical = 0x1, kAlignBottomLeft = 0x2, kAlignTopRight = 0x4;
constexpr unsigned long kSnap = 0x8, kDrawItem = 0x40, kRibbon = 0x100, kHomeTopRight = 0x200;
constexpr unsigned long kPrimary2 = 0x400, kButtonsBottomLeft = 0x10, kButtonsTopRight = 0x20;

// What the slider's conversion adds to the progress indicator's: the outside window's button
// bits and the request's top byte of extended bits. The construction calls it itself, since a
// base under construction does not reach the derived override.
unsigned long sliderBits(const IBitFlag& style, bool extended, bool outside)
{
    if (extended)
        return style.asExtendedUnsignedLong() & 0xFF000000UL;
    return outside ? style.asUnsignedLong() & (kButtonsBottomLeft | kButtonsTopRight) : 0;
}

std::int32_t low32(const IEventData& answer)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(answer.asUnsignedLong()));
}

[[noreturn]] void sliderInfoFailed(const char* function)
{
    IThrow::systemError("SLM_SETSLIDERINFO", 0, IEXCEPTION_LOCATION(kFile, function));
}

// Two 16-bit values in one parameter.
IEventData pack(unsigned long low, unsigned long high)
{
    return IEventData(static_cast<std::uint16_t>(low), static_cast<std::uint16_t>(high));
}

} // namespace

const char* const IProgressIndicator::armTickOffsetId = "IProgressIndicator::armTickOffset";
const char* const IProgressIndicator::armPixelOffsetId = "IProgressIndicator::armPixelOffset";
const char* const IProgressIndicator::scaleId = "IProgressIndicator::scale";

const IProgressIndicator::Style IProgressIndicator::horizontal(0, 0x1);
const IProgressIndicator::Style IProgressIndicator::vertical(kVertical, 0);
const IProgressIndicator::Style IProgressIndicator::alignCentered(0, 0x2);
const IProgressIndicator::Style IProgressIndicator::alignBottom(kAlignBottomLeft, 0);
const IProgressIndicator::Style IProgressIndicator::alignLeft(kAlignBottomLeft, 0);
const IProgressIndicator::Style IProgressIndicator::alignTop(kAlignTopRight, 0);
const IProgressIndicator::Style IProgressIndicator::alignRight(kAlignTopRight, 0);
const IProgressIndicator::Style IProgressIndicator::snapToTickMark(kSnap, 0);
const IProgressIndicator::Style IProgressIndicator::handleDrawItem(kDrawItem, 0);
const IProgressIndicator::Style IProgressIndicator::ribbonStrip(kRibbon, 0);
const IProgressIndicator::Style IProgressIndicator::homeLeft(0, 0x4);
const IProgressIndicator::Style IProgressIndicator::homeBottom(0, 0x4);
const IProgressIndicator::Style IProgressIndicator::homeRight(kHomeTopRight, 0);
const IProgressIndicator::Style IProgressIndicator::homeTop(kHomeTopRight, 0);
const IProgressIndicator::Style IProgressIndicator::primaryScale1(0, 0x8);
const IProgressIndicator::Style IProgressIndicator::primaryScale2(kPrimary2, 0);
const IProgressIndicator::Style IProgressIndicator::messageDrivenWindow(0, kThunked);
const IProgressIndicator::Style IProgressIndicator::border3D(0, kBorder3D);
const IProgressIndicator::Style IProgressIndicator::classDefaultStyle(0x10000180, 0x20F);

const ISlider::Style ISlider::buttonsLeft(kButtonsBottomLeft, 0);
const ISlider::Style ISlider::buttonsBottom(kButtonsBottomLeft, 0);
const ISlider::Style ISlider::buttonsRight(kButtonsTopRight, 0);
const ISlider::Style ISlider::buttonsTop(kButtonsTopRight, 0);
const ISlider::Style ISlider::classDefaultStyle(0x10000010, 0x20F);

IProgressIndicator::Style IProgressIndicator::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}
void IProgressIndicator::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}
ISlider::Style ISlider::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}
void ISlider::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// Construction ---------------------------------------------------------------------------------

namespace {

constexpr const char* kIndicatorNew =
    "IProgressIndicator::IProgressIndicator(unsigned long,IWindow*,IWindow*,const IRectangle&,"
    "unsigned long,unsigned long,const IProgressIndicator::Style&)";
constexpr const char* kIndicatorNew4 =
    "IProgressIndicator::IProgressIndicator(unsigned long,IWindow*,IWindow*,const IRectangle&,"
    "unsigned long,unsigned long,unsigned long,unsigned long,const IProgressIndicator::Style&)";
constexpr const char* kIndicatorWrap =
    "IProgressIndicator::IProgressIndicator(const IWindowHandle&)";
constexpr const char* kSliderNew =
    "ISlider::ISlider(unsigned long,IWindow*,IWindow*,const IRectangle&,unsigned long,unsigned "
    "long,const IProgressIndicator::Style&)";
constexpr const char* kSliderNew4 =
    "ISlider::ISlider(unsigned long,IWindow*,IWindow*,const IRectangle&,unsigned long,unsigned "
    "long,unsigned long,unsigned long,const IProgressIndicator::Style&)";
constexpr const char* kSliderWrap = "ISlider::ISlider(const IWindowHandle&)";

// Scale 1 ticks, scale 1 spacing, scale 2 ticks, scale 2 spacing, for the style's primary scale.
struct Ticks {
    unsigned long values[4];
    Ticks(unsigned long ticks, unsigned long spacing, const IBitFlag& style)
        : values{ticks, spacing, 0, 0}
    {
        if (style.asUnsignedLong() & kPrimary2) {
            values[0] = values[1] = 0;
            values[2] = ticks;
            values[3] = spacing;
        }
    }
    Ticks(unsigned long t1, unsigned long s1, unsigned long t2, unsigned long s2)
        : values{t1, s1, t2, s2}
    {
    }
};

IWindowHandle childOf(unsigned long id, IWindow* parent, const char* function)
{
    if (!parent)
        IThrow::argument("pwndParent!=0", IEXCEPTION_LOCATION(kFile, function));
    const IWindowHandle child = IWindow::handleWithParent(id, parent->handle());
    if (!child)
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID, IEXCEPTION_LOCATION(kFile, function));
    return child;
}

} // namespace

IProgressIndicator::IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner,
                                       const IRectangle& initial, unsigned long numberOfTicks,
                                       unsigned long spacing, const Style& style)
{
    initialize(id, parent, owner, initial, Ticks(numberOfTicks, spacing, style).values, style, true,
               kIndicatorNew);
}

IProgressIndicator::IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner,
                                       const IRectangle& initial, unsigned long scale1Ticks,
                                       unsigned long scale1Spacing, unsigned long scale2Ticks,
                                       unsigned long scale2Spacing, const Style& style)
{
    initialize(id, parent, owner, initial,
               Ticks(scale1Ticks, scale1Spacing, scale2Ticks, scale2Spacing).values, style, true,
               kIndicatorNew4);
}

IProgressIndicator::IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner,
                                       const IRectangle& rect, const unsigned long ticks[4],
                                       const Style& style, bool readOnly, const char* function)
{
    initialize(id, parent, owner, rect, ticks, style, readOnly, function);
}

IProgressIndicator::IProgressIndicator(unsigned long id, IWindow* parent)
{
    takeCharge(
        childOf(id, parent, "IProgressIndicator::IProgressIndicator(unsigned long,IWindow*)"),
        "IProgressIndicator::IProgressIndicator(unsigned long,IWindow*)");
}

IProgressIndicator::IProgressIndicator(const IWindowHandle& handle)
{
    takeCharge(handle, kIndicatorWrap);
}

IProgressIndicator::IProgressIndicator(const IWindowHandle& handle, const char* function)
{
    takeCharge(handle, function);
}

void IProgressIndicator::initialize(unsigned long id, IWindow* parent, IWindow* owner,
                                    const IRectangle& rect, const unsigned long ticks[4],
                                    const Style& style, bool readOnly, const char* function)
{
    if (!parent)
        IThrow::argument("parent!=0", IEXCEPTION_LOCATION(kFile, function));
    const unsigned long native = style.asUnsignedLong() | (readOnly ? kReadOnly : 0);
    const unsigned long extended = style.asExtendedUnsignedLong();
    unsigned long translated = 0;
    if (!(extended & kThunked)) {
        if (native & kSnap)
            translated |= snapBit;
        if (native & kAlignTopRight)
            translated |= alignTopRightBit;
        else if (native & kAlignBottomLeft)
            translated |= alignBottomLeftBit;
        if (native & kHomeTopRight)
            translated |= homeTopRightBit;
        // Only a slider, which is never read-only, has arrows.
        if (!readOnly) {
            if (native & kButtonsBottomLeft)
                translated |= buttonsBottomLeftBit;
            if (native & kButtonsTopRight)
                translated |= buttonsTopRightBit;
        }
    }
    setExtendedStyle(extendedStyle() | extended | translated);
    const Style full(native, extended);
    unsigned long nativeStyle = convertToGUIStyle(full, false);
    unsigned long extendedStyle = convertToGUIStyle(full, true);
    if (!readOnly) {
        nativeStyle |= sliderBits(full, false, usesThunkedWindow());
        extendedStyle |= sliderBits(full, true, usesThunkedWindow());
    }
    try {
        createSlider(id, parent->handle(), owner ? owner->handle() : IWindowHandle(), nativeStyle,
                     extendedStyle, rect, ticks, full);
    } catch (...) {
        delete fProgressIndicatorData;
        fProgressIndicatorData = nullptr;
        throw;
    }
}

void IProgressIndicator::createSlider(unsigned long id, const IWindowHandle& parent,
                                      const IWindowHandle& owner, unsigned long nativeStyle,
                                      unsigned long extendedGUIStyle, const IRectangle& rect,
                                      const unsigned long ticks[4], const Style& style)
{
    if (usesThunkedWindow()) {
        thunkLibrary();
        ovk_native::ensureOutsideClass(outsideClass, ovk_native::kControlsModule);
        IOutsideSliderInfo information;
        information.scale1Ticks = static_cast<std::uint16_t>(ticks[0]);
        information.scale1Spacing = static_cast<std::uint16_t>(ticks[1]);
        information.scale2Ticks = static_cast<std::uint16_t>(ticks[2]);
        information.scale2Spacing = static_cast<std::uint16_t>(ticks[3]);
        const IWindowHandle window =
            IWindow::create(id, nullptr, nativeStyle, outsideClass, parent, owner, rect,
                            &information, nullptr, defaultSiblingOrder(), extendedGUIStyle);
        startHandlingEventsFor(window);
        ISliderWindowHandler::shared().handleEventsFor(this);
        return;
    }
    IProgressIndicatorData::registerSlider();
    fProgressIndicatorData = new IProgressIndicatorData(*this);
    const unsigned long outerStyle = WS_CHILD | 0x6 | (nativeStyle & (WS_TABSTOP | WS_GROUP));
    const IWindowHandle outer =
        IWindow::create(id, nullptr, outerStyle, nativeClass, parent, owner, rect, nullptr, nullptr,
                        defaultSiblingOrder(), extendedGUIStyle);
    startHandlingEventsFor(outer);
    fProgressIndicatorData->createNativeSlider(outer, owner, nativeStyle, extendedStyle());
    ISliderWindowHandler::shared().handleEventsFor(this);
    // At creation any number of ticks is taken, also fewer than two on the primary scale: such
    // a scale has range 0 and places no tick.
    setNativeTicks(scale1, ticks[0], ticks[1]);
    setNativeTicks(scale2, ticks[2], ticks[3]);
    fProgressIndicatorData->setupNativeScale(primaryScale());
    fProgressIndicatorData->layout();
    fProgressIndicatorData->updateButtons();
    if (style.asUnsignedLong() & WS_VISIBLE)
        show();
}

// A window taken over must be an outside slider: the native one cannot be rebuilt from its
// window alone.
void IProgressIndicator::takeCharge(const IWindowHandle& handle, const char* function)
{
    if (!isClass(handle, outsideClass))
        IThrow::message(OVK_MSG_WRONG_WINDOW_CLASS, IEXCEPTION_LOCATION(kFile, function));
    setExtendedStyle(extendedStyle() | kThunked | alignBottomLeftBit);
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
    ISliderWindowHandler::shared().handleEventsFor(this);
}

IProgressIndicator::~IProgressIndicator()
{
    try {
        if (isValid())
            ISliderWindowHandler::shared().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
    if (IProgressIndicatorData* data = fProgressIndicatorData) {
        // The trackbar gets its own procedure back before the window outlives us, and only
        // while it exists: a destroyed window's number may name another window by now.
        if (data->trackbar && IsWindow(data->trackbar) && data->previousProcedure)
            SetWindowLongPtrA(data->trackbar, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(data->previousProcedure));
        fProgressIndicatorData = nullptr;
        delete data;
    }
}

// Styles ---------------------------------------------------------------------------------------

unsigned long IProgressIndicator::convertToGUIStyle(const IBitFlag& style,
                                                    IBase::Boolean extended) const
{
    const unsigned long words = style.asExtendedUnsignedLong();
    if (extended)
        return IControl::convertToGUIStyle(style, true) | (words & kBorder3D);
    const unsigned long native = style.asUnsignedLong();
    unsigned long converted =
        IControl::convertToGUIStyle(style, false) | WS_CHILD | WS_CLIPSIBLINGS;
    if ((words & kThunked) || usesThunkedWindow())
        return converted | (native & 0xFCF);
    const bool scale2 = (native & kPrimary2) != 0;
    if (native & kVertical)
        converted |= TBS_VERT | (scale2 ? TBS_LEFT : 0);
    else if (!scale2)
        converted |= TBS_TOP;
    if (native & kReadOnly)
        converted |= TBS_NOTHUMB;
    if (native & kRibbon)
        converted |= TBS_ENABLESELRANGE;
    return converted;
}

unsigned long ISlider::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const bool outside = (style.asExtendedUnsignedLong() & kThunked) || usesThunkedWindow();
    return IProgressIndicator::convertToGUIStyle(style, extended) |
           sliderBits(style, extended != 0, outside);
}

IBase::Boolean IProgressIndicator::usesThunkedWindow() const
{
    return (extendedStyle() & kThunked) != 0;
}

HWND__* IProgressIndicator::trackbar() const
{
    return fProgressIndicatorData ? fProgressIndicatorData->trackbar : nullptr;
}

IWindow& IProgressIndicator::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, ISliderNotifyHandler::shared(), enable);
}

IColor IProgressIndicator::backgroundColor() const
{
    if (usesThunkedWindow())
        return IControl::backgroundColor();
    return findColor(3, IGUIColor(IColor::dialogBackground));
}

ISize IProgressIndicator::calcMinimumSize() const
{
    const bool native = !usesThunkedWindow();
    const long across = native ? bandBreadth : 30;
    ISize size = isVertical() ? ISize(across, 100) : ISize(100, across);
    if ((extendedStyle() & kBorder3D) && IPlatform::hasNewShell())
        size = ISize(size.width() + 4, size.height() + 4);
    return size;
}

namespace {

LONG_PTR trackbarStyle(HWND trackbar)
{
    return GetWindowLongPtrA(trackbar, GWL_STYLE);
}

} // namespace

IBase::Boolean IProgressIndicator::isVertical() const
{
    if (usesThunkedWindow())
        return (style() & kVertical) != 0;
    return (trackbarStyle(trackbar()) & TBS_VERT) != 0;
}

IProgressIndicator::HomePosition IProgressIndicator::homePosition() const
{
    const bool topRight = usesThunkedWindow() ? (style() & kHomeTopRight) != 0
                                              : (extendedStyle() & homeTopRightBit) != 0;
    return topRight ? homeTopRight : homeBottomLeft;
}

IProgressIndicator::Scale IProgressIndicator::primaryScale() const
{
    if (usesThunkedWindow())
        return (style() & kPrimary2) ? scale2 : scale1;
    // The trackbar draws its ticks on the side of the primary scale: above a horizontal
    // shaft for scale 1, left of a vertical one for scale 2.
    const LONG_PTR bits = trackbarStyle(trackbar());
    const bool side = (bits & TBS_TOP) != 0;
    if (bits & TBS_VERT)
        return side ? scale2 : scale1;
    return side ? scale1 : scale2;
}

IBase::Boolean IProgressIndicator::isSnapToTickEnabled() const
{
    return usesThunkedWindow() ? (style() & kSnap) != 0 : (extendedStyle() & snapBit) != 0;
}

IBase::Boolean IProgressIndicator::isRibbonStrip() const
{
    if (usesThunkedWindow())
        return (style() & kRibbon) != 0;
    return (trackbarStyle(trackbar()) & TBS_ENABLESELRANGE) != 0;
}

IBase::Boolean IProgressIndicator::isDrawItemEnabled() const
{
    return usesThunkedWindow() && (style() & kDrawItem) != 0;
}

IProgressIndicator::Alignment IProgressIndicator::alignment() const
{
    if (usesThunkedWindow()) {
        const unsigned long bits = style();
        return (bits & kAlignBottomLeft) ? bottomLeft
               : (bits & kAlignTopRight) ? topRight
                                         : centered;
    }
    const unsigned long bits = extendedStyle();
    return (bits & alignBottomLeftBit) ? bottomLeft
           : (bits & alignTopRightBit) ? topRight
                                       : centered;
}

IProgressIndicator& IProgressIndicator::toggleOutsideBit(unsigned long bit, bool on)
{
    const unsigned long old = style();
    const unsigned long next = on ? old | bit : old & ~bit;
    if (next != old) {
        setStyle(next);
        refresh();
    }
    return *this;
}

IProgressIndicator& IProgressIndicator::setHomePosition(HomePosition home)
{
    if (usesThunkedWindow())
        return toggleOutsideBit(kHomeTopRight, home == homeTopRight);
    if (home == homePosition())
        return *this;
    IProgressIndicatorData& data = *fProgressIndicatorData;
    const bool visible = isVisible();
    if (visible)
        disableUpdate();
    const HWND bar = data.trackbar;
    SendMessageA(bar, TBM_CLEARTICS, FALSE, 0);
    const long position = data.armPosition();
    if (isRibbonStrip()) {
        SendMessageA(bar, TBM_SETPOS, FALSE, 0);
        SendMessageA(bar, TBM_CLEARSEL, FALSE, 0);
    }
    const LRESULT minimum = SendMessageA(bar, TBM_GETRANGEMIN, 0, 0);
    const LRESULT maximum = SendMessageA(bar, TBM_GETRANGEMAX, 0, 0);
    SendMessageA(bar, TBM_SETRANGEMIN, FALSE, -maximum);
    SendMessageA(bar, TBM_SETRANGEMAX, FALSE, -minimum);
    data.direction = -data.direction;
    const unsigned long extended = extendedStyle();
    setExtendedStyle(home == homeTopRight ? extended | homeTopRightBit
                                          : extended & ~homeTopRightBit);
    const Scale primary = primaryScale();
    const long unit = data.unit();
    for (unsigned long tick : data.markedTicks[primary])
        SendMessageA(bar, TBM_SETTIC, 0, static_cast<LPARAM>(tick) * unit * data.direction);
    // Each text keeps its place on the screen, so it now belongs to the tick counted from
    // the other end.
    const unsigned long ticks = data.numberTicks[primary];
    std::map<unsigned long, IGString> renumbered;
    for (auto& entry : data.tickTexts[primary])
        if (entry.first < ticks)
            renumbered.emplace(ticks - 1 - entry.first, entry.second);
    data.tickTexts[primary].swap(renumbered);
    data.layout();
    data.setArmPosition(position);
    if (visible)
        enableUpdate();
    refresh();
    return *this;
}

IProgressIndicator& IProgressIndicator::setPrimaryScale(Scale scale)
{
    if (usesThunkedWindow()) {
        const Scale before = primaryScale();
        toggleOutsideBit(kPrimary2, scale == scale2);
        if (before != scale)
            notifyObservers(INotificationEvent(scaleId, *this, true, IEventData(scale)));
        return *this;
    }
    if (scale == primaryScale())
        return *this;
    IProgressIndicatorData& data = *fProgressIndicatorData;
    // A primary scale needs two ticks to give the arm a range.
    if (data.numberTicks[scale] < 2)
        sliderInfoFailed("IProgressIndicator::setPrimaryScale(IProgressIndicator::Scale)");
    SetWindowLongPtrA(data.trackbar, GWL_STYLE, trackbarStyle(data.trackbar) ^ TBS_TOP);
    data.setupNativeScale(scale);
    data.layout();
    refresh();
    notifyObservers(INotificationEvent(scaleId, *this, true, IEventData(scale)));
    return *this;
}

IProgressIndicator& IProgressIndicator::enableSnapToTick(IBase::Boolean snap)
{
    if (usesThunkedWindow())
        return toggleOutsideBit(kSnap, snap != 0);
    if ((snap != 0) != (isSnapToTickEnabled() != 0))
        changeSnapping(snap != 0);
    return *this;
}

IProgressIndicator& IProgressIndicator::disableSnapToTick()
{
    return enableSnapToTick(false);
}

// The arm stays on the tick it stood at, in the units of the new setting.
void IProgressIndicator::changeSnapping(bool snap)
{
    IProgressIndicatorData& data = *fProgressIndicatorData;
    const unsigned long tick = armTickOffset();
    const unsigned long extended = extendedStyle();
    setExtendedStyle(snap ? extended | snapBit : extended & ~snapBit);
    data.setupNativeScale(primaryScale());
    data.setArmPosition(static_cast<long>(tick) * data.unit());
}

IProgressIndicator& IProgressIndicator::enableRibbonStrip(IBase::Boolean ribbon)
{
    if (usesThunkedWindow())
        return toggleOutsideBit(kRibbon, ribbon != 0);
    if ((ribbon != 0) == (isRibbonStrip() != 0))
        return *this;
    IProgressIndicatorData& data = *fProgressIndicatorData;
    const LONG_PTR bits = trackbarStyle(data.trackbar);
    SetWindowLongPtrA(data.trackbar, GWL_STYLE,
                      ribbon ? bits | TBS_ENABLESELRANGE
                             : bits & ~static_cast<LONG_PTR>(TBS_ENABLESELRANGE));
    if (ribbon)
        data.setRibbonEnd(data.armPosition());
    else
        SendMessageA(data.trackbar, TBM_CLEARSEL, TRUE, 0);
    return *this;
}

IProgressIndicator& IProgressIndicator::disableRibbonStrip()
{
    return enableRibbonStrip(false);
}

IProgressIndicator& IProgressIndicator::enableDrawItem(IBase::Boolean drawItem)
{
    if (usesThunkedWindow())
        toggleOutsideBit(kDrawItem, drawItem != 0);
    return *this;
}

IProgressIndicator& IProgressIndicator::disableDrawItem()
{
    return enableDrawItem(false);
}

// The message interface ------------------------------------------------------------------------

IEventData IProgressIndicator::sendChecked(unsigned long message, const IEventParameter1& p1,
                                           const IEventParameter2& p2, long failure,
                                           const char* name, const char* function) const
{
    const IEventData answer = handle().sendEvent(message, p1, p2);
    const std::int32_t value = low32(answer);
    const bool failed = failure == 0xFFFF ? (value & 0xFFFF) == 0xFFFF : value == failure;
    if (failed)
        IThrow::systemError(name, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    return answer;
}

IEventData IProgressIndicator::queryInfo(unsigned long attribute, const char* function) const
{
    return sendChecked(sliderQueryInfo, attribute, 0, -1, "SLM_QUERYSLIDERINFO", function);
}

// Ticks ----------------------------------------------------------------------------------------

IProgressIndicator& IProgressIndicator::setTicks(unsigned long scale1Ticks,
                                                 unsigned long scale2Ticks,
                                                 unsigned long scale1Spacing,
                                                 unsigned long scale2Spacing)
{
    if (!usesThunkedWindow()) {
        setTicks(scale1, scale1Ticks, scale1Spacing);
        return setTicks(scale2, scale2Ticks, scale2Spacing);
    }
    IOutsideSliderInfo information;
    information.scale1Ticks = static_cast<std::uint16_t>(scale1Ticks);
    information.scale1Spacing = static_cast<std::uint16_t>(scale1Spacing);
    information.scale2Ticks = static_cast<std::uint16_t>(scale2Ticks);
    information.scale2Spacing = static_cast<std::uint16_t>(scale2Spacing);
    const char* function = "IProgressIndicator::setTicks(unsigned long,unsigned long,unsigned "
                           "long,unsigned long)";
    sendChecked(sliderSetInfo, sliderTicks, &information, -1, "SLM_SETSLIDERINFO", function);
    sendChecked(sliderSetInfo, sliderSpacing, &information, -1, "SLM_SETSLIDERINFO", function);
    return *this;
}

IProgressIndicator& IProgressIndicator::setTicks(Scale scale, unsigned long ticks,
                                                 unsigned long spacing)
{
    const char* function =
        "IProgressIndicator::setTicks(IProgressIndicator::Scale,unsigned long,unsigned long)";
    if (usesThunkedWindow()) {
        IOutsideSliderInfo information;
        if (scale == scale2) {
            information.scale2Ticks = static_cast<std::uint16_t>(ticks);
            information.scale2Spacing = static_cast<std::uint16_t>(spacing);
        } else {
            information.scale1Ticks = static_cast<std::uint16_t>(ticks);
            information.scale1Spacing = static_cast<std::uint16_t>(spacing);
        }
        sendChecked(sliderSetInfo, sliderTicks, &information, -1, "SLM_SETSLIDERINFO", function);
        sendChecked(sliderSetInfo, sliderSpacing, &information, -1, "SLM_SETSLIDERINFO", function);
        return *this;
    }
    const Scale primary = primaryScale();
    if (scale == primary && ticks < 2)
        sliderInfoFailed(function);
    IProgressIndicatorData& data = *fProgressIndicatorData;
    const bool changed = data.numberTicks[scale] != ticks || data.tickSpacing[scale] != spacing;
    setNativeTicks(scale, ticks, spacing);
    if (changed && scale == primary) {
        data.setupNativeScale(primary);
        data.layout();
    }
    refresh();
    return *this;
}

// Stores a scale's ticks; what lies beyond the new last tick goes.
void IProgressIndicator::setNativeTicks(Scale scale, unsigned long ticks, unsigned long spacing)
{
    IProgressIndicatorData& data = *fProgressIndicatorData;
    data.numberTicks[scale] = ticks;
    data.tickSpacing[scale] = spacing;
    auto& texts = data.tickTexts[scale];
    texts.erase(texts.lower_bound(ticks), texts.end());
    auto& marks = data.markedTicks[scale];
    marks.erase(marks.lower_bound(ticks), marks.end());
}

unsigned long IProgressIndicator::numberOfTicks(Scale scale) const
{
    if (!usesThunkedWindow())
        return fProgressIndicatorData->numberTicks[scale == scale2 ? 1 : 0];
    const IEventData answer = handle().sendEvent(sliderQueryInfo, sliderTicks, 0);
    if (low32(answer) == -1)
        IThrow::message(OVK_MSG_SLIDER_TICK_INVALID,
                        IEXCEPTION_LOCATION(kFile, "IProgressIndicator::numberOfTicks("
                                                   "IProgressIndicator::Scale) const"));
    return scale == scale2 ? answer.highNumber() : answer.lowNumber();
}

unsigned long IProgressIndicator::tickSpacing(Scale scale) const
{
    if (!usesThunkedWindow()) {
        const IProgressIndicatorData& data = *fProgressIndicatorData;
        const unsigned long index = scale == scale2 ? 1 : 0;
        const unsigned long ticks = data.numberTicks[index];
        if (data.tickSpacing[index] != 0 || scale != primaryScale() || ticks < 2)
            return data.tickSpacing[index];
        return (armRange() - 1) / (ticks - 1);
    }
    const IEventData answer = handle().sendEvent(sliderQueryInfo, sliderSpacing, 0);
    if (low32(answer) == -1)
        IThrow::message(OVK_MSG_SLIDER_TICK_INVALID,
                        IEXCEPTION_LOCATION(kFile, "IProgressIndicator::tickSpacing("
                                                   "IProgressIndicator::Scale) const"));
    return scale == scale2 ? answer.highNumber() : answer.lowNumber();
}

IProgressIndicator& IProgressIndicator::setTickLength(unsigned long tick, unsigned long length)
{
    if (usesThunkedWindow()) {
        sendChecked(sliderSetTickSize, pack(tick, length), 0, 0, "SLM_SETTICKSIZE",
                    "IProgressIndicator::setTickLength(unsigned long,unsigned long)");
        return *this;
    }
    if (tick < fProgressIndicatorData->numberTicks[primaryScale()])
        changeTickMark(tick, length != 0);
    return *this;
}

IProgressIndicator& IProgressIndicator::setTickLength(unsigned long length)
{
    if (usesThunkedWindow()) {
        sendChecked(sliderSetTickSize, pack(0xFFFF, length), 0, 0, "SLM_SETTICKSIZE",
                    "IProgressIndicator::setTickLength(unsigned long)");
        return *this;
    }
    const unsigned long ticks = fProgressIndicatorData->numberTicks[primaryScale()];
    for (unsigned long tick = 0; tick < ticks; ++tick)
        changeTickMark(tick, length != 0);
    return *this;
}

void IProgressIndicator::changeTickMark(unsigned long tick, bool shown)
{
    IProgressIndicatorData& data = *fProgressIndicatorData;
    auto& marks = data.markedTicks[primaryScale()];
    if ((marks.count(tick) != 0) == shown)
        return;
    const HWND bar = data.trackbar;
    if (shown) {
        marks.insert(tick);
        SendMessageA(bar, TBM_SETTIC, 0, static_cast<LPARAM>(tick) * data.unit() * data.direction);
        return;
    }
    marks.erase(tick);
    SendMessageA(bar, TBM_CLEARTICS, TRUE, 0);
    for (unsigned long marked : marks)
        SendMessageA(bar, TBM_SETTIC, 0,
                     static_cast<LPARAM>(marked) * data.unit() * data.direction);
}

unsigned long IProgressIndicator::tickLength(unsigned long tick) const
{
    if (usesThunkedWindow())
        return sendChecked(sliderQueryTickSize, tick, 0, 0xFFFF, "SLM_QUERYTICKSIZE",
                           "IProgressIndicator::tickLength(unsigned long) const")
            .lowNumber();
    const IProgressIndicatorData& data = *fProgressIndicatorData;
    const Scale primary = primaryScale();
    if (!(tick < data.numberTicks[primary]))
        IThrow::argument(
            "ulTickNum < fProgressIndicatorData->numberTicks[primary]",
            IEXCEPTION_LOCATION(kFile, "IProgressIndicator::tickLength(unsigned long) const"));
    const bool end = tick == 0 || tick + 1 == data.numberTicks[primary];
    return end || data.markedTicks[primary].count(tick) ? 1 : 0;
}

IPoint IProgressIndicator::tickPosition(unsigned long tick) const
{
    if (!usesThunkedWindow())
        return IPoint(0, 0);
    const IEventData answer = handle().sendEvent(sliderQueryTickPos, tick, 0);
    if (answer.lowNumber() == 0 || answer.highNumber() == 0)
        IThrow::systemError("SLM_QUERYTICKPOS", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IProgressIndicator::tickPosition(unsigned "
                                                       "long) const"));
    return ICoordinateSystem::convertToApplication(IPoint(answer.lowNumber(), answer.highNumber()),
                                                   size());
}

// Tick texts -----------------------------------------------------------------------------------

IBase::Boolean IProgressIndicator::setTickText(unsigned long tick, const char* text)
{
    if (usesThunkedWindow()) {
        sendChecked(sliderSetScaleText, tick, text ? text : "", 0, "SLM_SETSCALETEXT",
                    "IProgressIndicator::setTickText(unsigned long,const char*)");
        return true;
    }
    IProgressIndicatorData& data = *fProgressIndicatorData;
    const Scale primary = primaryScale();
    if (!(tick < data.numberTicks[primary]))
        return false;
    auto& texts = data.tickTexts[primary];
    texts.erase(tick);
    if (text && *text) {
        IGString graphic(text, IPoint(0, 0));
        graphic.setId(tick);
        texts.emplace(tick, graphic);
    }
    data.layout();
    refresh();
    return true;
}

IBase::Boolean IProgressIndicator::setTickText(unsigned long tick, const IResourceId& text)
{
    return setTickText(tick, text.resourceLibrary().loadString(text.id()));
}

unsigned long IProgressIndicator::tickTextLength(unsigned long tick) const
{
    if (!usesThunkedWindow())
        return tickText(tick).length();
    return sendChecked(sliderQueryScaleText, tick, 0, 0xFFFF, "SLM_QUERYSCALETEXT",
                       "IProgressIndicator::tickTextLength(unsigned long) const")
        .lowNumber();
}

unsigned long IProgressIndicator::getTickText(unsigned long tick, char* buffer,
                                              unsigned long bufferLength) const
{
    if (!usesThunkedWindow()) {
        const IString text = tickText(tick);
        if (buffer && bufferLength > 0)
            lstrcpynA(buffer, text,
                      static_cast<int>(bufferLength > 0x7FFF ? 0x7FFF : bufferLength));
        return text.length();
    }
    std::unique_ptr<char[]> own;
    if (!buffer || bufferLength == 0) {
        bufferLength = tickTextLength(tick) + 1;
        own.reset(new char[bufferLength]());
        buffer = own.get();
    }
    // The length travels in 16 bits.
    if (bufferLength > 0xFFFE)
        bufferLength = 0xFFFE;
    return sendChecked(sliderQueryScaleText, pack(tick, bufferLength), buffer, 0xFFFF,
                       "SLM_QUERYSCALETEXT",
                       "IProgressIndicator::getTickText(unsigned long,char*,unsigned long) const")
        .lowNumber();
}

IString IProgressIndicator::tickText(unsigned long tick) const
{
    if (usesThunkedWindow()) {
        const unsigned long length = tickTextLength(tick);
        std::unique_ptr<char[]> buffer(new char[length + 1]());
        getTickText(tick, buffer.get(), length + 1);
        return IString(buffer.get());
    }
    const IProgressIndicatorData& data = *fProgressIndicatorData;
    const Scale primary = primaryScale();
    if (!(tick < data.numberTicks[primary]))
        IThrow::message(
            OVK_MSG_SLIDER_TICK_INVALID,
            IEXCEPTION_LOCATION(kFile, "IProgressIndicator::tickText(unsigned long) const"));
    const auto found = data.tickTexts[primary].find(tick);
    return found == data.tickTexts[primary].end() ? IString() : found->second.text();
}

// The shaft ------------------------------------------------------------------------------------

ISize IProgressIndicator::shaftSize() const
{
    if (!usesThunkedWindow())
        return ISize(0, 0);
    const IEventData answer = queryInfo(sliderShaftSize, "IProgressIndicator::shaftSize() const");
    return isVertical() ? ISize(answer.highNumber(), answer.lowNumber())
                        : ISize(answer.lowNumber(), answer.highNumber());
}

IPoint IProgressIndicator::shaftPosition() const
{
    if (!usesThunkedWindow())
        return IPoint(0, 0);
    const IEventData answer =
        queryInfo(sliderShaftPosition, "IProgressIndicator::shaftPosition() const");
    const IRectangle native(IPoint(answer.lowNumber(), answer.highNumber()), shaftSize());
    const IRectangle converted = ICoordinateSystem::convertToApplication(native, size());
    return IPoint(converted.minX(), converted.minY());
}

IProgressIndicator& IProgressIndicator::setShaftPosition(const IPoint& position)
{
    if (!usesThunkedWindow())
        return *this;
    const IRectangle native =
        ICoordinateSystem::convertToNative(IRectangle(position, shaftSize()), size());
    sendChecked(
        sliderSetInfo, sliderShaftPosition,
        pack(static_cast<unsigned long>(native.minX()), static_cast<unsigned long>(native.minY())),
        0, "SLM_SETSLIDERINFO", "IProgressIndicator::setShaftPosition(const IPoint&)");
    return *this;
}

IProgressIndicator& IProgressIndicator::setShaftBreadth(unsigned long breadth)
{
    if (usesThunkedWindow())
        sendChecked(sliderSetInfo, sliderShaftSize, breadth, 0, "SLM_SETSLIDERINFO",
                    "IProgressIndicator::setShaftBreadth(unsigned long)");
    return *this;
}

// The arm --------------------------------------------------------------------------------------

unsigned long IProgressIndicator::armRange() const
{
    if (usesThunkedWindow())
        return queryInfo(sliderArmPixels, "IProgressIndicator::armRange() const").highNumber();
    return fProgressIndicatorData->shaftLength + 1;
}

unsigned long IProgressIndicator::armPixelOffset() const
{
    if (usesThunkedWindow())
        return queryInfo(sliderArmPixels, "IProgressIndicator::armPixelOffset() const").lowNumber();
    const IProgressIndicatorData& data = *fProgressIndicatorData;
    const long long position = data.armPosition();
    if (isSnapToTickEnabled())
        return static_cast<unsigned long>(position * tickSpacing(primaryScale()));
    const long long maximum = data.rangeMaximum();
    if (maximum <= 0)
        return 0;
    return static_cast<unsigned long>((position * (armRange() - 1) + maximum / 2) / maximum);
}

unsigned long IProgressIndicator::armTickOffset() const
{
    if (usesThunkedWindow())
        return queryInfo(sliderArmTicks, "IProgressIndicator::armTickOffset() const").lowNumber();
    const IProgressIndicatorData& data = *fProgressIndicatorData;
    const long position = data.armPosition();
    if (isSnapToTickEnabled())
        return static_cast<unsigned long>(position);
    const long page = data.unit();
    return page > 0 ? static_cast<unsigned long>((position + page / 2) / page) : 0;
}

IProgressIndicator& IProgressIndicator::moveArmToTick(unsigned long tick)
{
    const char* function = "IProgressIndicator::moveArmToTick(unsigned long)";
    if (tick == armTickOffset())
        return *this;
    if (usesThunkedWindow()) {
        sendChecked(sliderSetInfo, sliderArmTicks, tick, 0, "SLM_SETSLIDERINFO", function);
    } else {
        IProgressIndicatorData& data = *fProgressIndicatorData;
        if (!(tick < data.numberTicks[primaryScale()]))
            sliderInfoFailed(function);
        data.setArmPosition(static_cast<long>(tick) * data.unit());
    }
    notifyObservers(INotificationEvent(armTickOffsetId, *this, true, IEventData(tick)));
    return *this;
}

IProgressIndicator& IProgressIndicator::moveArmToPixel(unsigned long pixel)
{
    const char* function = "IProgressIndicator::moveArmToPixel(unsigned long)";
    if (pixel == armPixelOffset())
        return *this;
    if (usesThunkedWindow()) {
        sendChecked(sliderSetInfo, sliderArmPixels, pixel, 0, "SLM_SETSLIDERINFO", function);
    } else {
        IProgressIndicatorData& data = *fProgressIndicatorData;
        // The far end, armRange() - 1, is a place the arm can stand at.
        const unsigned long last = armRange() - 1;
        if (pixel > last)
            sliderInfoFailed(function);
        long long position = 0;
        if (isSnapToTickEnabled()) {
            const long long spacing = tickSpacing(primaryScale());
            position = spacing > 0 ? (pixel + spacing / 2) / spacing : 0;
        } else if (last > 0) {
            position = (static_cast<long long>(pixel) * data.rangeMaximum() + last / 2) / last;
        }
        data.setArmPosition(static_cast<long>(position));
    }
    notifyObservers(INotificationEvent(armPixelOffsetId, *this, true, IEventData(pixel)));
    return *this;
}

// ISlider --------------------------------------------------------------------------------------

ISlider::ISlider(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                 unsigned long numberOfTicks, unsigned long spacing, const Style& style)
    : IProgressIndicator(id, parent, owner, initial, Ticks(numberOfTicks, spacing, style).values,
                         style, false, kSliderNew)
{
}

ISlider::ISlider(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                 unsigned long scale1Ticks, unsigned long scale1Spacing, unsigned long scale2Ticks,
                 unsigned long scale2Spacing, const Style& style)
    : IProgressIndicator(id, parent, owner, initial,
                         Ticks(scale1Ticks, scale1Spacing, scale2Ticks, scale2Spacing).values,
                         style, false, kSliderNew4)
{
}

ISlider::ISlider(unsigned long id, IWindow* parent)
    : IProgressIndicator(childOf(id, parent, "ISlider::ISlider(unsigned long,IWindow*)"),
                         "ISlider::ISlider(unsigned long,IWindow*)")
{
}

ISlider::ISlider(const IWindowHandle& handle) : IProgressIndicator(handle, kSliderWrap) {}

ISlider::~ISlider() = default;

IBase::Boolean ISlider::hasFocus() const
{
    if (usesThunkedWindow())
        return IWindow::hasFocus();
    const HWND focus = GetFocus();
    return focus && GetParent(focus) == handle().asValue() && isClass(handle(), nativeClass);
}

unsigned long ISlider::addDetent(unsigned long pixel)
{
    if (!usesThunkedWindow())
        return 0;
    return static_cast<unsigned long>(low32(sendChecked(
        sliderAddDetent, pixel, 0, 0, "SLM_ADDDETENT", "ISlider::addDetent(unsigned long)")));
}

ISlider& ISlider::removeDetent(unsigned long detent)
{
    if (usesThunkedWindow())
        sendChecked(sliderRemoveDetent, detent, 0, 0, "SLM_REMOVEDETENT",
                    "ISlider::removeDetent(unsigned long)");
    return *this;
}

unsigned long ISlider::detentPosition(unsigned long detent) const
{
    if (!usesThunkedWindow())
        return 0;
    return sendChecked(sliderQueryDetentPos, detent, 0, 0xFFFF, "SLM_QUERYDETENTPOS",
                       "ISlider::detentPosition(unsigned long) const")
        .lowNumber();
}

ISlider& ISlider::setArmSize(const ISize& size)
{
    if (!usesThunkedWindow())
        return *this;
    const unsigned long length =
        static_cast<unsigned long>(isVertical() ? size.height() : size.width());
    const unsigned long breadth =
        static_cast<unsigned long>(isVertical() ? size.width() : size.height());
    sendChecked(sliderSetInfo, sliderArmSize, pack(length, breadth), 0, "SLM_SETSLIDERINFO",
                "ISlider::setArmSize(const ISize&)");
    return *this;
}

ISize ISlider::armSize() const
{
    if (usesThunkedWindow()) {
        const IEventData answer = queryInfo(sliderArmSize, "ISlider::armSize() const");
        return isVertical() ? ISize(answer.highNumber(), answer.lowNumber())
                            : ISize(answer.lowNumber(), answer.highNumber());
    }
    RECT thumb{};
    SendMessageA(trackbar(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return ISize(thumb.right - thumb.left, thumb.bottom - thumb.top);
}

ISlider::ButtonsPosition ISlider::buttonsPosition() const
{
    bool bottomLeft, topRight;
    if (usesThunkedWindow()) {
        bottomLeft = (style() & kButtonsBottomLeft) != 0;
        topRight = (style() & kButtonsTopRight) != 0;
    } else {
        bottomLeft = (extendedStyle() & buttonsBottomLeftBit) != 0;
        topRight = (extendedStyle() & buttonsTopRightBit) != 0;
    }
    if (bottomLeft)
        return isVertical() ? bottom : left;
    if (topRight)
        return isVertical() ? top : right;
    return none;
}
