// The list box base: creation, styles, owner drawing, item heights, minimum size and the
// shared handler.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/ishared.hpp"
#include "detail/ilistimp.hpp"
#include "ihandler.hpp"
#include "ilistbas.hpp"
#include "inotifhd.hpp"
#include "inotifid.hpp"

struct IBaseListBoxData {
    virtual ~IBaseListBoxData() = default;
    unsigned long minimumRows = 4;
    unsigned long minimumCharacters = 25;
    ovk_native::Brush brush;
};

const unsigned long IBaseListBox::notFound = 0xFFFFFFFFul;
const unsigned long IBaseListBox::first = 0xFFFFFFFFul;
const IBaseListBox::Style IBaseListBox::_multipleSelect(LBS_MULTIPLESEL);
const IBaseListBox::Style IBaseListBox::_extendedSelect(LBS_EXTENDEDSEL);
const IBaseListBox::Style IBaseListBox::_ownerDraw(LBS_OWNERDRAWVARIABLE);
const IBaseListBox::Style IBaseListBox::_anyHeight(LBS_NOINTEGRALHEIGHT);
const IBaseListBox::Style IBaseListBox::_horizontalScroll(WS_HSCROLL);
const IBaseListBox::Style IBaseListBox::_border3D(0, WS_EX_CLIENTEDGE);
const IBaseListBox::Style IBaseListBox::classDefaultStyle(0x10100100, 0x200);
const char* const IBaseListBox::selectId = INotificationId::listBoxSelect;
const char* const IBaseListBox::enterId = INotificationId::listBoxEnter;

namespace ovklist {

const Kind listBox = {
    LB_GETCOUNT,     LB_GETTEXTLEN,  LB_GETTEXT,      LB_GETITEMDATA,
    LB_SETITEMDATA,  LB_DELETESTRING, LB_INSERTSTRING, LB_FINDSTRING,
    LB_FINDSTRINGEXACT, LB_RESETCONTENT, LB_GETCURSEL, "IBaseListBox",
    "IListBox",      &INotificationId::listBoxSelect, nullptr, nullptr,
    &INotificationId::listBoxEnter,
};

} // namespace ovklist

// Answers the list box's colour requests with its own colours, and on the older shells pages
// an owner-drawn list by its items' own heights.
class IBaseListBoxHandler : public IHandler {
public:
    static IBaseListBoxHandler& shared()
    {
        return ovk_app::sharedHandler<IBaseListBoxHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_CTLCOLORLISTBOX) {
            auto* box = dynamic_cast<IBaseListBox*>(IWindow::windowWithHandle(
                IWindowHandle(static_cast<HWND>(event.parameter2().asPointer())), true));
            if (!box)
                return false;
            event.setResult(ovkshared::answerColorRequest(event, *box, box->fListData->brush));
            return true;
        }
        if (event.eventId() == WM_KEYDOWN && event.parameter1().asUnsignedLong() == VK_NEXT &&
            !IPlatform::hasNewShell()) {
            auto* box = dynamic_cast<IBaseListBox*>(event.dispatchingWindow());
            return box && event.handle() == box->handle() && box->isOwnerDraw() && box->pageDown();
        }
        return false;
    }
};

IBaseListBox::IBaseListBox(unsigned long id, IWindow* parent, IWindow* owner,
                           const IRectangle& rect, const Style& style)
{
    if (!parent)
        IThrow::argument("pParent!=0",
                         IExceptionLocation("ilistbas", "IBaseListBox::IBaseListBox(unsigned long,"
                                                        "IWindow*,IWindow*,const IRectangle&,"
                                                        "const Style&)",
                                            355));
    fListData = std::make_unique<IBaseListBoxData>();
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "ListBox", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    IBaseListBoxHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    // The horizontal scroll range covers one screen width.
    if ((style.asUnsignedLong() & WS_HSCROLL) && !isOwnerDraw()) {
        RECT desktop{};
        GetWindowRect(GetDesktopWindow(), &desktop);
        ovklist::send(*this, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(desktop.right - desktop.left));
    }
}

IBaseListBox::IBaseListBox(unsigned long id, IWindow* parent) : fListData(new IBaseListBoxData)
{
    takeCharge(ovkbutton::childOf(id, parent, "ilistbas",
                                  "IBaseListBox::IBaseListBox(unsigned long,IWindow*)"));
}

