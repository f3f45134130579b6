// The notebook: construction, appearance, colours and the queries of both variants.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/inbdata.hpp"
#include "detail/ioutcls.hpp"
#include "inotebk.hpp"
#include "inotifhd.hpp"
#include "iownmhdr.hpp"
#include "ithunk.hpp"

using namespace IOutsideMessage;

namespace {

constexpr const char* kFile = "inotebk";
constexpr unsigned long kOrientationBits = 0xFF;
constexpr unsigned long kThunked = 0x10, kMultiLine = 0x20, kOwnerDraw = 0x40;

INotebookTabHandler& tabHandler()
{
    return ovk_app::sharedHandler<INotebookTabHandler>();
}

} // namespace

const INotebook::Style INotebook::orientationBit1(0x1, 0);
const INotebook::Style INotebook::orientationBit2(0x2, 0);
const INotebook::Style INotebook::orientationBit4(0x4, 0);
const INotebook::Style INotebook::orientationBit8(0x8, 0);
const INotebook::Style INotebook::orientationBit10(0x10, 0);
const INotebook::Style INotebook::orientationBit20(0x20, 0);
const INotebook::Style INotebook::orientationBit40(0x40, 0);
const INotebook::Style INotebook::orientationBit80(0x80, 0);
const INotebook::Style INotebook::tabShape0(0, 0x1);
const INotebook::Style INotebook::tabShape1(0x100, 0);
const INotebook::Style INotebook::tabShape2(0x200, 0);
const INotebook::Style INotebook::binding1(0, 0x2);
const INotebook::Style INotebook::binding0(0x400, 0);
const INotebook::Style INotebook::statusTextAlign0(0, 0x4);
const INotebook::Style INotebook::statusTextAlign1(0x1000, 0);
const INotebook::Style INotebook::statusTextAlign2(0x2000, 0);
const INotebook::Style INotebook::tabTextAlign0(0, 0x8);
const INotebook::Style INotebook::thunkedWindow(0, kThunked);
const INotebook::Style INotebook::multiLineTabs(0, kMultiLine);
const INotebook::Style INotebook::ownerDrawTabs(0, kOwnerDraw);
const INotebook::Style INotebook::tabTextAlign1(0x4000, 0);
const INotebook::Style INotebook::tabTextAlign2(0x8000, 0);
const INotebook::Style INotebook::classDefaultStyle(0x10008011, 0x7);

INotebook::Style INotebook::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void INotebook::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// Construction ---------------------------------------------------------------------------------

INotebook::INotebook(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                     const Style& style)
    : fNotebookData(new INotebookData)
{
    try {
        createNotebook(id, parent, owner, initial, style);
    } catch (...) {
        delete fNotebookData;
        fNotebookData = nullptr;
        throw;
    }
}

void INotebook::createNotebook(unsigned long id, IWindow* parent, IWindow* owner,
                               const IRectangle& rect, const Style& style)
{
    if (!parent)
        IThrow::argument("parent != 0",
                         IEXCEPTION_LOCATION(kFile, "INotebook::INotebook(unsigned long,IWindow*,"
                                                    "IWindow*,const IRectangle&,const "
                                                    "INotebook::Style&)"));
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const char* className = INotebookTabHandler::outsideNotebookClass;
    if (usesThunkedWindow()) {
        thunkLibrary();
        ovk_native::ensureOutsideClass(className, ovk_native::kControlsModule);
    } else {
        InitCommonControls();
        className = INotebookTabHandler::tabControlClass;
    }
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), className, parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(handle);
    tabHandler().handleEventsFor(this);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    if (usesThunkedWindow())
        setOutsideSizes();
    else
        prepareNative();
}

