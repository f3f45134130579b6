// The entry field and its shared handler.
#include <windows.h>
#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <detail/ieditreq.hpp>
#include <detail/ilaybits.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/iclasswide.hpp>
#include <detail/iscoped.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/idragarm.hpp"
#include "detail/ishared.hpp"
#include "detail/iwipetxt.hpp"
#include "icoordsy.hpp"
#include "ientryfd.hpp"
#include "ifont.hpp"
#include "ihandler.hpp"
#include "inotifhd.hpp"

namespace {

// The private message by which a field asks the drag source handler, when one is attached, to
// start a drag: wParam = the mouse position.
constexpr unsigned int kBeginDrag = 0xFFDE;
// The library's extended bit for a field that has a margin although WS_BORDER is not set.
constexpr unsigned long kMarginBit = 0x8;
constexpr unsigned long kDisabledReadOnly = 3;
constexpr unsigned long kFirstLimit = 32;

// A field taken over may hold more than the first limit already (a dialog's path field): the
// limit grows to its text, which a smaller one would refuse.
unsigned long limitHolding(unsigned long length)
{
    return length > kFirstLimit ? length : kFirstLimit;
}

} // namespace

struct IEntryFieldData {
    virtual ~IEntryFieldData() = default;
    ovk_native::Brush brush;
    unsigned long limit = 30000;
    ovkdrag::TextDragArm drag;
    // The inner window that holds the text, when it is not the control's own.
    HWND textField = nullptr;
};

const IEntryField::Style IEntryField::_unreadable(ES_PASSWORD);
const IEntryField::Style IEntryField::_readOnly(ES_READONLY);
const IEntryField::Style IEntryField::_leftAlign(0, 0x1);
const IEntryField::Style IEntryField::_centerAlign(ES_CENTER);
const IEntryField::Style IEntryField::_rightAlign(ES_RIGHT);
const IEntryField::Style IEntryField::_autoScroll(ES_AUTOHSCROLL);
const IEntryField::Style IEntryField::_margin(WS_BORDER);
const IEntryField::Style IEntryField::_border3D(0, WS_EX_CLIENTEDGE);
const IEntryField::Style IEntryField::_upperCase(ES_UPPERCASE);
const IEntryField::Style IEntryField::_lowerCase(ES_LOWERCASE);
const IEntryField::Style IEntryField::_autoTab(0);
const IEntryField::Style IEntryField::_command(0);
const IEntryField::Style IEntryField::_anyData(0);
const IEntryField::Style IEntryField::_singleByteData(0);
const IEntryField::Style IEntryField::_doubleByteData(0);
const IEntryField::Style IEntryField::_mixedData(0);
const IEntryField::Style IEntryField::classDefaultStyle(0x10800080, 0x201);

// Passes Enter, Esc and Tab on to the owner, so that the dialog or canvas acts on them and the
// field does not beep, and answers the field's colour requests with its own colours.
class IEntryFieldHandler : public IHandler {
public:
    static IEntryFieldHandler& shared()
    {
        return ovk_app::sharedHandler<IEntryFieldHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        auto* field = dynamic_cast<IEntryField*>(event.dispatchingWindow());
        if (!field)
            return false;
        switch (event.eventId()) {
        case WM_CHAR: {
            const auto key = event.parameter1().asUnsignedLong();
            if (event.handle() != field->handle() ||
                (key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB))
                return false;
            IEntryField::passToOwner(*field, event);
            return true;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            auto* control = dynamic_cast<IEntryField*>(IWindow::windowWithHandle(
                IWindowHandle(static_cast<HWND>(event.parameter2().asPointer())), true));
            if (!control)
                return false;
            event.setResult(ovkshared::answerColorRequest(event, *control, control->fEntryData->brush));
            return true;
        }
        default:
            return false;
        }
    }
};

IEntryField::IEntryField() : fEntryData(new IEntryFieldData) {}

IEntryField::IEntryField(unsigned long id, IWindow* parent, IWindow* owner,
                         const IRectangle& rect, const Style& style)
{
    if (!parent)
        IThrow::argument("parent!=0",
                         IExceptionLocation("ientryfd", "IEntryField::IEntryField(unsigned long,"
                                                        "IWindow*,IWindow*,const IRectangle&,"
                                                        "const Style&)",
                                            325));
    fEntryData = std::make_unique<IEntryFieldData>();
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "Edit", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    IEntryFieldHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    setLimit(kFirstLimit);
}

