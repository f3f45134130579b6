// The information area.
#include <windows.h>

#include <detail/ilaybits.hpp>
#include <iassert.hpp>
#include <iexcept.hpp>

#include <iapp.hpp>
#include <idll.hpp>

#include "iframe.hpp"
#include "iinfoa.hpp"
#include "imenuitm.hpp"

namespace {

constexpr char kFile[] = "iinfoa";
// Asks the area whether it shows something other than its default text.
constexpr unsigned long kShowingQuery = 0xFFEF;

} // namespace

const char* const IInfoArea::inactiveTextId = "IInfoArea::inactiveText";
const char* const IInfoArea::disabledTextId = "IInfoArea::disabledText";
const char* const IInfoArea::missingTextId = "IInfoArea::missingText";
const char* const IInfoArea::resourceLibraryId = "IInfoArea::resourceLibrary";

IInfoArea::IInfoArea(unsigned long id, IFrameWindow* frame, const Style& style)
    : IStaticText(id, frame, frame, IRectangle(), style)
{
    initialize(frame);
}

IInfoArea::IInfoArea(unsigned long id, IFrameWindow* frame, const IModuleHandle& module,
                     const Style& style)
    : IStaticText(id, frame, frame, IRectangle(), style)
{
    setResourceLibrary(module);
    initialize(frame);
}

void IInfoArea::initialize(IFrameWindow* frame)
{
    IARGUMENT_CHECK(frame != 0, kFile, "IInfoArea::IInfoArea(unsigned long,IFrameWindow*)");
    frame->addExtension(this, IFrameWindow::belowClient, IFrameWindow::thinSeparator);
    handleEventsFor(frame);
}

