// The combo box base: creation in three kinds, the inner edit window's procedure, the list
// window's mark, geometry and the shared handler.
#include <windows.h>

#include <detail/icallgrd.hpp>
#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <detail/iprevproc.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/ishared.hpp"
#include "detail/ilistimp.hpp"
#include "icombobs.hpp"
#include "icoordsy.hpp"
#include "ihandler.hpp"
#include "inotifhd.hpp"
#include "inotifid.hpp"
#include "iownmhdr.hpp"
#include "iprivmsg.hpp"
#include "iwcname.hpp"

namespace {

// On the list window: the handle of the library's combo box that owns it. Only the combo box's
// own list is marked, so the lists of other combo boxes (a dialog's, a file dialog's) lead to
// none of ours.
const char* const kListMark = "OVK_COMBOBOX_OF_LIST";
// On the inner edit window: its procedure from before the subclassing, so that the edit keeps
// working while no combo box object answers for it.
const char* const kEditProcedure = "OVK_COMBOBOX_EDIT_PROCEDURE";
constexpr unsigned long kReadOnlyKind = 0x8;
constexpr unsigned long kHorizontalExtentSet = 0x100000;

LRESULT CALLBACK comboEditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace

struct IBaseComboBoxData {
    virtual ~IBaseComboBoxData() = default;
    unsigned long minimumRows = 4;
    unsigned long minimumCharacters = 25;
    unsigned long limit = 30000;
    ovk_native::Brush brush;
    WNDPROC previousEditProcedure = nullptr;
    HWND edit = nullptr;
    HWND list = nullptr;
};

const unsigned long IBaseComboBox::notFound = 0xFFFFFFFFul;
const unsigned long IBaseComboBox::first = 0xFFFFFFFFul;
const IBaseComboBox::Style IBaseComboBox::simpleType(CBS_SIMPLE);
const IBaseComboBox::Style IBaseComboBox::dropDownType(CBS_DROPDOWN);
const IBaseComboBox::Style IBaseComboBox::readOnlyDropDownType(0, kReadOnlyKind);
const IBaseComboBox::Style IBaseComboBox::_horizontalScroll(WS_HSCROLL);
const IBaseComboBox::Style IBaseComboBox::_oemConvert(CBS_OEMCONVERT);
const IBaseComboBox::Style IBaseComboBox::_autoScroll(CBS_AUTOHSCROLL);
const IBaseComboBox::Style IBaseComboBox::_border3D(0, WS_EX_CLIENTEDGE);
const IBaseComboBox::Style IBaseComboBox::classDefaultStyle(0x10000041, 0x200);
const char* const IBaseComboBox::selectId = INotificationId::comboBoxSelect;
const char* const IBaseComboBox::enterId = INotificationId::comboBoxEnter;

// What the inner edit window's procedure does for the combo box around it.
struct IBaseComboBoxEdit {
    // True when the key went to the owner instead of the edit control.
    static bool passKeys(IBaseComboBox& combo, HWND edit, UINT message, WPARAM wParam,
                         LPARAM lParam)
    {
        if (message == WM_CHAR) {
            if (wParam == VK_RETURN &&
                (combo.comboType() == IBaseComboBox::simple || !combo.isListShowing())) {
                const HWND self = combo.handle();
                if (const HWND parent = GetParent(self))
                    IWindowHandle(parent).sendEvent(
                        WM_COMMAND, IEventParameter1(MAKEWPARAM(combo.id() & 0xFFFF, IPrivateMessage::comboEnter)),
                        IEventParameter2(self));
            }
            if (wParam != VK_TAB && wParam != VK_ESCAPE && wParam != VK_RETURN)
                return false;
        } else if (message != WM_SYSKEYDOWN && message != WM_SYSKEYUP) {
            return false;
        }
        IEntryField::passToOwner(combo, IEvent(IWindowHandle(edit), message, IEventParameter1(wParam),
                                               IEventParameter2(lParam)));
        return true;
    }
};

namespace {

LRESULT CALLBACK comboEditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(edit, kEditProcedure));
    return ICallbackGuard::call<LRESULT>(0, [&]() -> LRESULT {
        auto* combo = dynamic_cast<IBaseComboBox*>(
            IWindow::windowWithHandle(IWindowHandle(GetParent(edit))));
        if (combo && IBaseComboBoxEdit::passKeys(*combo, edit, message, wParam, lParam))
            return 0;
        // The edit goes: it needs its mark no longer.
        if (message == WM_NCDESTROY)
            RemovePropA(edit, kEditProcedure);
        return ovk_app::previousOrDefault(previous, edit, message, wParam, lParam);
    });
}

} // namespace

