// The drop target and its drop menu.
#include <windows.h>
#include <ole2.h>

#include <exception>
#include <utility>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>
#include <iapp.hpp>
#include <iassert.hpp>
#include <icmdevt.hpp>
#include <iexcept.hpp>
#include <ipopmenu.hpp>
#include <iprivmsg.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

#include "detail/icomobj.hpp"
#include "detail/idmkeys.hpp"
#include "detail/idmloop.hpp"
#include "idmdistr.hpp"
#include "idmdrtgt.hpp"
#include "idmitem.hpp"
#include "idmoper.hpp"

namespace {

// The packed point of the drag messages: x in the low and y in the high 16 bits.
IEventParameter1 packed(long x, long y)
{
    return IEventParameter1(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
}

// The one effect that an operation stands for.
DWORD effectOf(unsigned long operation)
{
    if (operation & IDMOperation::move)
        return DROPEFFECT_MOVE;
    if (operation & IDMOperation::copy)
        return DROPEFFECT_COPY;
    if (operation & IDMOperation::link)
        return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

// True for a drag that this library started: its source ends a move itself, whatever OLE says.
bool isLibraryDrag(IDataObject* dataObject)
{
    FORMATETC own{IDMDragInfoStream::format(), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    return dataObject && dataObject->QueryGetData(&own) == S_OK;
}

// What Drop tells the source: the operation the target carried out, if the source offered it.
// Another program deletes its original after a move, so a target that only read the data of a
// foreign drag reports a copy (or nothing, when copying was not offered).
DWORD effectReported(unsigned long done, DWORD offered, IDataObject* dataObject)
{
    DWORD effect = effectOf(done) & offered;
    if (effect == DROPEFFECT_MOVE && !isLibraryDrag(dataObject))
        effect = offered & DROPEFFECT_COPY;
    return effect;
}

// Runs one of OLE's calls into the drop target. In a drag that this thread's own drag loop
// runs, a failure waits for that loop's caller, which rethrows it when DoDragDrop returns.
// Otherwise no code of ours is waiting: the window's own exception handling has already been
// offered it on its way out of the window procedure, so it is reported here and dropped rather
// than thrown from the message loop, which would end a program for another program's drag.
template <class Body>
HRESULT guardedCall(Body&& body) noexcept
{
    if (ovk_dragdrop::OwnDragLoop::runsOnThisThread())
        return ICallbackGuard::call(S_OK, std::forward<Body>(body));
    try {
        return body();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (const std::exception& failure) {
        IAssertion::report(IString("drop failed: ") + failure.what(),
                           IEXCEPTION_LOCATION("idmdrtgt", "IDMDropTarget"));
    } catch (...) {
        IAssertion::report("drop failed", IEXCEPTION_LOCATION("idmdrtgt", "IDMDropTarget"));
    }
    return S_OK;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The drop command handler

IDMDropCommandHandler::~IDMDropCommandHandler()
{
    release();
}

IDMDropCommandHandler& IDMDropCommandHandler::setPendingDrop(const POINTL& point,
                                                             IDataObject* dataObject)
{
    release();
    fX = point.x;
    fY = point.y;
    fEffect = DROPEFFECT_NONE;
    fDataObject = dataObject;
    if (fDataObject)
        fDataObject->AddRef();
    return *this;
}

void IDMDropCommandHandler::abandon() noexcept
{
    release();
    fEffect = DROPEFFECT_NONE;
}

void IDMDropCommandHandler::release() noexcept
{
    if (fDataObject)
        fDataObject->Release();
    fDataObject = nullptr;
}

IBase::Boolean IDMDropCommandHandler::command(ICommandEvent& event)
{
    const unsigned long id = event.parameter1().lowNumber();
    IWindow* window = event.window();
    if (id < moveCommand || id > cancelCommand || !window)
        return false;
    if (id == cancelCommand)
        cancel(*window);
    else
        drop(*window, id == moveCommand   ? IDMOperation::move
                      : id == copyCommand ? IDMOperation::copy
                                          : IDMOperation::link);
    return true;
}

void IDMDropCommandHandler::drop(IWindow& window, unsigned long operation)
{
    IDataObject* dataObject = fDataObject;
    if (!dataObject)
        return;
    // The data object is let go however the drop ends.
    struct Release {
        IDMDropCommandHandler& handler;
        ~Release() { handler.release(); }
    } releasing{*this};
    if (IReference<IDMTargetOperation> target = IDMTargetOperation::currentTargetOperation())
        target->setOperation(operation);
    const unsigned long done =
        window.sendEvent(IPrivateMessage::dragDrop, packed(fX, fY), IEventData(dataObject))
            .lowNumber();
    fEffect = effectReported(done, effectOf(operation), dataObject);
}

IDMDropCommandHandler& IDMDropCommandHandler::cancel(IWindow& window)
{
    if (!fDataObject)
        return *this;
    release();
    fEffect = DROPEFFECT_NONE;
    window.sendEvent(IPrivateMessage::dragLeave, 0, 0);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// The drop menu handler

IDMDropMenuHandler::~IDMDropMenuHandler() = default;

IDMDropMenuHandler& IDMDropMenuHandler::setDropPending(IBase::Boolean pending)
{
    fDropPending = pending;
    return *this;
}

IBase::Boolean IDMDropMenuHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_RBUTTONUP || !fDropPending)
        return false;
    ShowCursor(TRUE);
    IMenuEvent menuEvent(event);
    makePopUpMenu(menuEvent);
    return false;
}

IBase::Boolean IDMDropMenuHandler::makePopUpMenu(IMenuEvent& event)
{
    IWindow* window = event.window();
    if (!window)
        return false;
    const IDMItem::Handle first = IDMTargetOperation::currentTargetOperation()->item(1);
    const unsigned long operations = first->supportedOperations();
    const IResourceLibrary& texts = IApplication::current().ovkuiResourceLibrary();
    IPopUpMenu menu(window, 0);
    const struct {
        unsigned long operation;
        unsigned long command;
    } entries[] = {{IDMItem::moveable, IDMDropCommandHandler::moveCommand},
                   {IDMItem::copyable, IDMDropCommandHandler::copyCommand},
                   {IDMItem::linkable, IDMDropCommandHandler::linkCommand}};
    for (const auto& entry : entries)
        if (operations & entry.operation)
            menu.addText(entry.command, IResourceId(entry.command, texts));
    menu.addSeparator();
    menu.addText(IDMDropCommandHandler::cancelCommand,
                 IResourceId(IDMDropCommandHandler::cancelCommand, texts));
    menu.show(event.mousePosition());
    // The menu posts its command as it closes; the drop must be carried out before OLE ends
    // the drag and the source lets its items go, so the command is dispatched now.
    const HWND owner = window->handle();
    MSG message{};
    while (fCommands.isPending() &&
           PeekMessageA(&message, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        DispatchMessageA(&message);
        ICallbackGuard::rethrowPending();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The drop target

class IDMDropTargetData {
public:
    explicit IDMDropTargetData(IWindow* window)
        : window(window), windowHandle(window ? static_cast<HWND>(window->handle()) : nullptr),
          menuHandler(commandHandler)
    {
    }
    virtual ~IDMDropTargetData() = default;

    // The effect of the keys: Control copies (with Shift, links), Shift alone moves, each only
    // when the first item allows it; no key gives the default, or what stands in for it.
    DWORD effectOfKeys(DWORD keyState, DWORD offered) const;
    // The default effect when the source offers it. Otherwise the first that the source offers
    // and the items allow, move before copy before link: a drag that offers only copy, over
    // items that would rather move, copies, as the user expects, instead of showing nothing.
    DWORD defaultEffectOffered(DWORD offered) const;
    // Sends a drag-over or drop event with OLE's key state; answers its result.
    IEventData send(unsigned int message, const POINTL& point, DWORD keyState);
    // The effect shown for a drag over: that of the keys, none when the target answered that
    // it takes no drop, and always one the source offered. The current target operation
    // follows.
    DWORD effectShown(DWORD keyState, unsigned short answer, DWORD offered);
    void takeDefaultEffect();
    // The drag is over for this window, however it ended (a drop, a leave, a failure, the
    // window gone): the data object and the target operation of this window are let go, or
    // the next drag anywhere would be judged as this one's items.
    void endDrag() noexcept;

    IWindow* window;
    IDataObject* dataObject = nullptr;
    BOOL registered = FALSE;
    BOOL rightButtonDrag = FALSE;
    long references = 0;
    HWND windowHandle;
    DWORD defaultEffect = DROPEFFECT_COPY;
    unsigned short supportedOperations = 0;
    IDMDropCommandHandler commandHandler;
    IDMDropMenuHandler menuHandler;
};

DWORD IDMDropTargetData::effectOfKeys(DWORD keyState, DWORD offered) const
{
    if (rightButtonDrag)
        return defaultEffectOffered(offered);
    if (keyState & MK_CONTROL) {
        if (keyState & MK_SHIFT)
            return (supportedOperations & IDMItem::linkable) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
        return (supportedOperations & IDMItem::copyable) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    if (keyState & MK_SHIFT)
        return (supportedOperations & IDMItem::moveable) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return defaultEffectOffered(offered);
}

DWORD IDMDropTargetData::defaultEffectOffered(DWORD offered) const
{
    if (defaultEffect & offered)
        return defaultEffect;
    // A right-button drag is not bound to the items' operations until its menu decides.
    const struct {
        DWORD effect;
        unsigned long operation;
    } order[] = {{DROPEFFECT_MOVE, IDMItem::moveable},
                 {DROPEFFECT_COPY, IDMItem::copyable},
                 {DROPEFFECT_LINK, IDMItem::linkable}};
    for (const auto& choice : order) {
        const bool allowed = rightButtonDrag || (supportedOperations & choice.operation) != 0;
        if ((offered & choice.effect) && allowed)
            return choice.effect;
    }
    return DROPEFFECT_NONE;
}

IEventData IDMDropTargetData::send(unsigned int message, const POINTL& point, DWORD keyState)
{
    const ovk_dragdrop::DeliveredKeys keys(keyState);
    return IWindowHandle(windowHandle).sendEvent(message, packed(point.x, point.y),
                                                 IEventData(dataObject));
}

DWORD IDMDropTargetData::effectShown(DWORD keyState, unsigned short answer, DWORD offered)
{
    DWORD effect = effectOfKeys(keyState, offered);
    if (answer == 0 || answer == 3)
        effect = DROPEFFECT_NONE;
    effect &= offered;
    if (IReference<IDMTargetOperation> target = IDMTargetOperation::currentTargetOperation()) {
        // A drag with no items (its drag information did not read) has nothing to drop: with
        // no effect OLE ends it with a leave, and neither a drop nor the drop menu runs.
        if (target->numberOfItems() == 0)
            effect = DROPEFFECT_NONE;
        target->setOperation(effect);
    }
    return effect;
}

// A right-button drag offers move until the drop, where the menu decides; otherwise the first
// item's operations decide, move before copy before link.
void IDMDropTargetData::takeDefaultEffect()
{
    if (rightButtonDrag) {
        defaultEffect = DROPEFFECT_MOVE;
        return;
    }
    const IReference<IDMTargetOperation> target = IDMTargetOperation::currentTargetOperation();
    if (!target || target->numberOfItems() == 0)
        return;
    supportedOperations = static_cast<unsigned short>(target->item(1)->supportedOperations());
    defaultEffect = (supportedOperations & IDMItem::moveable)   ? DROPEFFECT_MOVE
                    : (supportedOperations & IDMItem::copyable) ? DROPEFFECT_COPY
                    : (supportedOperations & IDMItem::linkable) ? DROPEFFECT_LINK
                                                                : DROPEFFECT_COPY;
}

void IDMDropTargetData::endDrag() noexcept
{
    rightButtonDrag = FALSE;
    dataObject = nullptr;
    menuHandler.setDropPending(false);
    commandHandler.abandon();
    const IReference<IDMTargetOperation> current = IDMTargetOperation::currentTargetOperation();
    if (current && current->targetWindowHandle() == IWindowHandle(windowHandle))
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
}

IDMDropTarget::IDMDropTarget(IWindow* window) : fData(new IDMDropTargetData(window))
{
    if (window) {
        fData->commandHandler.handleEventsFor(window);
        fData->menuHandler.handleEventsFor(window);
    }
}

IDMDropTarget::~IDMDropTarget()
{
    delete fData;
}

HRESULT IDMDropTarget::QueryInterface(REFIID riid, void** object)
{
    return ovk_dragdrop::queryInterface(static_cast<IDropTarget*>(this), riid, IID_IDropTarget,
                                        object);
}

ULONG IDMDropTarget::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&fData->references));
}

ULONG IDMDropTarget::Release()
{
    const long count = InterlockedDecrement(&fData->references);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// The effect is cleared before anything runs, so that a failure leaves OLE with none.
HRESULT IDMDropTarget::DragEnter(IDataObject* dataObject, DWORD keyState, POINTL point,
                                 DWORD* effect)
{
    const DWORD offered = effect ? *effect : 0;
    if (effect)
        *effect = DROPEFFECT_NONE;
    return guardedCall([&]() -> HRESULT {
        IDMDropTargetData& data = *fData;
        data.dataObject = dataObject;
        data.rightButtonDrag = (keyState & MK_RBUTTON) != 0;
        // The target handler makes the current target operation while it answers the first
        // drag-over event; the default effect is taken from its first item after that, and the
        // effect is worked out again from it.
        const unsigned short answer =
            data.send(IPrivateMessage::dragOver, point, keyState).lowNumber();
        data.takeDefaultEffect();
        const DWORD shown = data.effectShown(keyState, answer, offered);
        if (effect)
            *effect = shown;
        return S_OK;
    });
}

HRESULT IDMDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    const DWORD offered = effect ? *effect : 0;
    if (effect)
        *effect = DROPEFFECT_NONE;
    return guardedCall([&]() -> HRESULT {
        IDMDropTargetData& data = *fData;
        const unsigned short answer =
            data.send(IPrivateMessage::dragOver, point, keyState).lowNumber();
        const DWORD shown = data.effectShown(keyState, answer, offered);
        if (effect)
            *effect = shown;
        return S_OK;
    });
}

// A window destroyed during the drag may hear no leave; its drag ends here all the same.
HRESULT IDMDropTarget::DragLeave()
{
    IDMDropTargetData& data = *fData;
    const HRESULT result = guardedCall([&]() -> HRESULT {
        data.rightButtonDrag = FALSE;
        data.dataObject = nullptr;
        if (IsWindow(data.windowHandle))
            IWindowHandle(data.windowHandle).sendEvent(IPrivateMessage::dragLeave, 0, 0);
        return S_OK;
    });
    data.endDrag();
    return result;
}

// A left-button drop is the drop event; a right-button drop shows the drop menu and carries
// out its choice before OLE hears the outcome. Either way the effect reported is what the
// target did.
HRESULT IDMDropTarget::Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect)
{
    const DWORD offered = effect ? *effect : 0;
    if (effect)
        *effect = DROPEFFECT_NONE;
    IDMDropTargetData& data = *fData;
    const HRESULT result = guardedCall([&]() -> HRESULT {
        data.dataObject = dataObject;
        DWORD done = DROPEFFECT_NONE;
        if (data.rightButtonDrag) {
            done = rightButtonDrop(data, point, offered);
        } else {
            data.effectShown(keyState, 1, offered);
            done = effectReported(data.send(IPrivateMessage::dragDrop, point, keyState).lowNumber(),
                                  offered, dataObject);
        }
        if (effect)
            *effect = done;
        return S_OK;
    });
    // OLE sends no leave after a drop: a menu that failed to build or show, or a window gone
    // before its drop, ends the drag here.
    data.endDrag();
    return result;
}

DWORD IDMDropTarget::rightButtonDrop(IDMDropTargetData& data, const POINTL& point, DWORD offered)
{
    IWindow* window = IWindow::windowWithHandle(data.windowHandle);
    if (!window)
        return DROPEFFECT_NONE;
    data.commandHandler.setPendingDrop(point, data.dataObject);
    data.menuHandler.setDropPending(true);
    window->sendEvent(WM_RBUTTONUP, 0, 0);
    data.menuHandler.setDropPending(false);
    // A menu closed without a choice cancels the drop, so that the target hears the end of it.
    if (data.commandHandler.isPending())
        data.commandHandler.cancel(*window);
    return data.commandHandler.effectCarriedOut() & offered;
}

IBase::Boolean IDMDropTarget::registerDragDrop()
{
    bool registered = false;
    {
        ovk_native::ComReference<IDropTarget> target;
        if (!target.query(this, IID_IDropTarget))
            return false;
        CoLockObjectExternal(target.get(), TRUE, FALSE);
        registered = RegisterDragDrop(fData->windowHandle, target.get()) == S_OK;
        fData->registered = registered;
        if (!registered)
            CoLockObjectExternal(target.get(), FALSE, TRUE);
    }
    // Without another holder the scope's release deleted the object: nothing of it is touched
    // afterwards.
    return registered;
}

IDMDropTarget& IDMDropTarget::revokeDragDrop()
{
    if (!fData->window)
        return *this;
    // A window that leaves OLE during a drag (it is being destroyed) hears no leave: OLE drops
    // a target whose window is gone without a word. Its part of the drag ends here.
    fData->endDrag();
    // The lock's release may delete this object: nothing of it is touched afterwards.
    const bool registered = fData->registered != FALSE;
    fData->registered = FALSE;
    if (registered)
        RevokeDragDrop(fData->windowHandle);
    CoLockObjectExternal(this, FALSE, TRUE);
    return *this;
}

IBase::Boolean IDMDropTarget::isRegistered() const noexcept
{
    return fData->registered != FALSE;
}

unsigned long IDMDropTarget::defaultEffect() const noexcept
{
    return fData->defaultEffect;
}
