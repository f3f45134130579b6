// The frame window: modality, extensions, the client, geometry, icons, flashing, colours and
// notification.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iassert.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/istthread.hpp>
#include <detail/iwincore.hpp>
#include <iapp.hpp>
#include <icoordsy.hpp>
#include <icvhdr.hpp>
#include <iprivmsg.hpp>
#include <ithread.hpp>
#include <itimer.hpp>
#include <iwinntfy.hpp>

#include "detail/iframdat.hpp"
#include "iframe.hpp"

namespace {

constexpr char kFile[] = "iframe";
// The tag of the activation told after the fact (lParam of the notification event).
constexpr LPARAM kActivationTag = 0x7F0B;

[[noreturn]] void systemError(const char* call, const char* function, DWORD error = GetLastError())
{
    IThrow::systemError(call, error, IEXCEPTION_LOCATION(kFile, function));
}

// The owner a modal frame disables: its owner window, never the desktop.
HWND modalOwner(const IFrameWindow& frame)
{
    IWindow* owner = frame.owner();
    HWND handle = owner ? static_cast<HWND>(owner->handle())
                        : GetWindow(frame.handle(), GW_OWNER);
    return handle == GetDesktopWindow() ? nullptr : handle;
}

// Tells the frame's observers of its activation once the activation has settled.
class IFrameNotifyHandler : public IWindowNotifyHandler {
public:
    static IFrameNotifyHandler& shared()
    {
        return ovk_app::sharedHandler<IFrameNotifyHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_ACTIVATE) {
            PostMessageA(event.handle(), IPrivateMessage::notification,
                         event.parameter1().asUnsignedLong(), kActivationTag);
        } else if (event.eventId() == IPrivateMessage::notification &&
                   event.parameter2().asLong() == kActivationTag) {
            if (IWindow* frame = event.window())
                frame->notifyObservers(INotificationEvent(
                    event.parameter1().lowNumber() ? IFrameWindow::activateId
                                                   : IFrameWindow::deactivateId,
                    *frame, true, IEventData(event.parameter1().asUnsignedLong())));
        }
        return IWindowNotifyHandler::dispatchHandlerEvent(event);
    }
};

class FlashFunction : public ITimerFn {
public:
    explicit FlashFunction(HWND window) : fWindow(window) {}
    void timerExpired(unsigned long) override { FlashWindow(fWindow, TRUE); }

private:
    HWND fWindow;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Modality

unsigned long IFrameWindow::showModally()
{
    update();
    fFrameData->set(IFrameWindowData::modal);
    fFrameData->set(IFrameWindowData::stopPosted, false);
    const HWND owner = modalOwner(*this);
    fFrameData->set(IFrameWindowData::ownerDisabled, false);
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        fFrameData->set(IFrameWindowData::ownerDisabled);
    }
    // The loop about to run is one deeper than the thread's loops now: a stop aimed at that
    // level ends this loop and no other, whether or not a main loop runs below it.
    ICurrentThread& thread = IThread::current();
    fFrameData->modalLevel = thread.startedThread()->loopLevel() + 1;
    try {
        show();
        thread.processMsgs();
    } catch (...) {
        fFrameData->set(IFrameWindowData::modal, false);
        if (fFrameData->has(IFrameWindowData::ownerDisabled)) {
            fFrameData->set(IFrameWindowData::ownerDisabled, false);
            EnableWindow(owner, TRUE);
        }
        throw;
    }
    fFrameData->set(IFrameWindowData::modal, false);
    // A loop ended by WM_QUIT leaves the owner as dismiss would have.
    if (fFrameData->has(IFrameWindowData::ownerDisabled)) {
        fFrameData->set(IFrameWindowData::ownerDisabled, false);
        EnableWindow(owner, TRUE);
    }
    const unsigned long answer = result();
    if (fFrameData->has(IFrameWindowData::deleteOnModalEnd))
        delete this;
    return answer;
}

