// The spin button base: creation of both variants, styles, spinning, master and servant.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/ioutcls.hpp"
#include "detail/ispinslt.hpp"
#include "ifont.hpp"
#include "iownmhdr.hpp"
#include "ispinbas.hpp"
#include "ithunk.hpp"

using namespace ovkspin;

namespace {

constexpr const char* kFile = "ispinbas";
constexpr const char kOutsideClass[] = "OVK Spin Button";
constexpr unsigned long kMaster = 0x100, kServant = 0x8, kReadOnly = 0x80, kCenter = 0x10;
constexpr unsigned long kLeft = 0x200, kRight = 0x400, kNoBorder = 0x800, kThunked = 0x20;
constexpr unsigned long kFastSpin = 0x1000;

// Acceleration of the arrows held down: seconds before each step size.
const UDACCEL kNormalSpin[] = {{2, 1}};
const UDACCEL kFastSpinTable[] = {{2, 1}, {4, 2}, {6, 4}};

void setAcceleration(HWND upDown, bool fast, const char* function)
{
    const LRESULT set =
        fast ? SendMessageA(upDown, UDM_SETACCEL, 3, reinterpret_cast<LPARAM>(kFastSpinTable))
             : SendMessageA(upDown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(kNormalSpin));
    if (!set)
        IThrow::systemError("UDM_SETACCEL", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

[[noreturn]] void creationFailed(unsigned long id, const char* className)
{
    IThrow::systemError(IString("CreateWindowEx: Id=") + IString(id) + " Class=" + className,
                        GetLastError(),
                        IEXCEPTION_LOCATION(kFile, "IBaseSpinButton::initialize(unsigned long,const "
                                                   "IWindowHandle&,const IWindowHandle&,unsigned "
                                                   "long,const IRectangle&)"));
}

void registerWrapperClass()
{
    WNDCLASSA known;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (GetClassInfoA(module, wrapperClass, &known))
        return;
    InitCommonControls();
    WNDCLASSA wrapper{};
    wrapper.style = CS_VREDRAW | CS_HREDRAW;
    wrapper.cbWndExtra = slotCount * static_cast<int>(sizeof(LONG_PTR));
    wrapper.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wrapper.lpfnWndProc = DefWindowProcA;
    wrapper.hInstance = module;
    wrapper.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wrapper.lpszClassName = wrapperClass;
    if (!RegisterClassA(&wrapper))
        IThrow::systemError("RegisterClass", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "IBaseSpinButton::initialize(unsigned long,"
                                                       "const IWindowHandle&,const IWindowHandle&,"
                                                       "unsigned long,const IRectangle&)"));
}

} // namespace

struct IBaseSpinButtonData {
    virtual ~IBaseSpinButtonData() = default;
    unsigned long textLimit = 255;
};

const IBaseSpinButton::Style IBaseSpinButton::master(0, kMaster);
const IBaseSpinButton::Style IBaseSpinButton::servant(0, kServant);
const IBaseSpinButton::Style IBaseSpinButton::readOnly(0, kReadOnly);
const IBaseSpinButton::Style IBaseSpinButton::centerAlign(0, kCenter);
const IBaseSpinButton::Style IBaseSpinButton::leftAlign(0, kLeft);
const IBaseSpinButton::Style IBaseSpinButton::border3D(0, kLeft);
const IBaseSpinButton::Style IBaseSpinButton::rightAlign(0, kRight);
const IBaseSpinButton::Style IBaseSpinButton::noBorder(0, kNoBorder);
const IBaseSpinButton::Style IBaseSpinButton::thunkedWindow(0, kThunked);
const IBaseSpinButton::Style IBaseSpinButton::fastSpin(0, kFastSpin);

IBaseSpinButton::IBaseSpinButton() : fSpinData(new IBaseSpinButtonData) {}

IBaseSpinButton::~IBaseSpinButton()
{
    try {
        if (isValid()) {
            IBaseSpinDefaultHandler::shared().stopHandlingEventsFor(this);
            IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(this);
            // The entry field gets its own procedure back before the window outlives us.
            if (HWND field = entryField())
                if (const LONG_PTR previous = slot(handle(), previousSlot))
                    SetWindowLongPtrA(field, GWLP_WNDPROC, previous);
        }
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
    delete fSpinData;
}

// Creation -------------------------------------------------------------------------------------

void IBaseSpinButton::initialize(unsigned long id, const IWindowHandle& parent,
                                 const IWindowHandle& owner, const IBitFlag& style,
                                 const IRectangle& rect)
{
    IARGUMENT_CHECK(parent!=0, kFile,
                    "IBaseSpinButton::initialize(unsigned long,const IWindowHandle&,const "
                    "IWindowHandle&,unsigned long,const IRectangle&)");
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    if (usesThunkedWindow()) {
        thunkLibrary();
        ovk_native::ensureOutsideClass(kOutsideClass, ovk_native::kControlsModule);
        const IWindowHandle window =
            create(id, nullptr, convertToGUIStyle(style, false), kOutsideClass, parent, owner,
                   rect, nullptr, nullptr, defaultSiblingOrder(), convertToGUIStyle(style, true));
        startHandlingEventsFor(window);
        attachHandlers();
        return;
    }
    createNative(id, parent, owner, style, rect);
}

void IBaseSpinButton::createNative(unsigned long id, const IWindowHandle& parent,
                                   const IWindowHandle& owner, const IBitFlag& style,
                                   const IRectangle& rect)
{
    registerWrapperClass();
    const unsigned long nativeStyle = convertToGUIStyle(style, false);
    const IWindowHandle wrapper =
        create(id, nullptr, nativeStyle, wrapperClass, parent, owner, rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(wrapper);
    const bool numeric = (nativeStyle & numericStyle) != 0;
    DWORD fieldStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE;
    const unsigned long extended = extendedStyle();
    if (extended & kReadOnly)
        fieldStyle |= ES_READONLY;
    if (extended & kCenter)
        fieldStyle |= ES_CENTER;
    else if (extended & kRight)
        fieldStyle |= ES_RIGHT;
    const HWND field = CreateWindowExA(0, "Edit", numeric ? "0" : "", fieldStyle, 0, 0, 0, 0,
                                       wrapper, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                       GetModuleHandleA(nullptr), nullptr);
    if (!field)
        creationFailed(id, "Edit");
    setSlot(wrapper, entrySlot, reinterpret_cast<LONG_PTR>(field));
    setSlot(wrapper, previousSlot,
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&entryProcedure)));
    if (nativeStyle & masterStyle) {
        createArrows(id, numeric);
        setSlot(wrapper, servedSlot, reinterpret_cast<LONG_PTR>(field));
    }
    setSlot(wrapper, rangeSlot, 0);
    setSlot(wrapper, positionSlot, 0);
    attachHandlers();
    SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    layOut(wrapper);
}

// The up-down control takes the field created just before it as its automatic buddy: a
// hidden one, since the visible field may be served by another master's arrows later.
void IBaseSpinButton::createArrows(unsigned long id, IBase::Boolean numeric)
{
    const HWND wrapper = handle();
    const HMODULE module = GetModuleHandleA(nullptr);
    if (!CreateWindowExA(0, "Edit", numeric ? "0" : "", WS_CHILD, 0, 0, 0, 0, wrapper,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id - 2)), module, nullptr))
        creationFailed(id, "Edit");
    const HWND upDown = CreateWindowExA(
        0, UPDOWN_CLASSA, nullptr, 0x508000B3, 0, 0, 0, 0, wrapper,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id - 1)), module, nullptr);
    if (!upDown)
        creationFailed(id, UPDOWN_CLASSA);
    setSlot(wrapper, upDownSlot, reinterpret_cast<LONG_PTR>(upDown));
    SendMessageA(upDown, UDM_SETRANGE, 0, 0);
    setAcceleration(upDown, isFastSpinEnabled(), "IBaseSpinButton::initialize(unsigned long,const "
                                                 "IWindowHandle&,const IWindowHandle&,unsigned "
                                                 "long,const IRectangle&)");
}

