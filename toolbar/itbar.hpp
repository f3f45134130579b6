// IToolBar: a row or column of tool bar buttons and other windows at one side of a frame window,
// or in a small floating frame of its own, which the user can move with the mouse.
#pragma once

#include <iclsstyl.hpp>
#include <idefs.hpp>
#include <ipoint.hpp>
#include <ireslib.hpp>
#include <isetcv.hpp>

#include "itbarbut.hpp"

class IFrameWindow;
struct IToolBarData;
namespace ovk_toolbar {
struct MoveAccess;
}

// The tool bars at one side of a frame share one side holder, a set canvas that the frame
// carries as an extension at that side; the holder goes when its last tool bar leaves. Each tool
// bar keeps its windows in a list whose order is the order of the layout; a window that is too
// wide for a narrow vertical tool bar stays in the list but leaves the layout until it fits.
class OVKWIN_API IToolBar : public ISetCanvas {
public:
    // The side of the frame's client, a floating frame of its own, or nowhere.
    enum Location : unsigned char {
        aboveClient = 0, belowClient = 1, leftOfClient = 2, rightOfClient = 3,
        floating = 4, hidden = 5
    };

    using Style = IWindowClassStyle<IToolBar>;
    // In a vertical deck, windows wider than the maximum vertical width leave the layout.
    static const Style narrowVertical;
    // The view of the buttons: bitmap, text, or bitmap above text. At most one is kept.
    static const Style bitmapView;
    static const Style textView;
    static const Style bitmapAndTextView;
    // The user cannot move the tool bar with the mouse.
    static const Style notMovable;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Class-wide values that later constructions take.
    static ISize defaultMargin();
    static void setDefaultMargin(const ISize& margin);
    static ISize defaultPad();
    static void setDefaultPad(const ISize& pad);
    static unsigned long defaultSpacing();
    static void setDefaultSpacing(unsigned long spacing);
    static unsigned long defaultMaximumVerticalWidth();
    static void setDefaultMaximumVerticalWidth(unsigned long width);

    // Walks a tool bar's windows in list order.
    class OVKWIN_API WindowCursor {
    public:
        explicit WindowCursor(const IToolBar& toolBar);
        IBase::Boolean setToFirst();
        IBase::Boolean setToNext();
        IBase::Boolean isValid() const;
        void invalidate();

    private:
        friend class IToolBar;
        const IToolBar& fToolBar;
        unsigned long fIndex = 0;
        bool fValid = false;
    };

    // Walks the tool bars of a frame in the order they were made. When the frame's list is
    // replaced meanwhile, the cursor loses its place and starts over on the new list.
    class OVKWIN_API FrameCursor {
    public:
        explicit FrameCursor(const IFrameWindow* frame);
        IBase::Boolean setToFirst();
        IBase::Boolean setToNext();
        IBase::Boolean isValid() const;
        void invalidate();

    private:
        friend class IToolBar;
        bool current() const;
        const IFrameWindow* fFrame;
        const void* fList = nullptr;
        unsigned long fIndex = 0;
        bool fValid = false;
    };

    // The tool bar is made in the library's object window and then placed at the location
    // of its frame; `group` gives it the group style.
    IToolBar(unsigned long id, IFrameWindow* owner, Location location = aboveClient,
             IBase::Boolean group = false, const Style& style = defaultStyle());
    // Placed right after `neighbour`, at its location.
    IToolBar(unsigned long id, IToolBar* neighbour, IBase::Boolean group = false,
             const Style& style = defaultStyle());
    ~IToolBar() override;

    IString asDebugInfo() const override;
    ISize calcMinimumSize() const override;
    ISetCanvas& layout() override;
    // A floating tool bar shows and hides its frame with it.
    IWindow& show(IBase::Boolean show = true) override;

    // The virtual operations keep the order that derived tool bars rely on.
    // Windows: `group` gives the added window the group style; without it the window joins
    // the group of its neighbours. A reference window that is not in the list adds at the end.
    virtual IToolBar& addAsFirst(IWindow* window, IBase::Boolean group = false);
    virtual IToolBar& addAsLast(IWindow* window, IBase::Boolean group = false);
    virtual IToolBar& addBefore(IWindow* window, IWindow* referenceWindow,
                                IBase::Boolean group = false);
    virtual IToolBar& addAfter(IWindow* window, IWindow* referenceWindow,
                               IBase::Boolean group = false);
    // The window goes back to the object window; the next one takes over its group style.
    virtual IToolBar& remove(IWindow* window);
    // Both fail "window != referenceWindow" when the two are one window.
    virtual IToolBar& moveBefore(IWindow* window, IWindow* referenceWindow,
                                 IBase::Boolean group = false);
    virtual IToolBar& moveAfter(IWindow* window, IWindow* referenceWindow,
                                IBase::Boolean group = false);

    // Tells every window the new view (0xFFE7, 0xFFE8 or 0xFFE9); nothing when unchanged.
    virtual IToolBar& setButtonView(IToolBarButton::View view);
    virtual IToolBarButton::View buttonView() const;

    virtual IToolBar& setLocation(Location location);
    virtual Location location() const;
    // The floating frame's place, relative to the owner frame's top left corner.
    virtual IToolBar& setFloatingPosition(const IPoint& position);
    virtual IPoint floatingPosition() const;
    virtual IToolBar& setFloatingTitle(const char* title);
    virtual IToolBar& setFloatingTitle(const IResourceId& title);
    virtual IString floatingTitle() const;
    // The floating frame's larger arrangement: one row instead of a column.
    virtual IToolBar& setExpanded(IBase::Boolean expanded = true);
    virtual IBase::Boolean isExpanded() const;

    IBase::Boolean isMovable() const;
    IFrameWindow* ownerFrame() const;
    // The small frame that shows the tool bar while it floats; null otherwise.
    IFrameWindow* floatingFrame() const;
    unsigned long windowCount() const;
    // Fail the state check "cursor.isValid()" when the cursor is not valid.
    IWindow* windowAt(const WindowCursor& cursor) const;
    static IToolBar* toolBarAt(const FrameCursor& cursor);

    // Places this tool bar right after `neighbour`, at its side: the end of a move onto it.
    IToolBar& placeAfter(IToolBar* neighbour);

private:
    friend struct ovk_toolbar::MoveAccess;

    void construct(IFrameWindow* owner, IBase::Boolean group);
    void abandon() noexcept;
    bool leaveFrameList(IToolBarData& data);
    void completeSetUp();
    std::size_t indexOf(const IWindow* window) const;
    void insertWindow(IWindow* window, std::size_t index, IBase::Boolean group,
                      const char* function);
    void detachWindow(std::size_t index);
    void afterAdding(IWindow* window, std::size_t index, IBase::Boolean group);
    void fitPass();
    void relayout();
    void leaveCurrentPlace();
    void enterFloatingFrame();
    void enterSideHolder();
    void fitFloatingFrame();
    unsigned long viewMessage() const;

    IToolBarData* fToolBarData;
};
