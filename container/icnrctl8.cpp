// ICnrCtl: viewports, object and cell rectangles, hit tests, scrolling, icon placement, tree
// branches and the start of a drag.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <cstdlib>

#include "icnrctl.hpp"

#include <icoordsy.hpp>
#include <ievent.hpp>

#include <detail/iscoped.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnritem.hpp"
#include "icnrcol.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl8";
// How far the pointer moves with a button down before a drag starts.
constexpr int kDragThreshold = 2;
// How far inside the viewport's edges an object is scrolled to the top left.
constexpr long kInset = 4;

[[noreturn]] void refused(const char* message, const char* function)
{
    IThrow::systemError(message, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

// The rectangle of a record (top-down, yBottom below yTop) with its corners in order.
IRectangle rectangleOf(const CNR_RECTL& record)
{
    return IRectangle(IPoint(record.xLeft, record.yTop), IPoint(record.xRight, record.yBottom));
}

// Moves the smallest amount that brings [start, end) into [viewStart, viewEnd); a span that
// starts before the view or does not fit aligns the starts.
long leastScroll(long start, long end, long viewStart, long viewEnd)
{
    if (start < viewStart || end - start > viewEnd - viewStart)
        return start - viewStart;
    if (end > viewEnd)
        return end - viewEnd;
    return 0;
}

// The list's columns in the order it shows them, each with its width. The list lays them out
// side by side from its first column, which shows the icon text whether or not a column
// describes it.
struct ListColumn {
    int index;
    long width;
};

std::vector<ListColumn> listColumnsShown(HWND list)
{
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0)
        SendMessageA(list, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(order.data()));
    std::vector<ListColumn> columns;
    for (int index : order)
        columns.push_back(ListColumn{index, static_cast<long>(SendMessageA(
                                                list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0))});
    return columns;
}

} // namespace

// Viewports and rectangles ------------------------------------------------------------------------------

IRectangle ICnrCtl::toApplication(const IRectangle& native) const
{
    return ICoordinateSystem::convertToApplication(native, size());
}

IRectangle ICnrCtl::viewport(unsigned long kind, IBase::Boolean rightWindow) const
{
    CNR_RECTL area{};
    const IEventData which(static_cast<std::uint16_t>(kind), static_cast<std::uint16_t>(rightWindow ? 1 : 0));
    if (!sendEvent(CM_QUERYVIEWPORTRECT, &area, which).asUnsignedLong())
        refused("CM_QUERYVIEWPORT", "ICnrCtl::viewport(unsigned long,IBase::Boolean) const");
    return toApplication(rectangleOf(area));
}

IRectangle ICnrCtl::windowViewport(IBase::Boolean rightWindow) const
{
    return viewport(CMA_WINDOW, rightWindow);
}

IRectangle ICnrCtl::workspaceViewport(IBase::Boolean rightWindow) const
{
    return viewport(CMA_WORKSPACE, rightWindow);
}

IRectangle ICnrCtl::recordRectangle(const ICnrObj* object, unsigned long extent,
                                    IBase::Boolean rightWindow, const char* function) const
{
    if (!(object != 0 && containsObject(object)))
        IThrow::state("object!=0 && containsObject(object)", IEXCEPTION_LOCATION(kFile, function));
    QUERYRECORDRECT query{};
    query.cb = sizeof(QUERYRECORDRECT);
    query.pRecord = ICnrObj::recordOf(object);
    query.fRightSplitWindow = rightWindow ? 1 : 0;
    query.fsExtent = static_cast<std::uint32_t>(extent);
    CNR_RECTL area{};
    if (!sendEvent(CM_QUERYRECORDRECT, &area, &query).asUnsignedLong())
        return IRectangle();
    return toApplication(rectangleOf(area));
}

IRectangle ICnrCtl::iconRectangle(const ICnrObj* object, IBase::Boolean withText) const
{
    const bool text = isTextView();
    const unsigned long extent = withText ? (text ? CMA_TEXT : CMA_ICON | CMA_TEXT)
                                          : (text ? 0 : CMA_ICON);
    return recordRectangle(object, extent, false,
                           "ICnrCtl::iconRectangle(const ICnrObj*,IBase::Boolean) const");
}

IRectangle ICnrCtl::textRectangle(const ICnrObj* object) const
{
    return recordRectangle(object, CMA_TEXT, false, "ICnrCtl::textRectangle(const ICnrObj*) const");
}

