// The message box: button groups and answers, help button, title, texts and the stop request
// its loop may take. Each box is answered by a driver on a thread timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <iapp.hpp>
#include <ierrinfo.hpp>
#include <iexcept.hpp>
#include <imsgbox.hpp>
#include <iobjwnd.hpp>
#include <ireslib.hpp>

#include <ovkmsgid.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::BoxDriver;
using ovktest::caught;
using ovktest::str;
using Strings = std::vector<std::string>;

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetWindowTextA(owner->hwnd(), "Owner title");
    }

    // Shows the box and answers it with the button; the box must have been seen and not
    // ended by force.
    template <class Show>
    IMessageBox::Response answer(WPARAM button, Show show, frametest::BoxSeen* seen = nullptr)
    {
        BoxDriver driver(button);
        const IMessageBox::Response response = show();
        EXPECT_TRUE(driver.seen().found);
        EXPECT_FALSE(driver.seen().forced);
        if (seen)
            *seen = driver.seen();
        return response;
    }

    std::unique_ptr<ovktest::TestWindow> owner;
};

TEST_F(MessageBoxTest, ButtonGroupsAndTheirAnswers)
{
    struct Case {
        const char* name;
        IMessageBox::Style style;
        WPARAM pressed;
        IMessageBox::Response expected;
        Strings buttons;
    };
    const Case cases[] = {
        {"cancel", IMessageBox::_cancelButton, IDOK, IMessageBox::cancel, {"OK"}},
        {"enter", IMessageBox::_enterButton, IDOK, IMessageBox::enter, {"OK"}},
        {"enter/cancel OK", IMessageBox::_enterCancelButton, IDOK, IMessageBox::enter,
         {"OK", "Cancel"}},
        {"enter/cancel Cancel", IMessageBox::_enterCancelButton, IDCANCEL, IMessageBox::cancel,
         {"OK", "Cancel"}},
        {"ok/cancel", IMessageBox::_okCancelButton, IDOK, IMessageBox::ok, {"OK", "Cancel"}},
        {"retry/cancel", IMessageBox::_retryCancelButton, IDRETRY, IMessageBox::retry,
         {"&Retry", "Cancel"}},
        {"yes/no", IMessageBox::_yesNoButton, IDNO, IMessageBox::no, {"&Yes", "&No"}},
    };
    for (bool variant : {false, true}) {
        IPlatform::Override road(IPlatform::platformVariant, variant);
        for (const Case& c : cases) {
            IMessageBox box(owner.get());
            frametest::BoxSeen seen;
            EXPECT_EQ(answer(c.pressed, [&] { return box.show("Text", c.style); }, &seen),
                      c.expected)
                << c.name << " variant " << variant;
            EXPECT_EQ(seen.buttons, c.buttons) << c.name << " variant " << variant;
        }
    }
}

TEST_F(MessageBoxTest, AHelpIdAddsTheHelpButton)
{
    IMessageBox box(owner.get());
    frametest::BoxSeen seen;
    answer(IDCANCEL, [&] { return box.show("Text", IMessageBox::_enterCancelButton, 77); }, &seen);
    EXPECT_EQ(seen.buttons, (Strings{"OK", "Cancel", "Help"}));
    answer(IDOK, [&] { return box.show("Text", IMessageBox::_okButton, 0); }, &seen);
    EXPECT_EQ(seen.buttons, Strings{"OK"});
}

TEST_F(MessageBoxTest, WithoutATitleTheOwnersTextIsTheTitle)
{
    struct Case {
        const char* name;
        IWindow* boxOwner;
        const char* title;
        const char* expected;
    };
    const Case cases[] = {
        {"owner", owner.get(), nullptr, "Owner title"},
        {"object window", IWindow::objectWindow(), nullptr, ""},
        {"desktop", IWindow::desktopWindow(), nullptr, ""},
        {"own title", owner.get(), "Own title", "Own title"},
    };
    for (const Case& c : cases) {
        IMessageBox box(c.boxOwner);
        if (c.title)
            box.setTitle(c.title);
        frametest::BoxSeen seen;
        answer(IDOK, [&] { return box.show("Text", IMessageBox::_okButton); }, &seen);
        EXPECT_EQ(seen.title, c.expected) << c.name;
    }
}

