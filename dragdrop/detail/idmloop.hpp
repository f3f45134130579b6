// Whether a drag loop that this library started runs on the calling thread. Private to the drag
// and drop sources.
#pragma once

namespace ovk_dragdrop {

// A failure in a drop target's call can wait for the library's own code only when that code is
// on the stack: a drag started here rethrows what waits once DoDragDrop returns. A drop from
// another program, or from another thread, returns to no code of ours; what waited would be
// thrown from the target's message loop, far from any drag.
class OwnDragLoop {
public:
    OwnDragLoop() noexcept { ++depth(); }
    ~OwnDragLoop() { --depth(); }
    OwnDragLoop(const OwnDragLoop&) = delete;
    OwnDragLoop& operator=(const OwnDragLoop&) = delete;

    static bool runsOnThisThread() noexcept { return depth() > 0; }

private:
    static int& depth() noexcept
    {
        static thread_local int loops = 0;
        return loops;
    }
};

} // namespace ovk_dragdrop
