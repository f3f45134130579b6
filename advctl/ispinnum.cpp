// The numeric spin button.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/ispinslt.hpp"
#include "inotifhd.hpp"
#include "ispinnum.hpp"

using namespace ovkspin;

namespace {

constexpr const char* kFile = "ispinnum";
constexpr unsigned long kPadWithZeros = 0x2000, kThunked = 0x20;

IWindowHandle handleOf(const IWindow* window)
{
    return window ? window->handle() : IWindowHandle();
}

long nearer(const IRange& range, long value)
{
    return value < range.lowerBound() ? range.lowerBound() : range.upperBound();
}

} // namespace

const INumericSpinButton::Style INumericSpinButton::padWithZeros(0, kPadWithZeros);
const INumericSpinButton::Style INumericSpinButton::classDefaultStyle(WS_VISIBLE, 0x340);

INumericSpinButton::Style INumericSpinButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void INumericSpinButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

INumericSpinButton::INumericSpinButton(unsigned long id, IWindow* parent, IWindow* owner,
                                       const IRectangle& rect, const Style& style)
{
    initialize(id, handleOf(parent), handleOf(owner), style, rect);
}

INumericSpinButton::INumericSpinButton(unsigned long id, IWindow* parent)
{
    static const char* const function = "INumericSpinButton::INumericSpinButton(unsigned long,IWindow*)";
    takeChargeOfKind(childWithId(id, parent, kFile, function), true,
                     OVK_MSG_NOT_NUMERIC_SPIN_BUTTON, kFile, function);
}

INumericSpinButton::INumericSpinButton(const IWindowHandle& handle)
{
    takeChargeOfKind(handle, true, OVK_MSG_NOT_NUMERIC_SPIN_BUTTON, kFile,
                     "INumericSpinButton::INumericSpinButton(const IWindowHandle&)");
}

INumericSpinButton::~INumericSpinButton() = default;

unsigned long INumericSpinButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IBaseSpinButton::convertToGUIStyle(style, extended);
    const unsigned long words = style.asExtendedUnsignedLong();
    if (extended)
        return base | (words & 0xFF000000UL);
    unsigned long value = base | numericStyle;
    if (words & kPadWithZeros)
        value |= (words & kThunked) ? 0x80 : paddedStyle;
    return value;
}

IWindow& INumericSpinButton::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, INumericSpinButtonNotifyHandler::shared(), enable);
}

IRange INumericSpinButton::range() const
{
    if (usesThunkedWindow()) {
        std::int32_t lower = 0, upper = 0;
        if (handle().sendEvent(IOutsideMessage::spinQueryLimits, IEventData(static_cast<void*>(&lower)),
                               IEventData(static_cast<void*>(&upper)))
                .asUnsignedLong() == 0)
            IThrow::systemError("SPBM_QUERYLIMITS", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "INumericSpinButton::range() const"));
        return IRange(lower, upper);
    }
    const LONG_PTR range = slot(handle(), rangeSlot);
    return IRange(lowerOf(range), upperOf(range));
}

INumericSpinButton& INumericSpinButton::setRange(const IRange& aNewRange, IBase::Boolean keepValue)
{
    static const char* const function = "INumericSpinButton::setRange(const IRange&,IBase::Boolean)";
    IARGUMENT_CHECK(aNewRange.lowerBound() <= aNewRange.upperBound(), kFile, function);
    if (usesThunkedWindow()) {
        const unsigned int message =
            keepValue ? IOutsideMessage::spinSetLimitsKeep : IOutsideMessage::spinSetLimits;
        if (handle().sendEvent(message, static_cast<long>(aNewRange.lowerBound()),
                               static_cast<long>(aNewRange.upperBound()))
                .asUnsignedLong() == 0)
            IThrow::systemError("SPBM_SETLIMITS", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
        return *this;
    }
    // The up-down control keeps 16-bit limits and positions: a wider range would read back
    // changed.
    IARGUMENT_CHECK(aNewRange.lowerBound() >= -32768 && aNewRange.upperBound() <= 32767, kFile,
                    function);
    const long current = value();
    setSlot(handle(), rangeSlot, packRange(aNewRange.lowerBound(), aNewRange.upperBound()));
    if (const HWND upDown = servingUpDown())
        SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(aNewRange.lowerBound()),
                     aNewRange.upperBound());
    if (!keepValue && !aNewRange.includes(current))
        spinTo(nearer(aNewRange, current), true);
    refresh(paintAll);
    return *this;
}

INumericSpinButton& INumericSpinButton::spinTo(long target, IBase::Boolean clamp)
{
    static const char* const function = "INumericSpinButton::spinTo(long,IBase::Boolean)";
    if (usesThunkedWindow()) {
        if (handle().sendEvent(IOutsideMessage::spinSetValue, target, 0).asUnsignedLong() != 0)
            return *this;
        if (clamp &&
            handle().sendEvent(IOutsideMessage::spinSetValue, nearer(range(), target), 0).asUnsignedLong() != 0)
            return *this;
        IThrow::systemError("SPBM_SETCURRENTVALUE", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    }
    const IRange limits = range();
    if (!limits.includes(target)) {
        if (!clamp)
            IThrow::systemError("UDM_SETPOS", ERROR_INVALID_PARAMETER, IEXCEPTION_LOCATION(kFile, function));
        target = nearer(limits, target);
    }
    showPosition(target);
    return *this;
}

long INumericSpinButton::value() const
{
    if (usesThunkedWindow()) {
        std::int32_t current = 0;
        handle().sendEvent(IOutsideMessage::spinQueryValue, IEventData(static_cast<void*>(&current)), 0x30000);
        return current;
    }
    char text[32] = "";
    GetWindowTextA(entryField(), text, sizeof text);
    return std::strtol(text, nullptr, 10);
}

IBase::Boolean INumericSpinButton::isInRange() const
{
    if (usesThunkedWindow()) {
        std::int32_t current = 0;
        return handle()
                   .sendEvent(IOutsideMessage::spinQueryValue, IEventData(static_cast<void*>(&current)), 0x30000)
                   .asUnsignedLong() != 0;
    }
    return range().includes(value());
}

INumericSpinButton& INumericSpinButton::setValue(long newValue)
{
    if (newValue == value())
        return *this;
    if (usesThunkedWindow()) {
        handle().sendEvent(IOutsideMessage::spinSetValue, newValue, 0);
        return *this;
    }
    writeText(handle(), std::to_string(newValue).c_str());
    if (range().includes(newValue)) {
        if (const HWND upDown = servingUpDown())
            SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(newValue, 0));
        setSlot(handle(), positionSlot, newValue);
    }
    notify(handle(), IOutsideNotification::spinValueChanged);
    return *this;
}