IEntryField::IEntryField(unsigned long id, IWindow* parent) : fEntryData(new IEntryFieldData)
{
    takeCharge(ovkbutton::childOf(id, parent, "ientryfd",
                                  "IEntryField::IEntryField(unsigned long,IWindow*)"));
    setChangedFlag(false);
    setLimit(limitHolding(textLength()));
}

IEntryField::IEntryField(const IWindowHandle& handle) : fEntryData(new IEntryFieldData)
{
    takeCharge(handle);
    setLimit(limitHolding(textLength()));
}

// A field made elsewhere: the library's extended word learns its border and alignment, and a
// single-line field gets the multi-line bit that lets the centre and right alignments work.
void IEntryField::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    IEntryFieldHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    unsigned long native = style();
    unsigned long extended = extendedStyle() | kMarginBit;
    if (!(native & WS_EX_CLIENTEDGE) && (native & WS_BORDER))
        extended |= WS_EX_CLIENTEDGE;
    if (!(native & (ES_CENTER | ES_RIGHT)))
        extended |= _leftAlign.asExtendedUnsignedLong();
    if (!(native & ES_PASSWORD))
        native |= ES_MULTILINE;
    setStyle(native | WS_CHILD);
    setExtendedStyle(extended);
}

IEntryField::~IEntryField()
{
    try {
        if (isValid())
            IEntryFieldHandler::shared().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
}

IEntryField::Style IEntryField::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IEntryField::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IWindow& IEntryField::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IEntryFieldNotifyHandler::shared(), enable);
}

unsigned long IEntryField::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = ITextControl::convertToGUIStyle(style, extended);
    if (extended) {
        if (style.asUnsignedLong() & WS_BORDER) {
            auto* self = const_cast<IEntryField*>(this);
            self->setExtendedStyle(self->extendedStyle() | kMarginBit);
        }
        return base | (style.asExtendedUnsignedLong() & 0xFF000200);
    }
    unsigned long native = base | (style.asUnsignedLong() & 0x1DFF) | WS_CHILD;
    if (!(native & ES_PASSWORD))
        native |= ES_MULTILINE;
    return native;
}

IWindow& IEntryField::enable(IBase::Boolean enable)
{
    if (enable && fDisabledState == kDisabledReadOnly) {
        fDisabledState = 0;
        enableDataUpdate(true);
    }
    EnableWindow(handle(), enable ? TRUE : FALSE);
    return *this;
}

IWindow& IEntryField::disable()
{
    if (isWriteable()) {
        fDisabledState = kDisabledReadOnly;
        disableDataUpdate();
    }
    // The Tab goes first: a disabled window loses the focus to no one, and the owner's
    // keyboard handler then no longer knows where it was.
    // The Tab character, not the key: the edit control answers the key itself (so the owners
    // are never offered it), while the character goes to the owner, whose keyboard handler
    // moves the focus on.
    if (hasFocus())
        sendEvent(WM_CHAR, VK_TAB, 0);
    // Not through the virtual enable, which would make the field writeable again.
    IWindow::enable(false);
    return *this;
}

IColor IEntryField::foregroundColor() const
{
    return findColor(1, IGUIColor(IColor::entryText));
}

IColor IEntryField::backgroundColor() const
{
    return findColor(3, IGUIColor(IColor::entryBackground));
}

ISize IEntryField::calcMinimumSize() const
{
    const ISize character = characterSize();
    const long width1 = character.width();
    long height = character.height();
    if (!IPlatform::hasNewShell())
        height += 7;
    const unsigned long n = limit();
    long width;
    if (IFont(this).isFixed()) {
        width = static_cast<long>(n) * width1;
    } else {
        const double factor = n <= 2 ? 3.0 : n <= 4 ? 2.5 : n <= 6 ? 2.0 : n <= 10 ? 1.6
                                                                       : n <= 16 ? 1.4 : 1.2;
        width = static_cast<long>(static_cast<double>(n) * width1 * factor);
    }
    if (width > 35 * width1)
        width = 35 * width1;
    if (hasMargin()) {
        width += 3 * GetSystemMetrics(SM_CXBORDER);
        height += 3 * GetSystemMetrics(SM_CYBORDER);
    }
    if ((extendedStyle() & WS_EX_CLIENTEDGE) && IPlatform::hasNewShell()) {
        width += 4;
        height += 4;
    }
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}

ITextControl& IEntryField::setText(const char* text)
{
    const unsigned long most = limit();
    if (text && std::strlen(text) > most) {
        // The cut of a password is a password too.
        const ovkshared::WipedText cut{IString(text, most)};
        return ITextControl::setText(cut.text());
    }
    return ITextControl::setText(text);
}

