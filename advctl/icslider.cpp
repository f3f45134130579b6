// The circular slider: each operation one message to the outside window.
#include <windows.h>

#include <cstdint>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/ioutcls.hpp"
#include "icslider.hpp"
#include "inotifhd.hpp"
#include "ithunk.hpp"

using namespace IOutsideMessage;

namespace {

constexpr const char* kFile = "icslider";
constexpr const char* kClass = "OVK Circular Slider";

} // namespace

// The four arrow bitmaps the window was given; the record keeps a reference on each.
struct ICircularSlider::Bitmaps {
    IBitmapHandle incrementFirst, incrementSecond, decrementFirst, decrementSecond;
};

const ICircularSlider::Style ICircularSlider::showButtons(0, 0x1);
const ICircularSlider::Style ICircularSlider::showText(0, 0x2);
const ICircularSlider::Style ICircularSlider::showValue(0, 0x4);
const ICircularSlider::Style ICircularSlider::jumpToPointer(0x8, 0);
const ICircularSlider::Style ICircularSlider::proportionalTicks(0x10, 0);
const ICircularSlider::Style ICircularSlider::midpointTicks(0x20, 0);
const ICircularSlider::Style ICircularSlider::wrapAround(0x40, 0);
const ICircularSlider::Style ICircularSlider::fullCircle(0x80, 0);
const ICircularSlider::Style ICircularSlider::noTicks(0x100, 0);
const ICircularSlider::Style ICircularSlider::classDefaultStyle(0x10000000, 0x7);

ICircularSlider::Style ICircularSlider::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}
void ICircularSlider::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

ICircularSlider::ICircularSlider(unsigned long id, IWindow* parent, IWindow* owner,
                                 const IRectangle& initial, const Style& style)
{
    if (!parent)
        IThrow::argument("parent!=0",
                         IEXCEPTION_LOCATION(kFile, "ICircularSlider::ICircularSlider(unsigned "
                                                    "long,IWindow*,IWindow*,const IRectangle&,"
                                                    "const ICircularSlider::Style&)"));
    fRecordedExtendedStyle = style.asExtendedUnsignedLong();
    thunkLibrary();
    ovk_native::ensureOutsideClass(kClass, ovk_native::kControlsModule);
    const IWindowHandle window =
        create(id, "", convertToGUIStyle(style, false), kClass, parent->handle(),
               owner ? owner->handle() : IWindowHandle(), initial, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(window);
}

ICircularSlider::ICircularSlider(unsigned long id, IWindow* parent)
{
    if (!parent)
        IThrow::argument("parent!=0", IEXCEPTION_LOCATION(kFile, "ICircularSlider::ICircularSlider("
                                                                 "unsigned long,IWindow*)"));
    const IWindowHandle child = handleWithParent(id, parent->handle());
    if (!child)
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID,
                        IEXCEPTION_LOCATION(kFile, "ICircularSlider::ICircularSlider(unsigned long,"
                                                   "IWindow*)"));
    takeCharge(child);
}

ICircularSlider::ICircularSlider(const IWindowHandle& handle)
{
    takeCharge(handle);
}

void ICircularSlider::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
}

ICircularSlider::~ICircularSlider()
{
    delete fBitmaps;
}

unsigned long ICircularSlider::convertToGUIStyle(const IBitFlag& style,
                                                 IBase::Boolean extended) const
{
    if (extended)
        return IControl::convertToGUIStyle(style, true) | (fRecordedExtendedStyle & 0xFF000000UL) |
               WS_CHILD;
    unsigned long native =
        IControl::convertToGUIStyle(style, false) | (style.asUnsignedLong() & 0x1FF);
    for (unsigned long part : {0x1UL, 0x2UL, 0x4UL})
        if (!(fRecordedExtendedStyle & part))
            native |= part;
    return native | WS_CHILD;
}

ISize ICircularSlider::calcMinimumSize() const
{
    return ISize(100, 70);
}

IWindow& ICircularSlider::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, ICircularSliderNotifyHandler::shared(), enable);
}

