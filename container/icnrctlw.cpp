// The native container window: "OVK Native Container" with a list or tree control inside and
// the container title above it, and the handler that answers its messages.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "detail/icnrdata.hpp"
#include "detail/icnrnhdr.hpp"

#include <detail/iclasswide.hpp>
#include <detail/iwincore.hpp>
#include <detail/iwindata.hpp>
#include <iapp.hpp>
#include <ireslib.hpp>

#include "detail/icnritem.hpp"
#include "detail/icnrseam.hpp"
#include "icnrctl.hpp"

namespace {

constexpr const char* kFile = "icnrctlw";
constexpr UINT kDefaultLargeIcon = 0x7133;
constexpr UINT kDefaultSmallIcon = 0x7134;
constexpr DWORD kTreeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;

// An icon of the application's user resource library, or of the library's own when the
// application has none: an application need not ship the container's default icons.
IPointerHandle defaultIcon(unsigned long id)
{
    ICurrentApplication& application = IApplication::current();
    IPointerHandle icon = application.userResourceLibrary().tryToLoadIcon(id);
    if (!icon.isValid())
        icon = application.ovkuiResourceLibrary().tryToLoadIcon(id);
    return icon;
}

HIMAGELIST imageList(int size, int initial, int grow, UINT icon = 0)
{
    HIMAGELIST list = ImageList_Create(size, size, ILC_MASK | ILC_COLOR32, initial, grow);
    if (list && icon) {
        const IPointerHandle handle = defaultIcon(icon);
        if (handle.isValid())
            ImageList_AddIcon(list, handle.asValue());
    }
    return list;
}

void replaceStyle(HWND window, LONG_PTR remove, LONG_PTR add)
{
    const LONG_PTR old = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR wanted = (old & ~remove) | add;
    if (wanted != old)
        SetWindowLongPtrA(window, GWL_STYLE, wanted);
}

// Every record message finds its controls through here. A control filed in this thread's window
// set is alive without asking the system, which under Wine is a call into the system's own
// side on every record; a control of another thread, or one gone, takes the question, once:
// handle() would ask it again.
HWND handleOf(const IWindow* window) noexcept
{
    if (!window)
        return nullptr;
    if (IWindowCore::isFiledOnThisThread(*window) || window->isValid())
        return IWindowCore::rawHandle(*window);
    return nullptr;
}

} // namespace

// The children ---------------------------------------------------------------------------------------

INativeCnrChild::INativeCnrChild(ICnrCtl& container, unsigned long id, const char* windowClass,
                                 unsigned long style)
{
    RECT client{};
    GetClientRect(container.handle(), &client);
    startHandlingEventsFor(create(id, "", style | WS_CHILD, windowClass, container.handle(),
                                  container.handle(),
                                  IRectangle(IPoint(), ISize(client.right, client.bottom)),
                                  nullptr, nullptr, defaultSiblingOrder(), WS_EX_CLIENTEDGE));
}

INativeCnrChild::~INativeCnrChild() = default;

// Registration -----------------------------------------------------------------------------------------

void ICnrControlData::registerContainer()
{
    static bool registered = false;
    IResourceLock lock(ICnrList::lock());
    if (registered)
        return;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.cbWndExtra = 4;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // Black shows only where nothing covers the window: the separator line under the title.
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = WC_NATIVECONTAINER;
    // A class that outlived an earlier load of the library is still ours.
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        IThrow::systemError("RegisterClass", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, "ICnrControlData::registerContainer()"));
    }
    registered = true;
}

// Construction -----------------------------------------------------------------------------------------

ICnrControlData::ICnrControlData(ICnrCtl& container) : fContainer(&container), fMessageDriven(1)
{
}

ICnrControlData::ICnrControlData(ICnrCtl& container, unsigned long containerStyle,
                                 unsigned long viewWord)
    : fContainer(&container), fContainerStyle(containerStyle)
{
    fInfo.cb = sizeof(CNRINFO);
    fInfo.flWindowAttr = static_cast<std::uint32_t>(viewWord);
    fInfo.slBitmapOrIcon = CNR_SIZEL{32, 32};
    fTitleShown = (viewWord & CA_CONTAINERTITLE) ? 1 : 0;
    fTitleSeparator = (viewWord & CA_TITLESEPARATOR) ? 1 : 0;
}

ICnrControlData::~ICnrControlData()
{
    fCurrent = nullptr;
    fTitle.reset();
    fList.reset();
    fTree.reset();
    for (HIMAGELIST list : {fLargeImages, fSmallImages, fEmptyImages, fLargeDefaultIcon,
                            fSmallDefaultIcon})
        if (list)
            ImageList_Destroy(list);
}

