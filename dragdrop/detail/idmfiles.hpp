// What the file rendering of a drag source and the data fetch of a drop target share with the
// rest of drag and drop. Private to the drag and drop sources.
#pragma once

#include <cstddef>
#include <vector>

#include "ishlist.hpp"

class IDMSourceOperation;

namespace ovk_dragdrop {

// The shell's item-ID list of each "File" item of the drag, in item order. False when the shell
// cannot parse one of the paths (a file that does not exist, a path of 260 characters or more):
// such a drag has no "Shell IDList Array" to offer.
bool shellListsOf(IDMSourceOperation& operation, std::vector<IShellIDList>& lists);

// Whether another program's DROPFILES block can be handed to DragQueryFile, which reads it
// blindly: the header, the start of the list and every name up to the empty one that ends the
// list lie inside the block's size.
bool isDropFilesBlock(const void* bytes, std::size_t size) noexcept;

} // namespace ovk_dragdrop
