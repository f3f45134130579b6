// IFrameWindow: the library's top-level window, with a title bar, a system menu, a menu bar, a
// client window and frame extensions docked at its edges; it can be shown modally.
#pragma once

#include <idefs.hpp>
#include <iclsstyl.hpp>
#include <icmdevt.hpp>
#include <iptrhdl.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

class IFrameExtension;
struct IFrameMenuLists;
struct IFrameWindowData;

// A frame registers a window class of its own ("OVK Frame" and a number), modelled on the
// system dialog class, so that it can also be loaded from a dialog template. Layout is lazy:
// changes mark the layout as due, and the next update() runs one layout pass.
// A frame has no minimum size of its own: minimumSize() answers its current size, and the user
// may size it below what its client needs, which then cuts the client's children. To keep a
// form whole, answer WM_GETMINMAXINFO in a handler of the frame with ptMinTrackSize set to
// the size of frameRectFor(IRectangle(client()->minimumSize())), or make the form the view of
// an IViewPort client, which scrolls it instead.
class OVKWIN_API IFrameWindow : public IWindow {
public:
    using Style = IWindowClassStyle<IFrameWindow>;
    static const Style _deferCreation;
    // The accelerator table and the menu bar are loaded from the frame's resource library by
    // the frame's own identifier (the IResourceId it is made with); a missing menu fails the
    // construction ("LoadMenu"). Menu and control texts mark a mnemonic with '&' ("&File").
    static const Style _accelerator;
    static const Style _menuBar;
    static const Style _classIcon;
    static const Style _noByteAlignment;
    static const Style _cascadePosition;
    static const Style _inertStyle1;
    static const Style _inertStyle2;
    static const Style _inertStyle3;
    static const Style _appDBCSStatus;
    static const Style _dialogBackground;
    static const Style _windowList;
    static const Style _titleBar;
    static const Style _maximizeButton;
    static const Style _minimizeButton;
    static const Style _iconifyButton;
    static const Style _sizingBorder;
    static const Style _systemMenu;
    static const Style _horizontalScroll;
    static const Style _verticalScroll;
    static const Style _dialogBorder;
    static const Style _border;
    static const Style _maximized;
    static const Style _minimized;
    static const Style _classDefaultStyle;
    static const Style _nativeStyleMask;

    // Where an extension docks: 0 to 3 beside the frame control with identifier 0, 4 to 7
    // beside the client. Even values at the left or top, odd ones at the right or bottom.
    enum Location : unsigned char {
        leftOfControl, rightOfControl, leftOfControl2, rightOfControl2,
        leftOfClient, rightOfClient, aboveClient, belowClient
    };
    enum SeparatorType : unsigned char { none, thinSeparator, thickSeparator };
    // Whether a frame comes from a dialog template: it must, it must not, or it may.
    enum FrameSource { dialogResource, noDialogResource, tryDialogResource };

    // Told to observers when the frame is activated and deactivated.
    static const char* const activateId;
    static const char* const deactivateId;
    // Told to observers when the frame is closed.
    static const char* const closeId;

    // The identifier of the client window among the frame's children.
    static constexpr unsigned long clientId = 0x8008;