// Turns the closing of the list into enter and a choice made in it into select, for the
// combo box's parent; answers the colour requests of the text field and the list with the
// combo box's colours.
class IBaseComboBoxHandler : public IHandler {
public:
    static IBaseComboBoxHandler& shared()
    {
        return ovk_app::sharedHandler<IBaseComboBoxHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        auto* combo = dynamic_cast<IBaseComboBox*>(event.dispatchingWindow());
        if (!combo)
            return false;
        switch (event.eventId()) {
        case IPrivateMessage::controlNotification:
            return notification(*combo, event);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            IBaseComboBox* target = combo;
            if (event.eventId() == WM_CTLCOLORLISTBOX)
                target = IBaseComboBox::comboBoxWithList(
                    IWindowHandle(static_cast<HWND>(event.parameter2().asPointer())));
            if (!target)
                return false;
            event.setResult(ovkshared::answerColorRequest(event, *target, target->fComboData->brush));
            return true;
        }
        case WM_PAINT:
            if (IPlatform::isPlatformVariant() && event.handle() == combo->handle())
                paintBand(*combo);
            return false;
        default:
            return false;
        }
    }

private:
    static bool notification(IBaseComboBox& combo, const IEvent& event)
    {
        const HWND self = combo.handle();
        if (event.parameter2().asPointer() != static_cast<void*>(self))
            return false;
        const unsigned int code = event.parameter1().highNumber();
        unsigned int told;
        if (code == CBN_SELENDOK)
            told = IPrivateMessage::comboEditChange;
        else if (code == CBN_CLOSEUP)
            told = IPrivateMessage::comboEnter;
        else
            return false;
        if (const HWND parent = GetParent(self))
            IWindowHandle(parent).postEvent(WM_COMMAND, IEventParameter1(MAKEWPARAM(combo.id() & 0xFFFF, told)),
                                            IEventParameter2(self));
        return true;
    }

    // The older platform leaves the band between a simple combo box's text field and its list
    // unpainted.
    static void paintBand(const IBaseComboBox& combo)
    {
        const HWND self = combo.handle();
        const HWND edit = combo.fComboData->edit;
        const HWND list = combo.fComboData->list;
        if (combo.comboType() != IBaseComboBox::simple || !edit || !list)
            return;
        RECT editRect{};
        RECT listRect{};
        GetWindowRect(edit, &editRect);
        GetWindowRect(list, &listRect);
        MapWindowPoints(HWND_DESKTOP, self, reinterpret_cast<POINT*>(&editRect), 2);
        MapWindowPoints(HWND_DESKTOP, self, reinterpret_cast<POINT*>(&listRect), 2);
        RECT client{};
        GetClientRect(self, &client);
        const RECT band{client.left, editRect.bottom, client.right, listRect.top};
        if (band.bottom <= band.top)
            return;
        const ovk_native::WindowDC context(self);
        if (!context)
            return;
        const COLORREF colour = GetSysColor(COLOR_WINDOW);
        const ovk_native::Brush brush(CreateSolidBrush(colour));
        const ovk_native::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
        const ovk_native::Selection brushIn(context.get(), brush.get());
        const ovk_native::Selection penIn(context.get(), pen.get());
        Rectangle(context.get(), band.left, band.top, band.right, band.bottom);
    }
};

namespace ovklist {

const Kind comboBox = {
    CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETITEMDATA,
    CB_SETITEMDATA,  CB_DELETESTRING, CB_INSERTSTRING, CB_FINDSTRING,
    CB_FINDSTRINGEXACT, CB_RESETCONTENT, CB_GETCURSEL, "IBaseComboBox",
    "IComboBox",     &INotificationId::comboBoxSelect, nullptr, nullptr,
    &INotificationId::comboBoxEnter,
};

} // namespace ovklist

IBaseComboBox::IBaseComboBox(unsigned long id, IWindow* parent, IWindow* owner,
                             const IRectangle& rect, const Style& style)
{
    const char* const function = "IBaseComboBox::IBaseComboBox(unsigned long,IWindow*,IWindow*,"
                                 "const IRectangle&,const Style&)";
    if (!parent)
        IThrow::argument("pParent!=0", IExceptionLocation("icombobs", function, 426));
    checkKind(style);
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    fComboData = std::make_unique<IBaseComboBoxData>();
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "ComboBox", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    IBaseComboBoxHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    takeInnerWindows(style, function, 477);
}

IBaseComboBox::IBaseComboBox(unsigned long id, IWindow* parent)
    : fComboData(new IBaseComboBoxData)
{
    const char* const function = "IBaseComboBox::IBaseComboBox(unsigned long,IWindow*)";
    const IWindowHandle child = ovkbutton::childOf(id, parent, "icombobs", function);
    setDestroyOnDelete(false);
    IBaseComboBoxHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(child);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    takeInnerWindows(Style(style()), function, 562);
}

