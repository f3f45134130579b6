// INotebook: a stack of pages reached through tabs, carried out either on the native tab
// control or by the outside "OVK Notebook" window, chosen once at creation.
#pragma once

#include <cstdint>

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>
#include <inbtab.hpp>

#include <ibmphdl.hpp>
#include <ireslib.hpp>
#include <istring.hpp>

struct INotebookData;
struct HWND__;
class IPageClipWindow;

// A page of a notebook: a 32-bit identifier, 0 for no page.
class OVKWIN_API IPageHandle {
public:
    constexpr IPageHandle() noexcept = default;
    constexpr explicit IPageHandle(unsigned long id) noexcept
        : fId(static_cast<std::uint32_t>(id)) {}

    constexpr unsigned long asUnsignedLong() const noexcept { return fId; }
    constexpr IBase::Boolean isValid() const noexcept { return fId != 0; }
    constexpr bool operator==(const IPageHandle& other) const noexcept { return fId == other.fId; }
    constexpr bool operator!=(const IPageHandle& other) const noexcept { return fId != other.fId; }

private:
    std::uint32_t fId = 0;
};

// The native variant keeps its pages in the tabs' items and moves each page window into a
// page clipping window; the outside variant leaves every page to the outside window and only
// sends it messages. Either way the parent hears of page turns, deletions and size changes
// through WM_COMMAND notifications (see IPageHandler). The keyboard turns pages with Alt+Page Up
// and Alt+Page Down, from the tabs or from a control of the native variant's page; Alt+Up takes
// the focus from the page to the tabs and Alt+Down from the tabs into the top page.
class OVKWIN_API INotebook : public IControl, public INotebookTabOwner {
public:
    using Style = IWindowClassStyle<INotebook>;
    static const Style orientationBit1, orientationBit2, orientationBit4, orientationBit8;
    static const Style orientationBit10, orientationBit20, orientationBit40, orientationBit80;
    static const Style tabShape0, tabShape1, tabShape2;
    static const Style binding0, binding1;
    static const Style statusTextAlign0, statusTextAlign1, statusTextAlign2;
    static const Style tabTextAlign0, tabTextAlign1, tabTextAlign2;
    // Selects the outside "OVK Notebook" window.
    static const Style thunkedWindow;
    static const Style multiLineTabs;
    static const Style ownerDrawTabs;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    enum TextAlignment { left, center, right };
    enum TabShape { square, rounded, polygon };
    enum Binding { spiral, solid };
    enum Orientation {
        backpagesBottomRight, backpagesBottomLeft, backpagesTopRight, backpagesTopLeft,
        backpagesRightBottom, backpagesRightTop, backpagesLeftBottom, backpagesLeftTop
    };

    // What a page is made of: tab text or bitmap, status text, user data and attributes.
    class OVKWIN_API PageSettings : public IVBase {
    public:
        class Attribute : public IBitFlagSet<Attribute> {
        public:
            constexpr Attribute(Word value, Word extendedValue = 0)
                : IBitFlagSet(value, extendedValue) {}
        };
        static const Attribute noAttribute, statusTextOn, majorTab, minorTab, autoPageSize;

        PageSettings();
        explicit PageSettings(const Attribute& attribute);
        // A status text turns the status line on; a tab text or bitmap without a tab kind
        // makes a major tab.
        PageSettings(const char* tabText, const char* statusText,
                     const Attribute& attribute = noAttribute);
        PageSettings(const IBitmapHandle& tabBitmap, const char* statusText,
                     const Attribute& attribute = noAttribute);
        PageSettings(const PageSettings& other);
        PageSettings& operator=(const PageSettings& other);
        ~PageSettings() override;

        virtual PageSettings& setStatusText(const char* text);
        virtual PageSettings& setStatusText(const IResourceId& id);
        virtual IString statusText() const;
        virtual PageSettings& setTabText(const char* text);
        virtual PageSettings& setTabText(const IResourceId& id);
        virtual PageSettings& setTabBitmap(const IBitmapHandle& bitmap);
        virtual PageSettings& setTabBitmap(const IResourceId& id);
        virtual IString tabText() const;
        virtual IBitmapHandle tabBitmap() const;
        virtual PageSettings& setUserData(unsigned long data);
        virtual unsigned long userData() const;

        IBase::Boolean isStatusTextOn() const;
        IBase::Boolean isMajorTab() const;
        IBase::Boolean isMinorTab() const;
        IBase::Boolean isAutoPageSize() const;
        // The attribute word (statusTextOn 0x1, majorTab 0x40, minorTab 0x80, autoPageSize
        // 0x100).
        unsigned long attributes() const noexcept { return fAttributes; }
        // The page window and its parent before it went into the notebook, as a native
        // notebook read them back; null otherwise.
        HWND__* pageWindow() const noexcept { return fPageWindow; }
        HWND__* originalParent() const noexcept { return fOriginalParent; }

