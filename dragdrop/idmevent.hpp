// The drag events: each step of a drag as it reaches the source or the target window, one
// class per private drag message.
#pragma once

#include <objidl.h>

#include <ipoint.hpp>
#include <ireftype.hpp>
#include <istring.hpp>

#include <idefs.hpp>
#include <ievent.hpp>

#include "idmitem.hpp"

class ICnrCtl;
class ICnrObj;
class IDMSourceOperation;
class IDMTargetOperation;

// The base of every drag event: a copy of the window's event.
class OVKWIN_API IDMEvent : public IEvent {
public:
    explicit IDMEvent(const IEvent& event) noexcept : IEvent(event) {}
    ~IDMEvent() override;

    // The point packed in the first parameter, x in the low and y in the high 16 bits, each
    // sign-extended (a screen left of or above the primary one has negative coordinates).
    IPoint packedPoint() const noexcept;
    // The drag's data object that travels in the second parameter of the target events.
    IDataObject* dataObject() const noexcept;
};

// The base of the enter, leave and drop events: a device context of the target window for
// drawing target emphasis, fetched on first use and released with the event.
class OVKWIN_API IDMTargetEvent : public IDMEvent {
public:
    explicit IDMTargetEvent(const IEvent& event) noexcept : IDMEvent(event) {}
    IDMTargetEvent(const IDMTargetEvent& other) noexcept;
    IDMTargetEvent& operator=(const IDMTargetEvent&) = delete;
    ~IDMTargetEvent() override;

    // The same context until it is released; the system error "DrgGetPS" when there is none.
    virtual HDC presSpace();
    virtual IDMTargetEvent& releasePresSpace();

protected:
    // The pointer position of enter and drop: the packed screen point, in the application's
    // orientation.
    IPoint screenPosition() const;
    // The container under the event when the window is one, and the object of it under the
    // point.
    ICnrCtl* container() const;
    ICnrObj* objectUnder(const IPoint& screenPoint) const;

private:
    HDC fPresSpace = nullptr;
};

// The pointer is over the window (on enter and on every move). The answer to the message is
// the drop answer: 0 no drop here now, 1 drop, 2 no drop for this operation, 3 never a drop
// here.
class OVKWIN_API IDMTargetEnterEvent : public IDMTargetEvent {
public:
    explicit IDMTargetEnterEvent(const IEvent& event) noexcept : IDMTargetEvent(event) {}

    virtual unsigned char dropAnswer() const { return fDropAnswer; }
    virtual unsigned long defaultOperation() const { return fDefaultOperation; }
    // In screen coordinates.
    virtual IPoint position() const;
    // Over a container shown in rows (details, tree or text view) and over one of its objects.
    virtual IBase::Boolean isOverContainerObject() const;
    virtual ICnrObj* containerObject() const;
    // The window when it is a container, else null.
    virtual ICnrCtl* containerWindow() const;

    IDMTargetEnterEvent& setDropAnswer(unsigned char answer);
    IDMTargetEnterEvent& setDefaultOperation(unsigned long operation);

private:
    unsigned char fDropAnswer = 1;
    unsigned long fDefaultOperation = 0x20;
};

// The drop. The answer is the operation that the target carried out, 0 for none.
class OVKWIN_API IDMTargetDropEvent : public IDMTargetEvent {
public:
    explicit IDMTargetDropEvent(const IEvent& event);

    // The drop point, in screen coordinates unless it was set otherwise.
    virtual IPoint position() const { return fDropPosition; }
    virtual IDMTargetDropEvent& setDropPosition(const IPoint& position);
    virtual unsigned long containerId() const;
    virtual ICnrObj* containerObject() const;
    virtual ICnrCtl* containerWindow() const;

private:
    IPoint fDropPosition;
};

class OVKWIN_API IDMTargetLeaveEvent : public IDMTargetEvent {
public:
    explicit IDMTargetLeaveEvent(const IEvent& event) noexcept : IDMTargetEvent(event) {}
};

class OVKWIN_API IDMTargetHelpEvent : public IDMEvent {
public:
    explicit IDMTargetHelpEvent(const IEvent& event) noexcept : IDMEvent(event) {}
};