void IBaseSpinButton::attachHandlers()
{
    IBaseSpinDefaultHandler::shared().handleEventsFor(this);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
}

IWindowHandle IBaseSpinButton::childWithId(unsigned long id, IWindow* parent, const char* file,
                                           const char* function)
{
    if (!parent)
        IThrow::argument("parent != 0", IExceptionLocation(file, function, __LINE__));
    const IWindowHandle child = handleWithParent(id, parent->handle());
    if (!child)
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID, IExceptionLocation(file, function, __LINE__));
    return child;
}

void IBaseSpinButton::takeChargeOfKind(const IWindowHandle& handle, IBase::Boolean numeric,
                                       unsigned long refusal, const char* file,
                                       const char* function)
{
    const bool isNumeric = (GetWindowLongPtrA(handle, GWL_STYLE) & numericStyle) != 0;
    if (isNumeric != (numeric != 0))
        IThrow::message(refusal, IExceptionLocation(file, function, __LINE__));
    takeCharge(handle);
}

// The library style of a window taken over, from its outside or native style bits.
void IBaseSpinButton::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    const unsigned long native = static_cast<unsigned long>(GetWindowLongPtrA(handle, GWL_STYLE));
    unsigned long extended = (native & 0x10) ? kMaster : kServant;
    if (native & 0x2)
        extended |= kReadOnly;
    const unsigned long alignment = native & 0xC;
    extended |= alignment == 8 ? kLeft : alignment == 4 ? kRight : kCenter;
    if (native & 0x20)
        extended |= kNoBorder;
    if (native & 0x100)
        extended |= kFastSpin;
    if (native & 0x80)
        extended |= 0x2000;
    if (native & 0x1)
        extended |= 0x40;
    char name[32] = "";
    GetClassNameA(handle, name, sizeof name);
    if (lstrcmpiA(name, wrapperClass) != 0)
        extended |= kThunked;
    setExtendedStyle(extendedStyle() | extended);
    startHandlingEventsFor(handle);
    attachHandlers();
}

