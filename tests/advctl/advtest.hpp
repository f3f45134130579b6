// Helpers of the advanced controls' tests: a shown parent window, the outside windows' module
// with its journal, and an observer that keeps notifications.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <inotifev.hpp>
#include <iobserver.hpp>
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

// The notifications of the windows it observes: "IBaseSpinButton::value".
class NotificationLog : public IObserver {
public:
    std::vector<std::string> ids;
    std::vector<unsigned long> data;
    std::string trace() const
    {
        std::string text;
        for (const std::string& id : ids)
            text += (text.empty() ? "" : " ") + id;
        return text;
    }

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override
    {
        ids.push_back(event.notificationId());
        data.push_back(static_cast<unsigned long>(event.eventData().asUnsignedLong()));
        return *this;
    }
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
