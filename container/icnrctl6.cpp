// ICnrCtl: details-view columns, the split bar, and the column cursor.
#include <windows.h>

#include <vector>

#include "icnrctl.hpp"

#include "icnrcol.hpp"

namespace {

constexpr const char* kFile = "icnrctl6";
constexpr std::uint32_t kSplitFields = CMA_PFIELDINFOLAST | CMA_XVERTSPLITBAR;

[[noreturn]] void refused(const char* message, const char* function)
{
    IThrow::systemError(message, GetLastError(), IEXCEPTION_LOCATION(kFile, function));
}

bool isMinusOne(const IEventData& result)
{
    return result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1));
}

FIELDINFO* fieldInfoOf(const IContainerColumn* column)
{
    return column ? column->fieldInfo() : nullptr;
}

} // namespace

// Adding and removing ----------------------------------------------------------------------------------

unsigned long ICnrCtl::recordHeaderSize() const
{
    return sizeof(MINIRECORDCORE);
}

// The column joins the container only once the window took it: a refused insertion leaves it
// as it was, so that it can be added again and its destructor removes nothing.
ICnrCtl& ICnrCtl::addColumn(const IContainerColumn* column, const IContainerColumn* after)
{
    const char* const function = "ICnrCtl::addColumn(const IContainerColumn*,const IContainerColumn*)";
    IARGUMENT_CHECK(column!=0, kFile, function);
    IARGUMENT_CHECK(column->container()==0, kFile, function);
    auto* joining = const_cast<IContainerColumn*>(column);
    joining->convertOffsetIn(recordHeaderSize());
    FIELDINFOINSERT insert{};
    insert.cb = sizeof(FIELDINFOINSERT);
    insert.pFieldInfoOrder =
        after ? after->fieldInfo()
              : reinterpret_cast<FIELDINFO*>(static_cast<std::uintptr_t>(CMA_END));
    insert.fInvalidateFieldInfo = 1;
    insert.cFieldInfoInsert = 1;
    if (!sendEvent(CM_INSERTDETAILFIELDINFO, joining->fieldInfo(), &insert).asUnsignedLong()) {
        joining->convertOffsetOut(recordHeaderSize());
        refused("CM_INSERTDETAILFIELDINFO", function);
    }
    joining->attachTo(this);
    ++fColumnChangeCount;
    if (!insert.fInvalidateFieldInfo)
        sendEvent(CM_INVALIDATEDETAILFIELDINFO, 0, 0);
    return *this;
}

ICnrCtl& ICnrCtl::removeColumn(const IContainerColumn* column)
{
    const char* const function = "ICnrCtl::removeColumn(const IContainerColumn*)";
    IARGUMENT_CHECK(column!=0, kFile, function);
    // The native container answers 0, not -1, for a column it does not hold: another
    // container's column would be detached from it and its offset turned back here.
    IARGUMENT_CHECK(column->container()==this, kFile, function);
    FIELDINFO* fields[1] = {column->fieldInfo()};
    const std::uint16_t flags = isVisible() ? std::uint16_t(CMA_INVALIDATE) : std::uint16_t(0);
    if (isMinusOne(sendEvent(CM_REMOVEDETAILFIELDINFO, fields, IEventData(std::uint16_t(1), flags))))
        refused("CM_REMOVEDETAILFIELDINFO", function);
    auto* leaving = const_cast<IContainerColumn*>(column);
    leaving->attachTo(nullptr);
    ++fColumnChangeCount;
    leaving->convertOffsetOut(recordHeaderSize());
    if (fSplitColumn == column)
        fSplitColumn = nullptr;
    return *this;
}

ICnrCtl& ICnrCtl::removeColumnAt(ColumnCursor& cursor)
{
    ISTATE_CHECK(cursor.isValid(), kFile, "ICnrCtl::removeColumnAt(ICnrCtl::ColumnCursor&)");
    IContainerColumn* const removed = cursor.current();
    IContainerColumn* const following = column(removed, CMA_NEXT);
    removeColumn(removed);
    if (following)
        cursor.setCurrent(following);
    else
        cursor.invalidate();
    return *this;
}

// Finding columns -------------------------------------------------------------------------------------

IContainerColumn* ICnrCtl::column(const IContainerColumn* from, unsigned long command,
                                  IBase::Boolean visibleOnly) const
{
    const char* const function =
        "ICnrCtl::column(const IContainerColumn*,unsigned long,IBase::Boolean) const";
    FIELDINFO* reference = fieldInfoOf(from);
    for (;;) {
        const IEventData result = sendEvent(CM_QUERYDETAILFIELDINFO, reference, command);
        if (isMinusOne(result))
            refused("CM_QUERYDETAILFILEDINFO", function);
        auto* found = static_cast<FIELDINFO*>(result.asPointer());
        if (!found)
            return nullptr;
        if (!visibleOnly || !(found->flData & CFA_INVISIBLE))
            return IContainerColumn::columnOf(found);
        // A hidden column: go on from it in the same direction.
        reference = found;
        if (command == CMA_FIRST)
            command = CMA_NEXT;
        else if (command == CMA_LAST)
            command = CMA_PREV;
    }
}

IContainerColumn* ICnrCtl::columnAt(const ColumnCursor& cursor) const
{
    ISTATE_CHECK(cursor.isValid(), kFile, "ICnrCtl::columnAt(const ICnrCtl::ColumnCursor&) const");
    return cursor.current();
}

IBase::Boolean ICnrCtl::containsColumn(const IContainerColumn* wanted) const
{
    ColumnCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        if (cursor.current() == wanted)
            return true;
    return false;
}

unsigned long ICnrCtl::columnCount() const
{
    ICnrInfo info;
    containerInfo(&info);
    return info.cFields;
}

