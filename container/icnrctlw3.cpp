// The native details view's header: hidden columns show with width 0 and cannot be widened by
// hand, and icon headings show their icons.
#include <windows.h>
#include <commctrl.h>

#include "detail/icnrdata.hpp"

#include <detail/iclasswide.hpp>
#include <ihandler.hpp>

#include "icnrctl.hpp"

namespace {

// The space between an icon heading and the side of its item it is aligned to.
constexpr int kIconMargin = 6;

void setColumnWidth(HWND list, int column, int width)
{
    LVCOLUMNA change{};
    change.mask = LVCF_WIDTH;
    change.cx = width;
    SendMessageA(list, LVM_SETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&change));
}

HWND headerOf(HWND list)
{
    return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
}

// The native container whose list control this is, or null.
ICnrControlData* dataOfList(HWND list)
{
    ICnrCtl* container = ICnrCtl::containerWithHandle(IWindowHandle(GetParent(list)));
    ICnrControlData* data = container ? container->controlData() : nullptr;
    return data && data->listControl() == list ? data : nullptr;
}

const IColumnSet::Entry* entryOfColumn(const IColumnSet& columns, int column) noexcept
{
    for (const IColumnSet::Entry& entry : columns.entries())
        if (entry.column == column)
            return &entry;
    return nullptr;
}

bool isHidden(const IColumnSet::Entry* entry) noexcept
{
    return entry && (entry->fieldInfo->flData & CFA_INVISIBLE);
}

// The header tells its parent, the list control, before the user drags a divider and when a
// divider is double-clicked; the list's own answer to the double click would size the column
// to its contents, so both are answered here, before the list's procedure sees them.
class ListHeaderHandler : public IHandler {
public:
    static ListHeaderHandler& instance()
    {
        return ovk_app::sharedHandler<ListHeaderHandler>();
    }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_DRAWITEM)
            return drawHeading(event);
        if (event.eventId() != WM_NOTIFY)
            return false;
        const HWND list = event.handle();
        const auto* report = static_cast<const NMHEADERA*>(event.parameter2().asPointer());
        if (!report)
            return false;
        // The code first: every report of the list control passes here too, one per item
        // inserted in a fill, and asking for the header would cost each of them a message.
        switch (report->hdr.code) {
        case HDN_BEGINTRACKA:
        case HDN_BEGINTRACKW:
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW: break;
        default: return false;
        }
        if (report->hdr.hwndFrom != headerOf(list))
            return false;
        ICnrControlData* data = dataOfList(list);
        if (!data || !isHidden(entryOfColumn(data->columns(), report->iItem)))
            return false;
        // TRUE refuses the tracking; the double click simply goes no further.
        event.setResult(TRUE);
        return true;
    }

private:
    // The header has drawn the item's face; the icon goes on it, small, placed as the heading's
    // alignment says and centred in the height.
    static IBase::Boolean drawHeading(IEvent& event)
    {
        const HWND list = event.handle();
        const auto* draw = static_cast<const DRAWITEMSTRUCT*>(event.parameter2().asPointer());
        if (!draw || draw->CtlType != ODT_HEADER || draw->hwndItem != headerOf(list))
            return false;
        ICnrControlData* data = dataOfList(list);
        const IColumnSet::Entry* entry =
            data ? entryOfColumn(data->columns(), static_cast<int>(draw->itemID)) : nullptr;
        const FIELDINFO* field = entry ? entry->fieldInfo : nullptr;
        if (!field || !(field->flTitle & CFA_BITMAPORICON) || !field->pTitleData)
            return false;
        const int side = GetSystemMetrics(SM_CXSMICON);
        const RECT& room = draw->rcItem;
        const std::uint32_t word = field->flTitle;
        int x = room.left + kIconMargin;
        if (word & CFA_RIGHT)
            x = room.right - kIconMargin - side;
        else if (word & CFA_CENTER)
            x = (room.left + room.right - side) / 2;
        const int y = (room.top + room.bottom - side) / 2;
        DrawIconEx(draw->hDC, x, y, static_cast<HICON>(field->pTitleData), side, side, 0, nullptr,
                   DI_NORMAL);
        event.setResult(TRUE);
        return true;
    }
};

} // namespace

void cnrAttachListHeaderHandler(INativeCnrChild& list)
{
    ListHeaderHandler::instance().handleEventsFor(&list);
}

void IColumnSet::setHiddenWidth(const FIELDINFO* fieldInfo, int width) noexcept
{
    const std::size_t index = indexOf(fieldInfo);
    if (index < fEntries.size())
        fEntries[index].hiddenWidth = width;
}

void ICnrControlData::applyColumnLooks()
{
    for (const IColumnSet::Entry& entry : fColumns.entries())
        applyColumnLook(entry.fieldInfo);
}

// Every change of a list column through its descriptor sets its width, format or text anew,
// which loses the width 0 and the owner-draw flag: this runs after each of them.
void ICnrControlData::applyColumnLook(const FIELDINFO* fieldInfo)
{
    const HWND list = listControl();
    const IColumnSet::Entry* entry = fColumns.find(fieldInfo);
    if (!list || !entry || entry->column < 0)
        return;
    const int column = entry->column;
    LVCOLUMNA current{};
    current.mask = LVCF_WIDTH | LVCF_FMT;
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&current)))
        return;
    // A hidden column keeps its place, so that the sub-items of the others stay where they are;
    // a width given to it while hidden is the width it shows with again.
    const bool hidden = (fieldInfo->flData & CFA_INVISIBLE) != 0;
    if (hidden && current.cx > 0) {
        fColumns.setHiddenWidth(fieldInfo, current.cx);
        setColumnWidth(list, column, 0);
    } else if (!hidden && entry->hiddenWidth > 0) {
        setColumnWidth(list, column, entry->hiddenWidth);
        fColumns.setHiddenWidth(fieldInfo, 0);
    }
    // Not every header draws the image a list column's format names (Wine's draws none), so
    // an icon heading is an owner-drawn header item, drawn by the list's answer (drawHeading).
    const bool iconHeading = (fieldInfo->flTitle & CFA_BITMAPORICON) && fieldInfo->pTitleData;
    const HWND header = headerOf(list);
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&item)))
        return;
    const int format = iconHeading ? (item.fmt | HDF_OWNERDRAW) : (item.fmt & ~HDF_OWNERDRAW);
    if (format == item.fmt)
        return;
    item.fmt = format;
    SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
}
