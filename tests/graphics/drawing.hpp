// A drawing surface with a graphic context borrowed on its device context, red pen and blue
// fill, and the colours the graphics tests draw in.
#pragma once

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include <igrafctx.hpp>

#include "ovktest.hpp"

namespace graphicstest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

using ovktest::Surface;

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