// The split bar ---------------------------------------------------------------------------------------

IBase::Boolean ICnrCtl::isColumnRight(const IContainerColumn* wanted) const
{
    IARGUMENT_CHECK(wanted!=0, kFile, "ICnrCtl::isColumnRight(const IContainerColumn*) const");
    IContainerColumn* const last = detailsViewSplit();
    if (!last)
        return false;
    ColumnCursor cursor(*this);
    cursor.setCurrent(last);
    for (cursor.setToNext(); cursor.isValid(); cursor.setToNext())
        if (cursor.current() == wanted)
            return true;
    return false;
}

IContainerColumn* ICnrCtl::detailsViewSplit() const
{
    ICnrInfo info;
    containerInfo(&info);
    return IContainerColumn::columnOf(info.pFieldInfoLast);
}

unsigned long ICnrCtl::splitBarPosition() const
{
    ICnrInfo info;
    containerInfo(&info);
    return info.xVertSplitbar == -1 ? 0 : static_cast<unsigned long>(info.xVertSplitbar);
}

ICnrCtl& ICnrCtl::setDetailsViewSplit(const IContainerColumn* lastColumnBeforeSplit,
                                      unsigned long splitBarPosition)
{
    IARGUMENT_CHECK(lastColumnBeforeSplit!=0, kFile,
                    "ICnrCtl::setDetailsViewSplit(const IContainerColumn*,unsigned long)");
    fSplitColumn = const_cast<IContainerColumn*>(lastColumnBeforeSplit);
    fSplitPosition = static_cast<std::int32_t>(splitBarPosition);
    ICnrInfo info;
    info.pFieldInfoLast = lastColumnBeforeSplit->fieldInfo();
    info.xVertSplitbar = fSplitPosition;
    return setContainerInfo(&info, kSplitFields);
}

ICnrCtl& ICnrCtl::hideDetailsViewSplit()
{
    ICnrInfo current;
    containerInfo(&current);
    fSplitPosition = current.xVertSplitbar;
    ICnrInfo info;
    info.pFieldInfoLast = nullptr;
    info.xVertSplitbar = -1;
    return setContainerInfo(&info, kSplitFields);
}

ICnrCtl& ICnrCtl::showDetailsViewSplit(IBase::Boolean show)
{
    if (!show)
        return hideDetailsViewSplit();
    ICnrInfo info;
    info.pFieldInfoLast = fieldInfoOf(fSplitColumn);
    info.xVertSplitbar = static_cast<std::int16_t>(fSplitPosition);
    return setContainerInfo(&info, kSplitFields);
}

// The column cursor ------------------------------------------------------------------------------------

ICnrCtl::ColumnCursor::ColumnCursor(const ICnrCtl& container, IBase::Boolean visibleOnly)
    : fContainer(const_cast<ICnrCtl*>(&container)), fVisibleOnly(visibleOnly)
{
}

ICnrCtl::ColumnCursor::~ColumnCursor() = default;

IBase::Boolean ICnrCtl::ColumnCursor::position(unsigned long command, IContainerColumn* from)
{
    fSnapshot = fContainer->columnChangeCount();
    fCurrent = fContainer->column(from, command, fVisibleOnly);
    return isValid();
}

IBase::Boolean ICnrCtl::ColumnCursor::setToFirst() { return position(CMA_FIRST, nullptr); }
IBase::Boolean ICnrCtl::ColumnCursor::setToLast() { return position(CMA_LAST, nullptr); }

IBase::Boolean ICnrCtl::ColumnCursor::setToNext()
{
    return isValid() ? position(CMA_NEXT, fCurrent) : setToFirst();
}

IBase::Boolean ICnrCtl::ColumnCursor::setToPrevious()
{
    return isValid() ? position(CMA_PREV, fCurrent) : setToLast();
}

IContainerColumn* ICnrCtl::ColumnCursor::first()
{
    setToFirst();
    return current();
}

IContainerColumn* ICnrCtl::ColumnCursor::next()
{
    setToNext();
    return current();
}

IContainerColumn* ICnrCtl::ColumnCursor::previous()
{
    setToPrevious();
    return current();
}

IContainerColumn* ICnrCtl::ColumnCursor::last()
{
    setToLast();
    return current();
}

IContainerColumn* ICnrCtl::ColumnCursor::current() const
{
    return isValid() ? fCurrent : nullptr;
}

ICnrCtl::ColumnCursor& ICnrCtl::ColumnCursor::setCurrent(IContainerColumn* column)
{
    fSnapshot = fContainer->columnChangeCount();
    fCurrent = column;
    return *this;
}

IBase::Boolean ICnrCtl::ColumnCursor::isValid() const
{
    return fCurrent != nullptr && fSnapshot == fContainer->columnChangeCount();
}

ICnrCtl::ColumnCursor& ICnrCtl::ColumnCursor::invalidate()
{
    fCurrent = nullptr;
    return *this;
}

// Clean-up: the columns leave the window, and each learns that it belongs to no container, so
// that a column that outlives the container never reaches it. Deleted too when asked.
void ICnrCtl::releaseColumns()
{
    if (fState & deleteColumnsOnClose) {
        ColumnCursor cursor(*this);
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToFirst()) {
            IContainerColumn* const removed = cursor.current();
            removeColumnAt(cursor);
            delete removed;
        }
        return;
    }
    std::vector<IContainerColumn*> columns;
    ColumnCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        columns.push_back(cursor.current());
    sendEvent(CM_REMOVEDETAILFIELDINFO, 0, 0);
    for (IContainerColumn* each : columns) {
        each->attachTo(nullptr);
        each->convertOffsetOut(recordHeaderSize());
    }
    ++fColumnChangeCount;
    fSplitColumn = nullptr;
}
