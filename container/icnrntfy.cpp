// The native container's notifications: what its list and tree controls report, and help and
// context-menu requests, become the container notifications that its owner's handlers read,
// just as the message-driven class sends them.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "detail/icnrdata.hpp"
#include "detail/icnrnhdr.hpp"

#include <icoordsy.hpp>
#include <iprivmsg.hpp>

#include "detail/icnritem.hpp"
#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr std::uint32_t kEnterByMouse = 0;
constexpr std::uint32_t kEnterByKey = 1;

LRESULT notifyOwner(ICnrCtl& container, unsigned code, const IEventParameter2& data)
{
    return cnrNotifyOwner(container, code, data);
}

ICnrObj* listObject(HWND list, int index)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (index < 0 || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<ICnrObj*>(item.lParam);
}

ICnrObj* treeObject(HWND tree, HTREEITEM handle)
{
    if (!handle)
        return nullptr;
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<ICnrObj*>(item.lParam);
}

bool treeIsCurrent(const ICnrControlData& data)
{
    return data.nativeMode() == ICnrControlData::treeMode;
}

// The object with the cursor in the current control, or null.
ICnrObj* cursoredObject(const ICnrControlData& data)
{
    if (treeIsCurrent(data)) {
        const HWND tree = data.treeControl();
        return treeObject(tree, reinterpret_cast<HTREEITEM>(
                                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    }
    const HWND list = data.listControl();
    if (!list)
        return nullptr;
    return listObject(list, static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM,
                                                          static_cast<WPARAM>(-1), LVNI_FOCUSED)));
}

void sendEnter(ICnrControlData& data, ICnrObj* object, std::uint32_t key)
{
    NOTIFYRECORDENTER enter{data.container().handle(), key, ICnrObj::recordOf(object)};
    notifyOwner(data.container(), CN_ENTER, static_cast<const void*>(&enter));
}

void sendEmphasis(ICnrControlData& data, ICnrObj* object, std::uint32_t mask)
{
    NOTIFYRECORDEMPHASIS emphasis{data.container().handle(), ICnrObj::recordOf(object), mask};
    notifyOwner(data.container(), CN_EMPHASIS, static_cast<const void*>(&emphasis));
}