IString IEntryField::text() const { return windowText(isUnreadable()); }

ITextControl& IEntryField::setText(const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setText(static_cast<const char*>(loaded));
}

IEntryField& IEntryField::enableAutoTab(IBase::Boolean) { return *this; }
IEntryField& IEntryField::disableAutoTab() { return enableAutoTab(false); }
IEntryField& IEntryField::enableInsertMode(IBase::Boolean) { return *this; }
IEntryField& IEntryField::disableInsertMode() { return enableInsertMode(false); }
IEntryField& IEntryField::enableCommand(IBase::Boolean) { return *this; }
IEntryField& IEntryField::disableCommand() { return enableCommand(false); }
IEntryField& IEntryField::enableMixedData(IBase::Boolean) { return *this; }
IEntryField& IEntryField::disableMixedData() { return enableMixedData(false); }
IEntryField& IEntryField::resetInsertMode() { return *this; }
IEntryField& IEntryField::refreshCursor() { return *this; }
IEntryField& IEntryField::enableSingleByteData(IBase::Boolean) { return *this; }
IEntryField& IEntryField::disableSingleByteData() { return enableSingleByteData(false); }

IEntryField& IEntryField::cut(unsigned long)
{
    ovk_app::requireSelection(*this, "ientryfd", "IEntryField::cut(unsigned long)", 958);
    textField().sendEvent(WM_CUT);
    return *this;
}

IEntryField& IEntryField::copy(unsigned long)
{
    ovk_app::requireSelection(*this, "ientryfd", "IEntryField::copy(unsigned long)", 979);
    textField().sendEvent(WM_COPY);
    return *this;
}

IEntryField& IEntryField::paste()
{
    ovk_app::requireClipboardText<IEntryField>("ientryfd", "IEntryField::paste()", 1000);
    textField().sendEvent(WM_PASTE);
    return *this;
}

IEntryField& IEntryField::clear(unsigned long)
{
    ovk_app::requireSelection(*this, "ientryfd", "IEntryField::clear(unsigned long)", 1021);
    if (!isWriteable())
        return *this;
    const IRange selected = selectedRange();
    const auto start = static_cast<std::size_t>(selected.lowerBound());
    const auto blanks = static_cast<std::size_t>(selected.upperBound()) - start + 1;
    // The blanks overlay the copy in place, within its length: no block of it is freed unwiped.
    ovkshared::WipedText result(text());
    result.text().overlayWith(IString(std::string(blanks, ' ').c_str()), start + 1);
    setText(static_cast<const char*>(result.text()));
    return *this;
}

IEntryField& IEntryField::discard()
{
    ovk_app::requireSelection(*this, "ientryfd", "IEntryField::discard()", 1047);
    textField().sendEvent(WM_CLEAR);
    return *this;
}

IEntryField& IEntryField::removeAll()
{
    if (!isEmpty()) {
        enableUpdate(false);
        setText("");
        enableUpdate(true);
    }
    return *this;
}

IEntryField& IEntryField::enableDataUpdate(IBase::Boolean enable)
{
    const bool writeable = isWriteable();
    if (enable && !writeable)
        handle().sendEvent(EM_SETREADONLY, 0);
    else if (!enable && writeable)
        handle().sendEvent(EM_SETREADONLY, 1);
    return *this;
}

IEntryField& IEntryField::disableDataUpdate()
{
    return enableDataUpdate(false);
}

IEntryField& IEntryField::setLimit(unsigned long ulLimit)
{
    if (!(ovkshared::WipedText(text()).text().length() <= ulLimit))
        IThrow::state("text().length() <= ulLimit",
                      IExceptionLocation("ientryfd", "IEntryField::setLimit(unsigned long)", 1340));
    if (ulLimit != limit()) {
        handle().sendEvent(EM_LIMITTEXT, ulLimit);
        fEntryData->limit = ulLimit;
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    }
    return *this;
}

IEntryField& IEntryField::setLimit(const IResourceId& limit)
{
    const IString loaded = limit.resourceLibrary().loadString(limit.id());
    return setLimit(static_cast<unsigned long>(std::strtol(loaded, nullptr, 10)));
}

unsigned long IEntryField::limit() const
{
    return fEntryData->limit;
}

IEntryField& IEntryField::selectRange(const IRange& range)
{
    const auto lower = static_cast<unsigned long>(range.lowerBound());
    const auto upper = static_cast<unsigned long>(range.upperBound());
    const unsigned long end = upper == 0xFFFFFFFEul ? textLength() + 1 : upper + 1;
    textField().sendEvent(EM_SETSEL, lower, end);
    return *this;
}

