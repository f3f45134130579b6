// The record list of the frame's layout pass.
#include <windows.h>

#include "detail/iwincore.hpp"
#include "iposlist.hpp"

unsigned long IWindowPosList::indexOfId(unsigned long id) const
{
    if (!records)
        return 0;
    // The identifier is read where the window objects keep it: in the child's own identifier,
    // or, for a window that is not a child, where setId put it. The extra window bytes are not
    // a place to look, since on 64-bit Windows they hold other data.
    for (unsigned long index = 0; index < count; ++index) {
        HWND window = static_cast<HWND>(records[index].window);
        if (window && (IWindowCore::windowId(window) & 0xFFFF) == (id & 0xFFFF))
            return index;
    }
    return count;
}