// A double click in the list opens the item under the pointer, in the tree the cursored one.
void doubleClicked(ICnrControlData& data, HWND control)
{
    data.setDoubleClickSeen(true);
    ICnrObj* object = nullptr;
    if (control == data.treeControl()) {
        object = cursoredObject(data);
    } else {
        LVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(control, &hit.pt);
        object = listObject(control, static_cast<int>(SendMessageA(
                                         control, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
    }
    if (object)
        sendEnter(data, object, kEnterByMouse);
}

void listItemChanged(ICnrControlData& data, const NMLISTVIEW& change)
{
    auto* object = reinterpret_cast<ICnrObj*>(change.lParam);
    if (!object || !(change.uChanged & LVIF_STATE))
        return;
    const UINT states = change.uNewState | change.uOldState;
    const std::uint32_t mask = ((states & LVIS_SELECTED) ? CRA_SELECTED : 0u) |
                               ((states & LVIS_FOCUSED) ? CRA_CURSORED : 0u);
    if (mask)
        sendEmphasis(data, object, mask);
}

void treeSelectionChanged(ICnrControlData& data, const NMTREEVIEWA& change)
{
    if (auto* lost = reinterpret_cast<ICnrObj*>(change.itemOld.lParam))
        sendEmphasis(data, lost, CRA_SELECTED | CRA_CURSORED);
    if (auto* gained = reinterpret_cast<ICnrObj*>(change.itemNew.lParam))
        sendEmphasis(data, gained, CRA_SELECTED | CRA_CURSORED);
}

void treeExpanded(ICnrControlData& data, const NMTREEVIEWA& change)
{
    auto* object = reinterpret_cast<ICnrObj*>(change.itemNew.lParam);
    if (!object)
        return;
    const unsigned code = (change.itemNew.state & TVIS_EXPANDED) ? CN_EXPANDTREE : CN_COLLAPSETREE;
    notifyOwner(data.container(), code, static_cast<const void*>(ICnrObj::recordOf(object)));
}

// The editing record of an object's text: the record's text slot, which still holds the old
// text, and the length of the text that the owner is to make room for.
CNREDITDATA labelEditRecord(ICnrControlData& data, ICnrObj* object, const char* text)
{
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    CNREDITDATA edit{};
    edit.cb = sizeof(CNREDITDATA);
    edit.hwndCnr = data.container().handle();
    edit.pRecord = record;
    edit.ppszText = &record->pszIcon;
    const std::size_t length = text ? std::strlen(text) : 0;
    edit.cbText = static_cast<std::uint16_t>(length < 0xFFFE ? length + 1 : 0xFFFF);
    edit.id = static_cast<std::uint32_t>(data.container().id());
    return edit;
}

// A read-only object is not edited: the edit is cancelled before it opens (answering 1 is the
// controls' way of refusing it) and the owner hears nothing.
LRESULT labelEditBegins(ICnrControlData& data, HWND control, ICnrObj* object)
{
    if (!object)
        return 1;
    if (object->nativeItems().hasState(&data.container(), ICnrItemTable::readOnly)) {
        if (control == data.treeControl())
            SendMessageA(control, TVM_ENDEDITLABELNOW, TRUE, 0);
        else
            SendMessageA(control, LVM_EDITLABELA, static_cast<WPARAM>(-1), 0);
        return 1;
    }
    const IString text = ICnrItemTable::textOf(*object);
    CNREDITDATA edit = labelEditRecord(data, object, text.data());
    notifyOwner(data.container(), CN_BEGINEDIT, static_cast<const void*>(&edit));
    return 0;
}

void setItemTexts(ICnrControlData& data, ICnrObj* object)
{
    const IString text = ICnrItemTable::textOf(*object);
    // The list asks for the record's text whenever it draws the item.
    const int index = data.listIndexOf(object);
    if (index >= 0)
        SendMessageA(data.listControl(), LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
    const std::uintptr_t treeItem = object->nativeItems().treeItem(&data.container());
    if (treeItem && data.treeControl()) {
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = reinterpret_cast<HTREEITEM>(treeItem);
        item.pszText = const_cast<char*>(text.data());
        SendMessageA(data.treeControl(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// The owner makes room for the new text (CN_REALLOCPSZ) and agrees by answering non-zero; the
// text is then the record's, and both controls show it. The controls are answered 0, so that
// neither sets the label again.
void labelEditEnds(ICnrControlData& data, ICnrObj* object, const char* newText)
{
    if (!object)
        return;
    // The controls report the text also when the user left it as it was. The text is read
    // through a copy: another thread may rename the object, and free its text, meanwhile.
    const IString current = ICnrItemTable::textOf(*object);
    if (newText && std::strcmp(newText, current.data()) == 0)
        newText = nullptr;
    CNREDITDATA edit = labelEditRecord(data, object, newText ? newText : current.data());
    if (newText &&
        notifyOwner(data.container(), CN_REALLOCPSZ, static_cast<const void*>(&edit)) != 0) {
        // Through the object, so that every container showing it shows the new text; the
        // slot holds the library's string again, whatever buffer the owner put there.
        object->setIconText(IString(newText));
        setItemTexts(data, object);
    }
    notifyOwner(data.container(), CN_ENDEDIT, static_cast<const void*>(&edit));
}

LRESULT listReport(ICnrControlData& data, const NMHDR& header)
{
    switch (header.code) {
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_RETURN)
            if (ICnrObj* object = cursoredObject(data))
                sendEnter(data, object, kEnterByKey);
        return 0;
    case LVN_ITEMCHANGED:
        listItemChanged(data, reinterpret_cast<const NMLISTVIEW&>(header));
        return 0;
    case LVN_BEGINLABELEDITA: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOA&>(header);
        return labelEditBegins(data, header.hwndFrom, listObject(header.hwndFrom, info.item.iItem));
    }
    case LVN_ENDLABELEDITA: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOA&>(header);
        const bool changed = info.item.pszText && info.item.iItem != -1;
        labelEditEnds(data, listObject(header.hwndFrom, info.item.iItem),
                      changed ? info.item.pszText : nullptr);
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT treeReport(ICnrControlData& data, const NMHDR& header)
{
    switch (header.code) {
    case TVN_KEYDOWN:
        if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_RETURN)
            if (ICnrObj* object = cursoredObject(data))
                sendEnter(data, object, kEnterByKey);
        return 0;
    case TVN_SELCHANGEDA:
        treeSelectionChanged(data, reinterpret_cast<const NMTREEVIEWA&>(header));
        return 0;
    case TVN_ITEMEXPANDEDA:
        treeExpanded(data, reinterpret_cast<const NMTREEVIEWA&>(header));
        return 0;
    case TVN_BEGINLABELEDITA: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
        return labelEditBegins(data, header.hwndFrom,
                               treeObject(header.hwndFrom, info.item.hItem));
    }
    case TVN_ENDLABELEDITA: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
        labelEditEnds(data, treeObject(header.hwndFrom, info.item.hItem), info.item.pszText);
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace

// Sent to the owner, synchronously; nothing when the container has no owner.
CNR_LPARAM cnrNotifyOwner(ICnrCtl& container, unsigned code, const IEventParameter2& data)
{
    IWindow* owner = container.owner();
    if (!owner)
        return 0;
    return owner->sendEvent(IPrivateMessage::controlNotification,
                            IEventData(static_cast<std::uint16_t>(container.id()),
                                       static_cast<std::uint16_t>(code)),
                            data)
        .asLong();
}

IBase::Boolean INativeContainerHandler::controlReport(ICnrControlData& data, IEvent& event)
{
    const auto* header = static_cast<const NMHDR*>(event.parameter2().asPointer());
    LRESULT result = 0;
    // Every report of the controls passes here, one for each item of a fill.
    if (header && data.isNativeControl(header->hwndFrom)) {
        switch (header->code) {
        case NM_DBLCLK: doubleClicked(data, header->hwndFrom); break;
        case NM_SETFOCUS:
            notifyOwner(data.container(), CN_SETFOCUS,
                        static_cast<const void*>(data.container().handle()));
            break;
        case NM_KILLFOCUS:
            notifyOwner(data.container(), CN_KILLFOCUS,
                        static_cast<const void*>(data.container().handle()));
            break;
        default:
            result = header->hwndFrom == data.treeControl() ? treeReport(data, *header)
                                                            : listReport(data, *header);
        }
    }
    event.setResult(result);
    return true;
}

// F1 over the container asks for help on the cursored object; all bits set says there is none.
IBase::Boolean INativeContainerHandler::helpRequest(ICnrControlData& data, IEvent& event)
{
    const auto* info = static_cast<const HELPINFO*>(event.parameter2().asPointer());
    if (info && info->iContextType == HELPINFO_MENUITEM)
        return false;
    const ICnrObj* object = cursoredObject(data);
    const IEventParameter2 record =
        object ? IEventParameter2(static_cast<const void*>(ICnrObj::recordOf(object)))
               : IEventParameter2(static_cast<std::intptr_t>(-1));
    notifyOwner(data.container(), CN_HELP, record);
    event.setResult(1);
    return true;
}

IBase::Boolean INativeContainerHandler::contextMenuRequest(ICnrControlData& data, IEvent& event)
{
    ICnrCtl& container = data.container();
    // Screen coordinates are signed: a monitor left of or above the first has negative ones.
    const DWORD position = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(container.handle(), &point);
    RECT client{};
    GetClientRect(container.handle(), &client);
    const IPoint at = ICoordinateSystem::convertToApplication(IPoint(point.x, point.y),
                                                              ISize(client.right, client.bottom));
    NOTIFYCONTEXTMENU menu{nullptr, ICnrObj::recordOf(container.objectUnderPoint(at))};
    notifyOwner(container, CN_CONTEXTMENU, static_cast<const void*>(&menu));
    event.setResult(0);
    return true;
}