unsigned long IBaseSpinButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long words = style.asExtendedUnsignedLong();
    if (extended) {
        unsigned long value = IWindow::convertToGUIStyle(style, true) | (words & 0xFF000200UL);
        if (words & (kThunked | kNoBorder))
            value &= ~static_cast<unsigned long>(WS_EX_CLIENTEDGE);
        return value;
    }
    unsigned long value = IWindow::convertToGUIStyle(style, false) | WS_CHILD;
    if (words & kThunked) {
        if (words & kMaster) value |= 0x10;
        if (words & kReadOnly) value |= 0x2;
        if (words & kLeft) value |= 0x8;
        if (words & kCenter) value |= 0xC;
        if (words & kRight) value |= 0x4;
        if (words & kNoBorder) value |= 0x20;
        if (words & kFastSpin) value |= 0x100;
        return value;
    }
    value |= WS_BORDER;
    if (words & kMaster)
        value |= masterStyle;
    if (words & kNoBorder)
        value &= ~static_cast<unsigned long>(WS_BORDER);
    return value;
}

// Queries ----------------------------------------------------------------------------------------

IBase::Boolean IBaseSpinButton::isMaster() const { return (extendedStyle() & kMaster) != 0; }
IBase::Boolean IBaseSpinButton::isServant() const { return !isMaster(); }
IBase::Boolean IBaseSpinButton::usesThunkedWindow() const { return (extendedStyle() & kThunked) != 0; }
IBase::Boolean IBaseSpinButton::isFastSpinEnabled() const { return (extendedStyle() & kFastSpin) != 0; }
IBase::Boolean IBaseSpinButton::isReadOnly() const { return (extendedStyle() & kReadOnly) != 0; }
IBase::Boolean IBaseSpinButton::hasBorder() const { return !(extendedStyle() & kNoBorder); }
unsigned long IBaseSpinButton::limit() const { return fSpinData->textLimit; }

