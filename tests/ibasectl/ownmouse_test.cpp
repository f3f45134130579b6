// The owner mouse handler: the owner decides the control's pointer; the private query.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iownmhdr.hpp>
#include <iprivmsg.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class OwnerMouse : public basectltest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        owner = std::make_unique<ovktest::TestWindow>();
        control = std::make_unique<ovktest::TestWindow>(parentHandle(), WS_VISIBLE, 9);
        IOwnerMouseHandler::defaultHandler()->handleEventsFor(control.get());
    }
    void TearDown() override
    {
        IOwnerMouseHandler::defaultHandler()->stopHandlingEventsFor(control.get());
        control.reset();
        owner.reset();
        ShownParent::TearDown();
    }
    LRESULT requestPointer()
    {
        return SendMessageA(control->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control->hwnd()),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }

    std::unique_ptr<ovktest::TestWindow> owner, control;
};

TEST_F(OwnerMouse, TheOwnerGetsThePointerRequestAndItsAnswerStands)
{
    control->setOwner(owner.get());
    std::string parameters;
    ovktest::Recorder requests(WM_SETCURSOR);
    requests.attach(*owner, "owner").setAction([&](IEvent& event) {
        parameters = std::to_string(event.parameter1().asUnsignedLong() ==
                                    reinterpret_cast<std::uintptr_t>(control->hwnd())) +
                     " " + std::to_string(event.parameter2().lowNumber()) + " " +
                     std::to_string(event.parameter2().highNumber());
        event.setResult(5);
        return true;
    });

    EXPECT_EQ(requestPointer(), 5);
    EXPECT_EQ(requests.trace(), "owner");
    EXPECT_EQ(parameters, "1 " + std::to_string(HTCLIENT) + " " + std::to_string(WM_MOUSEMOVE));
}

// The parent answers the requests passed up to it without setting a pointer, so whoever sets
// one is seen: the control's default procedure sets its class pointer when the request stays
// its own; when it goes to an owner, the owner's answer stands and the control sets nothing.
TEST_F(OwnerMouse, WithoutAnotherOwnerTheControlSetsItsPointerItself)
{
    const struct {
        const char* what;
        IWindow* owner;
        bool controlSetsPointer;
    } cases[] = {
        {"no owner", nullptr, true},
        {"its own owner", control.get(), true},
        {"the parent as owner", parent.get(), false},
    };
    const HCURSOR classPointer = LoadCursor(nullptr, IDC_ARROW);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        control->setOwner(c.owner);
        ovktest::Recorder requests(WM_SETCURSOR);
        requests.attach(*parent, "parent").setAction([](IEvent& event) {
            event.setResult(0);
            return true;
        });
        SetCursor(nullptr);
        requestPointer();
        // Passed up by the default procedure, or sent on by the handler: once either way.
        EXPECT_EQ(requests.trace(), "parent");
        EXPECT_EQ(GetCursor(), c.controlSetsPointer ? classPointer : nullptr);
    }
}

TEST_F(OwnerMouse, TheQueryIsAnsweredOnlyWhereTheHandlerIsAttached)
{
    EXPECT_EQ(SendMessageA(control->hwnd(), IPrivateMessage::ownerMouseQuery, 0, 0), 1);
    EXPECT_EQ(SendMessageA(owner->hwnd(), IPrivateMessage::ownerMouseQuery, 0, 0), 0);
}

} // namespace
