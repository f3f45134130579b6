// IWindowPosFlags and IWindowPosList: the window-position records of the frame's layout pass,
// read and changed by meaning rather than by bit.
#pragma once

#include <cstdint>

#include <idefs.hpp>

#include "iposbuf.hpp"

// A view on the flags word of one window-position record. The platform's bits say what does
// not change (no size, no move, no order), so "changed" reads the bit inverted. Each setter
// answers the view, so that requests chain.
class IWindowPosFlags {
public:
    // The platform's SWP_FRAMECHANGED: the frame is recalculated unless the bit is clear.
    static constexpr std::uint32_t frameChanged = 0x20;

    explicit IWindowPosFlags(IWindowPosRecord& record) noexcept : fRecord(&record) {}

    IWindowPosRecord& record() const noexcept { return *fRecord; }

    IBase::Boolean isSizeChanged() const noexcept { return isClear(IWindowPosRecord::noSize); }
    IBase::Boolean isPositionChanged() const noexcept { return isClear(IWindowPosRecord::noMove); }
    IBase::Boolean isOrderChanged() const noexcept { return isClear(IWindowPosRecord::noOrder); }
    IBase::Boolean isShow() const noexcept { return !isClear(IWindowPosRecord::showWindow); }
    IBase::Boolean isHide() const noexcept { return !isClear(IWindowPosRecord::hideWindow); }

    IWindowPosFlags& setSizeChanged(IBase::Boolean changed = true) noexcept
    {
        return setBit(IWindowPosRecord::noSize, !changed);
    }
    IWindowPosFlags& setPositionChanged(IBase::Boolean changed = true) noexcept
    {
        return setBit(IWindowPosRecord::noMove, !changed);
    }
    IWindowPosFlags& setOrderChanged(IBase::Boolean changed = true) noexcept
    {
        return setBit(IWindowPosRecord::noOrder, !changed);
    }
    IWindowPosFlags& setShow(IBase::Boolean show = true) noexcept
    {
        return setBit(IWindowPosRecord::showWindow, show);
    }
    IWindowPosFlags& setHide(IBase::Boolean hide = true) noexcept
    {
        return setBit(IWindowPosRecord::hideWindow, hide);
    }
    IWindowPosFlags& setFrameChangeSuppressed(IBase::Boolean suppressed = true) noexcept
    {
        return setBit(frameChanged, !suppressed);
    }

private:
    bool isClear(std::uint32_t bit) const noexcept { return (fRecord->flags & bit) == 0; }
    IWindowPosFlags& setBit(std::uint32_t bit, bool on) noexcept
    {
        fRecord->flags = on ? (fRecord->flags | bit) : (fRecord->flags & ~bit);
        return *this;
    }

    IWindowPosRecord* fRecord;
};

// The records of one layout pass: an array the frame owns and the number of records in it.
struct OVKWIN_API IWindowPosList {
    IWindowPosRecord* records = nullptr;
    unsigned long count = 0;

    // The index of the first record whose window has the identifier (compared as 16 bits, as
    // the platform keeps a child's identifier); `count` when none has it.
    unsigned long indexOfId(unsigned long id) const;
};