IBaseSpinButton::Alignment IBaseSpinButton::alignment() const
{
    const unsigned long words = extendedStyle();
    return (words & kLeft) ? left : (words & kRight) ? right : center;
}

HWND IBaseSpinButton::entryField() const
{
    return usesThunkedWindow() ? nullptr : slotWindow(handle(), entrySlot);
}

HWND IBaseSpinButton::upDownControl() const
{
    return usesThunkedWindow() ? nullptr : slotWindow(handle(), upDownSlot);
}

// A master's arrows serve one field at a time: the one recorded in their wrapper.
HWND IBaseSpinButton::servingUpDown() const
{
    const HWND upDown = upDownControl();
    if (!upDown || !IsWindow(upDown))
        return nullptr;
    return slotWindow(GetParent(upDown), servedSlot) == entryField() ? upDown : nullptr;
}

long IBaseSpinButton::nativePosition() const
{
    if (const HWND upDown = servingUpDown()) {
        const LRESULT answer = SendMessageA(upDown, UDM_GETPOS, 0, 0);
        if (HIWORD(answer) != 0)
            IThrow::systemError("UDM_GETPOS", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "IBaseSpinButton::nativePosition() const"));
        return static_cast<short>(LOWORD(answer));
    }
    return static_cast<long>(slot(handle(), positionSlot));
}

void IBaseSpinButton::showPosition(long position)
{
    const HWND upDown = servingUpDown();
    if (upDown)
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    // Through the button's own message, as the arrows report a position.
    handle().sendEvent(0xFFDF, IEventData(static_cast<unsigned long>(position) << 16 | 4),
                       IEventData(static_cast<const void*>(upDown)));
}

bool IBaseSpinButton::changeStyleBit(unsigned long bit, IBase::Boolean on)
{
    const unsigned long old = extendedStyle();
    const unsigned long next = on ? old | bit : old & ~bit;
    if (next == old)
        return false;
    setExtendedStyle(next);
    if (usesThunkedWindow()) {
        const Style current(style(), next);
        setStyle(convertToGUIStyle(current, false) |
                 (style() & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP)));
    }
    return true;
}

// Switches ---------------------------------------------------------------------------------------

IBaseSpinButton& IBaseSpinButton::enableReadOnly(IBase::Boolean on)
{
    if (changeStyleBit(kReadOnly, on) && !usesThunkedWindow())
        SendMessageA(entryField(), EM_SETREADONLY, on ? TRUE : FALSE, 0);
    return *this;
}

IBaseSpinButton& IBaseSpinButton::disableReadOnly() { return enableReadOnly(false); }

IBaseSpinButton& IBaseSpinButton::enableFastSpin(IBase::Boolean fast)
{
    if (changeStyleBit(kFastSpin, fast) && !usesThunkedWindow())
        if (const HWND upDown = upDownControl())
            setAcceleration(upDown, fast, "IBaseSpinButton::enableFastSpin(IBase::Boolean)");
    return *this;
}

IBaseSpinButton& IBaseSpinButton::disableFastSpin() { return enableFastSpin(false); }

IBaseSpinButton& IBaseSpinButton::enableBorder(IBase::Boolean border)
{
    if (changeStyleBit(kNoBorder, !border) && !usesThunkedWindow()) {
        const LONG_PTR native = GetWindowLongPtrA(handle(), GWL_STYLE);
        SetWindowLongPtrA(handle(), GWL_STYLE, border ? native | WS_BORDER : native & ~WS_BORDER);
        SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        layOut(handle());
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    }
    return *this;
}

IBaseSpinButton& IBaseSpinButton::disableBorder() { return enableBorder(false); }

IBaseSpinButton& IBaseSpinButton::refreshAppearance()
{
    return *this;
}