INotebook::INotebook(unsigned long id, IWindow* parentAndOwner)
    : fNotebookData(new INotebookData)
{
    if (!parentAndOwner) {
        delete fNotebookData;
        fNotebookData = nullptr;
        IThrow::argument("parentAndOwner != 0",
                         IEXCEPTION_LOCATION(kFile, "INotebook::INotebook(unsigned long,IWindow*)"));
    }
    const IWindowHandle child = handleWithParent(id, parentAndOwner->handle());
    if (!child) {
        delete fNotebookData;
        fNotebookData = nullptr;
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID,
                        IEXCEPTION_LOCATION(kFile, "INotebook::INotebook(unsigned long,IWindow*)"));
    }
    takeCharge(child);
    if (usesThunkedWindow())
        setOutsideSizes();
}

INotebook::INotebook(const IWindowHandle& handle) : fNotebookData(new INotebookData)
{
    takeCharge(handle);
}

// A window taken over keeps living after the object; its class decides the variant.
void INotebook::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
    tabHandler().handleEventsFor(this);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    char name[32] = "";
    GetClassNameA(handle, name, sizeof name);
    if (lstrcmpiA(name, INotebookTabHandler::tabControlClass) == 0)
        prepareNative();
    else
        setExtendedStyle(extendedStyle() | kThunked);
}

void INotebook::setOutsideSizes()
{
    setMajorTabSize(ISize(50, 30));
    setMinorTabSize(ISize(50, 30));
    setPageButtonSize(ISize(30, 20));
}

// The tabs carry the page data as application data; the extra size can only be set while
// the tab control has no items.
void INotebook::prepareNative()
{
    fNotebookData->clipWindow = new IPageClipWindow(*this);
    if (!SendMessageA(handle(), TCM_SETITEMEXTRA, sizeof(INotebookItemData), 0))
        IThrow::systemError("TabCtrl_SetItemExtra", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "INotebook::prepareNative()"));
}

INotebook::~INotebook()
{
    try {
        if (isValid()) {
            tabHandler().stopHandlingEventsFor(this);
            IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(this);
        }
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
    delete[] fColors;
    try {
        delete fNotebookData;
    } catch (const IException&) {
        // A destructor throws nothing: the image list is lost with the process.
    }
}

unsigned long INotebook::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IWindow::convertToGUIStyle(style, extended);
    if (extended)
        return (style.asExtendedUnsignedLong() & 0xFF000000UL) | base;
    unsigned long native = base | (style.asUnsignedLong() & 0xF7FFUL);
    if (!(style.asExtendedUnsignedLong() & kThunked) && !usesThunkedWindow()) {
        native = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        if (style.asExtendedUnsignedLong() & kMultiLine)
            native |= TCS_MULTILINE;
        if (style.asExtendedUnsignedLong() & kOwnerDraw)
            native |= TCS_OWNERDRAWFIXED;
    }
    return native | WS_CHILD;
}

IBase::Boolean INotebook::usesThunkedWindow() const
{
    return (extendedStyle() & kThunked) != 0;
}

IBase::Boolean INotebook::hasMultiLineTabs() const
{
    return !usesThunkedWindow() && (style() & TCS_MULTILINE) != 0;
}

IBase::Boolean INotebook::hasOwnerDrawTabs() const
{
    return !usesThunkedWindow() && (style() & TCS_OWNERDRAWFIXED) != 0;
}

IWindow& INotebook::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, INotebookNotifyHandler::shared(), enable);
}