IEventData ICircularSlider::sendChecked(unsigned long message, const IEventParameter1& p1,
                                        const IEventParameter2& p2, const char* name,
                                        const char* function) const
{
    const IEventData answer = handle().sendEvent(message, p1, p2);
    if (static_cast<std::uint32_t>(answer.asUnsignedLong()) == 0)
        IThrow::systemError(name, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    return answer;
}

ICircularSlider& ICircularSlider::setArmRange(const IRange& range)
{
    sendChecked(circularSetRange, range.lowerBound(), range.upperBound(), "CSM_SETRANGE",
                "ICircularSlider::setArmRange(const IRange&)");
    return *this;
}

IRange ICircularSlider::armRange() const
{
    std::int16_t low = 0, high = 0;
    sendChecked(circularQueryRange, &low, &high, "CSM_QUERYRANGE",
                "ICircularSlider::armRange() const");
    return IRange(low, high);
}

ICircularSlider& ICircularSlider::setValue(long value)
{
    sendChecked(circularSetValue, value, 0, "CSM_SETVALUE", "ICircularSlider::setValue(long)");
    return *this;
}

long ICircularSlider::value() const
{
    std::int16_t value = 0;
    sendChecked(circularQueryValue, &value, 0, "CSM_QUERYVALUE", "ICircularSlider::value() const");
    return value;
}

unsigned long ICircularSlider::radius() const
{
    std::uint16_t radius = 0;
    sendChecked(circularQueryRadius, &radius, 0, "CSM_QUERYRADIUS",
                "ICircularSlider::radius() const");
    return radius;
}

void ICircularSlider::queryIncrement(unsigned long* increment, unsigned long* spacing) const
{
    std::uint16_t rotation = 0, ticks = 0;
    sendChecked(circularQueryIncrement, &rotation, &ticks, "CSM_QUERYINCREMENT",
                increment ? "ICircularSlider::rotationIncrement() const"
                          : "ICircularSlider::tickSpacing() const");
    if (increment)
        *increment = rotation;
    if (spacing)
        *spacing = ticks;
}

unsigned long ICircularSlider::rotationIncrement() const
{
    unsigned long increment = 0;
    queryIncrement(&increment, nullptr);
    return increment;
}

unsigned long ICircularSlider::tickSpacing() const
{
    unsigned long spacing = 0;
    queryIncrement(nullptr, &spacing);
    return spacing;
}

ICircularSlider& ICircularSlider::setRotationIncrement(unsigned long increment)
{
    sendChecked(circularSetIncrement, increment, tickSpacing(), "CSM_SETINCREMENT",
                "ICircularSlider::setRotationIncrement(unsigned long)");
    return *this;
}

ICircularSlider& ICircularSlider::setTickSpacing(unsigned long spacing)
{
    sendChecked(circularSetIncrement, rotationIncrement(), spacing, "CSM_SETINCREMENT",
                "ICircularSlider::setTickSpacing(unsigned long)");
    return *this;
}

ICircularSlider& ICircularSlider::setIncrementBitmaps(const IBitmapHandle& first,
                                                      const IBitmapHandle& second)
{
    if (!fBitmaps)
        fBitmaps = new Bitmaps;
    fBitmaps->incrementFirst = first;
    fBitmaps->incrementSecond = second;
    return sendBitmaps("ICircularSlider::setIncrementBitmaps(const IBitmapHandle&,const "
                       "IBitmapHandle&)");
}

ICircularSlider& ICircularSlider::setDecrementBitmaps(const IBitmapHandle& first,
                                                      const IBitmapHandle& second)
{
    if (!fBitmaps)
        fBitmaps = new Bitmaps;
    fBitmaps->decrementFirst = first;
    fBitmaps->decrementSecond = second;
    return sendBitmaps("ICircularSlider::setDecrementBitmaps(const IBitmapHandle&,const "
                       "IBitmapHandle&)");
}

ICircularSlider& ICircularSlider::setIncrementBitmaps(const IResourceId& first,
                                                      const IResourceId& second)
{
    return setIncrementBitmaps(first.resourceLibrary().loadBitmap(first.id()),
                               second.resourceLibrary().loadBitmap(second.id()));
}

ICircularSlider& ICircularSlider::setDecrementBitmaps(const IResourceId& first,
                                                      const IResourceId& second)
{
    return setDecrementBitmaps(first.resourceLibrary().loadBitmap(first.id()),
                               second.resourceLibrary().loadBitmap(second.id()));
}

// The handles travel pointer-wide, in the order the window reads them.
ICircularSlider& ICircularSlider::sendBitmaps(const char* function)
{
    IOutsideCircularBitmaps handles{
        fBitmaps->decrementFirst.asValue(), fBitmaps->decrementSecond.asValue(),
        fBitmaps->incrementFirst.asValue(), fBitmaps->incrementSecond.asValue()};
    sendChecked(circularSetBitmaps, 0, &handles, "CSM_SETBITMAPNDATA", function);
    return *this;
}
