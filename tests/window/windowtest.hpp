// Helpers of the window core's tests: a native window class whose own procedure records the
// messages that reach it, and a fixture with one window object over such a window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "ovktest.hpp"

namespace windowtest {

constexpr UINT kTestMessage = WM_USER + 10;
// What the recording procedure answers for the test message.
constexpr LRESULT kPreviousResult = 42;

// The class of windows whose procedure adds "previous" to the current trace for the recorded
// message (kTestMessage unless a PreviousTrace says otherwise).
const char* recordingClass();

// Makes the recording procedure write to a trace while alive.
class PreviousTrace {
public:
    explicit PreviousTrace(ovktest::Trace& trace, UINT message = kTestMessage);
    ~PreviousTrace();
    PreviousTrace(const PreviousTrace&) = delete;
    PreviousTrace& operator=(const PreviousTrace&) = delete;
};

class RecordingWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<ovktest::TestWindow>(nullptr, 0, 0, recordingClass());
    }
    void TearDown() override { window.reset(); }
    LRESULT send(UINT message = kTestMessage, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ovktest::send(window->hwnd(), message, wParam, lParam);
    }

    std::unique_ptr<ovktest::TestWindow> window;
};

} // namespace windowtest