IEventData INotebook::sendChecked(unsigned long message, const IEventParameter1& p1,
                                  const IEventParameter2& p2, const char* failureText,
                                  const char* function) const
{
    const IEventData answer = handle().sendEvent(message, p1, p2);
    if (answer.asUnsignedLong() == 0)
        IThrow::systemError(failureText, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    return answer;
}

IPageClipWindow* INotebook::clipWindow() const
{
    return fNotebookData ? fNotebookData->clipWindow : nullptr;
}

// Appearance -----------------------------------------------------------------------------------

INotebook& INotebook::setStyleBits(unsigned long clear, unsigned long set, IBase::Boolean notify)
{
    const unsigned long old = style();
    const unsigned long next = (old & ~clear) | set;
    if (next == old)
        return *this;
    setStyle(next);
    refresh(paintAll);
    if (notify)
        notifyObservers(INotificationEvent("INotebook::orientation", *this, true,
                                           IEventData(static_cast<unsigned long>(orientation()))));
    return *this;
}

namespace {

// The style bit of a three-way choice, or a throw for another value.
unsigned long choiceBit(unsigned long value, unsigned long one, unsigned long two,
                        const char* function)
{
    switch (value) {
    case 0: return 0;
    case 1: return one;
    case 2: return two;
    default: IThrow::message(OVK_MSG_INVALID_VALUE, IEXCEPTION_LOCATION(kFile, function));
    }
}

} // namespace

INotebook& INotebook::setStatusTextAlignment(TextAlignment alignment)
{
    if (!usesThunkedWindow())
        return *this;
    const unsigned long bit = choiceBit(alignment, 0x1000, 0x2000,
                                        "INotebook::setStatusTextAlignment(TextAlignment)");
    return setStyleBits(0x3000, bit, false);
}

INotebook::TextAlignment INotebook::statusTextAlignment() const
{
    if (!usesThunkedWindow())
        return left;
    const unsigned long bits = style();
    return (bits & 0x1000) ? center : (bits & 0x2000) ? right : left;
}

INotebook& INotebook::setTabShape(TabShape shape)
{
    if (!usesThunkedWindow())
        return *this;
    return setStyleBits(0x300, choiceBit(shape, 0x100, 0x200, "INotebook::setTabShape(TabShape)"),
                        false);
}

INotebook::TabShape INotebook::tabShape() const
{
    if (!usesThunkedWindow())
        return rounded;
    const unsigned long bits = style();
    return (bits & 0x100) ? rounded : (bits & 0x200) ? polygon : square;
}

INotebook& INotebook::setTabTextAlignment(TextAlignment alignment)
{
    if (!usesThunkedWindow())
        return *this;
    const unsigned long bit = choiceBit(alignment, 0x4000, 0x8000,
                                        "INotebook::setTabTextAlignment(TextAlignment)");
    return setStyleBits(0xC000, bit, false);
}

INotebook::TextAlignment INotebook::tabTextAlignment() const
{
    if (!usesThunkedWindow())
        return right;
    const unsigned long bits = style();
    return (bits & 0x4000) ? center : (bits & 0x8000) ? right : left;
}

INotebook& INotebook::setBinding(Binding value)
{
    if (!usesThunkedWindow())
        return *this;
    if (value != spiral && value != solid)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION(kFile, "INotebook::setBinding(Binding)"));
    const unsigned long extended = extendedStyle();
    setExtendedStyle(value == spiral ? extended & ~0x2UL : extended | 0x2UL);
    return setStyleBits(0x400, value == spiral ? 0x400 : 0, false);
}

INotebook::Binding INotebook::binding() const
{
    if (!usesThunkedWindow())
        return solid;
    return (style() & 0x400) ? spiral : solid;
}

INotebook& INotebook::setOrientation(Orientation value)
{
    if (!usesThunkedWindow())
        return *this;
    static const unsigned long bits[] = {0x1 | 0x10, 0x4 | 0x10, 0x2 | 0x20, 0x8 | 0x20,
                                         0x4 | 0x40, 0x8 | 0x40, 0x1 | 0x80, 0x2 | 0x80};
    if (static_cast<unsigned long>(value) > 7)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION(kFile, "INotebook::setOrientation(Orientation)"));
    return setStyleBits(kOrientationBits, bits[value], true);
}

INotebook::Orientation INotebook::orientation() const
{
    if (!usesThunkedWindow())
        return backpagesRightBottom;
    const unsigned long bits = style();
    if (bits & 0x10)
        return (bits & 0x1) ? backpagesBottomRight : backpagesBottomLeft;
    if (bits & 0x20)
        return (bits & 0x2) ? backpagesTopRight : backpagesTopLeft;
    if (bits & 0x40)
        return (bits & 0x8) ? backpagesRightTop : backpagesRightBottom;
    if (bits & 0x80)
        return (bits & 0x2) ? backpagesLeftTop : backpagesLeftBottom;
    return backpagesLeftBottom;
}

