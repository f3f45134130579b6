// ICnrCtl: opening and closing the in-place editor, and the record of the open edit.
#include <windows.h>

#include "icnrctl.hpp"

#include <iexcept.hpp>

#include "icnrcol.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl9";

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
    edit.id = CNR_PART_TITLE;
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

// A heading names its side of the split; a cell is left when its column is found from the first
// up to the last column before the split (all of them without a split), else right.
void ICnrCtl::fillColumnEdit(CNREDITDATA& edit, IContainerColumn* column,
                             IBase::Boolean heading) const
{
    edit.pFieldInfo = column ? column->fieldInfo() : nullptr;
    if (heading) {
        edit.id = column && isColumnRight(column) ? CNR_PART_RIGHTHEADING : CNR_PART_LEFTHEADING;
        return;
    }
    const IContainerColumn* const split = detailsViewSplit();
    ColumnCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        if (cursor.current() == column) {
            edit.id = CNR_PART_LEFTCELL;
            return;
        }
        if (cursor.current() == split)
            break;
    }
    edit.id = CNR_PART_RIGHTCELL;
}