    // With _titleBar and no title, the title is the string with the frame's identifier in its
    // resource library; without that string, the owner's or parent's frame title, else the
    // program's file name.
    IFrameWindow(const IResourceId& id, IWindow* parent, IWindow* owner,
                 const IRectangle& initial = IRectangle(), const Style& style = defaultStyle(),
                 const char* title = nullptr);
    // Top-level frames at the next cascade position.
    IFrameWindow(const IResourceId& id, const Style& style = defaultStyle());
    IFrameWindow(const Style& style, const IResourceId& id);
    IFrameWindow(const char* title, const IResourceId& id, const Style& style = defaultStyle());
    // From the dialog template with the identifier, as `source` allows. The template's push
    // buttons post WM_COMMAND with their ids to the frame, which passes what its handlers leave
    // to its client: nothing closes or hides the frame for IDOK or IDCANCEL by itself, so an
    // ICommandHandler on the frame does (close() for either).
    IFrameWindow(const IResourceId& id, IWindow* parent, IWindow* owner,
                 FrameSource source = dialogResource);
    IFrameWindow(const IResourceId& id, IWindow* owner, FrameSource source = dialogResource);
    explicit IFrameWindow(unsigned long id, FrameSource source = dialogResource);
    // Takes charge of an existing window, which outlives the object.
    explicit IFrameWindow(const IWindowHandle& handle);
    ~IFrameWindow() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);
    static SiblingOrder defaultOrdering();
    static void setDefaultOrdering(SiblingOrder order);

    // The IWindow operations a frame gives its own meaning.
    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& show(IBase::Boolean show = true) override;
    IWindowHandle defaultPushButton() const override;
    IWindow* matchForMnemonic(unsigned short character) const override;
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    IColor backgroundColor() const override;
    IColor disabledBackgroundColor() const override;
    IWindow& resetBackgroundColor() override;
    IWindow& resetDisabledBackgroundColor() override;
    IWindow& setFont(const IFont& font) override;
    IWindowHandle create(unsigned long id, const char* text, unsigned long style,
                         const char* windowClass, const IWindowHandle& parent,
                         const IWindowHandle& owner, const IRectangle& initRect,
                         const void* controlData, const void* module,
                         SiblingOrder order = onTopOfSiblings,
                         unsigned long extendedStyle = 0) override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual IFrameWindow& close();
    virtual IFrameWindow& maximize();
    virtual IFrameWindow& restore();
    virtual IFrameWindow& setRestoreRect(const IRectangle& rectangle);
    virtual IFrameWindow& minimize();
    virtual IRectangle maximizeRect() const;
    virtual IRectangle minimizeRect() const;
    virtual IRectangle restoreRect() const;
    virtual IFrameWindow& moveSizeToClient(const IRectangle& clientRect);
    virtual IRectangle clientRectFor(const IRectangle& frameRect) const;
    virtual IRectangle frameRectFor(const IRectangle& clientRect) const;

    // Shows the frame and runs the thread's message loop one level deeper until dismiss;
    // answers the result. The owner is disabled meanwhile.
    virtual unsigned long showModally();
    virtual unsigned long result() const;
    // Ends the modal loop with the result; a frame that is not modal is only hidden.
    virtual IFrameWindow& dismiss(unsigned long result);
    virtual IFrameWindow& setResult(unsigned long result);
    virtual IFrameWindow& notifyOwner(unsigned long id,
                                      ICommandEvent::Source source = ICommandEvent::menu,
                                      IBase::Boolean pointerFlag = false);

    virtual IPointerHandle icon() const;
    virtual IFrameWindow& setIcon(const IPointerHandle& icon);
    virtual IFrameWindow& setIcon(const IResourceId& icon);
    virtual IFrameWindow& setIcon(unsigned long iconId);
    virtual IPointerHandle mousePointer() const;
    virtual IFrameWindow& setMousePointer(const IPointerHandle& pointer);

    virtual IWindowHandle clientHandle() const;
    virtual IWindow* client() const;
    virtual IFrameWindow& setClient(IWindow* newClient);

    // Extensions: a size in pixels, a fraction 0 <= f < 1 of the reference area, or the
    // window's minimum size. Message 101 for a window that is an extension or the client.
    virtual IFrameWindow& addExtension(IWindow* extension, Location location,
                                       unsigned long pixels, SeparatorType separator = thinSeparator);
    virtual IFrameWindow& addExtension(IWindow* extension, Location location, int pixels,
                                       SeparatorType separator = thinSeparator);
    virtual IFrameWindow& addExtension(IWindow* extension, Location location, double fraction,
                                       SeparatorType separator = thinSeparator);
    virtual IFrameWindow& addExtension(IWindow* extension, Location location,
                                       SeparatorType separator = thinSeparator);
    virtual IFrameWindow& removeExtension(IWindow* extension, IBase::Boolean update = true);
    // Message 45 for a window that is no extension.
    virtual IFrameWindow& setExtensionSize(IWindow* extension, unsigned long pixels);
    virtual IFrameWindow& setExtensionSize(IWindow* extension, int pixels);
    virtual IFrameWindow& setExtensionSize(IWindow* extension, double fraction);
    virtual IFrameWindow& useExtensionMinimumSize(IWindow* extension);
    // Runs the layout pass when one is due.
    virtual IFrameWindow& update();
    virtual IBase::Boolean isAnExtension(const IWindow* window) const;

    // A frame is destroyed by a close (close(), the close box, Alt+F4) only when this is set;
    // without it the close tells the observers (closeId) and the frame stays. To refuse a
    // close, attach a handler of your own (asked before the frame's, being attached later) that
    // answers WM_CLOSE and WM_SYSCOMMAND with SC_CLOSE as handled.
    virtual IFrameWindow& setDestroyOnClose(IBase::Boolean destroy = true);
    virtual IFrameWindow& addToWindowList();
    virtual IFrameWindow& removeFromWindowList();
    virtual IWindowHandle handleFor(const Style& style) const;
    virtual IFrameWindow& beginFlashing();
    virtual IFrameWindow& endFlashing();

    // State that needs no override.
    IBase::Boolean isModal() const;
    IBase::Boolean willDestroyOnClose() const;
    IBase::Boolean isFlashing() const;
    // Loaded from a dialog template, or styled with _dialogBackground: the frame and the
    // windows in it take the dialog background.
    IBase::Boolean hasDialogBackground() const;
    // The nesting level of the message loop that a modal frame runs; 0 when not modal yet.
    unsigned long modalLevel() const;
    // Frames delete themselves when their modal loop ends.
    IFrameWindow& setDeleteOnModalEnd(IBase::Boolean deleteObject = true);
    // The extension records in insertion order (the frame owns them); for the layout pass.
    unsigned long extensionCount() const;
    IFrameExtension* extensionAt(unsigned long index) const;
    // The record a tool bar keeps on this frame; the frame never reads it.
    void* toolBarData() const;
    IFrameWindow& setToolBarData(void* data);
    // What the frame keeps for its menus: submenu identifiers and item values.
    IFrameMenuLists& menuLists() const;
    // The frame's private flag word, as the frame handler reads and changes it.
    unsigned long frameFlags() const;
    IFrameWindow& setFrameFlags(unsigned long on, unsigned long off);

    // The next cascade position, in native coordinates.
    static IRectangle nextCascadeRect();
    // The dialog procedure of frames loaded from a template.
