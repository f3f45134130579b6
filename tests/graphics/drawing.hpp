// A white 32-bit memory bitmap to draw into and read pixels back from, with a graphic
// context borrowed on its device context.
#pragma once

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include <igrafctx.hpp>

namespace graphicstest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class Surface {
public:
    explicit Surface(int width = 100, int height = 100) : fWidth(width), fHeight(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        fDC = CreateCompatibleDC(nullptr);
        fBitmap = CreateDIBSection(fDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&fBits),
                                   nullptr, 0);
        fOldBitmap = SelectObject(fDC, fBitmap);
        clear();
    }
    ~Surface()
    {
        SelectObject(fDC, fOldBitmap);
        DeleteObject(fBitmap);
        DeleteDC(fDC);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return fDC; }
    void clear()
    {
        GdiFlush();
        for (int i = 0; i < fWidth * fHeight; ++i)
            fBits[i] = 0x00FFFFFF;
    }
    COLORREF pixel(int x, int y) const
    {
        GdiFlush();
        if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
            return kWhite;
        const DWORD bgr = fBits[y * fWidth + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
    // Whether the colour is at the pixel or one of its eight neighbours.
    bool around(int x, int y, COLORREF color) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (pixel(x + dx, y + dy) == color)
                    return true;
        return false;
    }
    int count(COLORREF color) const
    {
        int n = 0;
        for (int y = 0; y < fHeight; ++y)
            for (int x = 0; x < fWidth; ++x)
                n += pixel(x, y) == color;
        return n;
    }

private:
    int fWidth;
    int fHeight;
    HDC fDC = nullptr;
    HBITMAP fBitmap = nullptr;
    HGDIOBJ fOldBitmap = nullptr;
    DWORD* fBits = nullptr;
};

// A surface with a context on it: red pen, blue fill.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fContext = std::make_unique<IGraphicContext>(IPresSpaceHandle(fSurface.dc()));
        fContext->setPenColor(IColor(255, 0, 0)).setFillColor(IColor(0, 0, 255));
    }
    void TearDown() override { fContext.reset(); }

    Surface fSurface;
    std::unique_ptr<IGraphicContext> fContext;
};

} // namespace graphicstest