INotebook& INotebook::setMajorTabSize(const ISize& size)
{
    if (usesThunkedWindow()) {
        sendChecked(setDimensions, IEventData(static_cast<std::uint16_t>(size.width()),
                                              static_cast<std::uint16_t>(size.height())),
                    1, "BKM_SETDIMENSIONS", "INotebook::setMajorTabSize(const ISize&)");
        return *this;
    }
    const LONG_PTR current = GetWindowLongPtrA(handle(), GWL_STYLE);
    if (!(current & TCS_FIXEDWIDTH))
        SetWindowLongPtrA(handle(), GWL_STYLE, current | TCS_FIXEDWIDTH);
    SendMessageA(handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(size.width(), size.height()));
    // The parent lays out again for the tabs' new size.
    if (IWindow* above = parent())
        above->sizeTo(above->size());
    return *this;
}

INotebook& INotebook::setMinorTabSize(const ISize& size)
{
    if (usesThunkedWindow())
        sendChecked(setDimensions, IEventData(static_cast<std::uint16_t>(size.width()),
                                              static_cast<std::uint16_t>(size.height())),
                    2, "BKM_SETDIMENSIONS", "INotebook::setMinorTabSize(const ISize&)");
    return *this;
}

INotebook& INotebook::setPageButtonSize(const ISize& size)
{
    if (usesThunkedWindow())
        sendChecked(setDimensions, IEventData(static_cast<std::uint16_t>(size.width()),
                                              static_cast<std::uint16_t>(size.height())),
                    0x100, "BKM_SETDIMENSIONS", "INotebook::setPageButtonSize(const ISize&)");
    return *this;
}

INotebook& INotebook::refreshTabs()
{
    if (usesThunkedWindow()) {
        sendChecked(invalidateTabs, 0, 0, "BKM_INVALIDATETABS", "INotebook::refreshTabs()");
        return *this;
    }
    const LRESULT count = SendMessageA(handle(), TCM_GETITEMCOUNT, 0, 0);
    if (count <= 0)
        return *this;
    RECT first, last;
    if (!SendMessageA(handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) ||
        !SendMessageA(handle(), TCM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                      reinterpret_cast<LPARAM>(&last)))
        IThrow::systemError("TabCtrl_GetItemRect", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "INotebook::refreshTabs()"));
    const RECT tabs{first.left, first.top, last.right, last.bottom};
    InvalidateRect(handle(), &tabs, FALSE);
    return *this;
}

// Colours --------------------------------------------------------------------------------------

IColor INotebook::backgroundColor() const
{
    return IGUIColor(IColor::disabledForeground);
}

IColor INotebook::hiliteBackgroundColor() const
{
    return IGUIColor(IColor::windowForeground);
}

INotebook& INotebook::setNotebookColors(unsigned long color, unsigned long area)
{
    if (area < 5 || area > 9)
        return *this;
    static IColor (INotebook::*const queries[])() const = {
        &INotebook::pageBackgroundColor, &INotebook::majorTabBackgroundColor,
        &INotebook::minorTabBackgroundColor, &INotebook::majorTabForegroundColor,
        &INotebook::minorTabForegroundColor};
    if ((this->*queries[area - 5])().asRGBLong() == (color & 0xFFFFFF))
        return *this;
    sendChecked(IOutsideMessage::setNotebookColors, color, area, "BKM_SETNOTEBOOKCOLORS",
                "INotebook::setNotebookColors(unsigned long,unsigned long)");
    return *this;
}