IEntryField& IEntryField::setCursorPosition(unsigned long position)
{
    textField().sendEvent(EM_SETSEL, position, position);
    return *this;
}

namespace {

// A single-line edit scrolls only to show its caret, at every EM_SETSEL. The caret goes to the
// end and back to the character, which so comes into view from the right, near the left edge;
// then the user's selection is set again with its anchor and caret where they were. The edit
// keeps the new view while the caret lies in it, and otherwise scrolls back just to show it:
// the selection is never the price of the scroll.
void scrollSingleLine(const IWindowHandle& field, unsigned long index)
{
    const IEventData selected = field.sendEvent(EM_GETSEL);
    const unsigned long start = selected.lowNumber();
    const unsigned long end = selected.highNumber();
    // EM_GETSEL answers the two ends in order; a start of -1 collapses the selection onto the
    // caret, which so tells the caret's end from the anchor's.
    field.sendEvent(EM_SETSEL, 0xFFFFFFFFul, 0);
    const unsigned long caret = field.sendEvent(EM_GETSEL).highNumber();
    const unsigned long anchor = caret == start ? end : start;
    const auto length = static_cast<unsigned long>(GetWindowTextLengthA(field));
    field.sendEvent(EM_SETSEL, length, length);
    field.sendEvent(EM_SETSEL, index, index);
    field.sendEvent(EM_SETSEL, anchor, caret);
}

} // namespace

IEntryField& IEntryField::setLeftIndex(unsigned long index)
{
    const IWindowHandle field = textField();
    // All the way to the left first, then the requested number of characters to the right. A
    // multi-line edit answers TRUE; a single-line one (a password field, a combo box's text
    // field, a single-line edit taken over whatever its style word now says) ignores the
    // message and answers FALSE.
    if (field.sendEvent(EM_LINESCROLL, 0xFFFF0218ul, 0).asLong() != 0) {
        field.sendEvent(EM_LINESCROLL, index, 0);
        return *this;
    }
    scrollSingleLine(field, index);
    return *this;
}

IEntryField& IEntryField::setChangedFlag(IBase::Boolean changed)
{
    textField().sendEvent(EM_SETMODIFY, changed ? 1 : 0);
    return *this;
}

IEntryField& IEntryField::resetChangedFlag()
{
    return setChangedFlag(false);
}

IEntryField& IEntryField::setAlignment(Alignment alignment)
{
    static const unsigned long bits[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    const unsigned long current = style();
    const unsigned long wanted = (current & ~static_cast<unsigned long>(ES_CENTER | ES_RIGHT)) |
                                 bits[alignment == center ? 1 : alignment == right ? 2 : 0];
    const unsigned long leftBit = _leftAlign.asExtendedUnsignedLong();
    setExtendedStyle(alignment == left ? (extendedStyle() | leftBit)
                                       : (extendedStyle() & ~leftBit));
    if (wanted != current) {
        setStyleKeepingSelection(wanted);
        refresh();
    }
    return *this;
}

namespace {

// The selection's start and end (one past the last) from EM_GETSEL's two words.
void selection(const IWindowHandle& field, unsigned long& start, unsigned long& end)
{
    const IEventData answer = field.sendEvent(EM_GETSEL);
    start = answer.lowNumber();
    end = answer.highNumber();
}

} // namespace

unsigned long IEntryField::cursorPosition() const
{
    return textField().sendEvent(EM_GETSEL).highNumber();
}

IRange IEntryField::selectedRange() const
{
    ovk_app::requireSelection(*this, "ientryfd", "IEntryField::selectedRange() const", 1477);
    unsigned long start = 0;
    unsigned long end = 0;
    selection(textField(), start, end);
    return IRange(static_cast<IRange::Bound>(start), static_cast<IRange::Bound>(end - 1));
}

unsigned long IEntryField::selectedTextLength() const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(textField(), start, end);
    return end > start ? end - start : 0;
}

IBase::Boolean IEntryField::hasSelectedText() const
{
    return selectedTextLength() != 0;
}

IString IEntryField::selectedText() const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(textField(), start, end);
    if (end <= start)
        return IString();
    const ovkshared::WipedText whole(text());
    return whole.text().subString(start + 1, end - start);
}

IBase::Boolean IEntryField::isEmpty() const
{
    return textLength() == 0;
}

unsigned long IEntryField::leftIndex() const
{
    return static_cast<unsigned long>(textField().sendEvent(EM_GETFIRSTVISIBLELINE).asUnsignedLong());
}

