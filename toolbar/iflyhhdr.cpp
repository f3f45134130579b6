// The fly-over help handler: tools of the tool tip, the process-wide table of window texts and
// the subclassing procedure of windows that have no window object, and the text requests.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include <iapp.hpp>
#include <idll.hpp>
#include <iexcept.hpp>
#include <iprivmsg.hpp>
#include <itextctl.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iwincore.hpp>

#include "iflyhhdr.hpp"
#include "iflytip.hpp"

namespace {

// The tool record is sized by its first version (TTTOOLINFOA_V1_SIZE, which ends with the text
// pointer): the fields after it are not used, and the platform rejects a size it does not know.
// Wine accepts any size, so the size is checked here, where the compiler can.
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOA, lParam);
static_assert(sizeof(void*) != 4 || kToolInfoSize == 40, "the 32-bit tool record is 40 bytes");
static_assert(sizeof(void*) != 8 || kToolInfoSize == 56, "the 64-bit tool record is 56 bytes");

constexpr char kFile[] = "iflyhhdr";
// The tip buffer of a text request holds 80 bytes, the terminating null included.
constexpr std::size_t kTipBytes = 80;
// Only the low word of the delay reaches the tool tip: the longest it can keep a tip up.
constexpr unsigned long kStayUp = 32767;

struct TextEntry {
    // The procedure the fly-over procedure replaced; null for windows that have a window object
    // (their handler relays instead).
    WNDPROC previous = nullptr;
    IString text;
    IString longText;
    unsigned long textId = 0;
    unsigned long longTextId = 0;
    bool byIds = false;
    // False for a window that is only registered: its texts come by its identifier.
    bool hasTexts = false;
    IFlyOverHelpHandler* handler = nullptr;
};

// Windows of any thread may register; each thread only touches the entries of its own windows,
// but the map itself is shared.
std::mutex gTableLock;

std::map<HWND, TextEntry>& textTable()
{
    static auto* table = new std::map<HWND, TextEntry>;
    return *table;
}

bool findEntry(HWND window, TextEntry& entry)
{
    std::lock_guard<std::mutex> lock(gTableLock);
    const auto found = textTable().find(window);
    if (found == textTable().end())
        return false;
    entry = found->second;
    return true;
}

template <class Change>
void changeEntry(HWND window, Change change)
{
    std::lock_guard<std::mutex> lock(gTableLock);
    change(textTable()[window]);
}

// The window keeps its texts (and its subclass, which then only passes messages on), but no
// longer names the handler, which may go before the window.
void releaseEntry(HWND window, const IFlyOverHelpHandler* handler)
{
    std::lock_guard<std::mutex> lock(gTableLock);
    const auto found = textTable().find(window);
    if (found != textTable().end() && found->second.handler == handler)
        found->second.handler = nullptr;
}

void eraseEntry(HWND window)
{
    std::lock_guard<std::mutex> lock(gTableLock);
    textTable().erase(window);
}

LRESULT CALLBACK flyOverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the window its previous procedure back, when the fly-over procedure is still the one
// installed (another subclass on top would otherwise be cut out).
void unsubclass(HWND window, WNDPROC previous)
{
    if (previous && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) ==
                        &flyOverProcedure)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

// The record of a window's tool: the window is its own tool, named by its handle.
TTTOOLINFOA toolRecord(HWND window)
{
    TTTOOLINFOA info{};
    info.cbSize = kToolInfoSize;
    info.hwnd = window;
    info.uId = reinterpret_cast<UINT_PTR>(window);
    return info;
}

// Copies at most 79 bytes of the text, one fewer when the cut would split a double-byte
// character, and a terminating null.
void copyTip(const IString& text, char* buffer)
{
    const char* source = text;
    const std::size_t length = std::strlen(source);
    std::size_t count = 0;
    while (count < length && count < kTipBytes - 1) {
        const bool lead = IsDBCSLeadByte(static_cast<BYTE>(source[count])) != 0;
        const std::size_t width = lead && count + 1 < length ? 2 : 1;
        if (count + width > kTipBytes - 1)
            break;
        count += width;
    }
    std::memcpy(buffer, source, count);
    buffer[count] = '\0';
}

} // namespace

