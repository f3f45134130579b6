// The multi-line edit: construction, styles, its shared handler, text and limit, selection and
// the clipboard, the formatting rectangle, tab stops and the start of a drag.
#include <windows.h>
#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <detail/iclasswide.hpp>
#include <detail/ieditreq.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/idragarm.hpp"
#include "detail/imledata.hpp"
#include "detail/ishared.hpp"
#include "ifont.hpp"
#include "ihandler.hpp"
#include "imle.hpp"
#include "inotifhd.hpp"
#include "iownmhdr.hpp"

namespace {

// The private message by which a control asks the drag source handler, when one is attached,
// to start a drag: wParam = the mouse position.
constexpr unsigned int kBeginDrag = 0xFFDE;
// The library's extended bit for an edit that has a margin although WS_BORDER is not set.
constexpr unsigned long kMarginBit = 0x8;
constexpr char kFile[] = "imle";
// The text a minimum size leaves room for, as a list box's does: four lines of 25 average
// characters.
constexpr long kMinimumLines = 4;
constexpr long kMinimumCharacters = 25;

} // namespace

const IMultiLineEdit::Style IMultiLineEdit::_wordWrap(0, 0x1);
const IMultiLineEdit::Style IMultiLineEdit::_border3D(0, WS_EX_CLIENTEDGE);
const IMultiLineEdit::Style IMultiLineEdit::_margin(WS_BORDER);
const IMultiLineEdit::Style IMultiLineEdit::_verticalScroll(WS_VSCROLL);
const IMultiLineEdit::Style IMultiLineEdit::_horizontalScroll(WS_HSCROLL);
const IMultiLineEdit::Style IMultiLineEdit::_readOnly(ES_READONLY);
const IMultiLineEdit::Style IMultiLineEdit::_ignoreTab(0, 0x10);
const IMultiLineEdit::Style IMultiLineEdit::classDefaultStyle(0x10A00000, 0x201);

// Answers the edit's colour requests with its own colours, and gives the form the keys that
// are no text. Enter is text in a multi-line edit, and so is Tab unless the edit was made with
// _ignoreTab; Esc never is (the native edit drops it), so it goes to the owner as from an entry
// field, and the form's keyboard handling cancels. The characters go on, not the key presses:
// the native edit swallows its key presses, so the owner would hear of none of them.
class IMultiLineEditHandler : public IHandler {
public:
    static IMultiLineEditHandler& shared()
    {
        return ovk_app::sharedHandler<IMultiLineEditHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        const unsigned long id = event.eventId();
        if (id == WM_CHAR)
            return keyForOwner(event);
        if (id != WM_CTLCOLOREDIT && id != WM_CTLCOLORSTATIC)
            return false;
        auto* edit = dynamic_cast<IMultiLineEdit*>(IWindow::windowWithHandle(
            IWindowHandle(static_cast<HWND>(event.parameter2().asPointer())), true));
        if (!edit)
            return false;
        event.setResult(ovkshared::answerColorRequest(event, *edit, edit->fEditData->brush));
        return true;
    }

private:
    static IBase::Boolean keyForOwner(IEvent& event)
    {
        auto* edit = dynamic_cast<IMultiLineEdit*>(event.dispatchingWindow());
        if (!edit || event.handle() != edit->handle())
            return false;
        const unsigned long key = event.parameter1().asUnsignedLong();
        const bool tabMoves =
            (edit->extendedStyle() & IMultiLineEdit::_ignoreTab.asExtendedUnsignedLong()) != 0;
        if (key != VK_ESCAPE && !(key == VK_TAB && tabMoves))
            return false;
        ovkshared::passToOwner(*edit, event);
        return true;
    }
};

IMultiLineEdit::IMultiLineEdit(unsigned long id, IWindow* parent, IWindow* owner,
                               const IRectangle& rect, const Style& style)
{
    if (!parent)
        IThrow::argument("pwndParent!=0",
                         IExceptionLocation(kFile, "IMultiLineEdit::IMultiLineEdit(unsigned long,"
                                                   "IWindow*,IWindow*,const IRectangle&,"
                                                   "const Style&)",
                                            305));
    fEditData = std::make_unique<IMultiLineEditData>();
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "Edit", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    startHandlingEventsFor(handle);
    IMultiLineEditHandler::shared().handleEventsFor(this);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
}

