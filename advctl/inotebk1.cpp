// The notebook's pages: insertion, removal, turning, the page data and the page area.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iadvrec.hpp>
#include "detail/inbdata.hpp"
#include "inotebk.hpp"

using namespace IOutsideMessage;

struct INotebook::SelectRecord : IOutsideSelectRecord {
};

namespace {

constexpr const char* kFile = "inotebk1";
constexpr unsigned long kAutoPageSize = 0x100;

// A tab's item with the fields of the mask read.
bool readItem(HWND tabControl, long index, UINT mask, INotebookTabItem& item, char* text = nullptr,
              int textSize = 0)
{
    item = INotebookTabItem{};
    item.header.mask = mask;
    item.header.pszText = text;
    item.header.cchTextMax = textSize;
    return index >= 0 &&
           SendMessageA(tabControl, TCM_GETITEMA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item)) != 0;
}

[[noreturn]] void failed(const char* call, const char* function, unsigned long line)
{
    IThrow::systemError(call, GetLastError(), IExceptionLocation(kFile, function, line));
}

} // namespace

// Adding and removing pages --------------------------------------------------------------------

IPageHandle INotebook::addFirstPage(const PageSettings& settings, IWindow* window)
{
    return insertPageInfo(settings, IPageHandle(), window, 4);
}

IPageHandle INotebook::addLastPage(const PageSettings& settings, IWindow* window)
{
    return insertPageInfo(settings, IPageHandle(), window, 2);
}

IPageHandle INotebook::addPageBefore(const PageSettings& settings, const IPageHandle& reference,
                                     IWindow* window)
{
    return insertPageInfo(settings, reference, window, 0x10);
}

IPageHandle INotebook::addPageBefore(const PageSettings& settings, const Cursor& cursor,
                                     IWindow* window)
{
    return insertPageInfo(settings, cursor.current(), window, 0x10);
}

IPageHandle INotebook::addPageAfter(const PageSettings& settings, const IPageHandle& reference,
                                    IWindow* window)
{
    return insertPageInfo(settings, reference, window, 8);
}

IPageHandle INotebook::addPageAfter(const PageSettings& settings, const Cursor& cursor,
                                    IWindow* window)
{
    return insertPageInfo(settings, cursor.current(), window, 8);
}

IPageHandle INotebook::insertPageInfo(const PageSettings& settings, const IPageHandle& reference,
                                      IWindow* window, unsigned long order)
{
    if (usesThunkedWindow()) {
        const IPageHandle page = insertPage(reference, (settings.attributes() & 0xFFFF) | order << 16);
        if (window && page.isValid()) {
            // The outside window sizes the page window; an automatically sized page keeps
            // the size it came with until it is shown.
            const ISize kept = window->size();
            sendChecked(setPageWindow, page.asUnsignedLong(), IEventData(window->handle().asValue()),
                        "BKM_SETPAGEWINDOWHWND",
                        "INotebook::insertPageInfo(const INotebook::PageSettings&,const "
                        "IPageHandle&,IWindow*,unsigned long)");
            if (settings.isAutoPageSize())
                window->sizeTo(kept);
        }
        if (page.isValid()) {
            if (settings.statusText().length())
                setStatusText(page, settings.statusText());
            if (settings.tabText().length())
                setTabText(page, settings.tabText());
            if (settings.tabBitmap().isValid())
                setTabBitmap(page, settings.tabBitmap());
            setUserData(page, settings.userData());
        }
        return page;
    }
    PageSettings item(settings);
    item.fPageWindow = window ? static_cast<HWND>(window->handle()) : nullptr;
    item.fOriginalParent = window ? GetParent(window->handle()) : nullptr;
    const IPageHandle page = insertTabPage(item, reference, order);
    if (window) {
        window->setParent(clipWindow());
        if (page.asUnsignedLong() == 1 && !hasMultiLineTabs()) {
            SelectRecord record;
            record.notebook = handle();
            record.topPage = record.newPage = 1;
            processSelection(record, false);
        } else {
            window->hide();
        }
    }
    if (settings.tabBitmap().isValid())
        setTabBitmap(page, settings.tabBitmap());
    return page;
}

