// The state of a native container window, the handler that answers its messages, the thin
// window objects over its list and tree controls, and the process-wide list of all containers.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <icontrol.hpp>
#include <ihandler.hpp>

#include "../icnrctl.hpp"
#include <icnrmsg.hpp>
#include "icnrcset.hpp"

struct _IMAGELIST;
struct HICON__;
class ICnrTitle;
class ICnrObj;

// A window object over one native control of a native container: the list control (id 0x3000)
// or the tree control (id 0x3001), a child that covers the container's client area.
class INativeCnrChild : public IControl {
public:
    INativeCnrChild(ICnrCtl& container, unsigned long id, const char* windowClass,
                    unsigned long style);
    ~INativeCnrChild() override;
};

// Sends a container notification to the container's owner (nothing without one) and answers
// the owner's result.
CNR_LPARAM cnrNotifyOwner(ICnrCtl& container, unsigned code, const IEventParameter2& data);

// Passes the mouse messages of a native container's list or tree control on to the container,
// and watches the list control's presses for the slow second click that edits a details cell
// (icnrovly.cpp).
void cnrAttachMouseHandler(INativeCnrChild& control);
// Brings the tree control's shown items up to date before it paints (icnrctlw1.cpp).
void cnrAttachTreePaintHandler(INativeCnrChild& tree);
// Keeps the user from widening a hidden column by its header's divider (icnrctlw3.cpp).
void cnrAttachListHeaderHandler(INativeCnrChild& list);

// One per container. A message-driven container's only says so; a native container's keeps
// everything the emulation needs: its children, title, image lists and container information.
class ICnrControlData {
public:
    enum NativeMode : unsigned char { treeMode = 0, listMode = 1, noMode = 2 };
    static constexpr unsigned long listId = 0x3000;
    static constexpr unsigned long treeId = 0x3001;
    static constexpr unsigned long titleId = 0x7FF5;
    static constexpr int titleHeight = 24;

    // Message-driven.
    explicit ICnrControlData(ICnrCtl& container);
    // Native: the container's window style as created and its initial view word.
    ICnrControlData(ICnrCtl& container, unsigned long containerStyle, unsigned long viewWord);
    ~ICnrControlData();
    ICnrControlData(const ICnrControlData&) = delete;
    ICnrControlData& operator=(const ICnrControlData&) = delete;

    // Registers "OVK Native Container" once per process ("RegisterClass" when refused).
    static void registerContainer();

    // Once the container window exists: title, image lists, and the control of the view.
    void createNativeParts(unsigned long viewWord);
    void setNativeMode(NativeMode mode);
    // The selection bit being set (CCS_SINGLESEL, or CCS_MULTIPLESEL for both multiple
    // modes) applied to the list control.
    void setSelectionStyle(unsigned long selectionBit);
    // Title on top (when shown), the current control below it.
    void layout();

    IBase::Boolean isMessageDriven() const noexcept { return fMessageDriven != 0; }
    NativeMode nativeMode() const noexcept { return fNativeMode; }
    HWND__* currentControl() const noexcept;
    HWND__* listControl() const noexcept;
    HWND__* treeControl() const noexcept;
    // Whether a window that is there (one that just sent a notification) is the list or the
    // tree control, or either; unlike the two above, they ask the system nothing.
    bool isNativeControl(HWND__* window) const noexcept;
    bool isListControl(HWND__* window) const noexcept;
    bool isTreeControl(HWND__* window) const noexcept;
    HWND__* titleWindow() const noexcept;
    IBase::Boolean isTitleShown() const noexcept { return fTitleShown != 0; }
    IBase::Boolean hasTitleSeparator() const noexcept { return fTitleSeparator != 0; }
    unsigned long containerStyle() const noexcept { return fContainerStyle; }
    CNRINFO& info() noexcept { return fInfo; }
    // The one-image lists of the default record icon, large and small.
    _IMAGELIST* largeDefaultIcon() const noexcept { return fLargeDefaultIcon; }
    _IMAGELIST* smallDefaultIcon() const noexcept { return fSmallDefaultIcon; }