INotebook& INotebook::recordNotebookColor(unsigned long color, unsigned long area)
{
    if (area < 5 || area > 9)
        return *this;
    if (!fColors)
        fColors = new std::uint32_t[5]();
    fColors[area - 5] = static_cast<std::uint32_t>(color);
    fColorFlags |= 1UL << (area - 5);
    return *this;
}

IColor INotebook::recordedColor(unsigned long area, const IColor& fallback) const
{
    if (!usesThunkedWindow() || !fColors || !(fColorFlags & (1UL << (area - 5))))
        return fallback;
    const std::uint32_t rgb = fColors[area - 5];
    return IColor(static_cast<unsigned char>(rgb), static_cast<unsigned char>(rgb >> 8),
                  static_cast<unsigned char>(rgb >> 16));
}

INotebook& INotebook::resetColorArea(unsigned long area)
{
    fColorFlags &= ~(1UL << (area - 5));
    return *this;
}

IColor INotebook::pageBackgroundColor() const
{
    return recordedColor(5, IGUIColor(IColor::buttonFace));
}
IColor INotebook::majorTabBackgroundColor() const
{
    return recordedColor(6, IGUIColor(IColor::buttonFace));
}
IColor INotebook::minorTabBackgroundColor() const
{
    return recordedColor(7, IGUIColor(IColor::buttonFace));
}
IColor INotebook::majorTabForegroundColor() const
{
    return recordedColor(8, IGUIColor(IColor::windowText));
}
IColor INotebook::minorTabForegroundColor() const
{
    return recordedColor(9, IGUIColor(IColor::windowText));
}

#define NOTEBOOK_COLOR_SETTER(name, area)                                                       \
    INotebook& INotebook::name(const IColor& color)                                            \
    {                                                                                           \
        return usesThunkedWindow() ? setNotebookColors(color.asRGBLong(), area) : *this;        \
    }
NOTEBOOK_COLOR_SETTER(setPageBackgroundColor, 5)
NOTEBOOK_COLOR_SETTER(setMajorTabBackgroundColor, 6)
NOTEBOOK_COLOR_SETTER(setMinorTabBackgroundColor, 7)
NOTEBOOK_COLOR_SETTER(setMajorTabForegroundColor, 8)
NOTEBOOK_COLOR_SETTER(setMinorTabForegroundColor, 9)
#undef NOTEBOOK_COLOR_SETTER

INotebook& INotebook::resetPageBackgroundColor() { return resetColorArea(5); }
INotebook& INotebook::resetMajorTabBackgroundColor() { return resetColorArea(6); }
INotebook& INotebook::resetMinorTabBackgroundColor() { return resetColorArea(7); }
INotebook& INotebook::resetMajorTabForegroundColor() { return resetColorArea(8); }
INotebook& INotebook::resetMinorTabForegroundColor() { return resetColorArea(9); }

// Sizes ----------------------------------------------------------------------------------------

