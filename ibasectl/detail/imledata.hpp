// The multi-line edit's private record.
#pragma once

#include <windows.h>

#include <detail/iscoped.hpp>

struct IMultiLineEditData {
    virtual ~IMultiLineEditData() = default;
    // The brush of the last colour answer.
    ovk_native::Brush brush;
    // A right-button press on the selection waits for a move before the drag starts.
    bool dragPending = false;
    POINT dragStart{0, 0};
};