// The end of a drag at the target; the target handler fills in its operation.
class OVKWIN_API IDMTargetEndEvent : public IDMEvent {
public:
    explicit IDMTargetEndEvent(const IEvent& event);
    ~IDMTargetEndEvent() override;

    IReference<IDMTargetOperation> targetOperation() const;
    IDMTargetEndEvent& setTargetOperation(const IReference<IDMTargetOperation>& operation);

private:
    IReference<IDMTargetOperation>* fOperation;
};

// A drag starts in the window (the drag-start message): the press point in the window's
// coordinates.
class OVKWIN_API IDMSourceBeginEvent : public IDMEvent {
public:
    explicit IDMSourceBeginEvent(const IEvent& event) noexcept : IDMEvent(event) {}

    // Copied into the source operation's begin flag.
    virtual IBase::Boolean beginFlag() const { return fBeginFlag; }
    // The press point; (0, 0) for an event that is not the drag-start message.
    virtual IPoint position() const;
    // For a drag that starts on a container: its id, the object under the press point and the
    // container.
    virtual unsigned long sourceContainerId() const;
    virtual ICnrObj* sourceContainerObject() const;
    virtual ICnrCtl* sourceContainer() const;
    // The object's icon origin relative to the press point; (0, 0) off any object.
    virtual IPoint sourceObjectOffset() const;

    IDMSourceBeginEvent& setBeginFlag(IBase::Boolean flag);

private:
    ICnrCtl* container() const;

    IBase::Boolean fBeginFlag = false;
};

// A target asks for the data of an item in an ordinary format: the request and the medium to
// fill travel in the parameters; the source handler names the item.
class OVKWIN_API IDMSourceRenderEvent : public IDMEvent {
public:
    explicit IDMSourceRenderEvent(const IEvent& event);
    IDMSourceRenderEvent(const IDMSourceRenderEvent& other);
    IDMSourceRenderEvent& operator=(const IDMSourceRenderEvent&) = delete;
    ~IDMSourceRenderEvent() override;

    virtual IDMItem::Handle item() const;
    IDMSourceRenderEvent& setItem(const IDMItem::Handle& item);
    FORMATETC* format() const noexcept;
    STGMEDIUM* medium() const noexcept;
    unsigned char replyFlags() const noexcept { return fReplyFlags; }
    IDMSourceRenderEvent& setReplyFlags(unsigned char flags);

private:
    IDMItem::Handle* fItem;
    unsigned char fReplyFlags = 0x10;
};

class OVKWIN_API IDMSourcePrepareEvent : public IDMSourceRenderEvent {
public:
    explicit IDMSourcePrepareEvent(const IEvent& event) : IDMSourceRenderEvent(event) {}
};

// The target has dropped one item: the item is found by its id among the current source
// operation's items, never taken from the message as an address.
class OVKWIN_API IDMSourceEndEvent : public IDMEvent {
public:
    explicit IDMSourceEndEvent(const IEvent& event) noexcept : IDMEvent(event) {}

    // An empty handle when no item of the current source operation has the id.
    virtual IDMItem::Handle item() const;
    // The operation of the target in the high 16 bits, the outcome in the low 8 bits.
    virtual unsigned long endCode() const { return static_cast<unsigned long>(parameter2().asUnsignedLong()); }
    unsigned long targetOperationCode() const { return parameter2().highNumber(); }
    // 1 when the item took the drop, 2 when it refused.
    unsigned char outcome() const { return static_cast<unsigned char>(parameter2().lowNumber()); }
};

// Discard and print requests; the reply (1, or 3 when no renderer serves the item) is the
// message's answer.
class OVKWIN_API IDMSourceDiscardEvent : public IDMEvent {
public:
    explicit IDMSourceDiscardEvent(const IEvent& event) noexcept : IDMEvent(event) {}

    unsigned char reply() const noexcept { return fReply; }
    IDMSourceDiscardEvent& setReply(unsigned char reply);

private:
    unsigned char fReply = 1;
};

class OVKWIN_API IDMSourcePrintEvent : public IDMSourceDiscardEvent {
public:
    explicit IDMSourcePrintEvent(const IEvent& event) noexcept : IDMSourceDiscardEvent(event) {}
};
