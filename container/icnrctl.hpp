// ICnrCtl: the container control, a window that shows application objects and is driven only
// by the container messages.
#pragma once

#include <cstdint>

#include <ibitflag.hpp>
#include <irect.hpp>

#include <icontrol.hpp>
#include <idefs.hpp>

#include "icnrinfo.hpp"
#include "icnrmsg.hpp"

class ICnrControlData;
class ICnrDestroyHandler;
class ICnrObj;
class IResource;

// A container is a window of one of two classes: the library's own "OVK Native Container",
// which carries the container messages out on a list or tree control, or the message-driven
// "OVK Container" that another module provides. ICnrCtl only sends messages and reads records,
// so it does not care which. Every thread that makes containers has a hidden allocation window
// of the message-driven class, through which every record is allocated and freed, whichever
// container holds it.
class OVKWIN_API ICnrCtl : public IControl {
public:
    // The window style: selection and behaviour in the first word, the choice of window class
    // in the second.
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    // The view word a new container starts with: views and presentation attributes.
    class OVKWIN_API Attribute : public IBitFlagSet<Attribute> {
    public:
        constexpr Attribute(Word value, Word extendedValue = 0)
            : IBitFlagSet(value, extendedValue) {}
    };

    static const Style readOnly;
    static const Style autoPosition;
    static const Style extendedSelection;
    static const Style singleSelection;
    static const Style multipleSelection;
    static const Style verifyPointers;
    static const Style messageContainer;
    static const Style fastDelete;
    static const Style classDefaultStyle;

    static const Attribute textView;
    static const Attribute nameView;
    static const Attribute iconView;
    static const Attribute detailsView;
    static const Attribute flowedView;
    static const Attribute miniIcons;
    static const Attribute treeView;
    static const Attribute containerTitle;
    static const Attribute titleSeparator;
    static const Attribute titleLeft;
    static const Attribute titleRight;
    static const Attribute titleCenter;
    static const Attribute drawItem;
    static const Attribute detailsViewTitles;
    static const Attribute orderedTargetEmphasis;
    static const Attribute readOnlyTitle;
    static const Attribute drawBackground;
    static const Attribute mixedTargetEmphasis;
    static const Attribute treeLine;
    static const Attribute defaultAttribute;

    // Notification ids, compared by address.
    static const char* const addId;
    static const char* const removeId;

    // A new container window: message-driven with the messageContainer style, else native.
    ICnrCtl(unsigned long id, IWindow* parent, IWindow* owner,
            const IRectangle& location = IRectangle(), const Style& style = defaultStyle(),
            const Attribute& attribute = currentDefaultAttribute());
    // Takes over the container child with this id (a container in a dialog), or a container
    // window by handle. Such a container is always treated as message-driven, and its window
    // outlives the object.
    ICnrCtl(unsigned long id, IWindow* parent);
    explicit ICnrCtl(const IWindowHandle& handle);
    ~ICnrCtl() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);
    static Attribute currentDefaultAttribute();
    static void setDefaultAttribute(const Attribute& attribute);

    // The base conversion plus the container bits of the low byte and WS_CHILD,
    // WS_CLIPSIBLINGS and WS_CLIPCHILDREN.
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // 50 by 50, whatever the contents.
    ISize calcMinimumSize() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual ICnrCtl& setDeleteObjectsOnClose(IBase::Boolean deleteObjects = true);
    virtual ICnrCtl& setDeleteColumnsOnClose(IBase::Boolean deleteColumns = true);
    virtual ICnrCtl& enableRefresh(IBase::Boolean enable = true);
    virtual ICnrCtl& disableRefresh();

    IBase::Boolean isRefreshOn() const;
    // True for a window of the message-driven class "OVK Container".
    IBase::Boolean isMessageContainer() const;
    // Counts the objects inserted and removed; object cursors keep a snapshot of it.
    unsigned long changeCount() const noexcept { return fChangeCount; }

    // The container information record ("CM_QUERYCNRINFO", "CM_SETCNRINFO" when refused).
    const ICnrCtl& containerInfo(ICnrInfo* info) const;
    ICnrCtl& setContainerInfo(ICnrInfo* info, unsigned long fields);

    // Objects in this container. A null object fails the argument check "object!=0"; a refused
    // message throws the system error that names it.
    IBase::Boolean containsObject(const ICnrObj* object) const;
    unsigned long attributes(const ICnrObj* object) const;
    ICnrCtl& setAttributes(ICnrObj* object, unsigned long clear, unsigned long set);
    ICnrCtl& setEmphasis(ICnrObj* object, unsigned long emphasis, IBase::Boolean on = true);

    // Prepares the calling thread for containers: its message queue, the list of all
    // containers, the thunk library and the thread's allocation window.
    static void initialize();
    // The calling thread's allocation window, made anew when there is none or it was
    // destroyed.
    static IWindowHandle allocationWindow();
    // The live container of a window handle, or null.
    static ICnrCtl* containerWithHandle(const IWindowHandle& handle);

    // The handler that cleans a container up when its window is destroyed, shared by all.
    static ICnrDestroyHandler* destroyHandler();
    ICnrCtl& addDestroyHandler();
    ICnrCtl& removeDestroyHandler();

    // The native container's state; also the message-driven flag of either class.
    ICnrControlData* controlData() const noexcept { return fControlData; }

    // The state word.
    enum : std::uint32_t {
        live = 0x01,
        refreshDisabled = 0x02,
        deleteObjectsOnClose = 0x08,
        deleteColumnsOnClose = 0x10,
        refreshPending = 0x20,
    };
    std::uint32_t state() const noexcept { return fState; }

private:
    friend class ICnrDestroyHandler;

    void createWindow(unsigned long id, IWindow* parent, IWindow* owner,
                      const IRectangle& location, const Style& style, const Attribute& attribute);
    void takeOver(const IWindowHandle& handle);
    void finishConstruction(const Attribute& attribute);
    // Once: hides the window, empties it and leaves the list of all containers. Run by the
    // destroy handler and by the destructor, whichever comes first.
    void cleanUp() noexcept;
    void removeAllRecords();
    void disposeOfObjects();
    void leaveContainerList() noexcept;
    void abandon() noexcept;

    std::uint32_t fState = 0;
    std::uint32_t fChangeCount = 0;
    ICnrControlData* fControlData = nullptr;
};
