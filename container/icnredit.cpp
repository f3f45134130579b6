// ICnrEditHandler and the edit events.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "icnredit.hpp"

#include <iexcept.hpp>
#include <imle.hpp>

#include <iprivmsg.hpp>
#include <iwcname.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnritem.hpp"
#include "detail/icnrrtxt.hpp"
#include "icnrcol.hpp"
#include "icnrctl.hpp"
#include "icnrhdr.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnredit";

IString windowText(const IWindow* window)
{
    if (!window)
        return IString();
    const HWND handle = window->handle();
    const int length = GetWindowTextLengthA(handle);
    if (length <= 0)
        return IString();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(handle, text.data(), length + 1);
    return IString(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

// The object's own text, which the object keeps as the library's string in its record, also
// when a details-view column shows it.
bool isObjectText(const ICnrObj* object, char** slot)
{
    const MINIRECORDCORE* record = object ? ICnrObj::recordOf(object) : nullptr;
    return record && slot == &record->pszIcon;
}

const CNREDITDATA* editDataOf(const IEvent& event)
{
    return static_cast<const CNREDITDATA*>(event.parameter2().asPointer());
}

// An object's text and a string cell are the library's string, kept in the record's slot.
IString& stringInSlot(char** slot)
{
    return *std::launder(reinterpret_cast<IString*>(slot));
}

} // namespace

// The events ----------------------------------------------------------------------------------------

ICnrEditEvent::ICnrEditEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrEditEvent::~ICnrEditEvent() = default;

const CNREDITDATA* ICnrEditEvent::editData() const
{
    return static_cast<const CNREDITDATA*>(parameter2().asPointer());
}

ICnrObj* ICnrEditEvent::object() const
{
    const CNREDITDATA* edit = editData();
    return edit ? ICnrObj::objectOf(edit->pRecord) : nullptr;
}

ICnrCtl* ICnrEditEvent::container() const
{
    const CNREDITDATA* edit = editData();
    return edit ? ICnrCtl::containerWithHandle(IWindowHandle(edit->hwndCnr)) : nullptr;
}

IContainerColumn* ICnrEditEvent::column() const
{
    const CNREDITDATA* edit = editData();
    ICnrCtl* cnr = container();
    if (!edit || !edit->pFieldInfo || !cnr || !(cnr->viewWord() & CV_DETAIL))
        return nullptr;
    return static_cast<IContainerColumn*>(edit->pFieldInfo->pUserData);
}

char*& ICnrEditEvent::textRef() const
{
    const CNREDITDATA* editData = this->editData();
    ISTATE_CHECK(editData != 0 && editData->ppszText != 0, kFile, "ICnrEditEvent::textRef() const");
    return *editData->ppszText;
}

IString ICnrEditEvent::text() const
{
    const char* text = textRef();
    return IString(text ? text : "");
}

namespace {

bool hasId(const CNREDITDATA* edit, std::uint32_t id)
{
    return edit && edit->id == id;
}

} // namespace

IBase::Boolean ICnrEditEvent::isContainerTitle() const { return hasId(editData(), CNR_PART_TITLE); }
IBase::Boolean ICnrEditEvent::isLeftColumnTitle() const { return hasId(editData(), CNR_PART_LEFTHEADING); }
IBase::Boolean ICnrEditEvent::isRightColumnTitle() const { return hasId(editData(), CNR_PART_RIGHTHEADING); }
IBase::Boolean ICnrEditEvent::isLeftDetailsCell() const { return hasId(editData(), CNR_PART_LEFTCELL); }
IBase::Boolean ICnrEditEvent::isRightDetailsCell() const { return hasId(editData(), CNR_PART_RIGHTCELL); }

IBase::Boolean ICnrEditEvent::isDetailsViewField() const
{
    const CNREDITDATA* edit = editData();
    ICnrCtl* cnr = container();
    return edit && cnr && edit->pFieldInfo && !isLeftColumnTitle() && !isRightColumnTitle() &&
           (cnr->viewWord() & CV_DETAIL) != 0;
}

ICnrBeginEditEvent::ICnrBeginEditEvent(const IEvent& event) : ICnrEditEvent(event) {}
ICnrBeginEditEvent::~ICnrBeginEditEvent() = default;

ICnrEndEditEvent::ICnrEndEditEvent(const IEvent& event) : ICnrEditEvent(event) {}
ICnrEndEditEvent::~ICnrEndEditEvent() = default;

ICnrReallocStringEvent::ICnrReallocStringEvent(const IEvent& event) : ICnrEditEvent(event) {}
ICnrReallocStringEvent::~ICnrReallocStringEvent() = default;

unsigned long ICnrReallocStringEvent::newTextLength() const
{
    const CNREDITDATA* edit = editData();
    return edit && edit->cbText ? edit->cbText - 1u : 0u;
}

IString ICnrReallocStringEvent::newText() const
{
    ICnrCtl* cnr = container();
    return windowText(cnr ? cnr->editWindow() : nullptr);
}

// The handler ----------------------------------------------------------------------------------------

ICnrEditHandler::ICnrEditHandler() = default;

ICnrEditHandler::~ICnrEditHandler()
{
    for (IWindow* window : fCreated)
        delete window;
}

IHandler& ICnrEditHandler::handleEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrEditHandler::handleEventsFor(IWindow*)");
}

