// IInfoArea: a line of help below a frame's client that follows the menu: the string of the
// menu item under the cursor, and a default text while no menu is open.
#pragma once

#include <memory>

#include <istring.hpp>

#include <idefs.hpp>
#include <imodule.hpp>
#include <ireslib.hpp>
#include <istattxt.hpp>

#include "imenuhdr.hpp"

class IFrameWindow;

// Both the static text that shows the line and the menu handler that follows the frame's
// menus. A menu item's hint is a string resource (a STRINGTABLE entry) whose identifier is the
// item's identifier plus the string offset (0 unless set), in resourceLibrary().
class OVKWIN_API IInfoArea : public IStaticText, public IMenuHandler {
public:
    static const char* const inactiveTextId;
    static const char* const disabledTextId;
    static const char* const missingTextId;
    static const char* const resourceLibraryId;

    // Docks below the frame's client with a thin separator, sized by its minimum size, and
    // follows the frame's menus. Strings come from the application's user resource library.
    IInfoArea(unsigned long id, IFrameWindow* frame,
              const Style& style = visible | _left | _top | _fillBackground);
    // Strings come from the module's resources.
    IInfoArea(unsigned long id, IFrameWindow* frame, const IModuleHandle& module,
              const Style& style = visible | _left | _top | _fillBackground);
    ~IInfoArea() override;

    using IStaticText::asDebugInfo;
    using IStaticText::asString;
    using IStaticText::disable;
    using IStaticText::enable;

    // A single line is as wide as the text; more lines share that width among them.
    ISize calcMinimumSize() const override;

    // The virtual operations keep the order that derived classes rely on.
    virtual IResourceLibrary& resourceLibrary() const;
    // Null names the application's user resource library.
    virtual IInfoArea& setResourceLibrary(const IModuleHandle& module);
    virtual IInfoArea& setResourceLibrary(const char* name);
    virtual long stringOffset() const;
    virtual IInfoArea& setStringOffset(long offset);
    virtual IString defaultText() const;
    virtual IString disabledText() const;
    virtual IString missingText() const;
    virtual IInfoArea& setDefaultText(const IResourceId& text);
    virtual IInfoArea& setDefaultText(const char* text);
    virtual IInfoArea& setDisabledText(const IResourceId& text);
    virtual IInfoArea& setDisabledText(const char* text);
    virtual IInfoArea& setMissingText(const IResourceId& text);
    virtual IInfoArea& setMissingText(const char* text);
    virtual unsigned long lineCount() const;
    // 0 fails "lines != 0".
    virtual IInfoArea& setLineCount(unsigned long lines);
    // A null frame fails "frame != 0".
    virtual IInfoArea& handleEventsFor(IFrameWindow* frame);
    virtual IInfoArea& stopHandlingEventsFor(IFrameWindow* frame);
    // The string of a menu item; empty when it has none.
    virtual IString itemText(unsigned long itemId) const;

    // The area serves frames only, through the frame forms: these always fail.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    IBase::Boolean menuSelected(IMenuEvent& event) override;
    IBase::Boolean menuEnded(IMenuEvent& event) override;

private:
    enum Mode : unsigned char { initial, missingMode, defaultMode, disabledMode };

    void initialize(IFrameWindow* frame);
    void display(const IString& text, Mode mode);
    IInfoArea& changeText(IString& stored, const IString& text, Mode mode, const char* id);

    Mode fMode = initial;
    std::unique_ptr<IResourceLibrary> fLibrary;
    long fStringOffset = 0;
    unsigned long fLineCount = 1;
    IString fDefaultText, fDisabledText, fMissingText;
    unsigned long fFlags = 1;
    IFrameWindow* fFrame = nullptr;
};