IMultiLineEdit::IMultiLineEdit(unsigned long id, IWindow* parent)
    : fEditData(new IMultiLineEditData)
{
    takeCharge(ovkbutton::childOf(id, parent, kFile,
                                  "IMultiLineEdit::IMultiLineEdit(unsigned long,IWindow*)"));
}

IMultiLineEdit::IMultiLineEdit(const IWindowHandle& handle) : fEditData(new IMultiLineEditData)
{
    takeCharge(handle);
}

// An edit made elsewhere: the library's extended word learns its border and its wrapping.
void IMultiLineEdit::takeCharge(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    startHandlingEventsFor(handle);
    IMultiLineEditHandler::shared().handleEventsFor(this);
    IOwnerMouseHandler::defaultHandler()->handleEventsFor(this);
    const unsigned long native = style();
    unsigned long extended = extendedStyle() | kMarginBit;
    if (!(native & WS_EX_CLIENTEDGE) && (native & WS_BORDER))
        extended |= WS_EX_CLIENTEDGE;
    if (!(native & ES_AUTOHSCROLL))
        extended |= _wordWrap.asExtendedUnsignedLong();
    setExtendedStyle(extended);
}

IMultiLineEdit::~IMultiLineEdit()
{
    try {
        if (isValid()) {
            IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(this);
            IMultiLineEditHandler::shared().stopHandlingEventsFor(this);
        }
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
}

IMultiLineEdit::Style IMultiLineEdit::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IMultiLineEdit::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IWindow& IMultiLineEdit::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IMultiLineEditNotifyHandler::shared(), enable);
}

unsigned long IMultiLineEdit::convertToGUIStyle(const IBitFlag& style,
                                                IBase::Boolean extended) const
{
    const unsigned long base = ITextControl::convertToGUIStyle(style, extended);
    const bool border = (style.asUnsignedLong() & WS_BORDER) != 0;
    if (extended) {
        unsigned long bits = base | (style.asExtendedUnsignedLong() & 0xFF000200);
        if (border) {
            auto* self = const_cast<IMultiLineEdit*>(this);
            self->setExtendedStyle(self->extendedStyle() | kMarginBit);
        } else {
            // A client edge without a border looks like a field without a frame.
            bits &= ~static_cast<unsigned long>(WS_EX_CLIENTEDGE);
        }
        return bits;
    }
    unsigned long native = base | (style.asUnsignedLong() & 0x1DFF) | WS_CHILD | ES_MULTILINE |
                           ES_AUTOVSCROLL;
    if (!(style.asExtendedUnsignedLong() & _wordWrap.asExtendedUnsignedLong()))
        native |= ES_AUTOHSCROLL;
    return native;
}

IWindow& IMultiLineEdit::enableUpdate(IBase::Boolean enable)
{
    return ITextControl::enableUpdate(enable);
}

IWindow& IMultiLineEdit::disableUpdate()
{
    return enableUpdate(false);
}

IColor IMultiLineEdit::foregroundColor() const
{
    return findColor(1, IGUIColor(isWriteable() ? IColor::entryText : IColor::fieldText));
}

IColor IMultiLineEdit::backgroundColor() const
{
    return findColor(3, IGUIColor(IColor::entryBackground));
}

// Measured from the font, never from the window's size: a layout that grew the edit would
// otherwise find its own growth as the minimum the next time it asks (after a font change), and
// the form could no longer shrink. The borders and scroll bars are the style's.
ISize IMultiLineEdit::calcMinimumSize() const
{
    const ISize character = characterSize();
    const HWND edit = handle();
    const DWORD margins = static_cast<DWORD>(SendMessageA(edit, EM_GETMARGINS, 0, 0));
    RECT bounds = {0, 0,
                   kMinimumCharacters * character.width() + LOWORD(margins) + HIWORD(margins),
                   kMinimumLines * character.height()};
    const LONG_PTR style = GetWindowLongPtrA(edit, GWL_STYLE);
    AdjustWindowRectEx(&bounds, static_cast<DWORD>(style), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(edit, GWL_EXSTYLE)));
    long width = bounds.right - bounds.left;
    long height = bounds.bottom - bounds.top;
    if (style & WS_VSCROLL)
        width += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        height += GetSystemMetrics(SM_CYHSCROLL);
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}

ITextControl& IMultiLineEdit::setText(const char* text)
{
    return setText(text, 0);
}

ITextControl& IMultiLineEdit::setText(const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setText(static_cast<const char*>(loaded), 0);
}