#if defined(_WIN64)
    static long long __stdcall frameDialogProcedure(HWND__* dialog, unsigned int message,
                                                   unsigned long long wParam, long long lParam);
#else
    static int __stdcall frameDialogProcedure(HWND__* dialog, unsigned int message,
                                              unsigned int wParam, long lParam);
#endif

protected:
    // For derived classes that create the window themselves (_deferCreation).
    IFrameWindow();
    IFrameWindow& initialize(const IResourceId& id, IWindow* parent, IWindow* owner,
                             const IRectangle& initial, const Style& style, const char* title);
    IFrameWindow& tryToLoadDialog(const IResourceId& id, IWindow* parent, IWindow* owner,
                                  FrameSource source);
    unsigned short registerFrameClass(const Style& style, const IResourceId& id);
    IFrameWindow& addExtension(IFrameExtension* extension);

private:
    friend struct IFrameWindowData;

    IFrameExtension* findExtension(const IWindow* extension, const char* function) const;
    IFrameWindow& changeExtension(IWindow* extension, const char* function,
                                  void (*change)(IFrameExtension&, const void*), const void* value);
    void attachHandlers();
    void detachHandlers() noexcept;
    void layoutChanged();
    void disableSystemMenuItems(unsigned long nativeStyle, unsigned long extendedStyle);
    IString defaultTitle(const IResourceId& id, IWindow* parent, IWindow* owner) const;
    IRectangle calcFrameRect(const IRectangle& rectangle, bool frameFromClient) const;

    IFrameWindowData* fFrameData;
};
