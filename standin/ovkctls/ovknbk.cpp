// The outside "OVK Notebook": a row of tabs over a page area, with its own page list. Answers
// the notebook messages as the library expects (0, -1 or 0xFFFF for a failure) and tells its
// parent of page turns, deletions and size changes.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ovkctls.h"

using namespace IOutsideMessage;
using namespace IOutsideNotification;

namespace ovkctls {

namespace {

constexpr int kTabHeight = 24;
constexpr int kMargin = 4;

struct Page {
    std::uint32_t id;
    std::uint32_t attributes;
    std::uint32_t userData = 0;
    HWND window = nullptr;
    HBITMAP bitmap = nullptr;
    std::string tabText;
    std::string statusText;
};

struct Notebook {
    std::vector<Page> pages;
    std::uint32_t lastId = 0;
    std::uint32_t top = 0;
    SIZE majorTab{0, 0}, minorTab{0, 0}, pageButton{0, 0};
    COLORREF colors[5] = {};
};

std::vector<Page>::iterator find(Notebook& book, std::uint32_t id)
{
    return std::find_if(book.pages.begin(), book.pages.end(),
                        [id](const Page& page) { return page.id == id; });
}

RECT pageArea(HWND window)
{
    RECT area;
    GetClientRect(window, &area);
    area.top += kTabHeight;
    InflateRect(&area, -kMargin, -kMargin);
    if (area.bottom < area.top) area.bottom = area.top;
    if (area.right < area.left) area.right = area.left;
    return area;
}

void placePages(HWND window, Notebook& book)
{
    const RECT area = pageArea(window);
    for (const Page& page : book.pages) {
        if (!page.window || !IsWindow(page.window))
            continue;
        if (page.id == book.top) {
            SetWindowPos(page.window, nullptr, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        } else {
            ShowWindow(page.window, SW_HIDE);
        }
    }
}

// Turns to the page unless the parent refuses: a receiver of the pending notification that
// refuses clears the record's new page.
bool turnTo(HWND window, Notebook& book, std::uint32_t id)
{
    if (find(book, id) == book.pages.end())
        return false;
    IOutsideSelectRecord record{window, book.top, id};
    notifyParent(window, selectionPending, reinterpret_cast<LPARAM>(&record));
    if (record.newPage == 0)
        return true;
    book.top = id;
    placePages(window, book);
    InvalidateRect(window, nullptr, TRUE);
    IOutsideSelectRecord selected{window, record.topPage, id};
    notifyParent(window, pageSelected, reinterpret_cast<LPARAM>(&selected));
    return true;
}

void removePage(HWND window, Notebook& book, std::vector<Page>::iterator page)
{
    IOutsideDeleteRecord record{window, page->window, page->userData, page->bitmap};
    const std::uint32_t id = page->id;
    const size_t index = static_cast<size_t>(page - book.pages.begin());
    if (page->window && IsWindow(page->window))
        ShowWindow(page->window, SW_HIDE);
    book.pages.erase(page);
    if (book.top == id) {
        book.top = 0;
        if (!book.pages.empty())
            book.top = book.pages[std::min(index, book.pages.size() - 1)].id;
        placePages(window, book);
    }
    notifyParent(window, pageDeleted, reinterpret_cast<LPARAM>(&record));
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT insert(HWND window, Notebook& book, std::uint32_t reference, LPARAM lParam)
{
    const std::uint32_t attributes = LOWORD(lParam);
    const unsigned int order = HIWORD(lParam);
    auto position = book.pages.end();
    switch (order) {
    case 2: position = book.pages.end(); break;
    case 4: position = book.pages.begin(); break;
    case 8:
    case 0x10:
        position = find(book, reference);
        if (position == book.pages.end())
            return 0;
        if (order == 8)
            ++position;
        break;
    default:
        return 0;
    }
    Page page{++book.lastId, attributes, 0, nullptr, nullptr, {}, {}};
    book.pages.insert(position, page);
    if (book.top == 0)
        book.top = page.id;
    InvalidateRect(window, nullptr, TRUE);
    return page.id;
}

LRESULT queryId(const Notebook& book, std::uint32_t id, LPARAM order)
{
    if (order == 0x20) return book.top;
    if (order == 4) return book.pages.empty() ? 0 : book.pages.front().id;
    if (order == 2) return book.pages.empty() ? 0 : book.pages.back().id;
    auto page = std::find_if(book.pages.begin(), book.pages.end(),
                             [id](const Page& p) { return p.id == id; });
    if (page == book.pages.end())
        return -1;
    if (order == 8) return page + 1 == book.pages.end() ? 0 : (page + 1)->id;
    if (order == 0x10) return page == book.pages.begin() ? 0 : (page - 1)->id;
    return -1;
}

LRESULT copyText(const std::string& text, LPARAM lParam)
{
    auto* record = reinterpret_cast<IOutsideTextRecord*>(lParam);
    if (!record || !record->buffer || record->length == 0 || text.empty())
        return 0;
    lstrcpynA(record->buffer, text.c_str(), record->length);
    return static_cast<LRESULT>(std::min<size_t>(text.size(), record->length - 1u));
}

std::string decode(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string text = hex(message);
    switch (message) {
    case setDimensions:
        return text + " " + std::to_string(LOWORD(wParam)) + "x" +
               std::to_string(HIWORD(wParam)) + " " + std::to_string(lParam);
    case setStatusText:
    case setTabText:
        return text + " page=" + std::to_string(wParam) + " \"" +
               (lParam ? reinterpret_cast<const char*>(lParam) : "") + "\"";
    case setNotebookColors:
        return text + " " + hex(static_cast<unsigned long>(wParam)) + " area=" +
               std::to_string(lParam);
    case insertPage:
        return text + " ref=" + std::to_string(wParam) + " attr=" + hex(LOWORD(lParam)) +
               " order=" + hex(HIWORD(lParam));
    default:
        return text + " " + std::to_string(static_cast<long long>(wParam)) + " " +
               std::to_string(static_cast<long long>(lParam));
    }
}

// The failure answer of each message.
LRESULT failureOf(UINT message)
{
    switch (message) {
    case queryPageCount: return 0xFFFF;
    case queryPageId:
    case queryPageWindow: return -1;
    default: return 0;
    }
}

LRESULT answer(HWND window, Notebook& book, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto id = static_cast<std::uint32_t>(wParam);
    auto page = find(book, id);
    const bool known = page != book.pages.end();
    switch (message) {
    case calcPageRect: {
        auto* rect = reinterpret_cast<RECT*>(wParam);
        if (!rect) return 0;
        const int sign = lParam ? 1 : -1;
        rect->left += sign * kMargin;
        rect->right -= sign * kMargin;
        rect->top += sign * (kTabHeight + kMargin);
        rect->bottom -= sign * kMargin;
        return 1;
    }
    case deletePage:
        if (lParam == 1) {
            while (!book.pages.empty())
                removePage(window, book, book.pages.end() - 1);
            return 1;
        }
        if (!known) return 0;
        removePage(window, book, page);
        return 1;
    case insertPage: return insert(window, book, id, lParam);
    case invalidateTabs: InvalidateRect(window, nullptr, TRUE); return 1;
    case turnToPage: return turnTo(window, book, id) ? 1 : 0;
    case queryPageCount:
        if (id == 0) return static_cast<LRESULT>(book.pages.size());
        if (!known) return 0xFFFF;
        return static_cast<LRESULT>(book.pages.end() - page);
    case queryPageId: return queryId(book, id, lParam);
    case queryPageData: return known ? page->userData : 0;
    case queryPageWindow: return known ? reinterpret_cast<LRESULT>(page->window) : -1;
    case queryTabBitmap: return known ? reinterpret_cast<LRESULT>(page->bitmap) : 0;
    case queryTabText: return known ? copyText(page->tabText, lParam) : 0;
    case queryStatusText: return known ? copyText(page->statusText, lParam) : 0;
    case queryPageStyle: return known ? page->attributes : 0;
    case setDimensions: {
        const SIZE size{LOWORD(wParam), HIWORD(wParam)};
        if (lParam == 1) book.majorTab = size;
        else if (lParam == 2) book.minorTab = size;
        else if (lParam == 0x100) book.pageButton = size;
        else return 0;
        return 1;
    }
    case setPageData: if (!known) return 0; page->userData = static_cast<std::uint32_t>(lParam); return 1;
    case setPageWindow:
        if (!known) return 0;
        page->window = reinterpret_cast<HWND>(lParam);
        if (page->window)
            SetParent(page->window, window);
        placePages(window, book);
        return 1;
    case setStatusText:
    case setTabText:
        if (!known) return 0;
        (message == setTabText ? page->tabText : page->statusText) =
            lParam ? reinterpret_cast<const char*>(lParam) : "";
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case setTabBitmap: if (!known) return 0; page->bitmap = reinterpret_cast<HBITMAP>(lParam); return 1;
    case setNotebookColors:
        if (lParam < 5 || lParam > 9) return 0;
        book.colors[lParam - 5] = static_cast<COLORREF>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    default:
        return 0;
    }
}

void paint(HWND window, const Notebook& book)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int x = kMargin;
    for (const Page& page : book.pages) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, page.tabText.c_str(), static_cast<int>(page.tabText.size()), &extent);
        RECT tab{x, page.id == book.top ? 0 : 3, x + extent.cx + 12, kTabHeight};
        Rectangle(dc, tab.left, tab.top, tab.right, tab.bottom + 1);
        DrawTextA(dc, page.tabText.c_str(), -1, &tab, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        x = tab.right + 2;
    }
    Rectangle(dc, 0, kTabHeight, client.right, client.bottom);
    EndPaint(window, &paint);
}

} // namespace

LRESULT CALLBACK notebookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Notebook* book = stateFor<Notebook>(window, message);
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, book, calcPageRect, queryStatusText, decode,
                      [](UINT failed, WPARAM) { return failureOf(failed); }, answer, paint, result))
        return result;
    if (message == WM_SIZE) {
        if (book) {
            placePages(window, *book);
            notifyParent(window, pageSizeChanged, reinterpret_cast<LPARAM>(window));
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ovkctls
