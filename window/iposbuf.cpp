// The deferred-positioning buffer.
#include <windows.h>

#include <cstddef>

#include <iexcept.hpp>

#include "icoordsy.hpp"
#include "iposbuf.hpp"
#include "iwindow.hpp"

static_assert(sizeof(IWindowPosRecord) == sizeof(WINDOWPOS), "IWindowPosRecord is a WINDOWPOS");
static_assert(offsetof(IWindowPosRecord, insertAfter) == offsetof(WINDOWPOS, hwndInsertAfter), "");
static_assert(offsetof(IWindowPosRecord, x) == offsetof(WINDOWPOS, x), "");
static_assert(offsetof(IWindowPosRecord, width) == offsetof(WINDOWPOS, cx), "");
static_assert(offsetof(IWindowPosRecord, flags) == offsetof(WINDOWPOS, flags), "");
static_assert(IWindowPosRecord::noSize == SWP_NOSIZE && IWindowPosRecord::noMove == SWP_NOMOVE &&
                  IWindowPosRecord::noOrder == SWP_NOZORDER &&
                  IWindowPosRecord::showWindow == SWP_SHOWWINDOW &&
                  IWindowPosRecord::hideWindow == SWP_HIDEWINDOW,
              "");

namespace {

#define CHECK_CHILD(child, function)                                                              \
    if (!(child))                                                                                 \
    IThrow::argument("pwndChild != 0", IEXCEPTION_LOCATION("iposbuf", function))

// The child's rectangle in its parent's client coordinates, and whether each request still
// differs from it. Requests that match are turned off, so the pass leaves them alone.
bool dropUnchanged(IWindowPosRecord& record, HWND parent)
{
    HWND window = record.window;
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    bool changed = false;
    if (record.flags & IWindowPosRecord::noSize) {
        record.width = r.right - r.left;
        record.height = r.bottom - r.top;
    } else if (record.width == r.right - r.left && record.height == r.bottom - r.top) {
        record.flags |= IWindowPosRecord::noSize;
    } else {
        changed = true;
    }
    if (!(record.flags & IWindowPosRecord::noMove)) {
        if (record.x == r.left && record.y == r.top)
            record.flags |= IWindowPosRecord::noMove;
        else
            changed = true;
    }
    if (!(record.flags & IWindowPosRecord::noOrder)) {
        // Bottom of the order: already there when nothing follows the window.
        const bool inPlace = record.insertAfter == HWND_BOTTOM
                                 ? GetWindow(window, GW_HWNDNEXT) == nullptr
                                 : record.insertAfter == GetWindow(window, GW_HWNDPREV) ||
                                       record.insertAfter == window;
        if (inPlace)
            record.flags |= IWindowPosRecord::noOrder;
        else
            changed = true;
    }
    const bool visible = IsWindowVisible(window) != FALSE;
    if (record.flags & IWindowPosRecord::showWindow) {
        if (visible)
            record.flags &= ~IWindowPosRecord::showWindow;
        else
            changed = true;
    }
    if (record.flags & IWindowPosRecord::hideWindow) {
        if (!visible)
            record.flags &= ~IWindowPosRecord::hideWindow;
        else
            changed = true;
    }
    return changed;
}

int currentHeight(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

} // namespace

IWindowPosBuffer::IWindowPosBuffer(IWindow* parent) : fParent(parent)
{
    if (!parent)
        IThrow::argument("pwndParent != 0",
                         IEXCEPTION_LOCATION("iposbuf", "IWindowPosBuffer::IWindowPosBuffer(IWindow*)"));
}

IWindowPosBuffer::~IWindowPosBuffer() = default;

IWindowPosRecord& IWindowPosBuffer::recordFor(IWindow* child)
{
    HWND handle = child->handle();
    const auto found = fIndex.find(handle);
    if (found != fIndex.end())
        return fRecords[found->second];
    IWindowPosRecord record;
    record.window = handle;
    fRecords.push_back(record);
    fIndex.emplace(handle, fRecords.size() - 1);
    return fRecords.back();
}

const IWindowPosRecord* IWindowPosBuffer::findRecord(const IWindow* child) const
{
    const auto found = fIndex.find(child->handle());
    return found == fIndex.end() ? nullptr : &fRecords[found->second];
}

IWindowPosBuffer& IWindowPosBuffer::moveTo(IWindow* child, const IPoint& position)
{
    CHECK_CHILD(child, "IWindowPosBuffer::moveTo(IWindow*,const IPoint&)");
    IWindowPosRecord& record = recordFor(child);
    record.x = position.x();
    record.y = position.y();
    record.flags &= ~IWindowPosRecord::noMove;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::sizeTo(IWindow* child, const ISize& size)
{
    CHECK_CHILD(child, "IWindowPosBuffer::sizeTo(IWindow*,const ISize&)");
    IWindowPosRecord& record = recordFor(child);
    record.width = size.width();
    record.height = size.height();
    record.flags &= ~IWindowPosRecord::noSize;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::moveSizeTo(IWindow* child, const IRectangle& rectangle)
{
    CHECK_CHILD(child, "IWindowPosBuffer::moveSizeTo(IWindow*,const IRectangle&)");
    moveTo(child, rectangle.minimum());
    return sizeTo(child, rectangle.size());
}

IWindowPosBuffer& IWindowPosBuffer::orderAfter(IWindow* child, IWindow* sibling)
{
    CHECK_CHILD(child, "IWindowPosBuffer::orderAfter(IWindow*,IWindow*)");
    if (!sibling)
        IThrow::argument("pwndSibling != 0",
                         IEXCEPTION_LOCATION("iposbuf", "IWindowPosBuffer::orderAfter(IWindow*,IWindow*)"));
    IWindowPosRecord& record = recordFor(child);
    record.insertAfter = sibling->handle();
    record.flags &= ~IWindowPosRecord::noOrder;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::orderAsFirst(IWindow* child)
{
    CHECK_CHILD(child, "IWindowPosBuffer::orderAsFirst(IWindow*)");
    IWindowPosRecord& record = recordFor(child);
    record.insertAfter = HWND_TOP;
    record.flags &= ~IWindowPosRecord::noOrder;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::orderAsLast(IWindow* child)
{
    CHECK_CHILD(child, "IWindowPosBuffer::orderAsLast(IWindow*)");
    IWindowPosRecord& record = recordFor(child);
    record.insertAfter = HWND_BOTTOM;
    record.flags &= ~IWindowPosRecord::noOrder;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::show(IWindow* child)
{
    CHECK_CHILD(child, "IWindowPosBuffer::show(IWindow*)");
    IWindowPosRecord& record = recordFor(child);
    record.flags = (record.flags | IWindowPosRecord::showWindow) & ~IWindowPosRecord::hideWindow;
    return *this;
}

IWindowPosBuffer& IWindowPosBuffer::hide(IWindow* child)
{
    CHECK_CHILD(child, "IWindowPosBuffer::hide(IWindow*)");
    IWindowPosRecord& record = recordFor(child);
    record.flags = (record.flags | IWindowPosRecord::hideWindow) & ~IWindowPosRecord::showWindow;
    return *this;
}

IPoint IWindowPosBuffer::position(const IWindow* child) const
{
    CHECK_CHILD(child, "IWindowPosBuffer::position(const IWindow*) const");
    const IWindowPosRecord* record = findRecord(child);
    return record ? IPoint(record->x, record->y) : IPoint();
}

ISize IWindowPosBuffer::size(const IWindow* child) const
{
    CHECK_CHILD(child, "IWindowPosBuffer::size(const IWindow*) const");
    const IWindowPosRecord* record = findRecord(child);
    return record ? ISize(record->width, record->height) : ISize();
}

IRectangle IWindowPosBuffer::rect(const IWindow* child) const
{
    CHECK_CHILD(child, "IWindowPosBuffer::rect(const IWindow*) const");
    return IRectangle(position(child), size(child));
}

IWindowPosBuffer& IWindowPosBuffer::apply(IBase::Boolean)
{
    if (fRecords.empty())
        return *this;
    std::vector<IWindowPosRecord> records;
    records.swap(fRecords);
    fIndex.clear();
    HWND parent = fParent->handle();
    RECT client{};
    GetClientRect(parent, &client);
    const bool flip = ICoordinateSystem::isConversionNeeded();
    HDWP positions = BeginDeferWindowPos(static_cast<int>(records.size()));
    if (!positions)
        IThrow::systemError("BeginDeferWindowPos", GetLastError(),
                            IEXCEPTION_LOCATION("iposbuf", "IWindowPosBuffer::apply(IBase::Boolean)"),
                            IException::recoverable);
    for (IWindowPosRecord& record : records) {
        // A bottom-up y names the child's lower edge; natively its upper edge is wanted, which
        // depends on the final height.
        const bool move = !(record.flags & IWindowPosRecord::noMove);
        if (move && flip) {
            const int height = (record.flags & IWindowPosRecord::noSize)
                                   ? currentHeight(record.window)
                                   : record.height;
            record.y = (client.bottom - client.top) - record.y - height;
        }
        if (!dropUnchanged(record, parent))
            continue;
        // A layout moves children without activating them: a child that may be activated is
        // sent WM_CHILDACTIVATE through its window procedure on every move, which costs a
        // layout about as much again as the move itself.
        positions = DeferWindowPos(positions, record.window, record.insertAfter, record.x, record.y,
                                   record.width, record.height, record.flags | SWP_NOACTIVATE);
        if (!positions)
            IThrow::systemError("DeferWindowPos", GetLastError(),
                                IEXCEPTION_LOCATION("iposbuf", "IWindowPosBuffer::apply(IBase::Boolean)"),
                                IException::recoverable);
    }
    if (!EndDeferWindowPos(positions))
        IThrow::systemError("EndDeferWindowPos", GetLastError(),
                            IEXCEPTION_LOCATION("iposbuf", "IWindowPosBuffer::apply(IBase::Boolean)"),
                            IException::recoverable);
    return *this;
}