IBaseListBox::IBaseListBox(const IWindowHandle& handle) : fListData(new IBaseListBoxData)
{
    takeCharge(handle);
}

void IBaseListBox::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    IBaseListBoxHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
}

IBaseListBox::~IBaseListBox()
{
    try {
        if (isValid())
            IBaseListBoxHandler::shared().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
}

IBaseListBox::Style IBaseListBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IBaseListBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IWindow& IBaseListBox::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IListBoxNotifyHandler::shared(), enable);
}

unsigned long IBaseListBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IControl::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & WS_EX_CLIENTEDGE);
    // LBS_SORT and the bits from 0x8000 up are dropped: the library keeps the order itself.
    return base | (style.asUnsignedLong() & 0x7FFD) | WS_CHILD | WS_BORDER | WS_VSCROLL |
           LBS_HASSTRINGS | LBS_NOTIFY;
}

IWindow& IBaseListBox::setLayoutDistorted(unsigned long layoutAttributeOn,
                                          unsigned long layoutAttributeOff)
{
    if (layoutAttributeOn & ovk_layout::fontChanged) {
        layoutAttributeOn |= ovk_layout::minimumSizeChanged;
        if (isOwnerDraw()) {
            const unsigned long items = count();
            for (unsigned long index = 0; index < items; ++index)
                measureItem(index);
        }
    }
    return IControl::setLayoutDistorted(layoutAttributeOn, layoutAttributeOff);
}

// Asks the owner for an item's height, as the list box itself asks when the item is added.
void IBaseListBox::measureItem(unsigned long index) const
{
    IWindow* target = owner();
    if (!target)
        return;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_LISTBOX;
    measure.CtlID = static_cast<UINT>(id());
    measure.itemID = static_cast<UINT>(index);
    measure.itemData = static_cast<ULONG_PTR>(ovklist::send(*this, LB_GETITEMDATA, index));
    target->handle().sendEvent(WM_MEASUREITEM, IEventParameter1(id()),
                               IEventParameter2(static_cast<void*>(&measure)));
}

IColor IBaseListBox::backgroundColor() const
{
    return findColor(3, IGUIColor(IColor::listBackground));
}

ISize IBaseListBox::calcMinimumSize() const
{
    const ISize character = characterSize();
    long height = 2 * GetSystemMetrics(SM_CYBORDER) +
                  character.height() * static_cast<long>(fListData->minimumRows);
    long width = 2 * GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXVSCROLL) +
                 character.width() * static_cast<long>(fListData->minimumCharacters);
    if (isHorizontalScroll())
        height += GetSystemMetrics(SM_CYHSCROLL) - 1;
    if ((extendedStyle() & WS_EX_CLIENTEDGE) && IPlatform::hasNewShell()) {
        width += 4;
        height += 4;
    }
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}

namespace {

// Sets or clears a native style bit; true when the style changed.
bool changeStyleBit(IWindow& window, unsigned long bit, bool on)
{
    const unsigned long current = window.style();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted == current)
        return false;
    window.setStyle(wanted);
    return true;
}

} // namespace

IBaseListBox& IBaseListBox::enableOwnerDraw(IBase::Boolean enable)
{
    if (changeStyleBit(*this, LBS_OWNERDRAWVARIABLE, enable != 0) && enable)
        measureItem(0);
    refresh();
    return *this;
}

IBaseListBox& IBaseListBox::disableOwnerDraw()
{
    return enableOwnerDraw(false);
}

IBaseListBox& IBaseListBox::enableDrawItem(IBase::Boolean) { return *this; }
IBaseListBox& IBaseListBox::disableDrawItem() { return enableDrawItem(false); }
IBaseListBox& IBaseListBox::enableMultipleColumns(IBase::Boolean) { return *this; }
IBaseListBox& IBaseListBox::disableMultipleColumns() { return enableMultipleColumns(false); }

IBaseListBox& IBaseListBox::enableAnyHeight(IBase::Boolean enable)
{
    changeStyleBit(*this, LBS_NOINTEGRALHEIGHT, enable != 0);
    refresh();
    return *this;
}

