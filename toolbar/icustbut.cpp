// The custom button: creation, latching, latched colours and the minimum size.
#include <windows.h>

#include <vector>

#include <detail/iclasswide.hpp>
#include <inotifev.hpp>

#include <ifont.hpp>
#include <iprivmsg.hpp>

#include "detail/ibtntext.hpp"
#include "icbhdr.hpp"
#include "icustbut.hpp"

namespace {

const char kFile[] = "icustbut";

constexpr unsigned long kLatchable = 0x1;
constexpr unsigned long kAutoLatch = 0x2;

} // namespace

struct ICustomButtonData {
    IBase::Boolean latched = false;
    IBase::Boolean halftone = true;
    IColor* latchedBackground = nullptr;
    IColor* latchedForeground = nullptr;
    unsigned long value = 0;
};

const ICustomButton::Style ICustomButton::latchable(0, kLatchable);
const ICustomButton::Style ICustomButton::autoLatch(0, kAutoLatch);
const ICustomButton::Style ICustomButton::classDefaultStyle(WS_VISIBLE, 0);
const char* const ICustomButton::latchId = "ICustomButton::latch";

// Construction ------------------------------------------------------------------------------------

ICustomButton::ICustomButton() : fCustomButtonData(new ICustomButtonData)
{
    attachSharedHandlers();
}

ICustomButton::ICustomButton(unsigned long id, IWindow* parent, IWindow* owner,
                             const IRectangle& rect, const Style& style)
    : fCustomButtonData(new ICustomButtonData)
{
    if (!parent)
        IThrow::argument("parent!=0",
                         IEXCEPTION_LOCATION(kFile, "ICustomButton::ICustomButton(unsigned long,"
                                                    "IWindow*,IWindow*,const IRectangle&,const "
                                                    "ICustomButton::Style&)"));
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    createButtonWindow(id, parent, owner, rect, style);
    attachSharedHandlers();
}

ICustomButton::ICustomButton(const IWindowHandle& handle) : fCustomButtonData(new ICustomButtonData)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
    attachSharedHandlers();
}

ICustomButton::~ICustomButton()
{
    delete fCustomButtonData->latchedBackground;
    delete fCustomButtonData->latchedForeground;
    delete fCustomButtonData;
}

void ICustomButton::createButtonWindow(unsigned long id, IWindow* parent, IWindow* owner,
                                       const IRectangle& rect, const IBitFlag& style)
{
    const IWindowHandle button =
        create(id, "", convertToGUIStyle(style, false), "Button", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(button);
}

// The handler attached last is offered events first: the draw handler goes on top, so that a
// derived button's own draw handler, attached after it, comes before both.
void ICustomButton::attachSharedHandlers()
{
    ICustomButtonHandler::defaultHandler().handleEventsFor(this);
    ICustomButtonDrawHandler::defaultHandler().handleEventsFor(this);
}

ICustomButton::Style ICustomButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void ICustomButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

unsigned long ICustomButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    if (extended)
        return IButton::convertToGUIStyle(style, true) | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return IButton::convertToGUIStyle(style, false) | (style.asUnsignedLong() & 0x20) | WS_CHILD |
           BS_OWNERDRAW;
}

IColor ICustomButton::backgroundColor() const
{
    return IGUIColor(IColor::buttonFace);
}

IString ICustomButton::buttonText() const
{
    return text();
}

ISize ICustomButton::calcMinimumSize() const
{
    const IFont font(this);
    unsigned long widest = 0;
    const std::vector<IString> lines = ovk_toolbar::textLines(buttonText());
    for (const IString& line : lines) {
        const unsigned long width = font.textWidth(line);
        widest = width > widest ? width : widest;
    }
    const long height = static_cast<long>(lines.size() * font.maxCharHeight());
    return ISize(static_cast<long>(widest) + 5 * GetSystemMetrics(SM_CXBORDER) + 6,
                 height + 5 * GetSystemMetrics(SM_CYBORDER) + 3);
}

// Latching ----------------------------------------------------------------------------------------

void ICustomButton::setExtendedBit(unsigned long bit, bool on)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted != current)
        setExtendedStyle(wanted);
}

ICustomButton& ICustomButton::enableLatching(IBase::Boolean enable)
{
    if (!enable)
        unlatch();
    setExtendedBit(kLatchable, enable != 0);
    return *this;
}

