// The multi-line edit's private record.
#pragma once

#include <windows.h>

#include <detail/iscoped.hpp>

#include "idragarm.hpp"

struct IMultiLineEditData {
    virtual ~IMultiLineEditData() = default;
    // The brush of the last colour answer.
    ovk_native::Brush brush;
    ovkdrag::TextDragArm drag;
};