IPageHandle INotebook::insertTabPage(const PageSettings& settings, const IPageHandle& reference,
                                     unsigned long order)
{
    static const char* const function =
        "INotebook::insertTabPage(const INotebook::PageSettings&,const IPageHandle&,unsigned long)";
    auto& pages = fNotebookData->pages;
    const std::uint32_t id = ++fLastPageId;
    long index = -1;
    if (order == 4) {
        index = 0;
    } else if (order == 2) {
        index = static_cast<long>(SendMessageA(handle(), TCM_GETITEMCOUNT, 0, 0));
    } else if (order == 8 || order == 0x10) {
        const long at = indexOf(reference);
        if (at >= 0)
            index = order == 8 ? at + 1 : at;
    }
    if (index < 0 || static_cast<size_t>(index) > pages.size()) {
        --fLastPageId;
        IThrow::message(OVK_MSG_POSITION_INVALID, IExceptionLocation(kFile, function, __LINE__));
    }
    pages.insert(pages.begin() + index, id);

    INotebookTabItem item{};
    item.header.mask = TCIF_TEXT | TCIF_PARAM;
    const IString text = settings.tabText();
    item.header.pszText = const_cast<char*>(static_cast<const char*>(text));
    item.header.iImage = -1;
    item.data = {settings.fUserData, static_cast<std::uint32_t>(settings.fAttributes),
                 settings.fPageWindow, settings.fOriginalParent};
    if (SendMessageA(handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) == -1) {
        pages.erase(pages.begin() + index);
        --fLastPageId;
        failed("TCM_INSERTITEM", function, __LINE__);
    }
    // The first tab of an empty control is not always selected; the notebook always has a
    // top page while it has pages.
    if (SendMessageA(handle(), TCM_GETCURSEL, 0, 0) < 0)
        SendMessageA(handle(), TCM_SETCURSEL, 0, 0);
    ++fPageCount;
    ++fChangeCount;
    return IPageHandle(id);
}

IPageHandle INotebook::insertPage(const IPageHandle& reference, unsigned long attributesAndOrder)
{
    const IEventData answer =
        sendChecked(IOutsideMessage::insertPage, reference.asUnsignedLong(), attributesAndOrder,
                    "BKM_INSERTPAGE", "INotebook::insertPage(void*,void*)");
    ++fPageCount;
    ++fChangeCount;
    return IPageHandle(static_cast<std::uint32_t>(answer.asUnsignedLong()));
}

INotebook& INotebook::removePage(const IPageHandle& page)
{
    deletePage(page, 2);
    return *this;
}

INotebook& INotebook::removePage(const Cursor& cursor)
{
    return removePage(cursor.current());
}

// From the last tab to the first: each deletion shifts the tabs after it, so deleting from the
// first would skip every other page.
INotebook& INotebook::removeAllPages()
{
    if (usesThunkedWindow()) {
        deletePage(IPageHandle(), 1);
        return *this;
    }
    if (IPageClipWindow* clip = clipWindow())
        clip->hide();
    const std::vector<std::uint32_t> pages = fNotebookData->pages;
    for (auto page = pages.rbegin(); page != pages.rend(); ++page)
        deletePage(IPageHandle(*page), 1);
    fNotebookData->pages.clear();
    fLastPageId = 0;
    return *this;
}

INotebook& INotebook::removeTabSection(const IPageHandle& page)
{
    if (!usesThunkedWindow())
        return *this;
    const unsigned long pageStyle =
        handle().sendEvent(queryPageStyle, page.asUnsignedLong(), 0).asUnsignedLong();
    const unsigned long BKA_MAJOR = 0x40, BKA_MINOR = 0x80;
    ISTATE_CHECK(( pageStyle & (BKA_MAJOR | BKA_MINOR) ) != 0, kFile,
                 "INotebook::removeTabSection(const IPageHandle&)");
    deletePage(page, 4);
    return *this;
}

INotebook& INotebook::removeTabSection(const Cursor& cursor)
{
    return removeTabSection(cursor.current());
}