ICustomButton& ICustomButton::disableLatching()
{
    return enableLatching(false);
}

ICustomButton& ICustomButton::enableAutoLatch(IBase::Boolean enable)
{
    setExtendedBit(kAutoLatch, enable != 0);
    return *this;
}

ICustomButton& ICustomButton::disableAutoLatch()
{
    return enableAutoLatch(false);
}

IBase::Boolean ICustomButton::allowsLatching() const
{
    return (extendedStyle() & kLatchable) != 0;
}

IBase::Boolean ICustomButton::isAutoLatchEnabled() const
{
    return (extendedStyle() & kAutoLatch) != 0;
}

IBase::Boolean ICustomButton::isLatched() const
{
    return fCustomButtonData->latched;
}

ICustomButton& ICustomButton::setLatched(IBase::Boolean latched, IBase::Boolean refresh)
{
    if (!(extendedStyle() & (kLatchable | kAutoLatch)))
        return *this;
    const IBase::Boolean state = latched ? true : false;
    if (state == fCustomButtonData->latched)
        return *this;
    fCustomButtonData->latched = state;
    notifyObservers(INotificationEvent(latchId, *this, true, IEventData(state)));
    if (refresh)
        IWindow::refresh();
    if (state && isAutoLatchEnabled())
        releaseGroup();
    return *this;
}

ICustomButton& ICustomButton::unlatch()
{
    return setLatched(false, true);
}

// The group runs from the nearest child at or before this button that has the group style (the
// parent's first child when none has) to the child before the next one with the group style.
void ICustomButton::releaseGroup()
{
    const HWND self = handle();
    const HWND parent = GetParent(self);
    if (!parent)
        return;
    const auto isGroup = [](HWND child) {
        return (GetWindowLongPtrA(child, GWL_STYLE) & WS_GROUP) != 0;
    };
    HWND first = GetWindow(parent, GW_CHILD);
    for (HWND child = first; child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (isGroup(child))
            first = child;
        if (child == self)
            break;
    }
    for (HWND child = first; child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != first && isGroup(child))
            break;
        if (child != self)
            IWindowHandle(child).sendEvent(IPrivateMessage::releaseLatch, 0, 0);
    }
}

// Latched colours ---------------------------------------------------------------------------------

IColor ICustomButton::latchedForegroundColor() const
{
    return fCustomButtonData->latchedForeground ? *fCustomButtonData->latchedForeground
                                                : foregroundColor();
}

IColor ICustomButton::latchedBackgroundColor() const
{
    return fCustomButtonData->latchedBackground ? *fCustomButtonData->latchedBackground
                                                : backgroundColor();
}

ICustomButton& ICustomButton::setLatchedForegroundColor(const IColor& color)
{
    IColor* copy = new IColor(color);
    delete fCustomButtonData->latchedForeground;
    fCustomButtonData->latchedForeground = copy;
    if (isLatched())
        IWindow::refresh();
    return *this;
}

ICustomButton& ICustomButton::setLatchedBackgroundColor(const IColor& color, IBase::Boolean halftone)
{
    IColor* copy = new IColor(color);
    delete fCustomButtonData->latchedBackground;
    fCustomButtonData->latchedBackground = copy;
    fCustomButtonData->halftone = halftone ? true : false;
    if (isLatched())
        IWindow::refresh();
    return *this;
}

ICustomButton& ICustomButton::resetLatchedForegroundColor()
{
    delete fCustomButtonData->latchedForeground;
    fCustomButtonData->latchedForeground = nullptr;
    if (isLatched())
        IWindow::refresh();
    return *this;
}

ICustomButton& ICustomButton::resetLatchedBackgroundColor()
{
    delete fCustomButtonData->latchedBackground;
    fCustomButtonData->latchedBackground = nullptr;
    fCustomButtonData->halftone = true;
    if (isLatched())
        IWindow::refresh();
    return *this;
}

IBase::Boolean ICustomButton::isLatchedBackgroundHalftoned() const
{
    return fCustomButtonData->halftone;
}

ICustomButton& ICustomButton::setValue(unsigned long value)
{
    fCustomButtonData->value = value;
    return *this;
}

unsigned long ICustomButton::value() const
{
    return fCustomButtonData->value;
}
