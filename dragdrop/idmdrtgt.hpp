// IDMDropTarget: the OLE drop target of one drop-enabled window, which turns OLE's calls into
// the library's private drag events; and the handlers of its right-button drop menu.
#pragma once

#include <oleidl.h>

#include <idefs.hpp>
#include <icmdhdr.hpp>
#include <imenuhdr.hpp>

class IDMDropTargetData;
class IWindow;

// The command handler of the drop menu: carries out the chosen operation as a drop, or the
// cancel as a leave, and lets the data object go.
class OVKWIN_API IDMDropCommandHandler : public ICommandHandler {
public:
    // The menu's commands: move, copy, link, cancel.
    static constexpr unsigned long moveCommand = 0x7144;
    static constexpr unsigned long copyCommand = 0x7145;
    static constexpr unsigned long linkCommand = 0x7146;
    static constexpr unsigned long cancelCommand = 0x7147;

    IDMDropCommandHandler() = default;
    ~IDMDropCommandHandler() override;

    // A right-button drop waits for its command: the drop point (screen coordinates) and the
    // data object, of which the handler takes a reference.
    IDMDropCommandHandler& setPendingDrop(const POINTL& point, IDataObject* dataObject);
    IBase::Boolean isPending() const noexcept { return fDataObject != nullptr; }
    // Cancels a drop that no command ended (a menu closed without a choice).
    IDMDropCommandHandler& cancel(IWindow& window);
    // Lets a drop that no command will end go: the data object is released, nothing is sent.
    void abandon() noexcept;
    // The OLE effect of the command carried out: what the target did for move, copy or link,
    // none for cancel.
    unsigned long effectCarriedOut() const noexcept { return fEffect; }

protected:
    IBase::Boolean command(ICommandEvent& event) override;

private:
    void drop(IWindow& window, unsigned long operation);
    void release() noexcept;

    long fX = 0;
    long fY = 0;
    IDataObject* fDataObject = nullptr;
    unsigned long fEffect = 0;
};

// The menu handler of the drop menu: shows the menu on the right-button release that the drop
// target sends while a drop is pending, and carries out the choice before it returns.
class OVKWIN_API IDMDropMenuHandler : public IMenuHandler {
public:
    explicit IDMDropMenuHandler(IDMDropCommandHandler& commands) : fCommands(commands) {}
    ~IDMDropMenuHandler() override;

    IDMDropMenuHandler& setDropPending(IBase::Boolean pending);
    IBase::Boolean isDropPending() const noexcept { return fDropPending; }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The operations the first item allows, a separator and cancel.
    IBase::Boolean makePopUpMenu(IMenuEvent& event) override;

private:
    IDMDropCommandHandler& fCommands;
    IBase::Boolean fDropPending = false;
};

// Counted from 0 at construction; every method runs inside the library's callback guard, so an
// exception gives OLE no effect and waits for the library's own code.
class OVKWIN_API IDMDropTarget : public IDropTarget {
public:
    // Attaches the drop menu and command handlers to the window.
    explicit IDMDropTarget(IWindow* window);
    IDMDropTarget(const IDMDropTarget&) = delete;
    IDMDropTarget& operator=(const IDMDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* dataObject, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* dataObject, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

    // Registers the window with OLE (keeping this object locked while registered); false, and
    // nothing thrown, when OLE refuses.
    virtual IBase::Boolean registerDragDrop();
    virtual IDMDropTarget& revokeDragDrop();

    IBase::Boolean isRegistered() const noexcept;
    // The effect offered when no modifier key is down.
    unsigned long defaultEffect() const noexcept;

protected:
    virtual ~IDMDropTarget();

private:
    DWORD rightButtonDrop(IDMDropTargetData& data, const POINTL& point, DWORD offered);

    IDMDropTargetData* fData;
};