IRectangle ICnrCtl::detailsObjectRectangle(const ICnrObj* object, IBase::Boolean rightWindow) const
{
    return recordRectangle(object, CMA_ICON | CMA_TEXT, rightWindow,
                           "ICnrCtl::detailsObjectRectangle(const ICnrObj*,IBase::Boolean) const");
}

// The columns shown in one window of the details view, in order: left of the split (all of
// them without one) or right of it.
std::vector<IContainerColumn*> ICnrCtl::shownColumns(IBase::Boolean rightWindow) const
{
    std::vector<IContainerColumn*> shown;
    const IContainerColumn* const last = detailsViewSplit();
    bool right = false;
    ColumnCursor cursor(*this, true);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        if (right == static_cast<bool>(rightWindow))
            shown.push_back(cursor.current());
        if (cursor.current() == last)
            right = true;
    }
    return shown;
}

IRectangle ICnrCtl::nativeCell(const IRectangle& row, const IContainerColumn* column) const
{
    const HWND list = fControlData->listControl();
    const IColumnSet::Entry* entry = fControlData->columns().find(column->fieldInfo());
    if (!list || !entry || entry->column < 0)
        return IRectangle();
    long left = row.minX();
    for (const ListColumn& each : listColumnsShown(list)) {
        if (each.index == entry->column)
            return IRectangle(IPoint(left, row.minY()), IPoint(left + each.width, row.maxY()));
        left += each.width;
    }
    return IRectangle();
}

IRectangle ICnrCtl::detailsObjectRectangle(const ICnrObj* object, const IContainerColumn* column) const
{
    const char* const function =
        "ICnrCtl::detailsObjectRectangle(const ICnrObj*,const IContainerColumn*) const";
    IARGUMENT_CHECK(column!=0 && object!=0, kFile, function);
    if (!(containsObject(object) && column->fieldInfo()))
        IThrow::state("containsObject(object) && column->pfieldinfoCl", IEXCEPTION_LOCATION(kFile, function));
    const bool right = isColumnRight(column);
    const IRectangle row = detailsObjectRectangle(object, right);
    if (row.width() == 0 && row.height() == 0)
        return row;
    if (!isMessageContainer())
        return nativeCell(row, column);
    long left = row.minX();
    for (IContainerColumn* each : shownColumns(right)) {
        const long width = static_cast<long>(each->displayWidth());
        if (each == column)
            return IRectangle(IPoint(left, row.minY()), IPoint(left + width, row.maxY()));
        left += width;
    }
    return IRectangle();
}

// Hit tests -----------------------------------------------------------------------------------------------

IContainerColumn* ICnrCtl::columnUnderPoint(const IPoint& point) const
{
    const char* const function = "ICnrCtl::columnUnderPoint(const IPoint&) const";
    ISTATE_CHECK(isDetailsView(), kFile, function);
    if (!isMessageContainer())
        return nativeColumnUnderPoint(point);
    const IRectangle lRectLeftViewportWindow = windowViewport(false);
    const bool split = detailsViewSplit() != nullptr;
    bool right = false;
    if (!split) {
        if (!(point.x() >= lRectLeftViewportWindow.minX() && point.x() <= lRectLeftViewportWindow.maxX()))
            IThrow::argument("(point.x() >= lRectLeftViewportWindow.left()) && "
                             "(point.x() <= lRectLeftViewportWindow.right())",
                             IEXCEPTION_LOCATION(kFile, function));
    } else {
        const IRectangle lRectRightViewportWindow = windowViewport(true);
        if (!(point.x() >= lRectLeftViewportWindow.minX() && point.x() <= lRectRightViewportWindow.maxX()))
            IThrow::argument("((point.x() >= lRectLeftViewportWindow.left()) && "
                             "(point.x() <= lRectRightViewportWindow.right()))",
                             IEXCEPTION_LOCATION(kFile, function));
        right = point.x() > lRectLeftViewportWindow.maxX();
    }
    // The columns start at the window's left edge less what is scrolled out of view.
    const IRectangle window = windowViewport(right);
    long left = window.minX() - workspaceViewport(right).minX();
    for (IContainerColumn* each : shownColumns(right)) {
        const long width = static_cast<long>(each->displayWidth());
        if (point.x() >= left && point.x() < left + width)
            return each;
        left += width;
    }
    return nullptr;
}

