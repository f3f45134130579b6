// Helpers of the basic controls' tests: a shown parent window, and an observer that keeps the
// notifications it hears as tags.
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

namespace basectltest {

// The notifications of the windows it observes, in order: "ISettingButton::select=1".
class NotificationLog : public IObserver {
public:
    struct Entry {
        std::string id;
        unsigned long data;
        bool attributeChanged;
        INotifier* notifier;
    };

    // Only notifications whose id starts with a class prefix ("I...::") other than "IWindow::"
    // are kept unless `all` is set: the window-level ones depend on focus and painting.
    explicit NotificationLog(bool all = false) : fAll(all) {}

    std::string trace() const
    {
        std::string text;
        for (const Entry& entry : fEntries)
            text += (text.empty() ? "" : " ") + entry.id + "=" + std::to_string(entry.data);
        return text;
    }
    const std::vector<Entry>& entries() const { return fEntries; }
    void clear() { fEntries.clear(); }

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override
    {
        const std::string id = event.notificationId();
        if (fAll || id.rfind("IWindow::", 0) != 0)
            fEntries.push_back({id, static_cast<unsigned long>(event.eventData().asUnsignedLong()),
                                event.hasNotifierAttrChanged() != 0, &event.notifier()});
        return *this;
    }

private:
    bool fAll;
    std::vector<Entry> fEntries;
};

// A shown top-level window that the tests put their controls in.
class ShownParent : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override { parent.reset(); }
    HWND parentHandle() const { return parent->hwnd(); }

    std::unique_ptr<ovktest::TestWindow> parent;
};

} // namespace basectltest
