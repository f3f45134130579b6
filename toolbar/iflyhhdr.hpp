// IFlyOverHelpHandler: a short help text in a tool tip and a longer one in an information area,
// for the window under the mouse.
#pragma once

#include <cstdint>

#include <idefs.hpp>
#include <ihandler.hpp>
#include <ireslib.hpp>
#include <istring.hpp>

class IFlyOverToolTip;
class ITextControl;
struct IFlyOverHelpData;
struct HWND__;
struct tagNMHDR;

// Serves a window and the windows inside it: each becomes a tool of the tool tip, whose mouse
// messages reach the tip. The texts are asked for when the tip shows: from a table kept per
// window (strings, or string ids), or else the strings whose ids are the window's id plus the
// text base id (the tip) and the long text base id (the long text). With an information area
// and no tool tip, the area shows the long text of the window under the pointer as soon as the
// pointer moves onto it, and is cleared when the pointer leaves it.
class OVKWIN_API IFlyOverHelpHandler : public IHandler {
public:
    IFlyOverHelpHandler(IFlyOverToolTip* toolTip, ITextControl* infoArea,
                        unsigned long initialDelay = 500, unsigned long reshowDelay = 100);
    explicit IFlyOverHelpHandler(ITextControl* infoArea, unsigned long initialDelay = 500,
                                 unsigned long reshowDelay = 100);
    explicit IFlyOverHelpHandler(IFlyOverToolTip* toolTip, unsigned long initialDelay = 500,
                                 unsigned long reshowDelay = 100);
    // Removes the texts of the windows it still serves, and their tools.
    ~IFlyOverHelpHandler() override;

    // Registers the window and its children; a null window fails "window != 0".
    IFlyOverHelpHandler& handleEventsFor(IWindow* window) override;
    IFlyOverHelpHandler& stopHandlingEventsFor(IWindow* window) override;

    // The virtual operations keep the order that derived handlers rely on.
    virtual IFlyOverToolTip* toolTip() const;
    virtual ITextControl* infoArea() const;
    virtual unsigned long textBaseId() const;
    virtual IFlyOverHelpHandler& setTextBaseId(unsigned long id);
    virtual unsigned long longTextBaseId() const;
    virtual IFlyOverHelpHandler& setLongTextBaseId(unsigned long id);
    virtual IString defaultText() const;
    virtual IFlyOverHelpHandler& setDefaultText(const IString& text);
    virtual unsigned long initialDelay() const;
    virtual IFlyOverHelpHandler& setInitialDelay(unsigned long milliseconds);
    virtual unsigned long reshowDelay() const;
    virtual IFlyOverHelpHandler& setReshowDelay(unsigned long milliseconds);
    // Open a resource library that string ids are then loaded from; the handler keeps it.
    virtual IFlyOverHelpHandler& setResourceLibrary(const char* name);
    virtual IFlyOverHelpHandler& setResourceLibrary(const IModuleHandle& module);
    // The library set last, else the application's user resource library.
    virtual IResourceLibrary& resourceLibrary() const;
    // The string of the id from resourceLibrary(); empty when there is none.
    virtual IString loadText(unsigned long id) const;

    // The window's texts. The string form keeps the strings; the id form keeps the ids and
    // loads the strings when the tip shows (an id of 0 gives no text). Either registers the
    // window with the tool tip.
    virtual IFlyOverHelpHandler& setText(IWindow* window, const IString& text,
                                         const IString& longText = IString());
    virtual IFlyOverHelpHandler& setText(IWindow* window, const IResourceId& text,
                                         const IResourceId& longText);
    // Takes the window out of the tool tip and forgets its texts.
    virtual IFlyOverHelpHandler& removeText(IWindow* window);
    virtual IString longText(IWindow* window) const;
    virtual IString text(IWindow* window) const;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    friend struct IFlyOverHelpAccess;

    void construct(IFlyOverToolTip* toolTip, ITextControl* infoArea, unsigned long initialDelay,
                   unsigned long reshowDelay);
    void sendDelay(unsigned long which, unsigned long milliseconds) const;
    void registerWindow(HWND__* window);
    void registerChildren(IWindow& window);
    void enterNative(HWND__* window, unsigned long id);
    void addTool(HWND__* window) const;
    void deleteTool(HWND__* window) const;
    void relay(HWND__* window, unsigned int message, std::uintptr_t wParam,
               std::intptr_t lParam) const;
    void pointerOver(HWND__* window, unsigned int message);
    IBase::Boolean textRequest(tagNMHDR* header, IEvent* event);
    void textsOf(HWND__* tool, IString& tip, IString& longTip) const;
    void showLongText(const IString& text) const;
    void childCreated(HWND__* parent, HWND__* child);

    IFlyOverHelpData* fFlyOverData;
};