TEST_F(MessageBoxTest, TextsFromTheStringTableOrElseTheMessageTable)
{
    const IResourceLibrary exe;
    IResourceLibrary& library = IApplication::current().ovkuiResourceLibrary();
    struct Case {
        IResourceId text;
        const char* expected;
    };
    const Case cases[] = {
        {IResourceId(1950, exe), "Text from the string table"},
        {IResourceId(OVK_MSG_TIMER_NOT_FOUND, library), "No running timer has this identifier."},
    };
    for (const Case& c : cases) {
        IMessageBox box(owner.get());
        box.setTitle(IResourceId(1951, exe));
        frametest::BoxSeen seen;
        answer(IDOK, [&] { return box.show(c.text, IMessageBox::_okButton); }, &seen);
        EXPECT_EQ(seen.title, "Title from the string table");
        EXPECT_NE(std::find(seen.statics.begin(), seen.statics.end(), c.expected),
                  seen.statics.end())
            << c.expected;
    }
}

TEST_F(MessageBoxTest, AnExceptionShowsItsFirstTextWithItsSeverity)
{
    IException recoverable("Disk full");
    recoverable.appendText("while saving");
    const IException fatal("Out of luck", 0, IException::unrecoverable);
    IMessageBox box(owner.get());
    frametest::BoxSeen seen;
    EXPECT_EQ(answer(IDRETRY, [&] { return box.show(recoverable); }, &seen), IMessageBox::retry);
    EXPECT_EQ(seen.buttons, (Strings{"&Retry", "Cancel"}));
    EXPECT_NE(std::find(seen.statics.begin(), seen.statics.end(), "Disk full"), seen.statics.end());
    EXPECT_EQ(answer(IDOK, [&] { return box.show(fatal); }, &seen), IMessageBox::ok);
    EXPECT_EQ(seen.buttons, Strings{"OK"});

    // Error information is always fatal.
    struct Lost : IErrorInformation {
        const char* text() const override { return "Connection lost"; }
    } lost;
    EXPECT_EQ(answer(IDOK, [&] { return box.show(lost); }, &seen), IMessageBox::ok);
    EXPECT_EQ(seen.buttons, Strings{"OK"});
    EXPECT_NE(std::find(seen.statics.begin(), seen.statics.end(), "Connection lost"),
              seen.statics.end());
}

// The box's own loop takes a stop request meant for a loop further out; it must be there again
// when the box has closed.
TEST_F(MessageBoxTest, AStopRequestTheBoxTookIsPostedAgain)
{
    PostThreadMessageA(GetCurrentThreadId(), 0xFFE0, 0, 5);
    IMessageBox box(owner.get());
    answer(IDOK, [&] { return box.show("Text", IMessageBox::_okButton); });
    MSG stop{};
    ASSERT_TRUE(PeekMessageA(&stop, nullptr, 0xFFE0, 0xFFE0, PM_REMOVE));
    EXPECT_EQ(stop.lParam, 5);
    EXPECT_FALSE(PeekMessageA(&stop, nullptr, 0xFFE0, 0xFFE0, PM_REMOVE)) << "posted once";
}

TEST(MessageBoxConversions, NativeAnswersAsResponses)
{
    for (unsigned long answer = 1; answer <= 7; ++answer)
        EXPECT_EQ(IMessageBox::convertResponse(answer), static_cast<IMessageBox::Response>(answer));
    for (unsigned long answer : {8ul, 9ul, 12ul, 14ul, 16ul})
        EXPECT_EQ(IMessageBox::convertResponse(answer), IMessageBox::unknown) << answer;
    EXPECT_EQ(IMessageBox::convertResponse(15), IMessageBox::enter);
    EXPECT_EQ(str(caught([] { IMessageBox::convertResponse(0); }).text()), "IMESSAGEBOX");
}

TEST(MessageBoxConversions, SeveritiesAsStyles)
{
    struct Case {
        IMessageBox::Severity severity;
        unsigned long flags;
    };
    const Case cases[] = {
        {IMessageBox::information, MB_ICONINFORMATION | MB_OK},
        {IMessageBox::warning, MB_ICONEXCLAMATION | 15},
        {IMessageBox::action, MB_ICONQUESTION | MB_RETRYCANCEL},
        {IMessageBox::error, MB_ICONHAND | MB_RETRYCANCEL},
        {IMessageBox::fatal, MB_ICONHAND | MB_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IMessageBox::convertSeverity(c.severity).asUnsignedLong(), c.flags) << c.severity;
    EXPECT_EQ(caught([] { IMessageBox::convertSeverity(static_cast<IMessageBox::Severity>(9)); })
                  .errorId(),
              OVK_MSG_INVALID_VALUE);
}

} // namespace