IBaseComboBox::IBaseComboBox(const IWindowHandle& handle) : fComboData(new IBaseComboBoxData)
{
    setDestroyOnDelete(false);
    IBaseComboBoxHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    takeInnerWindows(Style(style()), "IBaseComboBox::IBaseComboBox(const IWindowHandle&)", 626);
}

void IBaseComboBox::checkKind(const Style& style) const
{
    const bool kind = (style.asUnsignedLong() & (CBS_SIMPLE | CBS_DROPDOWN)) ||
                      (style.asExtendedUnsignedLong() & kReadOnlyKind);
    if (!kind)
        IThrow::argument("(style & (simpleType | dropDownType | readOnlyDropDownType)) !=0",
                         IExceptionLocation("icombobs",
                                            "IBaseComboBox::IBaseComboBox(unsigned long,IWindow*,"
                                            "IWindow*,const IRectangle&,const Style&)",
                                            428));
}

void IBaseComboBox::takeInnerWindows(const Style& style, const char* function, unsigned long line)
{
    const HWND self = handle();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(self, &info);
    if (comboType() != readOnlyDropDown) {
        HWND edit = FindWindowExA(self, nullptr, "Edit", nullptr);
        if (!edit)
            edit = GetWindow(self, GW_CHILD);
        if (edit) {
            const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&comboEditProcedure)));
            if (!previous)
                IThrow::systemError("ISUBCLASSWINDOW", GetLastError(),
                                    IExceptionLocation("icombobs", function, line));
            SetPropA(edit, kEditProcedure, reinterpret_cast<HANDLE>(previous));
            fComboData->edit = edit;
            fComboData->previousEditProcedure = previous;
            setTextField(IWindowHandle(edit));
        }
    }
    // The list that drops down scrolls sideways only on the consumer family's newer shell; on
    // the NT family's only the list that a simple combo box always shows does.
    const bool dropsDown = (style.asUnsignedLong() & CBS_DROPDOWN) ||
                           (style.asExtendedUnsignedLong() & kReadOnlyKind);
    const bool extent = IPlatform::hasConsumerNewShell() ||
                        (IPlatform::hasNTNewShell() && !dropsDown);
    if ((style.asUnsignedLong() & WS_HSCROLL) && extent) {
        RECT desktop{};
        GetWindowRect(GetDesktopWindow(), &desktop);
        ovklist::send(*this, CB_SETHORIZONTALEXTENT, static_cast<WPARAM>(desktop.right - desktop.left));
        setExtendedStyle(extendedStyle() | kHorizontalExtentSet);
    }
    if (info.hwndList && !GetPropA(info.hwndList, kListMark)) {
        SetPropA(info.hwndList, kListMark, reinterpret_cast<HANDLE>(self));
        fComboData->list = info.hwndList;
    }
}

IBaseComboBox::~IBaseComboBox()
{
    try {
        if (isValid()) {
            IBaseComboBoxHandler::shared().stopHandlingEventsFor(this);
            IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(this);
        }
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
    if (fComboData) {
        // The edit gets its own procedure back only while it exists; a destroyed one took its
        // mark along.
        const HWND edit = fComboData->edit;
        if (edit && IsWindow(edit) &&
            GetWindowLongPtrA(edit, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&comboEditProcedure)) {
            SetWindowLongPtrA(edit, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(fComboData->previousEditProcedure));
            RemovePropA(edit, kEditProcedure);
        }
        if (fComboData->list && IsWindow(fComboData->list))
            RemovePropA(fComboData->list, kListMark);
    }
}

IBaseComboBox::Style IBaseComboBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IBaseComboBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IBaseComboBox* IBaseComboBox::comboBoxWithList(const IWindowHandle& list)
{
    if (!list)
        return nullptr;
    const auto combo = static_cast<HWND>(GetPropA(list, kListMark));
    if (!combo)
        return nullptr;
    return dynamic_cast<IBaseComboBox*>(IWindow::windowWithHandle(IWindowHandle(combo), true));
}

IWindowHandle IBaseComboBox::editHandle() const
{
    return IWindowHandle(fComboData->edit);
}

IWindowHandle IBaseComboBox::listHandle() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(handle(), &info);
    return IWindowHandle(info.hwndList);
}

IWindow& IBaseComboBox::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IComboBoxNotifyHandler::shared(), enable);
}

unsigned long IBaseComboBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IWindow::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & WS_EX_CLIENTEDGE);
    unsigned long native = base | (style.asUnsignedLong() & 0x100FF3);
    if (style.asExtendedUnsignedLong() & kReadOnlyKind)
        native |= CBS_DROPDOWNLIST;
    return native | WS_CHILD | WS_VSCROLL | CBS_HASSTRINGS | CBS_NOINTEGRALHEIGHT;
}