IBase::Boolean INotebook::deletePage(const IPageHandle& page, unsigned long kind)
{
    if (usesThunkedWindow()) {
        sendChecked(IOutsideMessage::deletePage, page.asUnsignedLong(), kind, "BKM_DELETEPAGE",
                    "INotebook::deletePage(void*,void*)");
        fPageCount = kind == 1 ? 0 : fPageCount - 1;
        ++fChangeCount;
        return true;
    }
    return deleteNativePage(page, kind);
}

IBase::Boolean INotebook::deleteNativePage(const IPageHandle& page, unsigned long kind)
{
    static const char* const function = "INotebook::deletePage(void*,void*)";
    const HWND tabControl = handle();
    const long index = indexOf(page);
    INotebookTabItem item;
    if (!readItem(tabControl, index, TCIF_IMAGE | TCIF_PARAM, item)) {
        if (kind == 2)
            failed("TabCtrl_GetItem", function, __LINE__);
        return false;
    }
    // The deletion record names the bitmap the page was given, not the image list's copy.
    HBITMAP bitmap = nullptr;
    auto& kept = fNotebookData->bitmaps;
    const auto keptBitmap = std::find_if(kept.begin(), kept.end(), [&](const auto& entry) {
        return entry.first == page.asUnsignedLong();
    });
    if (item.header.iImage >= 0) {
        IMAGEINFO info;
        if (!ImageList_GetImageInfo(fNotebookData->images, item.header.iImage, &info))
            failed("ImageList_GetImageInfo", function, __LINE__);
        if (keptBitmap != kept.end())
            bitmap = keptBitmap->second.asValue();
        SendMessageA(tabControl, TCM_REMOVEIMAGE, static_cast<WPARAM>(item.header.iImage), 0);
    }
    if (kind == 2 && SendMessageA(tabControl, TCM_GETCURSEL, 0, 0) == index) {
        const long count = static_cast<long>(SendMessageA(tabControl, TCM_GETITEMCOUNT, 0, 0));
        const long next = index + 1 < count ? index + 1 : index - 1;
        if (next >= 0 && SendMessageA(tabControl, TCM_SETCURSEL, static_cast<WPARAM>(next), 0) != -1) {
            SelectRecord record;
            record.notebook = tabControl;
            record.topPage = static_cast<std::uint32_t>(page.asUnsignedLong());
            record.newPage = fNotebookData->pages[static_cast<size_t>(next)];
            processSelection(record, false);
        }
    }
    if (!SendMessageA(tabControl, TCM_DELETEITEM, static_cast<WPARAM>(index), 0))
        failed("TabCtrl_DeleteItem", function, __LINE__);

    IOutsideDeleteRecord record{tabControl, item.data.pageWindow, item.data.userData, bitmap};
    SendMessageA(GetParent(tabControl), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(id()), IOutsideNotification::pageDeleted),
                 reinterpret_cast<LPARAM>(&record));

    bool shownElsewhere = false;
    if (kind == 2) {
        const long count = static_cast<long>(SendMessageA(tabControl, TCM_GETITEMCOUNT, 0, 0));
        for (long other = 0; other < count && !shownElsewhere; ++other) {
            INotebookTabItem otherItem;
            shownElsewhere = readItem(tabControl, other, TCIF_PARAM, otherItem) &&
                             otherItem.data.pageWindow == item.data.pageWindow;
        }
    }
    if (!shownElsewhere && item.data.pageWindow) {
        if (IWindow* pageWindow = IWindow::windowWithHandle(item.data.pageWindow, true)) {
            ovknotebook::pageKeyHandler().stopHandlingEventsFor(pageWindow);
            SetParent(item.data.pageWindow, item.data.originalParent);
            pageWindow->hide();
        }
    }
    if (kind == 2)
        fNotebookData->pages.erase(fNotebookData->pages.begin() + index);
    if (fNotebookData->shownPage == page.asUnsignedLong())
        fNotebookData->shownPage = 0;
    --fPageCount;
    ++fChangeCount;
    return true;
}

// Turning pages --------------------------------------------------------------------------------

