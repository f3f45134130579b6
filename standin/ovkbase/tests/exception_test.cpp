// Exceptions: kinds, texts, locations, the message provider and empty references.
#include "iexcept.hpp"
#include "imsgtext.hpp"
#include "irefcnt.hpp"
#include "ireftype.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

// At namespace scope, so that its name shows plainly in the reference error's location.
class RefTestItem : public IRefCounted {};

namespace {

// What a thrower threw: the exception (as its base) and the name of its kind.
struct Caught {
    IException exception{"nothing was thrown"};
    std::string kind;
};

Caught caught(const std::function<void()>& thrower) {
    try {
        thrower();
    } catch (const IException& e) {
        return Caught{e, e.name()};
    }
    ADD_FAILURE() << "nothing was thrown";
    return Caught{};
}

struct ThrowCase {
    const char* kind;
    std::function<void()> thrower;
    const char* text;
    IException::ErrorId errorId;
    IException::Severity severity;
};

class ThrowHelpers : public testing::TestWithParam<ThrowCase> {};

TEST_P(ThrowHelpers, ThrowTheirKindWithTextIdAndLocation) {
    const ThrowCase& c = GetParam();
    Caught thrown = caught(c.thrower);
    const IException& e = thrown.exception;
    EXPECT_EQ(thrown.kind, c.kind);
    EXPECT_EQ(e.text(), c.text);
    EXPECT_STREQ(e.what(), c.text);
    EXPECT_EQ(e.errorId(), c.errorId);
    EXPECT_EQ(e.severity(), c.severity);
    EXPECT_EQ(e.isRecoverable(), c.severity == IException::recoverable);
    ASSERT_EQ(e.locationCount(), 1u);
    EXPECT_EQ(e.locationAtIndex(0)->fileName(), "ithread");
    EXPECT_EQ(e.locationAtIndex(0)->functionName(), "IThread::start(unsigned long)");
    EXPECT_EQ(e.locationAtIndex(0)->lineNumber(), 365u);
}

IExceptionLocation here() {
    return IExceptionLocation("ithread", "IThread::start(unsigned long)", 365);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ThrowHelpers,
    testing::Values(
        ThrowCase{"IInvalidParameter", [] { IThrow::argument("window!=0", here()); },
                  "window!=0", 0, IException::recoverable},
        ThrowCase{"IInvalidRequest", [] { IThrow::state("menu.isValid()", here()); },
                  "menu.isValid()", 0, IException::recoverable},
        ThrowCase{"ISystemError", [] { IThrow::systemError("TlsAlloc", 8, here()); }, "TlsAlloc",
                  8, ISystemError::defaultSeverity},
        ThrowCase{"IRuntimeError",
                  [] { IThrow::runtime("setTop", here(), static_cast<IException::ErrorId>(-1)); },
                  "setTop", 0xFFFFFFFFu, IException::recoverable},
        ThrowCase{"IInvalidRequest",
                  [] { IThrow::message(47, here(), IException::unrecoverable); },
                  "Message 47: no text available.", 47, IException::unrecoverable},
        ThrowCase{"INullReferenceError", [] { IThrow::reference(here()); },
                  "An empty reference was used: it refers to no object.", 58,
                  IException::recoverable}));

TEST(Exception, KindsAreCaughtThroughTheirBases) {
    EXPECT_THROW(IThrow::reference(here()), IInvalidRequest);
    EXPECT_THROW(IThrow::argument("x", here()), IException);
    EXPECT_THROW(IThrow::systemError("x", 1, here()), std::exception);
}

TEST(Exception, TextsStackAndLocationsAccumulateWhileRethrown) {
    IException e = caught([] {
        try {
            IThrow::systemError("RegOpenKey", 2, IExceptionLocation("iprofile", "IProfile::a()", 750));
        } catch (IException& inner) {
            inner.appendText("while reading a key");
            inner.addLocation(IEXCEPTION_LOCATION("iprofile", "IProfile::b()"));
            throw;
        }
    }).exception;
    EXPECT_EQ(e.textCount(), 2u);
    EXPECT_EQ(e.text(0), "RegOpenKey");
    EXPECT_EQ(e.text(1), "while reading a key");
    EXPECT_EQ(e.text(2), "");
    EXPECT_STREQ(e.what(), "RegOpenKey\nwhile reading a key");
    ASSERT_EQ(e.locationCount(), 2u);
    EXPECT_EQ(e.locationAtIndex(0)->lineNumber(), 750u);
    EXPECT_EQ(e.locationAtIndex(1)->functionName(), "IProfile::b()");
    EXPECT_GT(e.locationAtIndex(1)->lineNumber(), 0u);
    EXPECT_EQ(e.locationAtIndex(2), nullptr);
    EXPECT_EQ(e.locationAtIndex(0)->asString(), "iprofile(750) IProfile::a()");

    e.setText("replaced");
    EXPECT_EQ(e.text(1), "replaced");
    EXPECT_EQ(e.text(0), "RegOpenKey");
}

TEST(Exception, ACopyChangesWithoutChangingTheOriginal) {
    IInvalidRequest original("cursor.isValid()");
    IException copy(original);
    copy.appendText("more").setErrorId(9).addLocation(here());
    EXPECT_EQ(original.textCount(), 1u);
    EXPECT_EQ(original.errorId(), 0u);
    EXPECT_EQ(original.locationCount(), 0u);
    EXPECT_STREQ(original.what(), "cursor.isValid()");
    EXPECT_EQ(copy.textCount(), 2u);
}

TEST(Exception, CheckMacrosQuoteTheConditionAsWritten) {
    const void* window = nullptr;
    IException e = caught([&] { IARGUMENT_CHECK(window!=0, "iwindow", "IWindow::IWindow()"); }).exception;
    EXPECT_EQ(e.text(), "window!=0");
    EXPECT_EQ(e.locationAtIndex(0)->fileName(), "iwindow");
    bool ready = false;
    EXPECT_THROW(ISTATE_CHECK(ready, "x", "f()"), IInvalidRequest);
}

// Restores whatever provider was installed before the test.
class MessageProvider : public testing::Test {
protected:
    void TearDown() override { IMessageText::setProvider(fPrevious); }
    IMessageText::Provider fPrevious = IMessageText::provider();
};

TEST_F(MessageProvider, SuppliesTextsAndFallsBackWhenItHasNoneOrThrows) {
    IMessageText::setProvider([](std::uint32_t n) -> IString {
        if (n == 1) return "The window is dispatching.";
        if (n == 2) throw std::runtime_error("catalogue unreadable");
        return IString();
    });
    EXPECT_EQ(IMessageText::textFor(1), "The window is dispatching.");
    EXPECT_EQ(IMessageText::textFor(2), "Message 2: no text available.");
    EXPECT_EQ(IMessageText::textFor(3), "Message 3: no text available.");
    EXPECT_EQ(IMessageText::textFor(58), IMessageText::fallbackText(58));

    IException e = caught([] { IThrow::message(1, here()); }).exception;
    EXPECT_EQ(e.text(), "The window is dispatching.");
    EXPECT_EQ(e.errorId(), 1u);

    EXPECT_NE(IMessageText::setProvider(nullptr), nullptr);
    EXPECT_EQ(IMessageText::textFor(1), "Message 1: no text available.");
}

TEST(Reference, EmptyReferenceThrowsMessage58AtTheReferenceHeader) {
    IReference<RefTestItem> empty;
    Caught thrown = caught([&] { empty->useCount(); });
    const IException& e = thrown.exception;
    EXPECT_EQ(thrown.kind, "INullReferenceError");
    EXPECT_EQ(e.errorId(), 58u);
    ASSERT_EQ(e.locationCount(), 1u);
    EXPECT_EQ(e.locationAtIndex(0)->fileName(), "ireftype.hpp");
    EXPECT_EQ(e.locationAtIndex(0)->functionName(), "IReference<RefTestItem>::operator->() const");
    EXPECT_GT(e.locationAtIndex(0)->lineNumber(), 0u);

    IException star = caught([&] { (*empty).useCount(); }).exception;
    EXPECT_EQ(star.locationAtIndex(0)->functionName(), "IReference<RefTestItem>::operator*() const");
    EXPECT_EQ(empty.get(), nullptr); // get() never throws
}

} // namespace