// Operations -------------------------------------------------------------------------------------

IBaseSpinButton& IBaseSpinButton::setLimit(unsigned long characters)
{
    fSpinData->textLimit = characters;
    if (usesThunkedWindow()) {
        if (handle().sendEvent(IOutsideMessage::spinSetTextLimit, characters, 0).asUnsignedLong() == 0)
            IThrow::systemError("SPBM_SETTEXTLIMIT", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, "IBaseSpinButton::setLimit(unsigned long)"));
        return *this;
    }
    SendMessageA(entryField(), EM_LIMITTEXT, characters, 0);
    if (servingUpDown())
        showPosition(nativePosition());
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

IBaseSpinButton& IBaseSpinButton::setMaster(IBaseSpinButton& master)
{
    static const char* const function = "IBaseSpinButton::setMaster(IBaseSpinButton&)";
    ISTATE_CHECK(isServant(), kFile, function);
    IARGUMENT_CHECK(master.isMaster(), kFile, function);
    if (usesThunkedWindow()) {
        if (handle().sendEvent(IOutsideMessage::spinSetMaster,
                               IEventData(master.handle().asValue()), 0)
                .asUnsignedLong() == 0)
            IThrow::systemError("SPBM_SETMASTER", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
        return *this;
    }
    const HWND upDown = master.upDownControl();
    if (!upDown)
        IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED, IEXCEPTION_LOCATION(kFile, function));
    setSlot(handle(), upDownSlot, reinterpret_cast<LONG_PTR>(upDown));
    return *this;
}

IBaseSpinButton& IBaseSpinButton::spinUp(unsigned long steps)
{
    spinBy(static_cast<long>(steps), "SPBM_SPINUP", IOutsideMessage::spinUp,
           "IBaseSpinButton::spinUp(unsigned long)");
    return *this;
}

IBaseSpinButton& IBaseSpinButton::spinDown(unsigned long steps)
{
    spinBy(-static_cast<long>(steps), "SPBM_SPINDOWN", IOutsideMessage::spinDown,
           "IBaseSpinButton::spinDown(unsigned long)");
    return *this;
}

