// A memory device context for the length of a scope.
#pragma once

#include <windows.h>

namespace ovk_graphics {

// A memory device context deleted with the scope, and the bitmap it had selected put back:
// a bitmap still selected into a context cannot be deleted or selected elsewhere.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : fDC(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (fOld)
            SelectObject(fDC, fOld);
        if (fDC)
            DeleteDC(fDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return fDC; }
    void select(HBITMAP bitmap)
    {
        HGDIOBJ old = SelectObject(fDC, bitmap);
        if (!fOld)
            fOld = old;
    }

private:
    HDC fDC;
    HGDIOBJ fOld = nullptr;
};

} // namespace ovk_graphics
