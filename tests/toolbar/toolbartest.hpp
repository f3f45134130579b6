// The fixture of the tool bar tests: a shown frame, taller than wide and without a client (so the
// pointer over its middle is over the frame itself), with two tool bars above its client, each
// holding two tool bar buttons, and a move driven by the real pointer and posted messages.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <iapp.hpp>
#include <iframe.hpp>
#include <iframext.hpp>
#include <ovktest.hpp>

#include <detail/icallgrd.hpp>

#include "itbar.hpp"
#include "itbarbut.hpp"

namespace toolbartest {

// How a scripted move ends, once the target timer has ticked a few times.
enum class Ending { release, escape, quit };

class ToolBarFixture : public ::testing::Test {
protected:
    // The frame's window rectangle on the screen.
    static constexpr long kLeft = 100, kTop = 60, kWidth = 300, kHeight = 500;

    void SetUp() override;
    void TearDown() override;

    // A tool bar button in the tool bar, owned by the frame.
    IToolBarButton& addButton(IToolBar& toolBar, unsigned long id);
    // A plain child window of the given minimum size, added last.
    IWindow& addWindow(IToolBar& toolBar, const ISize& minimum);

    // Puts the pointer at `cursor` (screen), presses the left button on the tool bar at
    // `press` (its coordinates), moves `distance` pixels to the right, and ends as asked after
    // 350 ms, so that the 100 ms target timer has ticked.
    void drive(IToolBar& toolBar, const POINT& press, long distance, const POINT& cursor,
               Ending ending = Ending::release);
    // The centre of the window in the tool bar's coordinates.
    static POINT centreIn(const IToolBar& toolBar, const IWindow& window);
    static POINT screenPoint(long x, long y) { return POINT{kLeft + x, kTop + y}; }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IToolBar> first;
    std::unique_ptr<IToolBar> second;
    std::vector<std::unique_ptr<IWindow>> windows;
};

} // namespace toolbartest