INotebook& INotebook::turnToPage(const IPageHandle& page)
{
    if (usesThunkedWindow()) {
        sendChecked(IOutsideMessage::turnToPage, page.asUnsignedLong(), 0, "BKM_TURNTOPAGE",
                    "INotebook::turnToPage(const IPageHandle&)");
        return *this;
    }
    if (fNotebookData->pages.empty())
        return *this;
    const long index = checkedIndex(page, "INotebook::turnToPage(const IPageHandle&)");
    SelectRecord record;
    record.notebook = handle();
    record.topPage = static_cast<std::uint32_t>(tabTopPage());
    record.newPage = static_cast<std::uint32_t>(page.asUnsignedLong());
    if (processSelection(record, true))
        return *this;
    if (SendMessageA(handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0) == -1)
        failed("TabCtrl_SetCurSel", "INotebook::turnToPage(const IPageHandle&)", __LINE__);
    processSelection(record, false);
    return *this;
}

INotebook& INotebook::turnToPage(const Cursor& cursor)
{
    return turnToPage(cursor.current());
}

// A click or key on the tabs. Before the change the target is the tab under the pointer
// (0 when none is, as for a key); after it, the tab control's new selection.
IBase::Boolean INotebook::processTabSelect(void* record, IBase::Boolean changing)
{
    const auto* header = static_cast<const NMHDR*>(record);
    if (!header || header->hwndFrom != handle().asValue() || usesThunkedWindow())
        return false;
    SelectRecord selection;
    selection.notebook = handle();
    if (changing) {
        selection.topPage = static_cast<std::uint32_t>(tabTopPage());
        // The click that asks for the change is under the pointer still.
        TCHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(handle(), &hit.pt);
        const LRESULT index = SendMessageA(handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const auto& pages = fNotebookData->pages;
        selection.newPage =
            index >= 0 && static_cast<size_t>(index) < pages.size() ? pages[static_cast<size_t>(index)] : 0;
        return processSelection(selection, true);
    }
    selection.topPage = fNotebookData->shownPage;
    selection.newPage = static_cast<std::uint32_t>(tabTopPage());
    processSelection(selection, false);
    return false;
}

// Pending: the parent may refuse with a non-zero answer. Done: the parent hears of it, the old
// page window goes and the new one comes, keeping the focus inside the pages.
IBase::Boolean INotebook::processSelection(SelectRecord& record, IBase::Boolean pending)
{
    const HWND tabControl = handle();
    const unsigned int code =
        pending ? IOutsideNotification::selectionPending : IOutsideNotification::pageSelected;
    const LRESULT answer =
        SendMessageA(GetParent(tabControl), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id()), code),
                     reinterpret_cast<LPARAM>(&record));
    if (pending)
        return answer != 0;

    const long oldIndex = indexOf(IPageHandle(record.topPage));
    const long newIndex = indexOf(IPageHandle(record.newPage));
    bool hadFocus = false;
    if (oldIndex != newIndex) {
        INotebookTabItem old;
        if (oldIndex >= 0) {
            if (!readItem(tabControl, oldIndex, TCIF_PARAM, old))
                failed("TabCtrl_GetItem", "INotebook::processTabSelect(void*,IBase::Boolean)", __LINE__);
            if (IWindow* oldWindow = old.data.pageWindow
                                         ? IWindow::windowWithHandle(old.data.pageWindow, true)
                                         : nullptr) {
                const HWND focus = GetFocus();
                hadFocus = focus && (focus == old.data.pageWindow || IsChild(old.data.pageWindow, focus));
                oldWindow->hide();
                ovknotebook::pageKeyHandler().stopHandlingEventsFor(oldWindow);
            }
        }
    }
    fNotebookData->shownPage = record.newPage;
    if (newIndex >= 0) {
        showTopPage(newIndex, pageArea(), true);
        if (hadFocus)
            if (IWindow* shown = window(IPageHandle(record.newPage)))
                shown->setFocus();
    }
    return false;
}

