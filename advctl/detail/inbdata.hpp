// What the native notebook keeps beside its tab control: the page clipping window, the tab
// image list, the page list and the layout of a tab's application data.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <utility>
#include <vector>

#include <ibmphdl.hpp>

#include "ihandler.hpp"
#include "iwindow.hpp"

// The window the page windows live in: a child of the tab control over its page area, so that
// a page never paints over the tabs.
class IPageClipWindow : public IWindow {
public:
    explicit IPageClipWindow(IWindow& notebook);
    ~IPageClipWindow() override;
    static constexpr unsigned long clipWindowId = 8000;
};

struct INotebookData {
    ~INotebookData() noexcept(false);
    IPageClipWindow* clipWindow = nullptr;
    HIMAGELIST images = nullptr;
    // Page ids in tab order: tab index i is element i.
    std::vector<std::uint32_t> pages;
    // The page whose window is shown, so that a selection change knows what to hide.
    std::uint32_t shownPage = 0;
    // Every bitmap given to a tab, newest first, kept alive while the notebook lives.
    std::vector<std::pair<std::uint32_t, IBitmapHandle>> bitmaps;
};

// A tab's application data (TCM_SETITEMEXTRA with its size): 24 bytes on 64-bit.
struct INotebookItemData {
    std::uint32_t userData;
    std::uint32_t attributes;
    HWND pageWindow;
    HWND originalParent;
};

// A tab item with the notebook's application data in place of the item's lParam.
struct INotebookTabItem {
    TCITEMHEADERA header;
    INotebookItemData data;
};

namespace ovknotebook {

// Attached to the page window on top: Alt+Page Up and Alt+Page Down turn pages from inside a
// page, Alt+Up goes back to the tabs.
class PageKeyHandler : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
PageKeyHandler& pageKeyHandler();

} // namespace ovknotebook
