// The native container's editing of details cells: the list control edits only the text of its
// first column, so an edit field of the container's own is laid over any other cell; a slow
// second click on a cell opens it.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "detail/icnrdata.hpp"

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>

#include <icoordsy.hpp>

#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr UINT_PTR kSlowClickTimer = 0x7F01;
constexpr WPARAM kEnter = '\r';
constexpr WPARAM kEscape = 0x1B;

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The cell's string pointer: a field of the object, counted from the record's start.
char** cellSlot(ICnrObj* object, const FIELDINFO* column)
{
    return reinterpret_cast<char**>(reinterpret_cast<char*>(ICnrObj::recordOf(object)) +
                                    column->offStruct);
}

CNREDITDATA cellEditRecord(ICnrCtl& container, ICnrObj* object, FIELDINFO* column,
                           const char* text)
{
    CNREDITDATA edit{};
    edit.cb = sizeof(CNREDITDATA);
    edit.hwndCnr = container.handle();
    edit.pRecord = ICnrObj::recordOf(object);
    edit.pFieldInfo = column;
    edit.ppszText = cellSlot(object, column);
    const std::size_t length = text ? std::strlen(text) : 0;
    edit.cbText = static_cast<std::uint16_t>(length < 0xFFFE ? length + 1 : 0xFFFF);
    edit.id = static_cast<std::uint32_t>(container.id());
    return edit;
}

// Enter and Escape end the edit. The close is posted to the container: the edit field must not
// be destroyed inside its own procedure.
LRESULT CALLBACK overlayProcedure(HWND edit, UINT message, WPARAM parameter1, LPARAM parameter2,
                                  UINT_PTR, DWORD_PTR container)
{
    if (message == WM_CHAR && (parameter1 == kEnter || parameter1 == kEscape)) {
        PostMessageA(reinterpret_cast<HWND>(container), CM_CLOSEEDIT, 0, 0);
        return 0;
    }
    if (message == WM_GETDLGCODE)
        return DefSubclassProc(edit, message, parameter1, parameter2) | DLGC_WANTALLKEYS;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, overlayProcedure, 0);
    return DefSubclassProc(edit, message, parameter1, parameter2);
}

bool isDetailsView(HWND list)
{
    return list && (GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

// Passes the mouse moves of the list and tree controls on to the container window. The buttons
// reach it already: a button that the control leaves unanswered is offered to the control's
// owners, the container first. The moves are not, and without them the container's drag start,
// which waits for a move after a press over an object, never sees a drag.
// On the list control it also watches the presses: a press on a cell outside the first column
// starts the slow-click timer; a press while a cell is edited ends that edit and goes no further.
class MouseHandler : public IHandler {
public:
    static MouseHandler& instance()
    {
        return ovk_app::sharedHandler<MouseHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        // The message first: every message of the control passes here, two for each item of a
        // fill (its insertion and the notice of it), and finding the container asks the system
        // about the control's parent and each container's window.
        if (!isWatched(event.eventId()))
            return false;
        const HWND control = event.handle();
        ICnrCtl* container = ICnrCtl::containerWithHandle(IWindowHandle(GetParent(control)));
        ICnrControlData* data = container ? container->controlData() : nullptr;
        if (!data || data->isMessageDriven())
            return false;
        if (event.eventId() == WM_MOUSEMOVE) {
            passOn(*container, control, event);
            return false;
        }
        const HWND list = control;
        if (data->listControl() != list)
            return false;
        switch (event.eventId()) {
        case WM_LBUTTONDOWN: return pressed(*data, list, event);
        case WM_LBUTTONDBLCLK: data->setDoubleClickSeen(true); return false;
        case WM_TIMER:
            if (event.parameter1().asUnsignedLong() != kSlowClickTimer)
                return false;
            data->slowClickElapsed();
            return true;
        default: return false;
        }
    }

private:
    static bool isWatched(unsigned long id)
    {
        return id == WM_MOUSEMOVE || id == WM_LBUTTONDOWN || id == WM_LBUTTONDBLCLK || id == WM_TIMER;
    }

    // In the container's coordinates, as the buttons offered to it are: a move and the press
    // before it must measure the same distance. To the container's handlers only, like those.
    static void passOn(ICnrCtl& container, HWND control, const IEvent& event)
    {
        const auto position = static_cast<LPARAM>(event.parameter2().asLong());
        POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        MapWindowPoints(control, container.handle(), &point, 1);
        IEvent passed(container.handle(), WM_MOUSEMOVE, event.parameter1().asUnsignedLong(),
                      MAKELPARAM(point.x, point.y));
        container.dispatch(passed);
    }

    IBase::Boolean pressed(ICnrControlData& data, HWND list, IEvent& event)
    {
        data.setDoubleClickSeen(false);
        if (!isDetailsView(list) || (data.containerStyle() & CCS_READONLY))
            return false;
        if (data.overlayEdit() || SendMessageA(list, LVM_GETEDITCONTROL, 0, 0)) {
            if (data.overlayEdit())
                data.closeOverlayEdit();
            return true;
        }
        const long x = static_cast<short>(event.parameter2().lowNumber());
        const long y = static_cast<short>(event.parameter2().highNumber());
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        const LRESULT item = SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (!data.isSlowClickPending() && item == -1)
            data.startSlowClick(x, y);
        return false;
    }
};

} // namespace

void cnrAttachMouseHandler(INativeCnrChild& control)
{
    MouseHandler::instance().handleEventsFor(&control);
}

IBase::Boolean ICnrControlData::openOverlayEdit(ICnrObj* object, FIELDINFO* column)
{
    const HWND list = listControl();
    const int subItem = fColumns.columnIdFromFieldInfo(column);
    const int index = listIndexOf(object);
    if (!list || subItem <= 0 || index < 0 || !(column->flData & CFA_STRING) ||
        (column->flData & CFA_FIREADONLY))
        return false;
    closeOverlayEdit();
    RECT cell{};
    cell.top = subItem;
    cell.left = LVIR_LABEL;
    if (!SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&cell)))
        return false;
    const char* text = *cellSlot(object, column);
    const HWND edit = CreateWindowExA(0, "Edit", text ? text : "",
                                      WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell.left,
                                      cell.top, cell.right - cell.left, cell.bottom - cell.top,
                                      list, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!edit)
        return false;
    SendMessageA(edit, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), FALSE);
    SetWindowSubclass(edit, overlayProcedure, 0,
                      reinterpret_cast<DWORD_PTR>(static_cast<HWND>(fContainer->handle())));
    fOverlay = edit;
    fOverlayObject = object;
    fOverlayColumn = column;
    CNREDITDATA begin = cellEditRecord(*fContainer, object, column, text);
    cnrNotifyOwner(*fContainer, CN_BEGINEDIT, static_cast<const void*>(&begin));
    if (fOverlay == edit)
        SetFocus(edit);
    return true;
}