    // CM_SETCNRINFO as far as the native container applies it: the fields of the mask, the
    // title text and the title attributes of the view word.
    void setInfo(const CNRINFO& info, std::uint32_t fields);
    // An arrange asked for while the list control had no size, done once it has one.
    void arrangeIfPending();
    // CM_ARRANGE: now when the list control has a size, else at the next WM_SIZE.
    void arrange();

    // Record icons in the image lists, added once per icon handle and reused by every record
    // with the same icon: the plain image (the default icon for a record without one) and the
    // in-use image, the default icon merged over it.
    int imageIndex(HICON__* icon);
    int inUseImageIndex(HICON__* icon);
    // The tree control, made now when there is none (hidden while the list stays current),
    // holding every list item.
    HWND__* ensureTree();
    // The list item of an object, or -1.
    int listIndexOf(const ICnrObj* object) const;
    // Set by every double click in either control, cleared by a press in the list control.
    IBase::Boolean doubleClickSeen() const noexcept { return fDoubleClickSeen != 0; }
    void setDoubleClickSeen(IBase::Boolean seen) noexcept { fDoubleClickSeen = seen ? 1 : 0; }
    ICnrCtl& container() const noexcept { return *fContainer; }
    // The edit field laid over a details cell while it is edited (icnrovly.cpp): opened for an
    // object and a column past the first, closed by Enter, Escape, a click in the list or
    // CM_CLOSEEDIT, storing the text when the owner agrees.
    IBase::Boolean openOverlayEdit(ICnrObj* object, FIELDINFO* column);
    void closeOverlayEdit();
    HWND__* overlayEdit() const noexcept { return fOverlay; }
    // Whether an edit is open: the overlay field, or the list's or the tree's own label editor.
    IBase::Boolean isEditing() const noexcept;
    // The slow second click on a details cell: the point pressed, in the list control, while
    // the double-click time runs.
    IBase::Boolean isSlowClickPending() const noexcept { return fSlowClickPending != 0; }
    void startSlowClick(long x, long y);
    void slowClickElapsed();
    // The details-view columns, and the list control they need, made now when there is none
    // (hidden while the tree stays current), holding every top-level item.
    IColumnSet& columns() noexcept { return fColumns; }
    HWND__* ensureList();
    // What a list column cannot take from its descriptor by itself: a hidden column shows with
    // width 0 and gets its width back when shown again, an icon heading shows its icon in the
    // header (icnrctlw3.cpp). Applied to every column of the set whenever the columns are
    // inserted or invalidated, which each change of a column ends with.
    void applyColumnLooks();
    // An item's insertion (TVM_INSERTITEMA, LVM_INSERTITEMA) into the list or the tree
    // control. During a bulk insertion, into a control that has no procedure but the library's
    // before its own at that moment, it goes straight to the control's own procedure on this
    // thread: no handler the container puts on its controls takes an insertion, and the pass
    // through the library's procedure would cost each record of a fill about as much as the
    // control's own insertion. Otherwise, as a message, through whatever procedure stands
    // before the control's.
    LRESULT insertIntoControl(HWND__* control, unsigned message, LPARAM item);
    // Called before the tree control paints (icnrctlw1.cpp).
    void bringShownTreeItemsUpToDate();
    // The text last handed to the list for an item that came with no buffer of its own: a copy,
    // kept until the list's next request on this thread, so that another thread's rename of the
    // object cannot free what the list is about to read.
    IString& shownText() noexcept { return fShownText; }

    // The current control's redraw, held off while the container's own redraw is off
    // (WM_SETREDRAW) or a bulk insertion runs: a list control with a header, or a tree, lays
    // itself out again for every item inserted while its redraw is on.
    void setWindowRedraw(IBase::Boolean on);
    // Holds the current control's redraw for the time of a bulk insertion; nests.
    class RedrawHold {
    public:
        explicit RedrawHold(ICnrControlData& data);
        ~RedrawHold();
        RedrawHold(const RedrawHold&) = delete;
        RedrawHold& operator=(const RedrawHold&) = delete;