IRectangle INotebook::pageArea() const
{
    RECT area{0, 0, 0, 0};
    GetClientRect(handle(), &area);
    SendMessageA(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return IRectangle(area.left, area.top, area.right, area.bottom);
}

ISize INotebook::pageSize() const
{
    RECT area{0, 0, 0, 0};
    GetClientRect(handle(), &area);
    if (usesThunkedWindow())
        sendChecked(calcPageRect, IEventData(&area), 1, "BKM_CALCPAGERECT", "INotebook::pageSize()");
    else
        SendMessageA(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return ISize(std::max<LONG>(0, area.right - area.left), std::max<LONG>(0, area.bottom - area.top));
}

ISize INotebook::notebookSize(const IPageHandle& page) const
{
    IWindow* pageWindow = window(page);
    const ISize shown = pageWindow ? pageWindow->minimumSize() : ISize(0, 0);
    RECT area{0, 0, static_cast<LONG>(shown.width()), static_cast<LONG>(shown.height())};
    if (usesThunkedWindow())
        sendChecked(calcPageRect, IEventData(&area), 0, "BKM_CALCPAGERECT",
                    "INotebook::notebookSize(const IPageHandle&) const");
    else
        SendMessageA(handle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
    return ISize(area.right - area.left, area.bottom - area.top);
}

// The largest notebook size that shows a page window at its minimum size; without one, the
// base minimum as a page area.
ISize INotebook::calcMinimumSize() const
{
    ISize largest(0, 0);
    for (IPageHandle page = firstPage(); page.isValid(); page = nextPage(page)) {
        const ISize size = notebookSize(page);
        largest = ISize(std::max(largest.width(), size.width()),
                        std::max(largest.height(), size.height()));
    }
    if (largest.width() > 0 && largest.height() > 0)
        return largest;
    const ISize base = IWindow::calcMinimumSize();
    RECT area{0, 0, 0, 0};
    GetClientRect(handle(), &area);
    if (usesThunkedWindow())
        sendChecked(calcPageRect, IEventData(&area), 1, "BKM_CALCPAGERECT",
                    "INotebook::calcMinimumSize() const");
    else
        SendMessageA(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    RECT shown{std::min(area.left, area.left + static_cast<LONG>(base.width())),
               std::min(area.top, area.top + static_cast<LONG>(base.height())),
               std::max(area.left, area.left + static_cast<LONG>(base.width())),
               std::max(area.top, area.top + static_cast<LONG>(base.height()))};
    if (usesThunkedWindow())
        sendChecked(calcPageRect, IEventData(&shown), 0, "BKM_CALCPAGERECT",
                    "INotebook::calcMinimumSize() const");
    else
        SendMessageA(handle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&shown));
    return ISize(shown.right - shown.left, shown.bottom - shown.top);
}

// Queries --------------------------------------------------------------------------------------

IPageHandle INotebook::queryPage(const IPageHandle& page, unsigned long order) const
{
    const IEventData answer = handle().sendEvent(queryPageId, page.asUnsignedLong(), order);
    if (static_cast<std::uint32_t>(answer.asUnsignedLong()) == 0xFFFFFFFFu)
        IThrow::systemError("BKM_QUERYPAGEID:INVALID_PARAMETERS", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "INotebook::queryPage(void*,void*) const"));
    return IPageHandle(static_cast<std::uint32_t>(answer.asUnsignedLong()));
}

unsigned long INotebook::queryPageCount(const IPageHandle& page, unsigned long kind) const
{
    const IEventData answer = handle().sendEvent(IOutsideMessage::queryPageCount, page.asUnsignedLong(), kind);
    if (answer.lowNumber() == 0xFFFF)
        IThrow::systemError("BKM_QUERYPAGECOUNT", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "INotebook::queryPageCount(void*,void*) const"));
    return answer.lowNumber();
}

long INotebook::indexOf(const IPageHandle& page) const
{
    const auto& pages = fNotebookData->pages;
    const auto found = std::find(pages.begin(), pages.end(),
                                 static_cast<std::uint32_t>(page.asUnsignedLong()));
    return found == pages.end() ? -1 : static_cast<long>(found - pages.begin());
}

long INotebook::checkedIndex(const IPageHandle& page, const char* function) const
{
    const long index = indexOf(page);
    if (index < 0)
        IThrow::message(OVK_MSG_INVALID_HANDLE, IEXCEPTION_LOCATION(kFile, function));
    return index;
}

IPageHandle INotebook::topPage() const
{
    if (usesThunkedWindow())
        return queryPage(IPageHandle(), 0x20);
    const LRESULT selected = SendMessageA(handle(), TCM_GETCURSEL, 0, 0);
    const auto& pages = fNotebookData->pages;
    if (selected < 0 || static_cast<size_t>(selected) >= pages.size())
        IThrow::systemError("TabCtrl_GetCurSel", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "INotebook::topPage() const"));
    return IPageHandle(pages[static_cast<size_t>(selected)]);
}