void INotebook::showTopPage(long index, const IRectangle& area, IBase::Boolean attachKeys) const
{
    INotebookTabItem item;
    if (!readItem(handle(), index, TCIF_PARAM, item))
        failed("TabCtrl_GetItem", "INotebook::showTopPage(long,void*,IBase::Boolean) const", __LINE__);
    IPageClipWindow* clip = clipWindow();
    IRectangle shownArea = area;
    if (!clip->isVisible()) {
        shownArea = pageArea();
        SetWindowPos(clip->handle(), nullptr, shownArea.minX(), shownArea.minY(),
                     shownArea.width(), shownArea.height(), SWP_NOZORDER | SWP_NOACTIVATE);
        clip->show();
    }
    IWindow* page = item.data.pageWindow ? IWindow::windowWithHandle(item.data.pageWindow, true)
                                         : nullptr;
    if (!page) {
        clip->refresh(paintAll);
        return;
    }
    if (item.data.attributes & kAutoPageSize)
        SetWindowPos(item.data.pageWindow, nullptr, 0, 0, shownArea.width(), shownArea.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (!page->isVisible())
        page->show();
    if (attachKeys) {
        ovknotebook::pageKeyHandler().stopHandlingEventsFor(page);
        ovknotebook::pageKeyHandler().handleEventsFor(page);
    }
}

INotebook& INotebook::tabControlResize(const ISize& size)
{
    RECT area{0, 0, static_cast<LONG>(size.width()), static_cast<LONG>(size.height())};
    SendMessageA(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    IPageClipWindow* clip = clipWindow();
    if (!clip)
        return *this;
    SetWindowPos(clip->handle(), nullptr, area.left, area.top, std::max<LONG>(0, area.right - area.left),
                 std::max<LONG>(0, area.bottom - area.top), SWP_NOZORDER | SWP_NOACTIVATE);
    if (!clip->isVisible())
        clip->show();
    if (!fNotebookData->pages.empty()) {
        const LRESULT selected = SendMessageA(handle(), TCM_GETCURSEL, 0, 0);
        if (selected == -1)
            failed("TabCtrl_GetCurSel", "INotebook::tabControlResize(const ISize&)", __LINE__);
        showTopPage(static_cast<long>(selected),
                    IRectangle(area.left, area.top, area.right, area.bottom), false);
    }
    SendMessageA(GetParent(handle()), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(id()), IOutsideNotification::pageSizeChanged),
                 reinterpret_cast<LPARAM>(handle().asValue()));
    return *this;
}

// The page data --------------------------------------------------------------------------------

INotebook& INotebook::setUserData(const IPageHandle& page, unsigned long data)
{
    static const char* const function = "INotebook::setUserData(const IPageHandle&,unsigned long)";
    if (usesThunkedWindow()) {
        sendChecked(setPageData, page.asUnsignedLong(), data, "BKM_SETPAGEDATA", function);
        return *this;
    }
    const long index = checkedIndex(page, function);
    INotebookTabItem item;
    if (!readItem(handle(), index, TCIF_PARAM, item))
        failed("TabCtrl_GetItem", function, __LINE__);
    item.data.userData = static_cast<std::uint32_t>(data);
    if (!SendMessageA(handle(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        failed("TabCtrl_SetItem", function, __LINE__);
    return *this;
}

INotebook& INotebook::setTabText(const IPageHandle& page, const char* text)
{
    static const char* const function = "INotebook::setTabText(const IPageHandle&,const char*)";
    if (usesThunkedWindow()) {
        sendChecked(IOutsideMessage::setTabText, page.asUnsignedLong(), IEventData(text),
                    "BKM_SETTABTEXT", function);
        return *this;
    }
    const long index = checkedIndex(page, function);
    INotebookTabItem item{};
    item.header.mask = TCIF_TEXT;
    item.header.pszText = const_cast<char*>(text ? text : "");
    if (!SendMessageA(handle(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        failed("TabCtrl_SetItem", function, __LINE__);
    return *this;
}

INotebook& INotebook::setTabText(const IPageHandle& page, const IResourceId& id)
{
    return setTabText(page, id.resourceLibrary().loadString(id.id()));
}

INotebook& INotebook::setStatusText(const IPageHandle& page, const char* text)
{
    const PageSettings settings = pageSettings(page);
    if (!settings.isStatusTextOn())
        IThrow::message(OVK_MSG_PAGE_HAS_NO_STATUS_TEXT,
                        IEXCEPTION_LOCATION(kFile, "INotebook::setStatusText(const IPageHandle&,"
                                                   "const char*)"));
    if (usesThunkedWindow() && settings.statusText() != IString(text ? text : ""))
        sendChecked(IOutsideMessage::setStatusText, page.asUnsignedLong(), IEventData(text),
                    "BKM_SETSTATUSLINETEXT", "INotebook::setStatusText(const IPageHandle&,const char*)");
    return *this;
}

INotebook& INotebook::setStatusText(const IPageHandle& page, const IResourceId& id)
{
    return setStatusText(page, id.resourceLibrary().loadString(id.id()));
}

INotebook& INotebook::setTabBitmap(const IPageHandle& page, const IBitmapHandle& bitmap)
{
    static const char* const function =
        "INotebook::setTabBitmap(const IPageHandle&,const IBitmapHandle&)";
    if (usesThunkedWindow()) {
        sendChecked(IOutsideMessage::setTabBitmap, page.asUnsignedLong(),
                    IEventData(static_cast<const void*>(bitmap.asValue())), "BKM_SETTABBITMAP",
                    function);
    } else {
        const long index = checkedIndex(page, function);
        const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        HIMAGELIST& images = fNotebookData->images;
        if (!images) {
            images = ImageList_Create(cx, cy, ILC_COLOR24, 10, 10);
            if (!images)
                failed("ImageList_Create", function, __LINE__);
            SendMessageA(handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        }
        // The image list keeps its own copy, scaled to its image size.
        BITMAP picture{};
        GetObjectA(bitmap.asValue(), sizeof picture, &picture);
        ovk_native::Bitmap scaled;
        {
            ovk_native::WindowDC screen(nullptr);
            ovk_native::MemoryDC from(screen.get()), to(screen.get());
            scaled = ovk_native::Bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
            ovk_native::Selection source(from.get(), bitmap.asValue());
            ovk_native::Selection target(to.get(), scaled.get());
            SetStretchBltMode(to.get(), COLORONCOLOR);
            StretchBlt(to.get(), 0, 0, cx, cy, from.get(), 0, 0, picture.bmWidth,
                       picture.bmHeight, SRCCOPY);
        }
        INotebookTabItem item;
        readItem(handle(), index, TCIF_IMAGE, item);
        if (item.header.iImage >= 0) {
            const BOOL replaced =
                ImageList_Replace(images, item.header.iImage, scaled.get(), nullptr);
            if (!replaced)
                failed("ImageList_Replace", function, __LINE__);
        } else {
            item.header.iImage = ImageList_Add(images, scaled.get(), nullptr);
            if (item.header.iImage == -1)
                failed("ImageList_Add", function, __LINE__);
        }
        item.header.mask = TCIF_IMAGE;
        if (!SendMessageA(handle(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
            failed("TabCtrl_SetItem", function, __LINE__);
    }
    auto& kept = fNotebookData->bitmaps;
    kept.insert(kept.begin(), {static_cast<std::uint32_t>(page.asUnsignedLong()), bitmap});
    return *this;
}

INotebook& INotebook::setTabBitmap(const IPageHandle& page, const IResourceId& id)
{
    return setTabBitmap(page, id.resourceLibrary().loadBitmap(id.id()));
}

IWindow* INotebook::window(const IPageHandle& page) const
{
    static const char* const function = "INotebook::window(const IPageHandle&) const";
    HWND pageWindow = nullptr;
    if (usesThunkedWindow()) {
        const IEventData answer = handle().sendEvent(queryPageWindow, page.asUnsignedLong(), 0);
        if (answer.asLong() == -1)
            failed("BKM_QUERYPAGEWINDOWHWND", function, __LINE__);
        pageWindow = static_cast<HWND>(answer.asPointer());
    } else {
        INotebookTabItem item;
        if (!readItem(handle(), checkedIndex(page, function), TCIF_PARAM, item))
            failed("TabCtrl_GetItem", function, __LINE__);
        pageWindow = item.data.pageWindow;
    }
    return pageWindow ? IWindow::windowWithHandle(pageWindow, true) : nullptr;
}

IWindow* INotebook::window(const Cursor& cursor) const
{
    return window(cursor.current());
}

INotebook& INotebook::setWindow(const IPageHandle& page, IWindow* newWindow)
{
    static const char* const function = "INotebook::setWindow(const IPageHandle&,IWindow*)";
    IARGUMENT_CHECK(newWindow != 0, kFile, function);
    if (usesThunkedWindow()) {
        sendChecked(setPageWindow, page.asUnsignedLong(), IEventData(newWindow->handle().asValue()),
                    "BKM_SETPAGEWINDOWHWND", function);
        return *this;
    }
    const long index = checkedIndex(page, function);
    INotebookTabItem item;
    if (!readItem(handle(), index, TCIF_PARAM, item))
        failed("TabCtrl_GetItem", function, __LINE__);
    item.data.pageWindow = newWindow->handle();
    item.data.originalParent = GetParent(newWindow->handle());
    if (!SendMessageA(handle(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        failed("TabCtrl_SetItem", function, __LINE__);
    newWindow->setParent(clipWindow());
    if (SendMessageA(handle(), TCM_GETCURSEL, 0, 0) == index)
        showTopPage(index, pageArea(), true);
    else
        newWindow->hide();
    return *this;
}

INotebook& INotebook::setWindow(const Cursor& cursor, IWindow* newWindow)
{
    return setWindow(cursor.current(), newWindow);
}

INotebook::PageSettings INotebook::pageSettings(const IPageHandle& page) const
{
    static const char* const function = "INotebook::pageSettings(const IPageHandle&) const";
    PageSettings settings;
    char text[100] = "";
    if (usesThunkedWindow()) {
        const HWND window = handle();
        const unsigned long id = page.asUnsignedLong();
        settings.fAttributes = static_cast<unsigned long>(
            SendMessageA(window, queryPageStyle, id, 0) & (0x1 | 0x40 | 0x80 | kAutoPageSize));
        settings.fUserData = static_cast<std::uint32_t>(SendMessageA(window, queryPageData, id, 0));
        IOutsideTextRecord record{text, sizeof text};
        LRESULT answer = SendMessageA(window, queryStatusText, id, reinterpret_cast<LPARAM>(&record));
        if (LOWORD(answer) != 0 && LOWORD(answer) != 0xFFFF)
            settings.fStatusText = text;
        text[0] = 0;
        answer = SendMessageA(window, queryTabText, id, reinterpret_cast<LPARAM>(&record));
        if (LOWORD(answer) != 0 && LOWORD(answer) != 0xFFFF)
            settings.fTabText = text;
        const LRESULT bitmap = SendMessageA(window, queryTabBitmap, id, 0);
        if (bitmap != 0 && bitmap != -1)
            settings.fTabBitmap = IBitmapHandle(reinterpret_cast<HBITMAP>(bitmap));
        return settings;
    }
    const long index = checkedIndex(page, function);
    INotebookTabItem item;
    if (!readItem(handle(), index, TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM, item, text, sizeof text))
        failed("TabCtrl_GetItem", function, __LINE__);
    settings.fAttributes = item.data.attributes & (kAutoPageSize | 0x1 | 0x40 | 0x80);
    settings.fUserData = item.data.userData;
    settings.fTabText = text;
    settings.fPageWindow = item.data.pageWindow;
    settings.fOriginalParent = item.data.originalParent;
    if (fNotebookData->images && item.header.iImage >= 0) {
        IMAGEINFO info;
        if (!ImageList_GetImageInfo(fNotebookData->images, item.header.iImage, &info))
            failed("ImageList_GetImageInfo", function, __LINE__);
        const auto& kept = fNotebookData->bitmaps;
        const auto found = std::find_if(kept.begin(), kept.end(), [&](const auto& entry) {
            return entry.first == page.asUnsignedLong();
        });
        if (found != kept.end())
            settings.fTabBitmap = found->second;
    }
    return settings;
}

INotebook::PageSettings INotebook::pageSettings(const Cursor& cursor) const
{
    return pageSettings(cursor.current());
}