    private:
        ICnrControlData& fData;
    };

private:
    INativeCnrChild* createControl(NativeMode mode);
    // A control made while the other one holds records takes them over.
    void copyListIntoTree();
    void copyTreeIntoList();
    void applyViewWord(std::uint32_t viewWord);
    void applyTitleAttributes(std::uint32_t viewWord);
    void loadDefaultIcons();
    void applyColumnLook(const FIELDINFO* fieldInfo);
    // Holds or lets go of the current control's redraw as the window and the bulk holds ask.
    void applyRedrawHold();
    void releaseRedrawHold();

    ICnrCtl* fContainer;
    unsigned long fContainerStyle = 0;
    unsigned long fMessageDriven = 0;
    unsigned long fTitleShown = 0;
    unsigned long fTitleSeparator = 0;
    unsigned long fDoubleClickSeen = 0;
    unsigned long fReserved1 = 0;
    unsigned long fArrangePending = 0;
    INativeCnrChild* fCurrent = nullptr;
    std::unique_ptr<INativeCnrChild> fList;
    std::unique_ptr<INativeCnrChild> fTree;
    std::unique_ptr<ICnrTitle> fTitle;
    _IMAGELIST* fLargeImages = nullptr;
    _IMAGELIST* fSmallImages = nullptr;
    _IMAGELIST* fEmptyImages = nullptr;
    _IMAGELIST* fLargeDefaultIcon = nullptr;
    _IMAGELIST* fSmallDefaultIcon = nullptr;
    CNRINFO fInfo{};
    std::string fTitleText;
    NativeMode fNativeMode = noMode;
    std::map<HICON__*, int> fImages;
    std::map<HICON__*, int> fInUseImages;
    IColumnSet fColumns;
    HWND__* fOverlay = nullptr;
    ICnrObj* fOverlayObject = nullptr;
    FIELDINFO* fOverlayColumn = nullptr;
    unsigned long fSlowClickPending = 0;
    long fSlowClickX = 0;
    long fSlowClickY = 0;
    IBase::Boolean fWindowRedrawOff = false;
    unsigned fRedrawHolds = 0;
    HWND__* fRedrawHeld = nullptr;
    // ICnrItemTable::unshownChanges() when the tree control was made.
    std::uint64_t fTreeChangesSeen = 0;
    // Set while a bulk insertion holds the redraw.
    std::atomic<bool> fBulkInsertion{false};
    IString fShownText;
};

// The list of all live containers of the process, with its lock. Every access holds the lock.
namespace ICnrList {
IResource& lock();
std::vector<ICnrCtl*>& containers();

// A container of the list and its window, as a walk over the list found them. A walk takes
// these under the lock and lets it go before it sends anything: a container of another thread
// answers on that thread, where its handlers may need the lock themselves.
struct Member {
    ICnrCtl* container;
    HWND__* window;
};
// The listed containers whose windows are alive.
std::vector<Member> members();
// The container's window while it lives, else null; never throws.
HWND__* liveWindow(const ICnrCtl& container) noexcept;

// A walk's hold on one container it found, taken just before the container is used: false when
// the container has left the list (or its window changed) since the walk found it. While a
// thread other than the container's own holds it, the container's destructor waits in
// leaveContainerList, answering the messages sent to its window meanwhile, so that the walk can
// finish with it: a check under the lock followed by a use after it would let the container go in
// between. The container's own thread needs no hold, since its destructor cannot run beside it.
class Use {
public:
    explicit Use(const Member& member);
    ~Use();
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    explicit operator bool() const noexcept { return fContainer != nullptr; }

private:
    ICnrCtl* fContainer = nullptr;
    bool fCounted = false;
};
} // namespace ICnrList