unsigned long IFrameWindow::result() const
{
    return fFrameData->result;
}

IFrameWindow& IFrameWindow::setResult(unsigned long result)
{
    fFrameData->result = result;
    return *this;
}

IFrameWindow& IFrameWindow::dismiss(unsigned long result)
{
    setResult(result);
    const HWND frame = handle();
    if (!isModal()) {
        const bool active = GetActiveWindow() == frame;
        hide();
        if (active) {
            IWindow* next = owner() ? owner() : parent();
            if (next && next != desktopWindow())
                SetFocus(next->handle());
        }
        return *this;
    }
    // The owner is enabled before the frame hides, so that the activation goes back to it.
    if (fFrameData->has(IFrameWindowData::ownerDisabled)) {
        fFrameData->set(IFrameWindowData::ownerDisabled, false);
        if (const HWND owner = modalOwner(*this)) {
            EnableWindow(owner, TRUE);
            SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    hide();
    // One stop per loop: a second one would wait in the queue and end the next loop that runs
    // at this level as soon as it starts. It counts as posted only once the queue took it: a
    // refused post leaves the loop running, and a later dismiss must still be able to end it.
    if (!fFrameData->has(IFrameWindowData::stopPosted)) {
        IThread::current().messageQueue().postEvent(IPrivateMessage::stopLoop, 0,
                                                    IEventParameter2(fFrameData->modalLevel));
        fFrameData->set(IFrameWindowData::stopPosted);
    }
    return *this;
}

IBase::Boolean IFrameWindow::isModal() const
{
    return fFrameData->has(IFrameWindowData::modal);
}

unsigned long IFrameWindow::modalLevel() const
{
    return fFrameData->modalLevel;
}

IFrameWindow& IFrameWindow::setDeleteOnModalEnd(IBase::Boolean deleteObject)
{
    fFrameData->set(IFrameWindowData::deleteOnModalEnd, deleteObject);
    return *this;
}

IFrameWindow& IFrameWindow::close()
{
    postEvent(WM_CLOSE);
    return *this;
}

IFrameWindow& IFrameWindow::notifyOwner(unsigned long id, ICommandEvent::Source source,
                                        IBase::Boolean pointerFlag)
{
    if (IWindow* owner = this->owner())
        PostMessageA(owner->handle(), WM_COMMAND, id,
                     MAKELPARAM(static_cast<BYTE>(source), static_cast<WORD>(pointerFlag)));
    return *this;
}

IFrameWindow& IFrameWindow::setDestroyOnClose(IBase::Boolean destroy)
{
    fFrameData->set(IFrameWindowData::destroyOnClose, destroy);
    return *this;
}

IBase::Boolean IFrameWindow::willDestroyOnClose() const
{
    return fFrameData->has(IFrameWindowData::destroyOnClose);
}

// ---------------------------------------------------------------------------------------------
// Extensions

IFrameWindow& IFrameWindow::addExtension(IWindow* extension, Location location,
                                         unsigned long pixels, SeparatorType separator)
{
    IARGUMENT_CHECK(extension != 0, kFile,
                    "IFrameWindow::addExtension(IWindow*,IFrameWindow::Location,unsigned long,"
                    "IFrameWindow::SeparatorType)");
    return addExtension(new IFrameExtension(extension, location, pixels, separator));
}

IFrameWindow& IFrameWindow::addExtension(IWindow* extension, Location location, int pixels,
                                         SeparatorType separator)
{
    return addExtension(extension, location, static_cast<unsigned long>(pixels), separator);
}

IFrameWindow& IFrameWindow::addExtension(IWindow* extension, Location location, double fraction,
                                         SeparatorType separator)
{
    static constexpr char function[] =
        "IFrameWindow::addExtension(IWindow*,IFrameWindow::Location,double,"
        "IFrameWindow::SeparatorType)";
    IARGUMENT_CHECK(extension != 0, kFile, function);
    // The frame grows by D * f / (1 - f) for a fraction f: 1 and beyond have no such frame.
    IARGUMENT_CHECK(fraction >= 0.0 && fraction < 1.0, kFile, function);
    return addExtension(new IFrameExtension(extension, location, fraction, separator));
}

IFrameWindow& IFrameWindow::addExtension(IWindow* extension, Location location,
                                         SeparatorType separator)
{
    IARGUMENT_CHECK(extension != 0, kFile,
                    "IFrameWindow::addExtension(IWindow*,IFrameWindow::Location,"
                    "IFrameWindow::SeparatorType)");
    return addExtension(new IFrameExtension(extension, location, separator));
}

IFrameWindow& IFrameWindow::addExtension(IFrameExtension* record)
{
    std::unique_ptr<IFrameExtension> owned(record);
    IWindow* window = record->window();
    if (isAnExtension(window) || (clientHandle() && window->handle() == clientHandle()))
        IThrow::message(OVK_MSG_ALREADY_AN_EXTENSION,
                        IEXCEPTION_LOCATION(kFile, "IFrameWindow::addExtension(IFrameExtension*)"));
    fFrameData->extensions.push_back(std::move(owned));
    const bool visible = isVisible();
    if (visible)
        enableUpdate(false);
    window->setParent(this);
    layoutChanged();
    if (visible) {
        enableUpdate(true);
        show();
    }
    return *this;
}

IFrameWindow& IFrameWindow::removeExtension(IWindow* extension, IBase::Boolean update)
{
    auto& records = fFrameData->extensions;
    for (auto it = records.begin(); it != records.end(); ++it) {
        if ((*it)->window() != extension)
            continue;
        records.erase(it);
        if (update && extension && extension->isValid()) {
            const HWND window = extension->handle();
            const HWND focus = GetFocus();
            if (focus && (focus == window || IsChild(window, focus)))
                SetFocus(handle());
            extension->setParent(objectWindow());
            layoutChanged();
        }
        break;
    }
    return *this;
}

IFrameExtension* IFrameWindow::findExtension(const IWindow* extension, const char* function) const
{
    for (const auto& record : fFrameData->extensions)
        if (record->window() == extension)
            return record.get();
    IThrow::message(OVK_MSG_NOT_AN_EXTENSION, IEXCEPTION_LOCATION(kFile, function));
}

IFrameWindow& IFrameWindow::changeExtension(IWindow* extension, const char* function,
                                            void (*change)(IFrameExtension&, const void*),
                                            const void* value)
{
    change(*findExtension(extension, function), value);
    layoutChanged();
    if (isVisible())
        update();
    return *this;
}

IFrameWindow& IFrameWindow::setExtensionSize(IWindow* extension, unsigned long pixels)
{
    return changeExtension(
        extension, "IFrameWindow::setExtensionSize(IWindow*,unsigned long)",
        [](IFrameExtension& record, const void* value) {
            record.setSize(*static_cast<const unsigned long*>(value));
        },
        &pixels);
}

IFrameWindow& IFrameWindow::setExtensionSize(IWindow* extension, int pixels)
{
    return setExtensionSize(extension, static_cast<unsigned long>(pixels));
}

IFrameWindow& IFrameWindow::setExtensionSize(IWindow* extension, double fraction)
{
    static constexpr char function[] = "IFrameWindow::setExtensionSize(IWindow*,double)";
    IARGUMENT_CHECK(fraction >= 0.0 && fraction < 1.0, kFile, function);
    return changeExtension(
        extension, function,
        [](IFrameExtension& record, const void* value) {
            record.setSize(*static_cast<const double*>(value));
        },
        &fraction);
}

IFrameWindow& IFrameWindow::useExtensionMinimumSize(IWindow* extension)
{
    return changeExtension(
        extension, "IFrameWindow::useExtensionMinimumSize(IWindow*)",
        [](IFrameExtension& record, const void*) { record.useMinimumSize(); }, nullptr);
}

IBase::Boolean IFrameWindow::isAnExtension(const IWindow* window) const
{
    for (const auto& record : fFrameData->extensions)
        if (record->window() == window)
            return true;
    return false;
}

unsigned long IFrameWindow::extensionCount() const
{
    return static_cast<unsigned long>(fFrameData->extensions.size());
}

IFrameExtension* IFrameWindow::extensionAt(unsigned long index) const
{
    return index < fFrameData->extensions.size() ? fFrameData->extensions[index].get() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Layout

void IFrameWindow::layoutChanged()
{
    fFrameData->set(IFrameWindowData::layoutPending);
}

IFrameWindow& IFrameWindow::update()
{
    if (!fFrameData->has(IFrameWindowData::layoutPending))
        return *this;
    fFrameData->set(IFrameWindowData::layoutPending, false);
    fFrameData->set(IFrameWindowData::layoutDone);
    sendEvent(IPrivateMessage::frameLayout);
    return *this;
}

IWindow& IFrameWindow::show(IBase::Boolean show)
{
    if (show)
        update();
    return IWindow::show(show);
}

IWindow& IFrameWindow::setLayoutDistorted(unsigned long on, unsigned long off)
{
    if (on & ovk_layout::childMinimumSizeChanged) {
        for (const auto& record : fFrameData->extensions) {
            if (record->sizeKind() != IFrameExtension::minimumKind || !record->window())
                continue;
            const ISize minimum = record->window()->minimumSize();
            const IRectangle placed = record->rect();
            const bool tall = record->location() >= aboveClient;
            if (tall ? minimum.height() != placed.height() : minimum.width() != placed.width()) {
                layoutChanged();
                if (isVisible())
                    update();
                break;
            }
        }
    }
    return IWindow::setLayoutDistorted(on, off);
}

unsigned long IFrameWindow::frameFlags() const
{
    return fFrameData->flags;
}

IFrameWindow& IFrameWindow::setFrameFlags(unsigned long on, unsigned long off)
{
    fFrameData->flags = (fFrameData->flags | on) & ~off;
    return *this;
}

// ---------------------------------------------------------------------------------------------
// The client

IWindowHandle IFrameWindow::clientHandle() const
{
    const HWND frame = IWindowCore::rawHandle(*this);
    return frame ? handleWithParent(clientId, IWindowHandle(frame)) : IWindowHandle();
}

IWindow* IFrameWindow::client() const
{
    const IWindowHandle client = clientHandle();
    return client ? windowWithHandle(client) : nullptr;
}

IFrameWindow& IFrameWindow::setClient(IWindow* newClient)
{
    static constexpr char function[] = "IFrameWindow::setClient(IWindow*)";
    IARGUMENT_CHECK(newClient != this, kFile, function);
    IARGUMENT_CHECK(IWindow::isWindowValid(newClient), kFile, function);
    const bool visible = isVisible();
    const HWND oldClient = clientHandle();
    if (oldClient != static_cast<HWND>(newClient->handle())) {
        if (visible)
            enableUpdate(false);
        const HWND focus = GetFocus();
        const bool moveFocus = oldClient && focus && (focus == oldClient || IsChild(oldClient, focus));
        if (moveFocus)
            SetFocus(handle());
        if (oldClient) {
            if (IWindow* old = windowWithHandle(IWindowHandle(oldClient)))
                old->setParent(objectWindow());
            else
                SetParent(oldClient, objectWindow()->handle());
        }
        newClient->setParent(this);
        newClient->setId(clientId);
        layoutChanged();
        if (visible)
            enableUpdate(true);
        if (moveFocus)
            newClient->setFocus();
    } else if (visible && newClient->rect() != clientRectFor(rect())) {
        layoutChanged();
    }
    if (visible)
        show();
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Geometry

IFrameWindow& IFrameWindow::maximize()
{
    if (style() & WS_MAXIMIZEBOX)
        sendEvent(WM_SYSCOMMAND, SC_MAXIMIZE);
    return *this;
}

IFrameWindow& IFrameWindow::minimize()
{
    if (style() & WS_MINIMIZEBOX)
        sendEvent(WM_SYSCOMMAND, SC_MINIMIZE);
    return *this;
}

IFrameWindow& IFrameWindow::restore()
{
    sendEvent(WM_SYSCOMMAND, SC_RESTORE);
    return *this;
}

namespace {

WINDOWPLACEMENT placementOf(HWND window, const char* function)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        systemError("GetWindowPlacement", function);
    return placement;
}

} // namespace

IFrameWindow& IFrameWindow::setRestoreRect(const IRectangle& rectangle)
{
    static constexpr char function[] = "IFrameWindow::setRestoreRect(const IRectangle&)";
    const IRectangle native = ICoordinateSystem::convertToNative(rectangle, parentSize());
    WINDOWPLACEMENT placement = placementOf(handle(), function);
    placement.flags = 0;
    placement.showCmd = SW_SHOWNA;
    placement.rcNormalPosition = RECT{native.minX(), native.minY(), native.maxX(), native.maxY()};
    if (!SetWindowPlacement(handle(), &placement))
        systemError("SetWindowPlacement", function);
    return *this;
}

IRectangle IFrameWindow::restoreRect() const
{
    const WINDOWPLACEMENT p = placementOf(handle(), "IFrameWindow::restoreRect() const");
    const RECT& r = p.rcNormalPosition;
    return ICoordinateSystem::convertToApplication(IRectangle(r.left, r.top, r.right, r.bottom),
                                                   parentSize());
}

IRectangle IFrameWindow::minimizeRect() const
{
    const WINDOWPLACEMENT p = placementOf(handle(), "IFrameWindow::minimizeRect() const");
    const bool newShell = IPlatform::hasNewShell();
    const int width = newShell ? GetSystemMetrics(SM_CXMINIMIZED) : GetSystemMetrics(SM_CXICON) + 4;
    const int height = newShell ? GetSystemMetrics(SM_CYMINIMIZED) : GetSystemMetrics(SM_CYICON) + 4;
    const POINT& corner = p.ptMinPosition;
    return ICoordinateSystem::convertToApplication(
        IRectangle(corner.x, corner.y, corner.x + width, corner.y + height), parentSize());
}

IRectangle IFrameWindow::maximizeRect() const
{
    const WINDOWPLACEMENT p = placementOf(handle(), "IFrameWindow::maximizeRect() const");
    const POINT& corner = p.ptMaxPosition;
    return ICoordinateSystem::convertToApplication(
        IRectangle(corner.x, corner.y, corner.x + GetSystemMetrics(SM_CXSCREEN),
                   corner.y + GetSystemMetrics(SM_CYSCREEN)),
        parentSize());
}

IFrameWindow& IFrameWindow::moveSizeToClient(const IRectangle& clientRect)
{
    moveSizeTo(frameRectFor(clientRect));
    return *this;
}

// Computed for the rectangle asked about each time: a cache that answered the last result for
// any other frame rectangle would be wrong for it. The last answer is kept for the layout pass.
IRectangle IFrameWindow::clientRectFor(const IRectangle& frameRect) const
{
    fFrameData->set(IFrameWindowData::layoutDone, false);
    const IRectangle client = calcFrameRect(frameRect, false);
    fFrameData->cachedClient = RECT{client.minX(), client.minY(), client.maxX(), client.maxY()};
    return client;
}

IRectangle IFrameWindow::frameRectFor(const IRectangle& clientRect) const
{
    return calcFrameRect(clientRect, true);
}

bool IFrameWindowData::computeFrameRect(const IFrameWindow& frame, RECT& rectangle,
                                        bool frameFromClient)
{
    const HWND handle = frame.handle();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(handle, GWL_STYLE));
    const DWORD extended = static_cast<DWORD>(GetWindowLongPtrA(handle, GWL_EXSTYLE));
    const BOOL menu = !(style & WS_CHILD) && GetMenu(handle) != nullptr;
    const auto& extensions = of(frame).extensions;
    IRectangle r(rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
    if (frameFromClient) {
        for (const auto& record : extensions)
            r = record->growRect(r);
        RECT adjusted{r.minX(), r.minY(), r.maxX(), r.maxY()};
        if (!AdjustWindowRectEx(&adjusted, style, menu, extended))
            return false;
        rectangle = adjusted;
        return true;
    }
    RECT probe{100, 100, 200, 200};
    if (!AdjustWindowRectEx(&probe, style, menu, extended))
        return false;
    r = IRectangle(r.minX() + (100 - probe.left), r.minY() + (100 - probe.top),
                   r.maxX() - (probe.right - 200), r.maxY() - (probe.bottom - 200));
    for (const auto& record : extensions)
        r = record->shrinkRect(r);
    rectangle = RECT{r.minX(), r.minY(), r.maxX(), r.maxY()};
    return true;
}

// The frame rectangle around a client rectangle and the reverse, in the parent's coordinates.
// A library frame answers through its handler, which a derived handler may replace.
IRectangle IFrameWindow::calcFrameRect(const IRectangle& rectangle, bool frameFromClient) const
{
    const ISize parent = parentSize();
    const IRectangle native = ICoordinateSystem::convertToNative(rectangle, parent);
    RECT r{native.minX(), native.minY(), native.maxX(), native.maxY()};
    bool done = false;
    if (ICanvasStatics::isLibraryFrame(handle()))
        done = SendMessageA(handle(), IPrivateMessage::frameLast, reinterpret_cast<WPARAM>(&r),
                            frameFromClient ? 0 : 1) != 0;
    if (!done && !IFrameWindowData::computeFrameRect(*this, r, frameFromClient)) {
        if (frameFromClient)
            systemError("WinCalcFrameRect", "IFrameWindow::frameRectFor(const IRectangle&) const");
        systemError("IFrameWindowData::calcFrameRect",
                    "IFrameWindow::clientRectFor(const IRectangle&) const");
    }
    return ICoordinateSystem::convertToApplication(IRectangle(r.left, r.top, r.right, r.bottom),
                                                   parent);
}

// ---------------------------------------------------------------------------------------------
// Icons and pointers

IPointerHandle IFrameWindow::icon() const
{
    return IPointerHandle(reinterpret_cast<HICON>(GetClassLongPtrA(handle(), GCLP_HICON)));
}

IFrameWindow& IFrameWindow::setIcon(const IPointerHandle& icon)
{
    fFrameData->icon = icon;
    sendEvent(WM_SETICON, ICON_BIG, IEventParameter2(static_cast<void*>(icon.asValue())));
    return *this;
}

IFrameWindow& IFrameWindow::setIcon(const IResourceId& icon)
{
    return setIcon(icon.resourceLibrary().loadIcon(icon.id()));
}

IFrameWindow& IFrameWindow::setIcon(unsigned long iconId)
{
    return setIcon(IApplication::current().userResourceLibrary().loadIcon(iconId));
}

IPointerHandle IFrameWindow::mousePointer() const
{
    return fFrameData->pointer;
}

IFrameWindow& IFrameWindow::setMousePointer(const IPointerHandle& pointer)
{
    fFrameData->pointer = pointer;
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Task list, flashing, tool bar record, menu lists

IFrameWindow& IFrameWindow::addToWindowList()
{
    SetWindowLongPtrA(handle(), GWL_EXSTYLE,
                      GetWindowLongPtrA(handle(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    return *this;
}

IFrameWindow& IFrameWindow::removeFromWindowList()
{
    SetWindowLongPtrA(handle(), GWL_EXSTYLE,
                      GetWindowLongPtrA(handle(), GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    return *this;
}

IWindowHandle IFrameWindow::handleFor(const Style&) const
{
    return IWindowHandle();
}

IFrameWindow& IFrameWindow::beginFlashing()
{
    if (fFrameData->flashTimer)
        return *this;
    const HWND frame = handle();
    fFrameData->flashed = frame;
    fFrameData->flashTimer =
        std::make_unique<ITimer>(IReference<ITimerFn>(new FlashFunction(frame)), 500);
    FlashWindow(frame, TRUE);
    return *this;
}

IFrameWindow& IFrameWindow::endFlashing()
{
    if (fFrameData->flashTimer) {
        fFrameData->flashTimer->stop();
        fFrameData->flashTimer.reset();
    }
    if (const HWND flashed = fFrameData->flashed) {
        fFrameData->flashed = nullptr;
        if (IsWindow(flashed))
            FlashWindow(flashed, FALSE);
    }
    return *this;
}

IBase::Boolean IFrameWindow::isFlashing() const
{
    return fFrameData->flashTimer != nullptr;
}

void* IFrameWindow::toolBarData() const
{
    return fFrameData->toolBarData;
}

IFrameWindow& IFrameWindow::setToolBarData(void* data)
{
    fFrameData->toolBarData = data;
    return *this;
}

IFrameMenuLists& IFrameWindow::menuLists() const
{
    return fFrameData->menuLists;
}

// ---------------------------------------------------------------------------------------------
// Style, keys, colours, fonts, notification

unsigned long IFrameWindow::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    unsigned long bits = IWindow::convertToGUIStyle(style, extended);
    // The modal-frame and task-list bits (and a few more) are extended window styles as they are.
    if (extended)
        bits |= style.asExtendedUnsignedLong() & 0x404C9;
    return bits;
}

IWindowHandle IFrameWindow::defaultPushButton() const
{
    return ICanvasStatics::defaultPushButtonHandle(this);
}

IWindow* IFrameWindow::matchForMnemonic(unsigned short character) const
{
    const IWindowHandle match = ICanvasStatics::matchForMnemonic(this, character);
    return match ? windowWithHandle(match) : nullptr;
}

IBase::Boolean IFrameWindow::hasDialogBackground() const
{
    return fFrameData->has(IFrameWindowData::templateControls) ||
           (extendedStyle() & _dialogBackground.asExtendedUnsignedLong()) != 0;
}

IColor IFrameWindow::backgroundColor() const
{
    if (hasDialogBackground())
        return IGUIColor(static_cast<IColor::SystemColor>(0x13));
    return IWindow::backgroundColor();
}

IColor IFrameWindow::disabledBackgroundColor() const
{
    if (hasDialogBackground())
        return IGUIColor(static_cast<IColor::SystemColor>(0x13));
    return IWindow::disabledBackgroundColor();
}

IWindow& IFrameWindow::resetBackgroundColor()
{
    return *this;
}

IWindow& IFrameWindow::resetDisabledBackgroundColor()
{
    return *this;
}

// The frame's font reaches every child: window objects take their own copy; a native child
// is given the frame's font, which the frame keeps alive.
IWindow& IFrameWindow::setFont(const IFont& font)
{
    IWindow::setFont(font);
    const IFont kept = this->font();
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IWindow* window = windowWithHandle(IWindowHandle(child)))
            window->setFont(font);
        else
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(kept.handle()), TRUE);
    }
    return *this;
}

IWindow& IFrameWindow::enableNotification(IBase::Boolean enable)
{
    if (!notificationHandler())
        setNotificationHandler(&IFrameNotifyHandler::shared());
    return IWindow::enableNotification(enable);
}