struct IFlyOverHelpData {
    IFlyOverToolTip* toolTip = nullptr;
    ITextControl* infoArea = nullptr;
    unsigned long longTextBaseId = 0;
    unsigned long textBaseId = 0;
    IString defaultText;
    HWND currentToolWindow = nullptr;
    std::unique_ptr<IResourceLibrary> library;
    unsigned long reshowDelay = 0;
    unsigned long initialDelay = 0;
    // The windows that carry a tool of this handler, to take them out again.
    std::set<HWND> registered;
};

// The subclassing procedure reaches the handler of an entry through this.
struct IFlyOverHelpAccess {
    static void relay(IFlyOverHelpHandler& handler, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam)
    {
        handler.relay(window, message, wParam, lParam);
        handler.pointerOver(window, message);
    }
    static void textRequest(IFlyOverHelpHandler& handler, NMHDR* header)
    {
        handler.textRequest(header, nullptr);
    }
    static void forget(IFlyOverHelpHandler& handler, HWND window)
    {
        handler.fFlyOverData->registered.erase(window);
    }
};

namespace {

LRESULT CALLBACK flyOverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TextEntry entry;
    if (!findEntry(window, entry) || !entry.previous)
        return DefWindowProcA(window, message, wParam, lParam);
    ICallbackGuard::call(0, [&] {
        if (entry.handler && ((message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) ||
                              message == WM_MOUSELEAVE))
            IFlyOverHelpAccess::relay(*entry.handler, window, message, wParam, lParam);
        else if (entry.handler && message == WM_NOTIFY && lParam)
            IFlyOverHelpAccess::textRequest(*entry.handler, reinterpret_cast<NMHDR*>(lParam));
        return 0;
    });
    if (message == WM_DESTROY) {
        // The window's own procedure still gets WM_DESTROY, or it leaks its state.
        unsubclass(window, entry.previous);
        eraseEntry(window);
        if (entry.handler)
            IFlyOverHelpAccess::forget(*entry.handler, window);
    }
    return CallWindowProcA(entry.previous, window, message, wParam, lParam);
}

} // namespace

// Construction --------------------------------------------------------------------------------------

IFlyOverHelpHandler::IFlyOverHelpHandler(IFlyOverToolTip* toolTip, ITextControl* infoArea,
                                         unsigned long initialDelay, unsigned long reshowDelay)
    : fFlyOverData(new IFlyOverHelpData)
{
    construct(toolTip, infoArea, initialDelay, reshowDelay);
}

IFlyOverHelpHandler::IFlyOverHelpHandler(ITextControl* infoArea, unsigned long initialDelay,
                                         unsigned long reshowDelay)
    : fFlyOverData(new IFlyOverHelpData)
{
    construct(nullptr, infoArea, initialDelay, reshowDelay);
}

IFlyOverHelpHandler::IFlyOverHelpHandler(IFlyOverToolTip* toolTip, unsigned long initialDelay,
                                         unsigned long reshowDelay)
    : fFlyOverData(new IFlyOverHelpData)
{
    construct(toolTip, nullptr, initialDelay, reshowDelay);
}

void IFlyOverHelpHandler::construct(IFlyOverToolTip* toolTip, ITextControl* infoArea,
                                    unsigned long initialDelay, unsigned long reshowDelay)
{
    IFlyOverHelpData& data = *fFlyOverData;
    data.toolTip = toolTip;
    data.infoArea = infoArea;
    data.initialDelay = initialDelay;
    data.reshowDelay = reshowDelay;
    sendDelay(TTDT_INITIAL, initialDelay);
    sendDelay(TTDT_RESHOW, reshowDelay);
    sendDelay(TTDT_AUTOPOP, kStayUp);
}