IPageHandle INotebook::firstPage() const
{
    if (usesThunkedWindow())
        return queryPage(IPageHandle(), 4);
    const auto& pages = fNotebookData->pages;
    return pages.empty() ? IPageHandle() : IPageHandle(pages.front());
}

IPageHandle INotebook::lastPage() const
{
    if (usesThunkedWindow())
        return queryPage(IPageHandle(), 2);
    const auto& pages = fNotebookData->pages;
    return pages.empty() ? IPageHandle() : IPageHandle(pages.back());
}

IPageHandle INotebook::nextPage(const IPageHandle& page) const
{
    if (usesThunkedWindow())
        return queryPage(page, 8);
    const long index = checkedIndex(page, "INotebook::nextPage(const IPageHandle&) const");
    const auto& pages = fNotebookData->pages;
    return static_cast<size_t>(index) + 1 < pages.size() ? IPageHandle(pages[index + 1])
                                                         : IPageHandle();
}

IPageHandle INotebook::previousPage(const IPageHandle& page) const
{
    if (usesThunkedWindow())
        return queryPage(page, 0x10);
    const long index = checkedIndex(page, "INotebook::previousPage(const IPageHandle&) const");
    return index > 0 ? IPageHandle(fNotebookData->pages[index - 1]) : IPageHandle();
}

unsigned long INotebook::pageCount() const
{
    if (usesThunkedWindow())
        return queryPageCount(IPageHandle(), 0x200);
    return static_cast<unsigned long>(SendMessageA(handle(), TCM_GETITEMCOUNT, 0, 0));
}

IBase::Boolean INotebook::isEmpty() const
{
    return pageCount() == 0;
}

unsigned long INotebook::countToMajorTab(const IPageHandle& page) const
{
    return usesThunkedWindow() ? queryPageCount(page, 0x40) : 1;
}

unsigned long INotebook::countToMinorTab(const IPageHandle& page) const
{
    return usesThunkedWindow() ? queryPageCount(page, 0x80) : 0;
}

// The pages from this one to the last, this one included.
unsigned long INotebook::pagesToEnd(const IPageHandle& page) const
{
    if (usesThunkedWindow())
        return queryPageCount(page, 0x200);
    const long index = checkedIndex(page, "INotebook::pagesToEnd(const IPageHandle&) const");
    return pageCount() - static_cast<unsigned long>(index);
}

unsigned long INotebook::countToMajorTab(const Cursor& cursor) const
{
    return countToMajorTab(cursor.current());
}
unsigned long INotebook::countToMinorTab(const Cursor& cursor) const
{
    return countToMinorTab(cursor.current());
}
unsigned long INotebook::pagesToEnd(const Cursor& cursor) const
{
    return pagesToEnd(cursor.current());
}

// The tab-control handler's side: an empty notebook has no top page rather than a failure.
INotebookTabOwner::PageHandle INotebook::tabTopPage() const
{
    if (!usesThunkedWindow()) {
        const LRESULT selected = SendMessageA(handle(), TCM_GETCURSEL, 0, 0);
        const auto& pages = fNotebookData->pages;
        return selected >= 0 && static_cast<size_t>(selected) < pages.size()
                   ? pages[static_cast<size_t>(selected)]
                   : 0;
    }
    return topPage().asUnsignedLong();
}

INotebookTabOwner::PageHandle INotebook::tabNextPage(PageHandle page) const
{
    return nextPage(IPageHandle(static_cast<unsigned long>(page))).asUnsignedLong();
}

INotebookTabOwner::PageHandle INotebook::tabPreviousPage(PageHandle page) const
{
    return previousPage(IPageHandle(static_cast<unsigned long>(page))).asUnsignedLong();
}

INotebook& INotebook::tabTurnToPage(PageHandle page)
{
    return turnToPage(IPageHandle(static_cast<unsigned long>(page)));
}

IWindow* INotebook::tabPageWindow(PageHandle page) const
{
    return window(IPageHandle(static_cast<unsigned long>(page)));
}

INotebook& INotebook::processClose()
{
    return *this;
}
