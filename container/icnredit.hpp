// ICnrEditHandler: in-place editing of a container's texts (object texts, details cells, column
// headings and the title), and the events of an edit.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include <istring.hpp>

#include <idefs.hpp>
#include <ihandler.hpp>

#include "icnrevt.hpp"

struct HWND__;

struct CNREDITDATA;
struct MINIRECORDCORE;
class ICnrCtl;
class ICnrObj;
class IContainerColumn;

// A notification whose data is the container's editing record.
class OVKWIN_API ICnrEditEvent : public ICnrEvent {
public:
    explicit ICnrEditEvent(const IEvent& event);
    ~ICnrEditEvent() override;

    ICnrObj* object() const;
    // The column of a details-view edit (only in the details view), else null.
    IContainerColumn* column() const;
    // The container named by the editing record.
    ICnrCtl* container() const;
    // The text being edited; "editData != 0 && editData->ppszText != 0" when there is none.
    char*& textRef() const;
    IString text() const;

    IBase::Boolean isContainerTitle() const;
    IBase::Boolean isLeftColumnTitle() const;
    IBase::Boolean isRightColumnTitle() const;
    IBase::Boolean isLeftDetailsCell() const;
    IBase::Boolean isRightDetailsCell() const;
    IBase::Boolean isDetailsViewField() const;

protected:
    const CNREDITDATA* editData() const;
};

class OVKWIN_API ICnrBeginEditEvent : public ICnrEditEvent {
public:
    explicit ICnrBeginEditEvent(const IEvent& event);
    ~ICnrBeginEditEvent() override;
};

class OVKWIN_API ICnrEndEditEvent : public ICnrEditEvent {
public:
    explicit ICnrEndEditEvent(const IEvent& event);
    ~ICnrEndEditEvent() override;

    // The edit window's text as the edit ended.
    IString newText() const { return fNewText; }
    ICnrEndEditEvent& setNewText(const IString& text)
    {
        fNewText = text;
        return *this;
    }

private:
    IString fNewText;
};

// CN_REALLOCPSZ: the container needs a buffer for the new text, cbText bytes long.
class OVKWIN_API ICnrReallocStringEvent : public ICnrEditEvent {
public:
    explicit ICnrReallocStringEvent(const IEvent& event);
    ~ICnrReallocStringEvent() override;

    // The new text's length without its terminating zero; 0 when the record gives none.
    unsigned long newTextLength() const;
    // The edit window's current text, or "" without an edit window.
    IString newText() const;
};

// Keeps the container's record of the open edit (its edit window, column and object) and by
// default re-allocates the edited string so that the container can copy the new text into it.
class OVKWIN_API ICnrEditHandler : public IHandler {
public:
    ICnrEditHandler();
    ~ICnrEditHandler() override;

    // Refused with the invalid-request error: the handler serves containers only.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // The virtual operations keep the order that derived handlers rely on.
    virtual IBase::Boolean beginEdit(ICnrBeginEditEvent& event);
    virtual IBase::Boolean reallocString(ICnrReallocStringEvent& event);
    virtual IBase::Boolean endEdit(ICnrEndEditEvent& event);

public:
    // A null container fails the argument check "container != 0".
    virtual ICnrEditHandler& handleEventsFor(ICnrCtl* container);
    virtual ICnrEditHandler& stopHandlingEventsFor(ICnrCtl* container);
    // A handler attached to the edit window while an edit is open (null: none).
    virtual ICnrEditHandler& setEditWindowHandler(IHandler* handler);
    // The window object over a container's live edit control (by default a plain window
    // object); deleted when the edit ends.
    virtual IWindow* createEditWindow(const IWindowHandle& handle);

    // How the default reallocString keeps a details-view cell's new text, which lies in the
    // application's object at the column's offset:
    // - mode 0 (the default): the field is an IString, and the text is assigned to it. A field
    //   of any other type must not be edited in this mode: its pointer would be taken for an
    //   IString's.
    // - mode 1: the field is a plain char*. The handler puts a buffer of its own there (made
    //   with new[]). While the object stays in the container, the next edit of the cell frees
    //   that buffer (when the cell still holds it) as it puts a new one there. Once the object
    //   leaves the container, or the handler stops handling it, the buffer is the application's,
    //   as the text before the first edit always was, and the handler never frees it: the object
    //   may be deleted and another made at the same address with a buffer of the application's
    //   own. The buffers stay with the cells when the handler goes; a copy of the object must
    //   copy such a text, not its pointer.
    // Column headings are kept by their columns, the object's own text and the title as the
    // library's strings.
    ICnrEditHandler& setStringMode(unsigned long mode) noexcept
    {
        fStringMode = mode;
        return *this;
    }
    unsigned long stringMode() const noexcept { return fStringMode; }

private:
    IWindow* findEditWindow(ICnrCtl& container);
    // Whether the cell holds the plain buffer this handler made for it.
    bool madeBuffer(char** slot) const;
    // A new zeroed buffer of `bytes` bytes for the cell of a record, freeing the one it holds
    // only when this handler made that one.
    void replaceBuffer(char** slot, unsigned long bytes, HWND__* container,
                       const MINIRECORDCORE* record);
    // What the handler made for the cells of records that leave the container (all of them for
    // none named) belongs to the application from here on.
    void forgetMadeBuffers(HWND__* container, MINIRECORDCORE* const* records,
                           unsigned long count) noexcept;

    IHandler* fEditWindowHandler = nullptr;
    unsigned long fStringMode = 0;
    // The edit windows this handler made and still owns.
    std::vector<IWindow*> fCreated;
    // The plain buffers this handler put into cells of records still in their containers, by
    // the cell, with the container window and the record. One handler may serve containers of
    // several threads, each changing the list and the map as its edits begin and end and its
    // records leave: the lock covers every use of both.
    struct MadeBuffer {
        char* buffer;
        HWND__* container;
        const MINIRECORDCORE* record;
    };
    std::map<char**, MadeBuffer> fMadeBuffers;
    mutable std::mutex fMadeLock;
};
