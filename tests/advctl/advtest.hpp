// Helpers of the advanced controls' tests: a shown parent window, and the outside windows' module
// with its journal.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <iwindow.hpp>

#include "ovktest.hpp"

namespace advtest {

// The stand-in module of the outside windows: loaded once, before any message-driven control
// is made; its test-only journal and failure injection.
class Outside {
public:
    static void load();
    // The journal's entries since the last reset, decoded, one per line.
    static std::vector<std::string> journal();
    static void resetJournal();
    // The next `count` receipts of the message answer failure (-1: all of them).
    static void failNext(unsigned int message, long count);
    static void resetFailures();
};

// A shown top-level window that the tests put their controls in.
class ShownParent : public testing::Test {
protected:
    static void SetUpTestSuite() { Outside::load(); }
    void SetUp() override
    {
        parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(parent->hwnd(), SW_SHOW);
        SetForegroundWindow(parent->hwnd());
        Outside::resetJournal();
        Outside::resetFailures();
    }
    void TearDown() override
    {
        Outside::resetFailures();
        parent.reset();
    }

    std::unique_ptr<ovktest::TestWindow> parent;
};

} // namespace advtest