    private:
        friend class INotebook;
        unsigned long fAttributes = 0;
        IBitmapHandle fTabBitmap;
        std::uint32_t fUserData = 0;
        IString fStatusText;
        IString fTabText;
        HWND__* fPageWindow = nullptr;
        HWND__* fOriginalParent = nullptr;
    };

    // A position among the pages. Any insertion or removal makes every cursor invalid.
    class OVKWIN_API Cursor : public IVBase {
    public:
        explicit Cursor(const INotebook& notebook);
        ~Cursor() override;
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();
        virtual IPageHandle first();
        virtual IPageHandle next();
        virtual IPageHandle previous();
        virtual IPageHandle last();
        virtual IPageHandle current() const;

    private:
        IBase::Boolean positionOn(const IPageHandle& page);
        const INotebook* fNotebook;
        IPageHandle fCurrent;
        unsigned long fStamp = 0;
    };

    INotebook(unsigned long id, IWindow* parent, IWindow* owner,
              const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    // Takes charge of a dialog's notebook: a native tab control gets the native bookkeeping,
    // an outside window its tab sizes.
    INotebook(unsigned long id, IWindow* parentAndOwner);
    explicit INotebook(const IWindowHandle& handle);
    ~INotebook() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IColor backgroundColor() const override;
    IColor hiliteBackgroundColor() const override;
    ISize calcMinimumSize() const override;
    IWindow& enableNotification(IBase::Boolean enable = true) override;

    // Appearance. The native tab control has one look: its setters change nothing and its
    // queries answer that look.
    virtual INotebook& setStatusTextAlignment(TextAlignment alignment);
    virtual INotebook& setStatusText(const IPageHandle& page, const char* text);
    virtual INotebook& setStatusText(const IPageHandle& page, const IResourceId& id);
    virtual TextAlignment statusTextAlignment() const;
    virtual INotebook& setTabShape(TabShape shape);
    virtual INotebook& setMajorTabSize(const ISize& size);
    virtual INotebook& setMinorTabSize(const ISize& size);
    virtual TabShape tabShape() const;
    virtual INotebook& setTabTextAlignment(TextAlignment alignment);
    virtual INotebook& refreshTabs();
    virtual INotebook& setTabText(const IPageHandle& page, const char* text);
    virtual INotebook& setTabText(const IPageHandle& page, const IResourceId& id);
    virtual INotebook& setTabBitmap(const IPageHandle& page, const IBitmapHandle& bitmap);
    virtual INotebook& setTabBitmap(const IPageHandle& page, const IResourceId& id);
    virtual TextAlignment tabTextAlignment() const;
    virtual INotebook& setPageButtonSize(const ISize& size);
    virtual INotebook& setOrientation(Orientation orientation);
    virtual Orientation orientation() const;
    virtual INotebook& setBinding(Binding binding);
    virtual Binding binding() const;

    virtual IColor pageBackgroundColor() const;
    virtual IColor majorTabBackgroundColor() const;
    virtual IColor minorTabBackgroundColor() const;
    virtual IColor majorTabForegroundColor() const;
    virtual IColor minorTabForegroundColor() const;
    virtual INotebook& setPageBackgroundColor(const IColor& color);
    virtual INotebook& setMajorTabBackgroundColor(const IColor& color);
    virtual INotebook& setMinorTabBackgroundColor(const IColor& color);
    virtual INotebook& setMajorTabForegroundColor(const IColor& color);
    virtual INotebook& setMinorTabForegroundColor(const IColor& color);
    virtual INotebook& resetPageBackgroundColor();
    virtual INotebook& resetMajorTabBackgroundColor();
    virtual INotebook& resetMinorTabBackgroundColor();
    virtual INotebook& resetMajorTabForegroundColor();
    virtual INotebook& resetMinorTabForegroundColor();

    // Pages.
    virtual IPageHandle addFirstPage(const PageSettings& settings, IWindow* window = nullptr);
    virtual IPageHandle addLastPage(const PageSettings& settings, IWindow* window = nullptr);
    virtual IPageHandle addPageBefore(const PageSettings& settings, const IPageHandle& reference,
                                      IWindow* window = nullptr);
    virtual IPageHandle addPageBefore(const PageSettings& settings, const Cursor& cursor,
                                      IWindow* window = nullptr);
    virtual IPageHandle addPageAfter(const PageSettings& settings, const IPageHandle& reference,
                                     IWindow* window = nullptr);
    virtual IPageHandle addPageAfter(const PageSettings& settings, const Cursor& cursor,
                                     IWindow* window = nullptr);
    virtual INotebook& removePage(const IPageHandle& page);
    virtual INotebook& removePage(const Cursor& cursor);
    virtual INotebook& removeAllPages();
    virtual INotebook& removeTabSection(const IPageHandle& page);
    virtual INotebook& removeTabSection(const Cursor& cursor);
    virtual INotebook& turnToPage(const IPageHandle& page);
    virtual INotebook& turnToPage(const Cursor& cursor);
    // The native notebook without pages has no top page: "TabCtrl_GetCurSel".
    virtual IPageHandle topPage() const;
    virtual IPageHandle firstPage() const;
    virtual IPageHandle lastPage() const;
    virtual IPageHandle nextPage(const IPageHandle& page) const;
    virtual IPageHandle previousPage(const IPageHandle& page) const;
    virtual INotebook& setUserData(const IPageHandle& page, unsigned long data);
    virtual IWindow* window(const Cursor& cursor) const;
    virtual IWindow* window(const IPageHandle& page) const;
    virtual INotebook& setWindow(const Cursor& cursor, IWindow* window);
    virtual INotebook& setWindow(const IPageHandle& page, IWindow* window);
    // The page area for the notebook's size, and the notebook size for a page area.
    virtual ISize pageSize() const;
    virtual ISize notebookSize(const IPageHandle& page) const;
    virtual unsigned long pageCount() const;
    virtual unsigned long countToMajorTab(const IPageHandle& page) const;
    virtual unsigned long countToMajorTab(const Cursor& cursor) const;
    virtual unsigned long countToMinorTab(const IPageHandle& page) const;
    virtual unsigned long countToMinorTab(const Cursor& cursor) const;
    virtual unsigned long pagesToEnd(const IPageHandle& page) const;
    virtual unsigned long pagesToEnd(const Cursor& cursor) const;
    virtual IBase::Boolean isEmpty() const;

    PageSettings pageSettings(const IPageHandle& page) const;
    PageSettings pageSettings(const Cursor& cursor) const;

    // The message interface underneath (order codes: 2 last, 4 first, 8 after the reference,
    // 0x10 before it).
    IPageHandle insertPageInfo(const PageSettings& settings, const IPageHandle& reference,
                               IWindow* window, unsigned long order);
    IPageHandle insertTabPage(const PageSettings& settings, const IPageHandle& reference,
                              unsigned long order);
    // Sends the colour for an area 5..9 when it differs from the current one.
    INotebook& setNotebookColors(unsigned long color, unsigned long area);
    INotebook& recordNotebookColor(unsigned long color, unsigned long area) override;
    IPageHandle queryPage(const IPageHandle& page, unsigned long order) const;
    unsigned long queryPageCount(const IPageHandle& page, unsigned long kind) const;
    IPageHandle insertPage(const IPageHandle& reference, unsigned long attributesAndOrder);
    // Kinds: 1 every page, 2 the page, 4 its tab section. False when there was no such page.
    IBase::Boolean deletePage(const IPageHandle& page, unsigned long kind);
    // The tab control's selection notification (an NMHDR); before the change a true answer
    // keeps the current tab.
    IBase::Boolean processTabSelect(void* record, IBase::Boolean changing) override;
    // Shows the page of a tab in the page area (notebook coordinates).
    void showTopPage(long index, const IRectangle& area, IBase::Boolean attachKeys) const;
    INotebook& tabControlResize(const ISize& size) override;
    IBase::Boolean usesThunkedWindow() const;
    IBase::Boolean hasMultiLineTabs() const;
    IBase::Boolean hasOwnerDrawTabs() const;

    // The tab-control handler's side.
    PageHandle tabTopPage() const override;
    PageHandle tabNextPage(PageHandle page) const override;
    PageHandle tabPreviousPage(PageHandle page) const override;
    INotebook& tabTurnToPage(PageHandle page) override;
    IWindow* tabPageWindow(PageHandle page) const override;
    // A notebook is not closed on its own; its frame closes it.
    INotebook& processClose() override;

private:
    struct SelectRecord;
    void createNotebook(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                        const Style& style);
    void takeCharge(const IWindowHandle& handle);
    void prepareNative();
    void setOutsideSizes();
    IBase::Boolean processSelection(SelectRecord& record, IBase::Boolean pending);
    IBase::Boolean deleteNativePage(const IPageHandle& page, unsigned long kind);
    long indexOf(const IPageHandle& page) const;
    long checkedIndex(const IPageHandle& page, const char* function) const;
    IRectangle pageArea() const;
    INotebook& setStyleBits(unsigned long clear, unsigned long set, IBase::Boolean notify);
    IColor recordedColor(unsigned long area, const IColor& fallback) const;
    INotebook& resetColorArea(unsigned long area);
    IEventData sendChecked(unsigned long message, const IEventParameter1& p1,
                           const IEventParameter2& p2, const char* failureText,
                           const char* function) const;
    IPageClipWindow* clipWindow() const;

    INotebookData* fNotebookData;
    unsigned long fPageCount = 0;
    // Raised by every insertion and removal; page cursors compare it.
    unsigned long fChangeCount = 0;
    unsigned long fColorFlags = 0;
    std::uint32_t* fColors = nullptr;
    std::uint32_t fLastPageId = 0;
};