IBaseListBox& IBaseListBox::disableAnyHeight()
{
    return enableAnyHeight(false);
}

IBaseListBox& IBaseListBox::setItemHeight(unsigned long height)
{
    const char* const function = "IBaseListBox::setItemHeight(unsigned long)";
    if (isOwnerDraw()) {
        const unsigned long items = count();
        for (unsigned long index = 0; index < items; ++index) {
            if (ovklist::send(*this, LB_SETITEMHEIGHT, index, static_cast<LPARAM>(height)) == -1)
                IThrow::systemError("LB_SETITEMHEIGHT", GetLastError(),
                                    IExceptionLocation("ilistbas", function, 774));
        }
    } else if (ovklist::send(*this, LB_SETITEMHEIGHT, 0, static_cast<LPARAM>(height)) == -1) {
        IThrow::systemError("LB_SETITEMHEIGHT", GetLastError(),
                            IExceptionLocation("ilistbas", function, 783));
    }
    refresh();
    return *this;
}

unsigned long IBaseListBox::itemHeight() const
{
    const LRESULT height = ovklist::send(*this, LB_GETITEMHEIGHT, 0);
    if (height == -1)
        IThrow::runtime("LB_GETITEMHEIGHT",
                        IExceptionLocation("ilistbas", "IBaseListBox::itemHeight() const", 809),
                        static_cast<IException::ErrorId>(-1));
    return static_cast<unsigned long>(height);
}

IBaseListBox& IBaseListBox::setMinimumCharacters(unsigned long characters)
{
    fListData->minimumCharacters = characters;
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

IBaseListBox& IBaseListBox::setMinimumRows(unsigned long rows)
{
    fListData->minimumRows = rows;
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

unsigned long IBaseListBox::minimumCharacters() const { return fListData->minimumCharacters; }
unsigned long IBaseListBox::minimumRows() const { return fListData->minimumRows; }
IBase::Boolean IBaseListBox::isMultipleSelect() const { return (style() & LBS_MULTIPLESEL) != 0; }
IBase::Boolean IBaseListBox::isExtendedSelect() const { return (style() & LBS_EXTENDEDSEL) != 0; }
IBase::Boolean IBaseListBox::isOwnerDraw() const { return (style() & LBS_OWNERDRAWVARIABLE) != 0; }
IBase::Boolean IBaseListBox::isAnyHeight() const { return (style() & LBS_NOINTEGRALHEIGHT) != 0; }
IBase::Boolean IBaseListBox::isHorizontalScroll() const { return (style() & WS_HSCROLL) != 0; }
IBase::Boolean IBaseListBox::isDrawItem() const { return false; }
IBase::Boolean IBaseListBox::isMultipleColumns() const { return false; }

// Page Down in an owner-drawn list whose items differ in height: the older shells step by
// whole pages of the first item's height, so the page is measured item by item here.
bool IBaseListBox::pageDown()
{
    const long items = static_cast<long>(count());
    const long selected = static_cast<long>(selection());
    if (items == 0 || selected < 0 || selected == items - 1)
        return false;
    RECT client{};
    GetClientRect(handle(), &client);
    IWindow* target = owner();
    long sum = 0;
    long end = -1;
    for (long index = selected;; ++index) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_LISTBOX;
        measure.CtlID = static_cast<UINT>(id());
        measure.itemID = static_cast<UINT>(index);
        measure.itemData = static_cast<ULONG_PTR>(ovklist::send(*this, LB_GETITEMDATA, static_cast<WPARAM>(index)));
        if (target)
            target->handle().sendEvent(WM_MEASUREITEM, IEventParameter1(id()),
                                       IEventParameter2(static_cast<void*>(&measure)));
        sum += static_cast<long>(measure.itemHeight);
        if (sum > client.bottom) {
            end = index - 1;
            break;
        }
        if (index == items - 1) {
            end = index;
            break;
        }
    }
    long newTop = selected;
    if (end <= selected)
        newTop = end = selected + 1;
    disableUpdate();
    select(static_cast<unsigned long>(end), true);
    setTop(static_cast<unsigned long>(newTop));
    enableUpdate(true);
    refresh();
    SetScrollPos(handle(), SB_VERT, GetScrollPos(handle(), SB_VERT), TRUE);
    return true;
}