IContainerColumn* ICnrCtl::nativeColumnUnderPoint(const IPoint& point) const
{
    const HWND list = fControlData->listControl();
    if (!list)
        return nullptr;
    // Into the list's coordinates as the object hit test does: the list lies below the title
    // when the title shows.
    POINT at{point.x(), ICoordinateSystem::convertToNative(point, size()).y()};
    if (fControlData->isTitleShown())
        MapWindowPoints(handle(), list, &at, 1);
    long left = 0;
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        POINT origin{};
        SendMessageA(list, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&origin));
        left = origin.x;
    }
    for (const ListColumn& each : listColumnsShown(list)) {
        if (at.x >= left && at.x < left + each.width) {
            for (const IColumnSet::Entry& entry : fControlData->columns().entries())
                if (entry.column == each.index)
                    return IContainerColumn::columnOf(entry.fieldInfo);
            return nullptr;
        }
        left += each.width;
    }
    return nullptr;
}

// Scrolling ---------------------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::scroll(long vertical, long horizontal, IBase::Boolean rightWindow)
{
    const char* const function = "ICnrCtl::scroll(long,long,IBase::Boolean)";
    if (vertical && !sendEvent(CM_SCROLLWINDOW, CMA_VERTICAL, vertical).asUnsignedLong())
        refused("CM_SCROLLWINDOW", function);
    if (!horizontal)
        return *this;
    if (isDetailsView() && detailsViewSplit())
        return scrollDetailsHorizontally(horizontal, rightWindow);
    if (!sendEvent(CM_SCROLLWINDOW, CMA_HORIZONTAL, horizontal).asUnsignedLong())
        refused("CM_SCROLLWINDOW", function);
    return *this;
}

ICnrCtl& ICnrCtl::scrollDetailsHorizontally(long amount, IBase::Boolean rightWindow)
{
    if (!(isDetailsView() && detailsViewSplit()))
        return scroll(0, amount);
    if (!sendEvent(CM_HORZSCROLLSPLITWINDOW, rightWindow ? CMA_RIGHT : CMA_LEFT, amount).asUnsignedLong())
        refused("CM_SCROLLSPLITWINDOW", "ICnrCtl::scrollDetailsHorizontally(long,IBase::Boolean)");
    return *this;
}

ICnrCtl& ICnrCtl::scrollVertically(long amount) { return scroll(amount, 0); }
ICnrCtl& ICnrCtl::scrollHorizontally(long amount) { return scroll(0, amount); }

// Compared in top-down window coordinates, whatever the application's orientation.
ICnrCtl& ICnrCtl::scrollToObject(const ICnrObj* object, const IContainerColumn* column,
                                 IBase::Boolean toTopLeft)
{
    if (!object) {
        IThrow::argument("pcnrobj!=0", IEXCEPTION_LOCATION(kFile,
            "ICnrCtl::scrollToObject(const ICnrObj*,const IContainerColumn*,IBase::Boolean)"));
    }
    const bool right = column && isColumnRight(column);
    const IRectangle view = ICoordinateSystem::convertToNative(windowViewport(right), size());
    const IRectangle place = ICoordinateSystem::convertToNative(
        column ? detailsObjectRectangle(object, column)
               : isDetailsView() ? detailsObjectRectangle(object, false) : iconRectangle(object, true),
        size());
    long vertical = 0;
    long horizontal = 0;
    if (toTopLeft) {
        vertical = place.minY() - view.minY() - kInset;
        if (column)
            horizontal = place.minX() - view.minX() - kInset;
    } else {
        vertical = leastScroll(place.minY(), place.maxY(), view.minY(), view.maxY());
        horizontal = leastScroll(place.minX(), place.maxX(), view.minX(), view.maxX());
    }
    return scroll(vertical, horizontal, right);
}