IFlyOverHelpHandler::~IFlyOverHelpHandler()
{
    IFlyOverHelpData* data = fFlyOverData;
    const std::set<HWND> registered = data->registered;
    for (HWND window : registered) {
        TextEntry entry;
        if (findEntry(window, entry) && entry.handler == this) {
            unsubclass(window, entry.previous);
            eraseEntry(window);
        }
        if (IsWindow(window))
            deleteTool(window);
    }
    delete data;
}

void IFlyOverHelpHandler::sendDelay(unsigned long which, unsigned long milliseconds) const
{
    IFlyOverToolTip* tip = fFlyOverData->toolTip;
    if (tip && tip->isValid())
        SendMessageA(tip->handle(), TTM_SETDELAYTIME, which,
                     MAKELPARAM(static_cast<WORD>(std::min(milliseconds, kStayUp)), 0));
}

// Tools ------------------------------------------------------------------------------------------------

// A window becomes a tool once, however often it is registered.
void IFlyOverHelpHandler::addTool(HWND window) const
{
    if (!fFlyOverData->registered.insert(window).second)
        return;
    IFlyOverToolTip* tip = fFlyOverData->toolTip;
    if (!tip || !tip->isValid())
        return;
    TTTOOLINFOA info = toolRecord(window);
    info.uFlags = TTF_IDISHWND;
    info.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tip->handle(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void IFlyOverHelpHandler::deleteTool(HWND window) const
{
    IFlyOverToolTip* tip = fFlyOverData->toolTip;
    if (!tip || !tip->isValid())
        return;
    TTTOOLINFOA info = toolRecord(window);
    SendMessageA(tip->handle(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void IFlyOverHelpHandler::relay(HWND window, unsigned int message, std::uintptr_t wParam,
                                std::intptr_t lParam) const
{
    IFlyOverToolTip* tip = fFlyOverData->toolTip;
    if (!tip || !tip->isValid() || message == WM_MOUSELEAVE)
        return;
    MSG relayed{};
    relayed.hwnd = window;
    relayed.message = message;
    relayed.wParam = static_cast<WPARAM>(wParam);
    relayed.lParam = static_cast<LPARAM>(lParam);
    SendMessageA(tip->handle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// Without a tool tip no text request ever comes: the long text follows the pointer itself. It
// is shown when the pointer moves onto a registered window and cleared when the pointer leaves
// the window shown; the platform tells the leaving only to a window that asked for it, once.
// A leave from a window whose text no longer shows (the pointer went on into a registered
// child) changes nothing.
void IFlyOverHelpHandler::pointerOver(HWND window, unsigned int message)
{
    IFlyOverHelpData& data = *fFlyOverData;
    if ((data.toolTip && data.toolTip->isValid()) || !data.infoArea)
        return;
    if (message == WM_MOUSELEAVE) {
        if (window == data.currentToolWindow) {
            data.currentToolWindow = nullptr;
            showLongText(IString());
        }
        return;
    }
    if (message != WM_MOUSEMOVE || window == data.currentToolWindow)
        return;
    data.currentToolWindow = window;
    IString tip, longTip;
    textsOf(window, tip, longTip);
    showLongText(longTip);
    TRACKMOUSEEVENT leave{};
    leave.cbSize = sizeof leave;
    leave.dwFlags = TME_LEAVE;
    leave.hwndTrack = window;
    TrackMouseEvent(&leave);
}

// A window with a window object has this handler relay its mouse; any other window is
// subclassed with the fly-over procedure. Either becomes a tool.
void IFlyOverHelpHandler::registerWindow(HWND window)
{
    if (IWindow* object = IWindow::windowWithHandle(IWindowHandle(window))) {
        if (!fFlyOverData->registered.count(window))
            IHandler::handleEventsFor(object);
    } else {
        TextEntry entry;
        const bool known = findEntry(window, entry);
        if (!known || !entry.previous) {
            const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&flyOverProcedure)));
            if (!previous)
                IThrow::systemError("WinSubclassWindow", GetLastError(),
                                    IEXCEPTION_LOCATION(kFile, "IFlyOverHelpHandler::"
                                                               "registerWindow(HWND__*)"));
            changeEntry(window, [&](TextEntry& stored) { stored.previous = previous; });
        }
    }
    changeEntry(window, [&](TextEntry& stored) { stored.handler = this; });
    addTool(window);
}

// A native child of a composite control shares the composite's identifier.
void IFlyOverHelpHandler::enterNative(HWND window, unsigned long id)
{
    const IFlyOverHelpData& data = *fFlyOverData;
    changeEntry(window, [&](TextEntry& entry) {
        entry.byIds = true;
        entry.hasTexts = true;
        entry.textId = data.textBaseId + id;
        entry.longTextId = data.longTextBaseId + id;
        entry.text = IString();
        entry.longText = IString();
    });
    registerWindow(window);
}

IFlyOverHelpHandler& IFlyOverHelpHandler::handleEventsFor(IWindow* window)
{
    IARGUMENT_CHECK(window != 0, kFile, "IFlyOverHelpHandler::handleEventsFor(IWindow*)");
    const HWND handle = window->handle();
    if (!fFlyOverData->registered.count(handle))
        IHandler::handleEventsFor(window);
    changeEntry(handle, [&](TextEntry& entry) { entry.handler = this; });
    addTool(handle);
    registerChildren(*window);
    return *this;
}

void IFlyOverHelpHandler::registerChildren(IWindow& window)
{
    const bool composite =
        window.sendEvent(IPrivateMessage::ownerMouseQuery, 0, 0).asUnsignedLong() != 0;
    const unsigned long id = window.id();
    for (HWND child = GetWindow(window.handle(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        IWindow* object = IWindow::windowWithHandle(IWindowHandle(child));
        if (!object) {
            if (composite)
                enterNative(child, id);
            continue;
        }
        if (object->sendEvent(IPrivateMessage::flyOverQuery, 0, 0).asUnsignedLong() != 0)
            continue;
        if (object->sendEvent(IPrivateMessage::ownerMouseQuery, 0, 0).asUnsignedLong() == 0) {
            handleEventsFor(object);
        } else {
            registerWindow(child);
            const unsigned long compositeId = object->id();
            for (HWND inner = GetWindow(child, GW_CHILD); inner;
                 inner = GetWindow(inner, GW_HWNDNEXT))
                if (!IWindow::windowWithHandle(IWindowHandle(inner)))
                    enterNative(inner, compositeId);
        }
    }
}

IFlyOverHelpHandler& IFlyOverHelpHandler::stopHandlingEventsFor(IWindow* window)
{
    IARGUMENT_CHECK(window != 0, kFile,
                    "IFlyOverHelpHandler::stopHandlingEventsFor(IWindow*)");
    IHandler::stopHandlingEventsFor(window);
    const HWND handle = window->handle();
    deleteTool(handle);
    fFlyOverData->registered.erase(handle);
    releaseEntry(handle, this);
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        deleteTool(child);
        fFlyOverData->registered.erase(child);
        releaseEntry(child, this);
    }
    return *this;
}

// Accessors ----------------------------------------------------------------------------------------------

IFlyOverToolTip* IFlyOverHelpHandler::toolTip() const { return fFlyOverData->toolTip; }
ITextControl* IFlyOverHelpHandler::infoArea() const { return fFlyOverData->infoArea; }
unsigned long IFlyOverHelpHandler::textBaseId() const { return fFlyOverData->textBaseId; }
unsigned long IFlyOverHelpHandler::longTextBaseId() const { return fFlyOverData->longTextBaseId; }
IString IFlyOverHelpHandler::defaultText() const { return fFlyOverData->defaultText; }
unsigned long IFlyOverHelpHandler::initialDelay() const { return fFlyOverData->initialDelay; }
unsigned long IFlyOverHelpHandler::reshowDelay() const { return fFlyOverData->reshowDelay; }

IFlyOverHelpHandler& IFlyOverHelpHandler::setTextBaseId(unsigned long id)
{
    fFlyOverData->textBaseId = id;
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setLongTextBaseId(unsigned long id)
{
    fFlyOverData->longTextBaseId = id;
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setDefaultText(const IString& text)
{
    fFlyOverData->defaultText = text;
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setInitialDelay(unsigned long milliseconds)
{
    fFlyOverData->initialDelay = milliseconds;
    sendDelay(TTDT_INITIAL, milliseconds);
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setReshowDelay(unsigned long milliseconds)
{
    fFlyOverData->reshowDelay = milliseconds;
    sendDelay(TTDT_RESHOW, milliseconds);
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setResourceLibrary(const char* name)
{
    fFlyOverData->library = std::make_unique<IDynamicLinkLibrary>(name);
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setResourceLibrary(const IModuleHandle& module)
{
    fFlyOverData->library = std::make_unique<IDynamicLinkLibrary>(module);
    return *this;
}

IResourceLibrary& IFlyOverHelpHandler::resourceLibrary() const
{
    if (fFlyOverData->library)
        return *fFlyOverData->library;
    return IApplication::current().userResourceLibrary();
}

IString IFlyOverHelpHandler::loadText(unsigned long id) const
{
    return resourceLibrary().tryToLoadString(id);
}

// The text table ---------------------------------------------------------------------------------------

IFlyOverHelpHandler& IFlyOverHelpHandler::setText(IWindow* window, const IString& text,
                                                  const IString& longText)
{
    IARGUMENT_CHECK(window != 0, kFile,
                    "IFlyOverHelpHandler::setText(IWindow*,const IString&,const IString&)");
    const HWND handle = window->handle();
    changeEntry(handle, [&](TextEntry& entry) {
        entry.byIds = false;
        entry.hasTexts = true;
        entry.text = text;
        entry.longText = longText;
        entry.textId = 0;
        entry.longTextId = 0;
    });
    registerWindow(handle);
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::setText(IWindow* window, const IResourceId& text,
                                                  const IResourceId& longText)
{
    IARGUMENT_CHECK(window != 0, kFile,
                    "IFlyOverHelpHandler::setText(IWindow*,const IResourceId&,"
                    "const IResourceId&)");
    const HWND handle = window->handle();
    changeEntry(handle, [&](TextEntry& entry) {
        entry.byIds = true;
        entry.hasTexts = true;
        entry.text = IString();
        entry.longText = IString();
        entry.textId = text.id();
        entry.longTextId = longText.id();
    });
    registerWindow(handle);
    return *this;
}

IFlyOverHelpHandler& IFlyOverHelpHandler::removeText(IWindow* window)
{
    IARGUMENT_CHECK(window != 0, kFile, "IFlyOverHelpHandler::removeText(IWindow*)");
    const HWND handle = window->handle();
    deleteTool(handle);
    fFlyOverData->registered.erase(handle);
    TextEntry entry;
    if (findEntry(handle, entry)) {
        unsubclass(handle, entry.previous);
        eraseEntry(handle);
    }
    return *this;
}

IString IFlyOverHelpHandler::longText(IWindow* window) const
{
    TextEntry entry;
    return window && findEntry(window->handle(), entry) ? entry.longText : IString();
}

IString IFlyOverHelpHandler::text(IWindow* window) const
{
    TextEntry entry;
    return window && findEntry(window->handle(), entry) ? entry.text : IString();
}

// Events ---------------------------------------------------------------------------------------------------

IBase::Boolean IFlyOverHelpHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if ((id >= WM_MOUSEFIRST && id <= WM_MBUTTONDBLCLK) || id == WM_MOUSELEAVE) {
        relay(event.handle(), id, event.parameter1().asUnsignedLong(),
              event.parameter2().asLong());
        pointerOver(event.handle(), id);
        return false;
    }
    switch (id) {
    case WM_NOTIFY:
        return textRequest(static_cast<NMHDR*>(event.parameter2().asPointer()), &event);
    case WM_PARENTNOTIFY:
        // The new child has no window object yet while it is being created; it is registered
        // once the creation is over.
        if (LOWORD(event.parameter1().asUnsignedLong()) == WM_CREATE && event.parameter2().asLong())
            event.handle().postEvent(IPrivateMessage::flyOverQuery, 1, event.parameter2());
        return false;
    case IPrivateMessage::flyOverQuery:
        if (event.parameter1().asUnsignedLong() != 1 || event.parameter2().asLong() == 0)
            return false;
        childCreated(event.handle(), static_cast<HWND>(event.parameter2().asPointer()));
        return true;
    default:
        return false;
    }
}

void IFlyOverHelpHandler::childCreated(HWND parent, HWND child)
{
    if (!IsWindow(child) || GetParent(child) != parent)
        return;
    if (SendMessageA(child, IPrivateMessage::flyOverQuery, 0, 0) != 0)
        return;
    if (IWindow* object = IWindow::windowWithHandle(IWindowHandle(child)))
        handleEventsFor(object);
    else
        enterNative(child, IWindowCore::windowId(child));
}

// The tip's request for the text of a tool, and its notice that the tip went away.
IBase::Boolean IFlyOverHelpHandler::textRequest(NMHDR* header, IEvent* event)
{
    IFlyOverHelpData& data = *fFlyOverData;
    if (!header || !data.toolTip || !data.toolTip->isValid() ||
        header->hwndFrom != static_cast<HWND>(data.toolTip->handle()))
        return false;
    if (header->code == TTN_POP) {
        showLongText(IString());
        return event != nullptr;
    }
    if (header->code != TTN_NEEDTEXTA)
        return false;
    auto* request = reinterpret_cast<NMTTDISPINFOA*>(header);
    request->lpszText = request->szText;
    request->hinst = nullptr;
    const HWND tool = (request->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(header->idFrom)
                                                       : nullptr;
    data.currentToolWindow = tool;

    IString tip, longTip;
    textsOf(tool, tip, longTip);
    copyTip(tip, request->szText);
    showLongText(longTip);
    if (event)
        event->setResult(0);
    return event != nullptr;
}

// The texts of a tool: its entry's strings or ids, else the strings of its id plus the bases.
void IFlyOverHelpHandler::textsOf(HWND tool, IString& tip, IString& longTip) const
{
    const IFlyOverHelpData& data = *fFlyOverData;
    TextEntry entry;
    if (tool && findEntry(tool, entry) && entry.hasTexts) {
        tip = entry.byIds ? (entry.textId ? loadText(entry.textId) : IString()) : entry.text;
        longTip = entry.byIds ? (entry.longTextId ? loadText(entry.longTextId) : IString())
                              : entry.longText;
    } else {
        const unsigned long id = tool ? IWindowCore::windowId(tool) : 0;
        tip = loadText(data.textBaseId + id);
        longTip = loadText(data.longTextBaseId + id);
        if (tip.length() == 0)
            tip = data.defaultText;
    }
}

void IFlyOverHelpHandler::showLongText(const IString& text) const
{
    ITextControl* area = fFlyOverData->infoArea;
    if (!area || !area->isValid())
        return;
    area->sendEvent(IPrivateMessage::infoAreaQuery, 0, 0);
    area->setText(text.length() ? static_cast<const char*>(text) : " ");
}