IBase::Boolean IEntryField::isChanged() const
{
    return textField().sendEvent(EM_GETMODIFY).asLong() != 0;
}

IBase::Boolean IEntryField::isWriteable() const
{
    return !(style() & ES_READONLY);
}

IEntryField::Alignment IEntryField::alignment() const
{
    const unsigned long current = style();
    if (current & ES_RIGHT)
        return right;
    if (current & ES_CENTER)
        return center;
    return left;
}

IBase::Boolean IEntryField::isAutoScroll() const { return (style() & ES_AUTOHSCROLL) != 0; }
IBase::Boolean IEntryField::isUpperCase() const { return (style() & ES_UPPERCASE) != 0; }
IBase::Boolean IEntryField::isLowerCase() const { return (style() & ES_LOWERCASE) != 0; }
IBase::Boolean IEntryField::isUnreadable() const { return (style() & ES_PASSWORD) != 0; }
IBase::Boolean IEntryField::isAutoTab() const { return (style() & _autoTab.asUnsignedLong()) != 0; }
IBase::Boolean IEntryField::isCommand() const { return (style() & _command.asUnsignedLong()) != 0; }
IBase::Boolean IEntryField::isInsertMode() const { return true; }
IBase::Boolean IEntryField::hasMixedData() const { return false; }

IBase::Boolean IEntryField::hasMargin() const
{
    return (style() & WS_BORDER) || (extendedStyle() & kMarginBit);
}

IEntryField& IEntryField::setStyleKeepingSelection(unsigned long newStyle)
{
    const IEventData kept = textField().sendEvent(EM_GETSEL);
    setStyle(newStyle);
    textField().sendEvent(EM_SETSEL, kept.lowNumber(), kept.highNumber());
    return *this;
}

void IEntryField::setTextField(const IWindowHandle& field)
{
    fEntryData->textField = field;
}

IWindowHandle IEntryField::textField() const
{
    const HWND inner = fEntryData->textField;
    return inner && IsWindow(inner) ? IWindowHandle(inner) : handle();
}

void IEntryField::passToOwner(const IWindow& control, const IEvent& event)
{
    ovkshared::passToOwner(control, event);
}

// Whether a point of the field (native coordinates) lies on the selected text.
bool IEntryField::onSelectedText(const IPoint& point) const
{
    if (!hasSelectedText())
        return false;
    const IRange selected = selectedRange();
    if (IPlatform::hasNewShell()) {
        const IEventData answer = handle().sendEvent(
            EM_CHARFROMPOS, 0, MAKELPARAM(point.x(), point.y()));
        const long character = answer.lowNumber();
        return character >= selected.lowerBound() && character <= selected.upperBound();
    }
    const HWND window = handle();
    const ovk_native::WindowDC windowContext(window);
    if (!windowContext)
        return false;
    const HDC context = windowContext.get();
    // Measured from copies of the text, each wiped on the way out.
    const ovkshared::WipedText wholeText(text());
    const auto start = static_cast<std::size_t>(selected.lowerBound());
    const ovkshared::WipedText beforeText(wholeText.text().subString(1, start));
    const ovkshared::WipedText chosenText(selectedText());
    const IString& before = beforeText.text();
    const IString& chosen = chosenText.text();
    SIZE beforeSize{0, 0};
    SIZE chosenSize{0, 0};
    if (IPlatform::isPlatformVariant()) {
        GetTextExtentPointA(context, before, static_cast<int>(before.length()), &beforeSize);
        GetTextExtentPointA(context, chosen, static_cast<int>(chosen.length()), &chosenSize);
    } else {
        GetTextExtentPoint32A(context, before, static_cast<int>(before.length()), &beforeSize);
        GetTextExtentPoint32A(context, chosen, static_cast<int>(chosen.length()), &chosenSize);
    }
    RECT client{};
    GetClientRect(window, &client);
    client.left = beforeSize.cx;
    client.right = beforeSize.cx + chosenSize.cx;
    return PtInRect(&client, POINT{point.x(), point.y()}) != 0;
}

void IEntryField::beginDrag(const IPoint& point)
{
    handle().sendEvent(kBeginDrag, MAKELONG(point.x(), point.y()), 0);
    selectRange(IRange(static_cast<IRange::Bound>(0xFFFFFFFF), 0));
}

IBase::Boolean IEntryField::isDragStarting(IEvent& event)
{
    ovkdrag::trackTextDrag(
        event, handle(), fEntryData->drag, [this](const IPoint& point) { return onSelectedText(point); },
        [this](const IPoint& point) { beginDrag(point); });
    return false;
}