ICnrCtl& ICnrCtl::makeObjectVisible(const ICnrObj* object)
{
    IARGUMENT_CHECK(object!=0, kFile, "ICnrCtl::makeObjectVisible(const ICnrObj*)");
    if (isMessageContainer()) {
        const IRectangle view = ICoordinateSystem::convertToNative(windowViewport(), size());
        const IRectangle place = ICoordinateSystem::convertToNative(iconRectangle(object, true), size());
        return scroll(place.minY() - view.minY() - kInset, place.minX() - view.minX() - kInset);
    }
    const ICnrItemTable items = object->nativeItems();
    if (isTreeView() && items.contains(this) && fControlData->treeControl()) {
        SendMessageA(fControlData->treeControl(), TVM_ENSUREVISIBLE, 0,
                     static_cast<LPARAM>(items.treeItem(this)));
    } else if (const HWND list = fControlData->listControl()) {
        const int index = fControlData->listIndexOf(object);
        if (index >= 0)
            SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
    return *this;
}

// Icon placement and tree branches -----------------------------------------------------------------------

ICnrCtl& ICnrCtl::moveIconTo(ICnrObj* object, const IPoint& point)
{
    const char* const function = "ICnrCtl::moveIconTo(ICnrObj*,const IPoint&)";
    IARGUMENT_CHECK(object!=0, kFile, function);
    const bool held = containsObject(object);
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    if (held) {
        ISTATE_CHECK(parentObject(object)==0, kFile, function);
        if (!sendEvent(CM_ERASERECORD, record, 0).asUnsignedLong())
            refused("CM_ERASERECORD", function);
    }
    POINT at{point.x(), point.y()};
    if (ICoordinateSystem::applicationOrientation() == ICoordinateSystem::kOriginLowerLeft)
        at.y = size().height() - point.y() - iconSize().height();
    if (fControlData && !fControlData->isMessageDriven()) {
        const HWND control = isTreeView() ? fControlData->treeControl() : fControlData->listControl();
        if (control)
            MapWindowPoints(handle(), control, &at, 1);
    }
    record->ptlIcon = CNR_POINTL{at.x, at.y};
    if (held) {
        MINIRECORDCORE* records[1] = {record};
        if (!sendEvent(CM_INVALIDATERECORD, records, IEventData(std::uint16_t(1), std::uint16_t(CMA_INVALIDATE)))
                 .asUnsignedLong())
            refused("CM_INVALIDATERECORD", function);
    }
    return *this;
}

ICnrCtl& ICnrCtl::expand(ICnrObj* object)
{
    if (!sendEvent(CM_EXPANDTREE, ICnrObj::recordOf(object), 0).asUnsignedLong())
        refused("CM_EXPANDTREE", "ICnrCtl::expand(ICnrObj*)");
    return *this;
}

ICnrCtl& ICnrCtl::collapse(ICnrObj* object)
{
    if (!sendEvent(CM_COLLAPSETREE, ICnrObj::recordOf(object), 0).asUnsignedLong())
        refused("CM_COLLAPSETREE", "ICnrCtl::collapse(ICnrObj*)");
    return *this;
}

ICnrCtl& ICnrCtl::expandAll() { return expand(nullptr); }
ICnrCtl& ICnrCtl::collapseAll() { return collapse(nullptr); }

// The start of a drag ---------------------------------------------------------------------------------

// Only a press over an object can start a drag, and the container holds the mouse from then on,
// so that the moves arrive here even when the pointer leaves the window or its list control.
IBase::Boolean ICnrCtl::isDragStarting(IEvent& event)
{
    const LPARAM position = static_cast<LPARAM>(event.parameter2().asLong());
    // Sign-extended: a screen left of or above the primary one has negative coordinates.
    const int x = GET_X_LPARAM(position);
    const int y = GET_Y_LPARAM(position);
    const auto stop = [this] {
        ovk_native::releaseCapture();
        fDragCapturing = false;
        fDragStartX = fDragStartY = 0;
    };
    switch (event.eventId()) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const IPoint point = ICoordinateSystem::convertToApplication(IPoint(x, y), size());
        if (!GetCapture() && objectUnderPoint(point)) {
            SetCapture(handle());
            fDragCapturing = true;
            fDragStartX = x;
            fDragStartY = y;
        }
        return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (fDragCapturing)
            stop();
        return false;
    case WM_MOUSEMOVE:
        if (!fDragCapturing)
            return false;
        if (!(event.parameter1().asUnsignedLong() & (MK_LBUTTON | MK_RBUTTON))) {
            stop();
            return false;
        }
        if (std::abs(x - fDragStartX) > kDragThreshold || std::abs(y - fDragStartY) > kDragThreshold) {
            stop();
            return true;
        }
        return false;
    default:
        return false;
    }
}