void ICnrControlData::createNativeParts(unsigned long viewWord)
{
    fLargeImages = imageList(32, 40, 5);
    fSmallImages = imageList(16, 40, 5);
    fEmptyImages = ImageList_Create(1, 1, ILC_MASK, 1, 0);
    fLargeDefaultIcon = imageList(32, 1, 0, kDefaultLargeIcon);
    fSmallDefaultIcon = imageList(16, 1, 0, kDefaultSmallIcon);
    fTitle = std::make_unique<ICnrTitle>(*fContainer);
    setNativeMode((viewWord & CV_TREE) ? treeMode : listMode);
    layout();
}

HWND ICnrControlData::currentControl() const noexcept { return handleOf(fCurrent); }
HWND ICnrControlData::listControl() const noexcept { return handleOf(fList.get()); }
HWND ICnrControlData::treeControl() const noexcept { return handleOf(fTree.get()); }

bool ICnrControlData::isNativeControl(HWND window) const noexcept
{
    return isListControl(window) || isTreeControl(window);
}

LRESULT ICnrControlData::insertIntoControl(HWND control, unsigned message, LPARAM item)
{
    const INativeCnrChild* child =
        isListControl(control) ? fList.get() : isTreeControl(control) ? fTree.get() : nullptr;
    const IWindowData* data = child ? IWindowCore::data(*child) : nullptr;
    if (!fBulkInsertion.load(std::memory_order_acquire) || !data || !data->previousProcedure)
        return SendMessageA(control, message, 0, item);
    // Asked at every insertion, not once for the fill: the list reports an item's state while
    // it goes in, and a handler of the container's notifications may put a procedure of its
    // own before either control meanwhile. The window is this process's, so the question asks
    // the server nothing.
    if (GetWindowLongPtrA(control, GWLP_WNDPROC) !=
        reinterpret_cast<LONG_PTR>(&IWindowCore::_pfnwpOVKWinProc))
        return SendMessageA(control, message, 0, item);
    return CallWindowProcA(data->previousProcedure, control, message, 0, item);
}

bool ICnrControlData::isListControl(HWND window) const noexcept
{
    return window && fList && window == IWindowCore::rawHandle(*fList);
}

bool ICnrControlData::isTreeControl(HWND window) const noexcept
{
    return window && fTree && window == IWindowCore::rawHandle(*fTree);
}
HWND ICnrControlData::titleWindow() const noexcept { return fTitle ? fTitle->handle() : nullptr; }

// The native mode ---------------------------------------------------------------------------------------

INativeCnrChild* ICnrControlData::createControl(NativeMode mode)
{
    const bool readOnly = (fContainerStyle & CCS_READONLY) != 0;
    if (mode == treeMode) {
        const DWORD style = kTreeStyle | (readOnly ? 0 : TVS_EDITLABELS);
        fTreeChangesSeen = ICnrItemTable::unshownChanges();
        fTree = std::make_unique<INativeCnrChild>(*fContainer, treeId, WC_TREEVIEWA, style);
        cnrAttachMouseHandler(*fTree);
        cnrAttachTreePaintHandler(*fTree);
        const HWND tree = treeControl();
        if (HWND list = listControl())
            SendMessageA(tree, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), FALSE);
        if (fInfo.cxTreeIndent)
            SendMessageA(tree, TVM_SETINDENT, static_cast<WPARAM>(fInfo.cxTreeIndent), 0);
        return fTree.get();
    }
    // The image lists are the container's, which destroys them as it goes: a list control
    // without the shared style destroys its own with its window, and each would go twice.
    DWORD style = LVS_SHAREIMAGELISTS | (readOnly ? 0 : LVS_EDITLABELS);
    if (fContainerStyle & CCS_AUTOPOSITION)
        style |= LVS_AUTOARRANGE;
    if (fContainerStyle & CCS_SINGLESEL)
        style |= LVS_SINGLESEL;
    fList = std::make_unique<INativeCnrChild>(*fContainer, listId, WC_LISTVIEWA, style);
    cnrAttachMouseHandler(*fList);
    cnrAttachListHeaderHandler(*fList);
    const HWND list = listControl();
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(fLargeImages));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fSmallImages));
    if (HWND tree = treeControl())
        SendMessageA(list, WM_SETFONT, SendMessageA(tree, WM_GETFONT, 0, 0), FALSE);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    return fList.get();
}