IHandler& ICnrEditHandler::stopHandlingEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrEditHandler::stopHandlingEventsFor(IWindow*)");
}

ICnrEditHandler& ICnrEditHandler::handleEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrEditHandler::handleEventsFor(ICnrCtl*)");
    IHandler::handleEventsFor(container);
    return *this;
}

ICnrEditHandler& ICnrEditHandler::stopHandlingEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrEditHandler::stopHandlingEventsFor(ICnrCtl*)");
    if (container->isValid())
        forgetMadeBuffers(container->handle(), nullptr, 0);
    IHandler::stopHandlingEventsFor(container);
    return *this;
}

ICnrEditHandler& ICnrEditHandler::setEditWindowHandler(IHandler* handler)
{
    fEditWindowHandler = handler;
    return *this;
}

// A plain window object over the edit control: the container's edit ends on Enter and Escape,
// so the keys must reach the control, not be passed on to an owner as a text field would.
IWindow* ICnrEditHandler::createEditWindow(const IWindowHandle& handle)
{
    return new IMultiLineEdit(handle);
}

IBase::Boolean ICnrEditHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == CM_REMOVERECORD) {
        // Seen on its way to the window, which goes on to remove the records.
        if (event.window())
            forgetMadeBuffers(event.window()->handle(),
                              static_cast<MINIRECORDCORE* const*>(event.parameter1().asPointer()),
                              LOWORD(event.parameter2().asUnsignedLong()));
        return false;
    }
    if (event.eventId() == WM_CHAR) {
        // While an edit is open the keys belong to the edit control, which gets them itself.
        auto* container = dynamic_cast<ICnrCtl*>(event.window());
        return container && container->editWindow();
    }
    ICnrEvent notification(event);
    if (!ICnrEvent::isFromContainer(notification))
        return false;
    switch (notification.notificationCode()) {
    case CN_REALLOCPSZ: return dispatchAs(*this, &ICnrEditHandler::reallocString, event);
    case CN_BEGINEDIT: return dispatchAs(*this, &ICnrEditHandler::beginEdit, event);
    case CN_ENDEDIT: {
        ICnrEndEditEvent endEvent(event);
        if (ICnrCtl* container = endEvent.container())
            if (container->editWindow())
                endEvent.setNewText(windowText(container->editWindow()));
        const IBase::Boolean handled = endEdit(endEvent);
        if (handled)
            event.setResult(endEvent.result());
        return handled;
    }
    default:
        return false;
    }
}

// The live edit control: the message-driven container's own child, else the edit of the native
// list or tree control.
IWindow* ICnrEditHandler::findEditWindow(ICnrCtl& container)
{
    HWND edit = nullptr;
    if (container.isMessageContainer()) {
        edit = GetDlgItem(container.handle(), CNR_EDIT_CHILD_ID);
    } else if (ICnrControlData* data = container.controlData()) {
        if (data->overlayEdit())
            edit = data->overlayEdit();
        else if (data->nativeMode() == ICnrControlData::treeMode)
            edit = reinterpret_cast<HWND>(SendMessageA(data->treeControl(), TVM_GETEDITCONTROL, 0, 0));
        else if (data->listControl())
            edit = reinterpret_cast<HWND>(SendMessageA(data->listControl(), LVM_GETEDITCONTROL, 0, 0));
    }
    if (!edit)
        return nullptr;
    IWindow* window = createEditWindow(IWindowHandle(edit));
    if (window) {
        const std::lock_guard<std::mutex> lock(fMadeLock);
        fCreated.push_back(window);
    }
    return window;
}

IBase::Boolean ICnrEditHandler::beginEdit(ICnrBeginEditEvent& event)
{
    ICnrCtl* container = event.container();
    IWindow* window = container ? findEditWindow(*container) : nullptr;
    if (window) {
        container->setEditWindow(window);
        container->setEditedColumn(event.column());
        container->setEditedObject(event.object());
        if (fEditWindowHandler)
            fEditWindowHandler->handleEventsFor(window);
    }
    return true;
}

