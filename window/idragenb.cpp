// The drag-enabling registration point.
#include <atomic>

#include "detail/idragenb.hpp"

namespace ovk_window {

namespace {

std::atomic<DragEnabler> gEnabler{nullptr};

} // namespace

DragEnabler setDragEnabler(DragEnabler enabler) noexcept
{
    return gEnabler.exchange(enabler);
}

bool enableDragDrop(IWindow* window)
{
    const DragEnabler enabler = gEnabler.load();
    return enabler ? enabler(window) : false;
}

} // namespace ovk_window