void ICnrControlData::setNativeMode(NativeMode mode)
{
    if (mode == fNativeMode || mode == noMode)
        return;
    // A held control is let go while it is still shown and the hold moves to the control that
    // takes over: turning the redraw of a hidden control back on could show it.
    releaseRedrawHold();
    INativeCnrChild* other = mode == treeMode ? fList.get() : fTree.get();
    const HWND otherHandle = handleOf(other);
    // Asked of the leaving control while it is still the current one.
    const IEventData cursored =
        otherHandle ? fContainer->sendEvent(CM_QUERYRECORDEMPHASIS, CMA_FIRST, CRA_CURSORED)
                    : IEventData();
    fNativeMode = mode;
    INativeCnrChild* target = mode == treeMode ? fTree.get() : fList.get();
    if (!target) {
        target = createControl(mode);
        if (mode == treeMode)
            copyListIntoTree();
        else
            copyTreeIntoList();
    }
    const HWND targetHandle = handleOf(target);
    // The focus follows only when the container had it: making or switching a container must
    // not take the focus from the window the user is in.
    const HWND focus = GetFocus();
    const bool hadFocus = focus && (focus == fContainer->handle() || focus == otherHandle);
    if (otherHandle) {
        RECT place{};
        GetWindowRect(otherHandle, &place);
        MapWindowPoints(nullptr, fContainer->handle(), reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(targetHandle, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (mode == treeMode)
            SendMessageA(otherHandle, LVM_EDITLABELA, static_cast<WPARAM>(-1), 0);
        else
            SendMessageA(otherHandle, TVM_ENDEDITLABELNOW, 0, 0);
    }
    fCurrent = target;
    // The cursored object keeps the cursor in the control that takes over.
    if (cursored.asLong() > 0)
        fContainer->sendEvent(CM_SETRECORDEMPHASIS, cursored,
                              IEventData(std::uint16_t(1), std::uint16_t(CRA_CURSORED)));
    if (hadFocus)
        SetFocus(targetHandle);
    ShowWindow(targetHandle, SW_SHOW);
    if (otherHandle)
        ShowWindow(otherHandle, SW_HIDE);
    applyRedrawHold();
}

// Redraw hold ---------------------------------------------------------------------------------------

void ICnrControlData::setWindowRedraw(IBase::Boolean on)
{
    fWindowRedrawOff = !on;
    applyRedrawHold();
}

ICnrControlData::RedrawHold::RedrawHold(ICnrControlData& data) : fData(data)
{
    if (fData.fRedrawHolds++ == 0)
        fData.fBulkInsertion.store(true, std::memory_order_release);
    fData.applyRedrawHold();
}

ICnrControlData::RedrawHold::~RedrawHold()
{
    if (--fData.fRedrawHolds == 0)
        fData.fBulkInsertion.store(false, std::memory_order_release);
    fData.applyRedrawHold();
}

void ICnrControlData::applyRedrawHold()
{
    if (!fWindowRedrawOff && fRedrawHolds == 0) {
        releaseRedrawHold();
        return;
    }
    if (fRedrawHeld || !fContainer->isValid())
        return;
    // The default WM_SETREDRAW clears WS_VISIBLE and sets it again, so only a control that is
    // shown, in a container that is shown, is held: letting go must not show a hidden one.
    const HWND current = currentControl();
    if (!current || !(GetWindowLongA(current, GWL_STYLE) & WS_VISIBLE) ||
        !(GetWindowLongA(fContainer->handle(), GWL_STYLE) & WS_VISIBLE))
        return;
    SendMessageA(current, WM_SETREDRAW, FALSE, 0);
    fRedrawHeld = current;
}

void ICnrControlData::releaseRedrawHold()
{
    const HWND held = fRedrawHeld;
    fRedrawHeld = nullptr;
    if (!held || !IsWindow(held))
        return;
    // The control lays out its scroll bars and header once here; everything inserted while it
    // was held is painted in the one repaint that follows.
    SendMessageA(held, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(held, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ICnrControlData::setSelectionStyle(unsigned long selectionBit)
{
    const HWND list = listControl();
    if (!list)
        return;
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    if (selectionBit == CCS_SINGLESEL && !(style & LVS_SINGLESEL))
        SetWindowLongA(list, GWL_STYLE, style | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    else if (selectionBit == CCS_MULTIPLESEL && (style & LVS_SINGLESEL))
        SetWindowLongA(list, GWL_STYLE, (style & ~LVS_SINGLESEL) | LVS_SHOWSELALWAYS);
}

// Layout ---------------------------------------------------------------------------------------------------

void ICnrControlData::layout()
{
    if (!fContainer->isValid())
        return;
    RECT client{};
    GetClientRect(fContainer->handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    int top = 0;
    if (const HWND title = titleWindow()) {
        if (fTitleShown) {
            SetWindowPos(title, nullptr, 0, 0, width, titleHeight,
                         SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
            top = fTitleSeparator ? titleHeight + 1 : titleHeight;
        } else {
            ShowWindow(title, SW_HIDE);
        }
    }
    if (const HWND current = currentControl())
        SetWindowPos(current, nullptr, 0, top, width, std::max(0, height - top),
                     SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Container information --------------------------------------------------------------------------------

void ICnrControlData::setInfo(const CNRINFO& info, std::uint32_t fields)
{
    // The native container has no column that takes the object's emphasis.
    const std::uint32_t taken = fields & ~CMA_PFIELDINFOOBJECT;
    const char* const oldTitle = fInfo.pszCnrTitle;
    cnrCopyInfoFields(fInfo, info, taken);
    if (taken & CMA_CNRTITLE) {
        // A copy of its own: the caller's text need not outlive the message.
        fTitleText = info.pszCnrTitle ? info.pszCnrTitle : "";
        fInfo.pszCnrTitle = fTitleText.data();
        if (fTitle)
            fTitle->setText(fTitleText.c_str());
    } else {
        fInfo.pszCnrTitle = const_cast<char*>(oldTitle);
    }
    if (taken & CMA_CXTREEINDENT) {
        if (const HWND tree = treeControl())
            SendMessageA(tree, TVM_SETINDENT, static_cast<WPARAM>(fInfo.cxTreeIndent), 0);
    }
    if (taken & CMA_FLWINDOWATTR) {
        applyViewWord(fInfo.flWindowAttr);
        applyTitleAttributes(fInfo.flWindowAttr);
    }
    arrangeIfPending();
}

void ICnrControlData::arrange()
{
    fArrangePending = 1;
    arrangeIfPending();
}

void ICnrControlData::arrangeIfPending()
{
    const HWND list = listControl();
    if (!list || !fArrangePending)
        return;
    RECT area{};
    GetClientRect(list, &area);
    if (area.right > 0 && area.bottom > 0) {
        fArrangePending = 0;
        SendMessageA(list, LVM_ARRANGE, LVA_ALIGNTOP, 0);
    }
}

// The rows are tried in order and each one present is applied, so the last one present decides
// the native control and its look.
void ICnrControlData::applyViewWord(std::uint32_t viewWord)
{
    enum Row { none, treeIcon, treeText, treeName, details, icon, name, text };
    const bool tree = (viewWord & CV_TREE) != 0;
    Row row = none;
    if (tree && (viewWord & CV_ICON)) row = treeIcon;
    if (tree && (viewWord & CV_TEXT)) row = treeText;
    if (tree && (viewWord & CV_NAME)) row = treeName;
    if (viewWord & CV_DETAIL) row = details;
    if (!tree && (viewWord & CV_ICON)) row = icon;
    if (!tree && (viewWord & CV_NAME)) row = name;
    if (!tree && (viewWord & CV_TEXT)) row = text;
    if (row == none)
        return;
    const bool mini = (viewWord & CV_MINI) != 0;
    fInfo.slBitmapOrIcon = mini ? CNR_SIZEL{16, 16} : CNR_SIZEL{32, 32};
    const LPARAM images = reinterpret_cast<LPARAM>(mini ? fSmallImages : fLargeImages);
    if (row <= treeName) {
        setNativeMode(treeMode);
        const HWND control = treeControl();
        constexpr LONG_PTR buttonsAndLines = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
        SendMessageA(control, TVM_SETIMAGELIST, TVSIL_NORMAL, row == treeText ? 0 : images);
        if (row == treeName)
            replaceStyle(control, TVS_HASBUTTONS | TVS_LINESATROOT, TVS_HASLINES);
        else
            replaceStyle(control, 0, buttonsAndLines);
        return;
    }
    setNativeMode(listMode);
    const HWND control = listControl();
    if (row == text) {
        SendMessageA(control, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fEmptyImages));
    } else {
        SendMessageA(control, LVM_SETIMAGELIST, LVSIL_NORMAL, images);
        SendMessageA(control, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fSmallImages));
    }
    const LONG_PTR type = row == details ? LVS_REPORT : row == icon ? LVS_ICON : LVS_LIST;
    if ((GetWindowLongPtrA(control, GWL_STYLE) & LVS_TYPEMASK) != type)
        replaceStyle(control, LVS_TYPEMASK, type | LVS_SHOWSELALWAYS);
}

void ICnrControlData::applyTitleAttributes(std::uint32_t viewWord)
{
    if (fTitle)
        fTitle->setAlignment(viewWord & (CA_TITLELEFT | CA_TITLECENTER | CA_TITLERIGHT));
    fTitleSeparator = (viewWord & CA_TITLESEPARATOR) ? 1 : 0;
    fTitleShown = (viewWord & CA_CONTAINERTITLE) ? 1 : 0;
    if (fTitleShown && fTitle) {
        fTitle->takeFontOf(*fContainer);
        fTitle->setText(fTitleText.c_str());
    }
    layout();
}

// The handler ----------------------------------------------------------------------------------------

INativeContainerHandler& INativeContainerHandler::instance()
{
    return ovk_app::sharedHandler<INativeContainerHandler>();
}

IBase::Boolean INativeContainerHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* container = dynamic_cast<ICnrCtl*>(IWindow::windowWithHandle(event.handle()));
    ICnrControlData* data = container ? container->controlData() : nullptr;
    if (!data || data->isMessageDriven())
        return false;
    const unsigned long id = event.eventId();
    if (id >= CM_ALLOCDETAILFIELDINFO && id <= CM_QUERYRECORDINFO)
        return containerMessage(*data, event);
    if (id == WM_NOTIFY && cellText(*data, event))
        return true;
    return windowMessage(*data, event);
}

IBase::Boolean INativeContainerHandler::containerMessage(ICnrControlData& data, IEvent& event)
{
    switch (event.eventId()) {
    // Records and column descriptors come from the allocation window only.
    case CM_ALLOCDETAILFIELDINFO:
    case CM_ALLOCRECORD:
    case CM_FREEDETAILFIELDINFO:
    case CM_FREERECORD:
        event.setResult(0);
        return true;
    case CM_QUERYCNRINFO:
        if (auto* info = static_cast<CNRINFO*>(event.parameter1().asPointer()))
            *info = data.info();
        event.setResult(1);
        return true;
    case CM_SETCNRINFO:
        if (auto* info = static_cast<const CNRINFO*>(event.parameter1().asPointer()))
            data.setInfo(*info, static_cast<std::uint32_t>(event.parameter2().asUnsignedLong()));
        event.setResult(1);
        return true;
    default:
        return columnMessage(data, event) || recordMessage(data, event);
    }
}

IBase::Boolean INativeContainerHandler::windowMessage(ICnrControlData& data, IEvent& event)
{
    switch (event.eventId()) {
    case WM_SETFOCUS:
        if (const HWND current = data.currentControl())
            SetFocus(current);
        return true;
    case WM_SIZE:
        data.arrangeIfPending();
        return true;
    case WM_SHOWWINDOW:
        if (event.parameter1().asUnsignedLong())
            if (const HWND current = data.currentControl())
                ShowWindow(current, SW_SHOW);
        return true;
    case WM_SETREDRAW:
        // The hold is carried by the list or tree control, which paints everything the
        // container shows. The default processing would clear the container's WS_VISIBLE, and a
        // window without it drops out of every hit test: a drag over a held container would
        // leave it at the next tracking step and a release there would lose the drop. So the
        // default processing never sees the message, and the container keeps the visibility
        // its caller gave it.
        data.setWindowRedraw(event.parameter1().asUnsignedLong() != 0);
        event.setResult(0);
        return true;
    case WM_SETFONT:
        for (const HWND control : {data.listControl(), data.treeControl()})
            if (control)
                SendMessageA(control, WM_SETFONT, event.parameter1().asUnsignedLong(),
                             event.parameter2().asLong());
        return true;
    case WM_WINDOWPOSCHANGED:
        data.layout();
        // WM_WINDOWPOSCHANGED must still reach the default procedure, or no WM_SIZE and
        // WM_MOVE follow and the window's size observers never hear of the change.
        return false;
    case WM_GETDLGCODE:
        event.setResult(DLGC_WANTARROWS | DLGC_WANTCHARS);
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        event.setResult(1);
        return false;
    case WM_NOTIFY: return controlReport(data, event);
    case WM_HELP: return helpRequest(data, event);
    case WM_CONTEXTMENU: return contextMenuRequest(data, event);
    default:
        return false;
    }
}