IBaseComboBox::ComboType IBaseComboBox::comboType() const
{
    switch (style() & 3) {
    case CBS_DROPDOWNLIST:
        return readOnlyDropDown;
    case CBS_DROPDOWN:
        return dropDown;
    default:
        return simple;
    }
}

IBase::Boolean IBaseComboBox::isListShowing() const
{
    return comboType() == simple || ovklist::send(*this, CB_GETDROPPEDSTATE) != 0;
}

IBaseComboBox& IBaseComboBox::showList(IBase::Boolean show)
{
    if (comboType() != simple && (show != 0) != (isListShowing() != 0))
        ovklist::send(*this, CB_SHOWDROPDOWN, show ? TRUE : FALSE);
    return *this;
}

IBaseComboBox& IBaseComboBox::hideList()
{
    return showList(false);
}

IBase::Boolean IBaseComboBox::hasFocus() const
{
    if (comboType() == readOnlyDropDown)
        return IWindow::hasFocus();
    const HWND focus = GetFocus();
    return focus && focus == fComboData->edit;
}

IEntryField& IBaseComboBox::setAlignment(Alignment)
{
    IInvalidRequest failure(OVK_MSG_OPERATION_NOT_SUPPORTED);
    failure.appendText("IBaseComboBox");
    IThrow::exception(failure, IExceptionLocation("icombobs",
                                                  "IBaseComboBox::setAlignment(IEntryField::Alignment)",
                                                  1078));
}

IEntryField& IBaseComboBox::setLimit(unsigned long ulLimit)
{
    if (!(text().length() <= ulLimit))
        IThrow::state("text().length() <= ulLimit",
                      IExceptionLocation("icombobs", "IBaseComboBox::setLimit(unsigned long)", 862));
    if (ulLimit != limit()) {
        ovklist::send(*this, CB_LIMITTEXT, ulLimit);
        fComboData->limit = ulLimit;
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    }
    return *this;
}

IEntryField& IBaseComboBox::setLimit(const IResourceId& limit)
{
    return IEntryField::setLimit(limit);
}

unsigned long IBaseComboBox::limit() const
{
    return fComboData->limit;
}

IBase::Boolean IBaseComboBox::isHorizontalScroll() const
{
    return (extendedStyle() & kHorizontalExtentSet) != 0;
}

unsigned long IBaseComboBox::minimumRows() const
{
    return fComboData->minimumRows;
}

IBaseComboBox& IBaseComboBox::setMinimumRows(unsigned long rows)
{
    fComboData->minimumRows = rows;
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

IRectangle IBaseComboBox::nativeRect() const
{
    if (comboType() == simple)
        return IWindow::nativeRect();
    RECT dropped{};
    ovklist::send(*this, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    MapWindowPoints(HWND_DESKTOP, GetParent(handle()), reinterpret_cast<POINT*>(&dropped), 2);
    return IRectangle(dropped.left, dropped.top, dropped.right, dropped.bottom);
}

IRectangle IBaseComboBox::layoutAdjustment() const
{
    if (comboType() == simple)
        return IWindow::layoutAdjustment();
    long height = GetSystemMetrics(SM_CYBORDER) +
                  characterSize().height() * static_cast<long>(fComboData->minimumRows);
    if (isHorizontalScroll())
        height += GetSystemMetrics(SM_CYHSCROLL);
    return IRectangle(0, -height, 0, 0);
}

IRectangle IBaseComboBox::visibleRectangle() const
{
    return ICoordinateSystem::convertToApplication(IWindow::nativeRect(), parentSize());
}

// A drop-down combo box keeps the height of its selection field whatever height it is given
// (more only lengthens the dropped list), and sets it again from a new font itself: that height,
// not an entry field's text height, is what a layout must leave it.
long IBaseComboBox::closedHeight() const
{
    RECT closed{};
    GetWindowRect(handle(), &closed);
    return closed.bottom - closed.top;
}

ISize IBaseComboBox::calcMinimumSize() const
{
    const ISize field = IEntryField::calcMinimumSize();
    long width = field.width();
    long height = field.height();
    const ComboType kind = comboType();
    if (kind == simple) {
        height += GetSystemMetrics(SM_CYBORDER) +
                  characterSize().height() * static_cast<long>(fComboData->minimumRows);
        if ((extendedStyle() & WS_EX_CLIENTEDGE) && IPlatform::hasNewShell())
            height += 2;
    }
    width += 3 * GetSystemMetrics(SM_CXBORDER) + 2;
    height += 2 * GetSystemMetrics(SM_CYBORDER);
    if (kind != simple) {
        width += GetSystemMetrics(SM_CXVSCROLL);
        height = closedHeight();
    } else if (isHorizontalScroll()) {
        height += GetSystemMetrics(SM_CYHSCROLL);
    }
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}
