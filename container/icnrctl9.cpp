// ICnrCtl: opening and closing the in-place editor, and the record of the open edit.
#include <windows.h>

#include "icnrctl.hpp"

#include <iexcept.hpp>

#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl9";
constexpr std::uint32_t kTitlePart = 0x7FF5;

CNREDITDATA editRecord(HWND container)
{
    CNREDITDATA edit{};
    edit.cb = sizeof(CNREDITDATA);
    edit.hwndCnr = container;
    return edit;
}

} // namespace

void ICnrCtl::openEdit(CNREDITDATA& edit, const char* function)
{
    // A close posted for an earlier edit must take effect before the new edit opens, or it
    // would close the new one when it arrives.
    MSG pending{};
    bool closePending = false;
    while (PeekMessageA(&pending, handle(), CM_CLOSEEDIT, CM_CLOSEEDIT, PM_REMOVE))
        closePending = true;
    if (closePending)
        sendEvent(CM_CLOSEEDIT, 0, 0);
    if (!sendEvent(CM_OPENEDIT, static_cast<const void*>(&edit), 0).asUnsignedLong())
        IThrow::systemError("CM_OPENEDIT", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

ICnrCtl& ICnrCtl::editContainerTitle()
{
    CNREDITDATA edit = editRecord(handle());
    edit.id = kTitlePart;
    openEdit(edit, "ICnrCtl::editContainerTitle()");
    return *this;
}

ICnrCtl& ICnrCtl::editObject(ICnrObj* object, IContainerColumn* column)
{
    setEditedColumn(column);
    CNREDITDATA edit = editRecord(handle());
    edit.pRecord = ICnrObj::recordOf(object);
    edit.id = static_cast<std::uint32_t>(id());
    if (column)
        fillColumnEdit(edit, column, false);
    openEdit(edit, "ICnrCtl::editObject(ICnrObj*,IContainerColumn*)");
    return *this;
}

ICnrCtl& ICnrCtl::editColumnTitle(IContainerColumn* column)
{
    setEditedColumn(column);
    CNREDITDATA edit = editRecord(handle());
    fillColumnEdit(edit, column, true);
    openEdit(edit, "ICnrCtl::editColumnTitle(IContainerColumn*)");
    return *this;
}

ICnrCtl& ICnrCtl::closeEdit()
{
    sendEvent(CM_CLOSEEDIT, 0, 0);
    return *this;
}

ICnrCtl& ICnrCtl::setEditWindow(IWindow* window)
{
    fEditWindow = window;
    return *this;
}

ICnrCtl& ICnrCtl::setEditedColumn(IContainerColumn* column)
{
    fEditedColumn = column;
    return *this;
}

ICnrCtl& ICnrCtl::setEditedObject(ICnrObj* object)
{
    fEditedObject = object;
    return *this;
}

// Columns come with the details view; until then a column edit names no descriptor and the
// part of the cells left of the split.
void ICnrCtl::fillColumnEdit(CNREDITDATA& edit, IContainerColumn*, IBase::Boolean heading) const
{
    edit.pFieldInfo = nullptr;
    edit.id = heading ? 0x7FF0u : 0x7FF7u;
}