IBase::Boolean ICnrEditHandler::reallocString(ICnrReallocStringEvent& event)
{
    ICnrCtl* container = event.container();
    if (!container || !container->editWindow())
        return true;
    char** slot = &event.textRef();
    ICnrObj* const object = event.object();
    const bool objectText = isObjectText(object, slot);
    // An object's text is read and replaced under the lock over all objects: other threads rename the
    // object and read its text while the edit is open.
    const IString current = windowText(container->editWindow());
    if (current == (objectText ? ICnrItemTable::textOf(*object) : event.text()))
        return true;
    const unsigned long length = event.newTextLength();
    if (event.isLeftColumnTitle() || event.isRightColumnTitle()) {
        // The heading's text belongs to its column, which makes the new one and frees the old,
        // whatever the heading held before.
        IContainerColumn* column = event.column();
        if (!column || slot != reinterpret_cast<char**>(&column->fieldInfo()->pTitleData))
            return true;
        column->headingTextBuffer(length + 1);
    } else if (((event.isDetailsViewField() && fStringMode == 1) || madeBuffer(slot)) &&
               !objectText) {
        // A plain buffer, made as an array; the container copies cbText bytes at most. The
        // text before it is freed only when this handler made it for this cell: the first
        // one is the application's, made in whatever way.
        const CNREDITDATA* edit = editDataOf(event);
        replaceBuffer(slot, length + 1, edit ? edit->hwndCnr : nullptr, edit ? edit->pRecord : nullptr);
    } else if (event.isContainerTitle()) {
        // The title's slot is the container window's own pointer, into the container's title
        // string: the new buffer is that string, so the two stay one text.
        container->fTitle = IString::repeated(' ', length);
        *slot = container->fTitle.writableData();
    } else if (objectText) {
        // Made whole first, swapped in as a rename is, and the text it replaces let go after;
        // a message-driven container of another thread may be reading it, as after a rename.
        IString room = IString::repeated(' ', length);
        room.writableData();
        {
            const ICnrAllObjectsLock lock;
            std::swap(stringInSlot(slot), room);
        }
        if (object->containerCount() > 1)
            ICnrReplacedTexts::keepWhileRead(std::move(room));
    } else {
        IString& text = stringInSlot(slot);
        text = IString::repeated(' ', length);
        text.writableData();
    }
    event.setResult(1);
    return true;
}

bool ICnrEditHandler::madeBuffer(char** slot) const
{
    const std::lock_guard<std::mutex> lock(fMadeLock);
    const auto made = fMadeBuffers.find(slot);
    return made != fMadeBuffers.end() && made->second.buffer == *slot;
}

void ICnrEditHandler::replaceBuffer(char** slot, unsigned long bytes, HWND__* container,
                                    const MINIRECORDCORE* record)
{
    char* const buffer = new char[bytes]();
    char* made = nullptr;
    {
        const std::lock_guard<std::mutex> lock(fMadeLock);
        const auto found = fMadeBuffers.find(slot);
        if (found != fMadeBuffers.end() && found->second.buffer == *slot)
            made = *slot;
        *slot = buffer;
        fMadeBuffers[slot] = MadeBuffer{buffer, container, record};
    }
    delete[] made;
}

// A cell's address tells nothing once its record has left the container: the application may
// delete the object and make another at the same address, with a text buffer of its own that the
// heap may place where the handler's was. Every record leaves its containers before its object's
// memory goes.
void ICnrEditHandler::forgetMadeBuffers(HWND__* container, MINIRECORDCORE* const* records,
                                        unsigned long count) noexcept
{
    const std::lock_guard<std::mutex> lock(fMadeLock);
    for (auto made = fMadeBuffers.begin(); made != fMadeBuffers.end();) {
        const bool leaves = made->second.container == container &&
                            (!records || count == 0 ||
                             std::find(records, records + count, made->second.record) !=
                                 records + count);
        if (leaves)
            made = fMadeBuffers.erase(made);
        else
            ++made;
    }
}

IBase::Boolean ICnrEditHandler::endEdit(ICnrEndEditEvent& event)
{
    ICnrCtl* container = event.container();
    IWindow* window = container ? container->editWindow() : nullptr;
    if (!window)
        return true;
    if (fEditWindowHandler)
        fEditWindowHandler->stopHandlingEventsFor(window);
    container->setEditWindow(nullptr);
    container->setEditedColumn(nullptr);
    container->setEditedObject(nullptr);
    bool owned = false;
    {
        const std::lock_guard<std::mutex> lock(fMadeLock);
        auto made = std::find(fCreated.begin(), fCreated.end(), window);
        if (made != fCreated.end()) {
            fCreated.erase(made);
            owned = true;
        }
    }
    if (owned)
        delete window;
    return true;
}