// The owner makes room for a changed text and agrees by answering non-zero; the text is then
// copied into the cell's string, within the room made for it.
void ICnrControlData::closeOverlayEdit()
{
    const HWND edit = fOverlay;
    if (!edit)
        return;
    fOverlay = nullptr;
    ICnrObj* object = fOverlayObject;
    FIELDINFO* column = fOverlayColumn;
    fOverlayObject = nullptr;
    fOverlayColumn = nullptr;
    const std::string text = windowText(edit);
    char** slot = cellSlot(object, column);
    const bool changed = std::strcmp(text.c_str(), *slot ? *slot : "") != 0;
    CNREDITDATA data = cellEditRecord(*fContainer, object, column, changed ? text.c_str() : *slot);
    if (changed && cnrNotifyOwner(*fContainer, CN_REALLOCPSZ, static_cast<const void*>(&data)) &&
        *slot) {
        lstrcpynA(*slot, text.c_str(), data.cbText);
        const int index = listIndexOf(object);
        if (index >= 0)
            SendMessageA(listControl(), LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
    }
    cnrNotifyOwner(*fContainer, CN_ENDEDIT, static_cast<const void*>(&data));
    DestroyWindow(edit);
}

void ICnrControlData::startSlowClick(long x, long y)
{
    fSlowClickPending = 1;
    fSlowClickX = x;
    fSlowClickY = y;
    SetTimer(listControl(), kSlowClickTimer, GetDoubleClickTime(), nullptr);
}

// A double click since the press opened the object instead. A cell that cannot be edited is
// simply not edited: the click came from the user, not from code that could hear of it.
void ICnrControlData::slowClickElapsed()
{
    const HWND list = listControl();
    KillTimer(list, kSlowClickTimer);
    fSlowClickPending = 0;
    if (fDoubleClickSeen)
        return;
    POINT point{fSlowClickX, fSlowClickY};
    MapWindowPoints(list, fContainer->handle(), &point, 1);
    RECT client{};
    GetClientRect(fContainer->handle(), &client);
    const IPoint at = ICoordinateSystem::convertToApplication(IPoint(point.x, point.y),
                                                              ISize(client.right, client.bottom));
    IContainerColumn* column = fContainer->columnUnderPoint(at);
    // The object's hit test answers only for the first column's text and icon; the list's
    // sub-item hit test finds the row of any cell.
    LVHITTESTINFO hit{};
    hit.pt = POINT{fSlowClickX, fSlowClickY};
    const int row = static_cast<int>(
        SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    ICnrObj* object = nullptr;
    if (row >= 0) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            object = reinterpret_cast<ICnrObj*>(item.lParam);
    }
    if (!column || !object)
        return;
    try {
        fContainer->editObject(object, column);
    } catch (const IException&) {
    }
}