// A step past a limit wraps by the range's size; a step that still lands outside (more steps
// than the range holds) is refused.
void IBaseSpinButton::spinBy(long steps, const char* outsideName, unsigned int outsideMessage,
                             const char* function)
{
    if (usesThunkedWindow()) {
        const unsigned long count = static_cast<unsigned long>(steps < 0 ? -steps : steps);
        if (handle().sendEvent(outsideMessage, count, 0).asUnsignedLong() == 0)
            IThrow::systemError(outsideName, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
        return;
    }
    const HWND upDown = servingUpDown();
    long lower, upper;
    if (upDown) {
        int low = 0, high = 0;
        SendMessageA(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        lower = low;
        upper = high;
    } else {
        const LONG_PTR range = slot(handle(), rangeSlot);
        lower = lowerOf(range);
        upper = upperOf(range);
    }
    long position = nativePosition() + steps;
    const long size = upper - lower + 1;
    if (position > upper)
        position -= size;
    else if (position < lower)
        position += size;
    if (position > upper || position < lower)
        IThrow::systemError("UDM_SETPOS", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    showPosition(position);
}

// Look ---------------------------------------------------------------------------------------------

IWindow& IBaseSpinButton::enable(IBase::Boolean on)
{
    IControl::enable(on);
    if (!usesThunkedWindow()) {
        EnableWindow(entryField(), on ? TRUE : FALSE);
        if (const HWND upDown = upDownControl())
            if (GetParent(upDown) == handle().asValue())
                EnableWindow(upDown, on ? TRUE : FALSE);
    }
    refresh(paintAll);
    return *this;
}

IBase::Boolean IBaseSpinButton::hasFocus() const
{
    const HWND focus = GetFocus();
    if (!focus)
        return false;
    if (focus == handle().asValue())
        return true;
    return !usesThunkedWindow() && (focus == entryField() || focus == upDownControl());
}

namespace {

// The outside window's colour of an area (1 foreground, 2 background).
IColor outsideColor(const IBaseSpinButton& button, unsigned long area)
{
    const unsigned long rgb =
        button.handle().sendEvent(IOutsideMessage::spinQueryColor, area, 0).asUnsignedLong();
    return IColor(static_cast<unsigned char>(rgb), static_cast<unsigned char>(rgb >> 8),
                  static_cast<unsigned char>(rgb >> 16));
}

void setOutsideColor(IBaseSpinButton& button, unsigned long area, const IColor& color)
{
    if (button.handle().sendEvent(IOutsideMessage::spinSetColor, area, color.asRGBLong() + 0x2000000UL)
            .asUnsignedLong() == 0)
        IThrow::systemError("SPBM_SETSPINCOLORS", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, area == 1
                                                           ? "IBaseSpinButton::setForegroundColor(const IColor&)"
                                                           : "IBaseSpinButton::setBackgroundColor(const IColor&)"));
    button.setLayoutDistorted(ovk_layout::refreshDue, 0);
    button.refresh(IWindow::paintAll);
}

} // namespace

IColor IBaseSpinButton::foregroundColor() const
{
    return usesThunkedWindow() ? outsideColor(*this, 1) : findColor(1, IGUIColor(IColor::entryText));
}

IColor IBaseSpinButton::backgroundColor() const
{
    return usesThunkedWindow() ? outsideColor(*this, 2)
                               : findColor(3, IGUIColor(IColor::entryBackground));
}

IWindow& IBaseSpinButton::setForegroundColor(const IColor& color)
{
    if (!usesThunkedWindow())
        return IControl::setForegroundColor(color);
    setOutsideColor(*this, 1, color);
    return *this;
}

IWindow& IBaseSpinButton::setBackgroundColor(const IColor& color)
{
    if (!usesThunkedWindow())
        return IControl::setBackgroundColor(color);
    setOutsideColor(*this, 2, color);
    return *this;
}

IWindow& IBaseSpinButton::resetForegroundColor()
{
    if (!usesThunkedWindow())
        return IControl::resetForegroundColor();
    handle().sendEvent(IOutsideMessage::spinResetColor, 1, 0);
    return *this;
}

IWindow& IBaseSpinButton::resetBackgroundColor()
{
    if (!usesThunkedWindow())
        return IControl::resetBackgroundColor();
    handle().sendEvent(IOutsideMessage::spinResetColor, 2, 0);
    return *this;
}

// Wide enough for the limit's characters (narrow limits need room for wide letters), with the
// arrows, the border and the sunken edge.
ISize IBaseSpinButton::calcMinimumSize() const
{
    const unsigned long n = fSpinData->textLimit;
    const double factor = n <= 2 ? 3.0 : n <= 4 ? 2.5 : n <= 6 ? 2.0 : n <= 10 ? 1.6 : n <= 16 ? 1.4 : 1.2;
    const IFont font(this);
    const long average = static_cast<long>(font.avgCharWidth());
    const long characterHeight = static_cast<long>(font.maxCharHeight());
    long width = static_cast<long>(static_cast<double>(n) * static_cast<double>(average) * factor);
    long height = characterHeight;
    width += usesThunkedWindow() ? 17 : GetSystemMetrics(SM_CXVSCROLL);
    width = std::min(width, 35 * average);
    const unsigned long words = extendedStyle();
    if (!(words & kNoBorder)) {
        width += 3 * GetSystemMetrics(SM_CXBORDER);
        height += characterHeight / 2;
        if (IPlatform::answer(IPlatform::olderNTShell) && !IPlatform::answer(IPlatform::newShell))
            height += 2;
        if ((words & kLeft) && !(words & kThunked) && IPlatform::hasNewShell()) {
            width += 4;
            height += 4;
        }
    }
    return ISize(width, height);
}