IInfoArea::~IInfoArea()
{
    try {
        if (fFrame && isValid() && fFrame->isValid() && fFrame->isAnExtension(this))
            fFrame->removeExtension(this, false);
        if (fFrame)
            stopHandlingEventsFor(fFrame);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
}

ISize IInfoArea::calcMinimumSize() const
{
    const ISize line = IStaticText::calcMinimumSize();
    return ISize(line.width() * 2 / static_cast<long>(fLineCount + 1),
                 line.height() * static_cast<long>(fLineCount));
}

// ---------------------------------------------------------------------------------------------
// Resources and texts

IResourceLibrary& IInfoArea::resourceLibrary() const
{
    return fLibrary ? *fLibrary : IApplication::current().userResourceLibrary();
}

IInfoArea& IInfoArea::setResourceLibrary(const IModuleHandle& module)
{
    fLibrary.reset(module ? new IDynamicLinkLibrary(module) : new IResourceLibrary());
    notifyObservers(INotificationEvent(resourceLibraryId, *this));
    return *this;
}

IInfoArea& IInfoArea::setResourceLibrary(const char* name)
{
    fLibrary.reset(name ? new IDynamicLinkLibrary(name) : new IResourceLibrary());
    notifyObservers(INotificationEvent(resourceLibraryId, *this));
    return *this;
}

long IInfoArea::stringOffset() const
{
    return fStringOffset;
}

IInfoArea& IInfoArea::setStringOffset(long offset)
{
    fStringOffset = offset;
    return *this;
}

IString IInfoArea::defaultText() const { return fDefaultText; }
IString IInfoArea::disabledText() const { return fDisabledText; }
IString IInfoArea::missingText() const { return fMissingText; }

IInfoArea& IInfoArea::changeText(IString& stored, const IString& text, Mode mode, const char* id)
{
    if (stored == text)
        return *this;
    stored = text;
    display(stored, mode);
    notifyObservers(INotificationEvent(id, *this));
    return *this;
}

IInfoArea& IInfoArea::setDefaultText(const char* text)
{
    return changeText(fDefaultText, text ? text : "", defaultMode, inactiveTextId);
}

IInfoArea& IInfoArea::setDefaultText(const IResourceId& text)
{
    return setDefaultText(resourceLibrary().loadString(text.id()));
}

IInfoArea& IInfoArea::setDisabledText(const char* text)
{
    return changeText(fDisabledText, text ? text : "", disabledMode, disabledTextId);
}

IInfoArea& IInfoArea::setDisabledText(const IResourceId& text)
{
    return setDisabledText(resourceLibrary().loadString(text.id()));
}

IInfoArea& IInfoArea::setMissingText(const char* text)
{
    return changeText(fMissingText, text ? text : "", missingMode, missingTextId);
}

IInfoArea& IInfoArea::setMissingText(const IResourceId& text)
{
    return setMissingText(resourceLibrary().loadString(text.id()));
}

IString IInfoArea::itemText(unsigned long itemId) const
{
    return resourceLibrary().tryToLoadString(itemId + static_cast<unsigned long>(fStringOffset));
}

// The text is shown at once: the user is moving through a menu, which holds the message loop.
void IInfoArea::display(const IString& text, Mode mode)
{
    fMode = mode;
    fFlags = mode == defaultMode ? 0 : 1;
    setText(text);
    if (isValid())
        UpdateWindow(IStaticText::handle());
}

// ---------------------------------------------------------------------------------------------
// Lines

unsigned long IInfoArea::lineCount() const
{
    return fLineCount;
}

IInfoArea& IInfoArea::setLineCount(unsigned long lines)
{
    IARGUMENT_CHECK(lines != 0, kFile, "IInfoArea::setLineCount(unsigned long)");
    if (lines == fLineCount)
        return *this;
    fLineCount = lines;
    if (lines > 1)
        setAlignment(topLeftWrapped);
    else if (alignment() == topLeftWrapped)
        setAlignment(topLeft);
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// The menu handler

IInfoArea& IInfoArea::handleEventsFor(IFrameWindow* frame)
{
    IARGUMENT_CHECK(frame != 0, kFile, "IInfoArea::handleEventsFor(IFrameWindow*)");
    IMenuHandler::handleEventsFor(frame);
    fFrame = frame;
    return *this;
}

IInfoArea& IInfoArea::stopHandlingEventsFor(IFrameWindow* frame)
{
    IARGUMENT_CHECK(frame != 0, kFile, "IInfoArea::stopHandlingEventsFor(IFrameWindow*)");
    IMenuHandler::stopHandlingEventsFor(frame);
    if (frame == fFrame)
        fFrame = nullptr;
    return *this;
}

IHandler& IInfoArea::handleEventsFor(IWindow*)
{
    IThrow::message(2, IEXCEPTION_LOCATION(kFile, "IInfoArea::handleEventsFor(IWindow*)"));
}

IHandler& IInfoArea::stopHandlingEventsFor(IWindow*)
{
    IThrow::message(2, IEXCEPTION_LOCATION(kFile, "IInfoArea::stopHandlingEventsFor(IWindow*)"));
}

IBase::Boolean IInfoArea::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == WM_MENUSELECT && event.parameter1().highNumber() == 0xFFFF) {
        display(fDefaultText, defaultMode);
    } else if (event.eventId() == kShowingQuery) {
        event.setResult(fFlags);
        return true;
    }
    return IMenuHandler::dispatchHandlerEvent(event);
}

// Other menu handlers of the frame see the selection as well.
IBase::Boolean IInfoArea::menuSelected(IMenuEvent& event)
{
    if (fDisabledText.length() != 0 &&
        (event.menuItem().attribute() & IMenuItem::_disabled).asUnsignedLong()) {
        display(fDisabledText, disabledMode);
        return false;
    }
    const IString text = itemText(event.menuItemId());
    if (text.length() == 0)
        display(fMissingText, missingMode);
    else
        display(text, initial);
    return false;
}

IBase::Boolean IInfoArea::menuEnded(IMenuEvent&)
{
    return false;
}