IString IMultiLineEdit::text() const
{
    return ITextControl::text();
}

unsigned long IMultiLineEdit::textLength() const
{
    return ITextControl::textLength();
}

IMultiLineEdit& IMultiLineEdit::setText(const char* text, unsigned long length)
{
    if (length == 0 && text)
        length = static_cast<unsigned long>(std::strlen(text));
    if (length > fLimit)
        IThrow::message(OVK_MSG_TEXT_TOO_LONG,
                        IExceptionLocation(kFile, "IMultiLineEdit::setText(const char*,unsigned long)",
                                           723));
    std::string wanted(length, ' ');
    if (text) {
        // A shorter text is padded with blanks to the length asked for.
        const std::size_t given = strnlen(text, length);
        wanted.replace(0, given, text, given);
    }
    ITextControl::setText(wanted.c_str());
    return *this;
}

IMultiLineEdit& IMultiLineEdit::setChangedFlag(IBase::Boolean changed)
{
    handle().sendEvent(EM_SETMODIFY, changed ? 1 : 0);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::resetChangedFlag()
{
    return setChangedFlag(false);
}

IMultiLineEdit& IMultiLineEdit::enableDataUpdate(IBase::Boolean enable)
{
    const bool writeable = isWriteable();
    if (enable && !writeable)
        handle().sendEvent(EM_SETREADONLY, 0);
    else if (!enable && writeable)
        handle().sendEvent(EM_SETREADONLY, 1);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::disableDataUpdate()
{
    return enableDataUpdate(false);
}

IMultiLineEdit& IMultiLineEdit::setLimit(unsigned long lNewLimit)
{
    if (!(text().length() <= lNewLimit))
        IThrow::state("text().length() <= lNewLimit",
                      IExceptionLocation(kFile, "IMultiLineEdit::setLimit(unsigned long)", 1230));
    // The program's choice holds even when it is the limit already: an import leaves a chosen
    // limit alone, whatever its value.
    fLimitSet = 1;
    if (lNewLimit != fLimit) {
        handle().sendEvent(EM_LIMITTEXT, lNewLimit);
        fLimit = lNewLimit;
    }
    return *this;
}

unsigned long IMultiLineEdit::limit() const
{
    return fLimit;
}

// ---------------------------------------------------------------------------------------------
// Selection and the clipboard

// The pointer form of EM_GETSEL: the packed answer has only 16 bits for each position, and a
// multi-line edit can hold far more.
void IMultiLineEdit::selection(unsigned long& start, unsigned long& end) const
{
    DWORD first = 0;
    DWORD last = 0;
    SendMessageA(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    start = first;
    end = last;
}

unsigned long IMultiLineEdit::cursorPosition() const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(start, end);
    return end;
}

IMultiLineEdit& IMultiLineEdit::setCursorPosition(unsigned long position)
{
    handle().sendEvent(EM_SETSEL, position, position);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::selectRange(const IRange& range)
{
    if (range.lowerBound() == -1) {
        handle().sendEvent(EM_SETSEL, static_cast<unsigned long>(-1), 0);
        return *this;
    }
    const auto bound = [this](IRange::Bound value) -> unsigned long {
        if (static_cast<std::uint32_t>(value) == 0xFFFFFFFEu)
            return textLength() + 1;
        return value < 0 ? 0 : static_cast<unsigned long>(value);
    };
    const unsigned long lower = bound(range.lowerBound());
    const unsigned long upper = bound(range.upperBound());
    if (upper < lower)
        handle().sendEvent(EM_SETSEL, lower + 1, upper);
    else
        handle().sendEvent(EM_SETSEL, lower, upper + 1);
    return *this;
}

IRange IMultiLineEdit::selectedRange() const
{
    ovk_app::requireSelection(*this, kFile, "IMultiLineEdit::selectedRange() const", 1343);
    unsigned long start = 0;
    unsigned long end = 0;
    selection(start, end);
    return IRange(static_cast<IRange::Bound>(start), static_cast<IRange::Bound>(end - 1));
}

unsigned long IMultiLineEdit::selectedTextLength() const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(start, end);
    return end > start ? end - start : 0;
}

IBase::Boolean IMultiLineEdit::hasSelectedText() const
{
    return selectedTextLength() != 0;
}

IString IMultiLineEdit::selectedText() const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(start, end);
    if (end <= start)
        return IString();
    return text().subString(start + 1, end - start);
}

IMultiLineEdit& IMultiLineEdit::cut(unsigned long)
{
    ovk_app::requireSelection(*this, kFile, "IMultiLineEdit::cut(unsigned long)", 1439);
    handle().sendEvent(WM_CUT);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::copy(unsigned long)
{
    ovk_app::requireSelection(*this, kFile, "IMultiLineEdit::copy(unsigned long)", 1460);
    handle().sendEvent(WM_COPY);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::paste()
{
    ovk_app::requireClipboardText<IMultiLineEdit>(kFile, "IMultiLineEdit::paste()", 1481);
    handle().sendEvent(WM_PASTE);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::clear(unsigned long)
{
    ovk_app::requireSelection(*this, kFile, "IMultiLineEdit::clear(unsigned long)", 1505);
    const std::string blanks(selectedTextLength(), ' ');
    SendMessageA(handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(blanks.c_str()));
    return *this;
}

IMultiLineEdit& IMultiLineEdit::discard()
{
    ovk_app::requireSelection(*this, kFile, "IMultiLineEdit::discard()", 1553);
    handle().sendEvent(WM_CLEAR);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::undo()
{
    handle().sendEvent(EM_UNDO);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::removeAll()
{
    setText("", 0);
    return *this;
}

IBase::Boolean IMultiLineEdit::isChanged() const
{
    return handle().sendEvent(EM_GETMODIFY).asLong() != 0;
}

IBase::Boolean IMultiLineEdit::isWriteable() const
{
    return !(style() & ES_READONLY);
}

IBase::Boolean IMultiLineEdit::isUndoable() const
{
    return handle().sendEvent(EM_CANUNDO).asLong() != 0;
}

IBase::Boolean IMultiLineEdit::isWordWrap() const
{
    return (extendedStyle() & _wordWrap.asExtendedUnsignedLong()) != 0;
}

IBase::Boolean IMultiLineEdit::hasMargin() const
{
    return (style() & WS_BORDER) || (extendedStyle() & kMarginBit);
}

IMultiLineEdit& IMultiLineEdit::enableWordWrap(IBase::Boolean)
{
    return *this;
}

IMultiLineEdit& IMultiLineEdit::disableWordWrap()
{
    return enableWordWrap(false);
}

// ---------------------------------------------------------------------------------------------
// The formatting rectangle and tab stops

namespace {

RECT formattingRect(const IWindow& edit)
{
    RECT rectangle{};
    SendMessageA(edit.handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rectangle));
    return rectangle;
}

void setFormattingRect(const IWindow& edit, const RECT& rectangle)
{
    SendMessageA(edit.handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rectangle));
}

} // namespace

IMultiLineEdit& IMultiLineEdit::resetViewRect()
{
    RECT client{};
    GetClientRect(handle(), &client);
    setFormattingRect(*this, client);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::setViewSize(const ISize& size)
{
    RECT client{};
    GetClientRect(handle(), &client);
    client.right = client.left + size.width();
    client.bottom = client.top + size.height();
    setFormattingRect(*this, client);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::setViewWidth(unsigned long width)
{
    RECT rectangle = formattingRect(*this);
    if (hasMargin()) {
        rectangle.left -= GetSystemMetrics(SM_CXBORDER);
        rectangle.top -= GetSystemMetrics(SM_CYBORDER);
        rectangle.bottom += GetSystemMetrics(SM_CYBORDER);
    }
    rectangle.right = rectangle.left + static_cast<LONG>(width);
    setFormattingRect(*this, rectangle);
    return *this;
}

IMultiLineEdit& IMultiLineEdit::setViewHeight(unsigned long height)
{
    RECT rectangle = formattingRect(*this);
    if (hasMargin()) {
        rectangle.left -= GetSystemMetrics(SM_CXBORDER);
        rectangle.right += GetSystemMetrics(SM_CXBORDER);
        rectangle.top -= GetSystemMetrics(SM_CYBORDER);
    }
    rectangle.bottom = rectangle.top + static_cast<LONG>(height);
    setFormattingRect(*this, rectangle);
    return *this;
}

unsigned long IMultiLineEdit::viewWidth() const
{
    const RECT rectangle = formattingRect(*this);
    long width = rectangle.right - rectangle.left;
    if (hasMargin())
        width += 2 * GetSystemMetrics(SM_CXBORDER);
    return width > 0 ? static_cast<unsigned long>(width) : 0;
}

unsigned long IMultiLineEdit::viewHeight() const
{
    const RECT rectangle = formattingRect(*this);
    long height = rectangle.bottom - rectangle.top;
    if (hasMargin())
        height += 2 * GetSystemMetrics(SM_CYBORDER);
    return height > 0 ? static_cast<unsigned long>(height) : 0;
}

unsigned long IMultiLineEdit::visibleLines() const
{
    const unsigned long height = viewHeight();
    const unsigned long character = IFont(this).maxCharHeight();
    return height && character ? height / character : 0;
}

IMultiLineEdit& IMultiLineEdit::setTab(unsigned long pixels)
{
    // Tab stops are given in dialog units: four to the average character width.
    const unsigned long base = LOWORD(GetDialogBaseUnits());
    int stop = base ? static_cast<int>((pixels * 4) / base) : 0;
    if (!SendMessageA(handle(), EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)))
        IThrow::systemError("MLM_SETTABSTOP", GetLastError(),
                            IExceptionLocation(kFile, "IMultiLineEdit::setTab(unsigned long)",
                                               1899));
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Drag start

// Whether a point of the edit (native coordinates) lies on the selected text.
bool IMultiLineEdit::onSelectedText(const IPoint& point) const
{
    unsigned long start = 0;
    unsigned long end = 0;
    selection(start, end);
    if (end <= start)
        return false;
    if (IPlatform::hasNewShell()) {
        const IEventData answer =
            handle().sendEvent(EM_CHARFROMPOS, 0, MAKELPARAM(point.x(), point.y()));
        const unsigned long character = answer.lowNumber();
        return character >= start && character <= end - 1;
    }
    return onSelectedLine(point, start, end);
}

// The older road has no hit test of the control's own: the selected part of the line under
// the pointer is measured in the edit's font. Tabs count as the characters they are.
bool IMultiLineEdit::onSelectedLine(const IPoint& point, unsigned long start,
                                    unsigned long end) const
{
    const HWND window = handle();
    const ovk_native::WindowDC windowContext(window);
    if (!windowContext)
        return false;
    const HDC context = windowContext.get();
    // The font object must outlive the selection: it owns the native font.
    const IFont edited(this);
    const ovk_native::Selection font(context, edited.handle());
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(context, &metrics) || metrics.tmHeight <= 0)
        return false;
    const RECT area = formattingRect(*this);
    if (point.y() < area.top)
        return false;
    const unsigned long line = top() + static_cast<unsigned long>((point.y() - area.top) / metrics.tmHeight);
    const LRESULT first = SendMessageA(window, EM_LINEINDEX, line, 0);
    if (first < 0)
        return false;
    const auto lineStart = static_cast<unsigned long>(first);
    const auto lineEnd = lineStart + static_cast<unsigned long>(
                                         SendMessageA(window, EM_LINELENGTH, lineStart, 0));
    const unsigned long from = start > lineStart ? start : lineStart;
    const unsigned long to = end < lineEnd ? end : lineEnd;
    if (to <= from)
        return false;
    const IString lineText = text(line);
    const IString before = lineText.subString(1, from - lineStart);
    const IString chosen = lineText.subString(from - lineStart + 1, to - from);
    SIZE beforeSize{0, 0};
    SIZE chosenSize{0, 0};
    const auto measure = IPlatform::isPlatformVariant() ? &GetTextExtentPointA : &GetTextExtentPoint32A;
    measure(context, before, static_cast<int>(before.length()), &beforeSize);
    measure(context, chosen, static_cast<int>(chosen.length()), &chosenSize);
    const LONG rowTop = area.top + static_cast<LONG>(line - top()) * metrics.tmHeight;
    const RECT hit{area.left + beforeSize.cx, rowTop, area.left + beforeSize.cx + chosenSize.cx,
                   rowTop + metrics.tmHeight};
    return PtInRect(&hit, POINT{point.x(), point.y()}) != 0;
}

void IMultiLineEdit::beginDrag(const IPoint& point)
{
    handle().sendEvent(kBeginDrag, MAKELONG(point.x(), point.y()), 0);
    selectRange(IRange(-1, 0));
}

IBase::Boolean IMultiLineEdit::isDragStarting(IEvent& event)
{
    ovkdrag::trackTextDrag(
        event, handle(), fEditData->drag, [this](const IPoint& point) { return onSelectedText(point); },
        [this](const IPoint& point) { beginDrag(point); });
    return false;
}
