// IHelpWindow: an application's help: shows help panels for a frame and the windows inside it,
// through the help viewer or through the system help.
#pragma once

#include <cstdint>

#include <istring.hpp>

#include <iclsstyl.hpp>
#include <idefs.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

class IFrameWindow;
struct IHelpWindowData;

// The mode is fixed at construction: the viewer-mode style makes a help instance of the help
// viewer, to which every request is a command; without it every request is a call of the
// system help with the help file names the application gave. The frame handler finds a frame's
// help window by asking the frame.
class OVKWIN_API IHelpWindow : public IWindow {
public:
    using Style = IWindowClassStyle<IHelpWindow>;
    static const Style viewerMode;
    static const Style noStyle;
    static const Style classDefaultStyle;

    enum HelpType : unsigned char { general, contextual, index, keys, helpForHelp };

    // The settings a help window may start with.
    class OVKWIN_API Settings {
    public:
        Settings() = default;

        IString title() const { return fTitle; }
        Settings& setTitle(const char* title);
        Settings& setTitle(const IResourceId& title);
        IString menuText() const { return fMenuText; }
        Settings& setMenuText(const char* text);
        IString libraries() const { return fLibraries; }
        Settings& setLibraries(const char* names);
        IString resourceLibrary() const { return fResourceLibrary; }
        Settings& setResourceLibrary(const char* name);
        IString helpTableModule() const { return fHelpTableModule; }
        Settings& setHelpTableModule(const char* name);

        unsigned long helpForHelpPanel() const { return fHelpForHelpPanel; }
        Settings& setHelpForHelpPanel(unsigned long panel);
        unsigned long helpTableId() const { return fHelpTableId; }
        Settings& setHelpTableId(unsigned long id);
        unsigned long viewerValue3() const { return fValue3; }
        Settings& setViewerValue3(unsigned long value);
        unsigned long viewerValue4() const { return fValue4; }
        Settings& setViewerValue4(unsigned long value);
        unsigned long reservedValue() const { return fValue5; }

    private:
        IString fTitle, fMenuText, fLibraries, fResourceLibrary, fHelpTableModule;
        unsigned long fHelpForHelpPanel = 0, fHelpTableId = 0, fValue3 = 0, fValue4 = 0,
                      fValue5 = 0;
    };

    explicit IHelpWindow(IFrameWindow* frame = nullptr, const Style& style = defaultStyle());
    IHelpWindow(const IResourceId& helpTable, IFrameWindow* frame,
                const Style& style = defaultStyle());
    IHelpWindow(const Settings& settings, IFrameWindow* frame = nullptr,
                const Style& style = defaultStyle());
    // Takes charge of a help instance of the viewer.
    explicit IHelpWindow(const IWindowHandle& instance);
    ~IHelpWindow() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // The help window of the frame that serves the window; null when there is none.
    static IHelpWindow* helpWindow(const IWindow* window);

    // The help window's notification handler is one of its own, made on first use.
    IWindow& enableNotification(IBase::Boolean enable = true) override;
    // Geometry goes to the viewer only; the system help places itself.
    IWindow& moveTo(const IPoint& position) override;
    IWindow& sizeTo(const ISize& size) override;
    IWindow& moveSizeTo(const IRectangle& rectangle) override;
    // The help instance's window in viewer mode, else the library's object window.
    IWindowHandle handle() const override;
    // A message number with two parameters is a command to the help instance (0 in file
    // mode); the other forms behave as a window's.
    IEventData sendEvent(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                         const IEventParameter2& parameter2 = 0) const override;
    IEventData sendEvent(EventType type, const IEventParameter1& parameter1 = 0,
                         const IEventParameter2& parameter2 = 0) const override;
    IEventData sendEvent(const IEvent& event) const override;
    // Help is shown by kind or panel, never by showing the window.
    IWindow& show(IBase::Boolean show = true) override;
    IWindow& hide() override;

    // The virtual operations keep the order that derived classes rely on.
    // The window whose help is shown (viewer mode tells the viewer); `relative` stands in for
    // it with the viewer when given.
    virtual IHelpWindow& setActiveWindow(IWindow* window, IWindow* relative = nullptr);
    // Serves the frame and the windows inside it. Each frame is served only once named here
    // (or to a constructor): F1 in a second frame finds its own help after
    // setAssociatedWindow(&second), and before that none.
    virtual IHelpWindow& setAssociatedWindow(IFrameWindow* frame);
    // Empty or null clears the names; the viewer's names accumulate, separated by blanks.
    virtual IHelpWindow& addLibraries(const char* names);
    virtual IHelpWindow& setHelpTable(const IResourceId& table);
    virtual IHelpWindow& setHelpForHelpPanel(unsigned long panel);
    virtual IHelpWindow& show(HelpType kind);
    virtual IHelpWindow& show(const IResourceId& panel);
    virtual IHelpWindow& showKeyword(const char* keyword);
    virtual IHelpWindow& setTitle(const char* title);
    virtual IHelpWindow& setTitle(const IResourceId& title);
    virtual IHelpWindow& disableViewerOption();
    virtual IHelpWindow& enableViewerOption(IBase::Boolean enable = true);

    IBase::Boolean isViewerMode() const;
    IString libraries() const;
    // A value the viewer answers by selector (0x10000 to 0x80000); 0 in file mode.
    unsigned long viewerValue(unsigned long selector) const;

private:
    friend class IHelpWindowHandler;

    void construct(IFrameWindow* frame, const Style& style, void* initialisation);
    void contextualHelp();
    void keysHelp();
    // Shows a panel for the frame; a failure is told to the frame as an event.
    void displayForFrame(IWindow& frame, unsigned long panel);
    bool systemHelp(unsigned int command, std::uintptr_t data) const;
    void rememberActiveWindow();

    IHelpWindowData* fHelpWindowData;
};
