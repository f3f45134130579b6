// The main function of every test program of the library.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include <detail/icallgrd.hpp>
#include <iapp.hpp>
#include <iassert.hpp>

namespace {

// A library assertion is a fault the library found where it could not throw: in a test it is a
// failure, reported where it happened. Diagnostics go to stderr, never to a message box, which
// would stop an unattended run.
void failOnAssertion(const IString& text, const IExceptionLocation& location)
{
    std::fprintf(stderr, "library assertion: %s [%s]\n", static_cast<const char*>(text),
                 static_cast<const char*>(location.asString()));
    ADD_FAILURE() << "library assertion: " << static_cast<const char*>(text) << " ["
                  << static_cast<const char*>(location.asString()) << "]";
}

// An exception that a handler let go and that nothing took from the library's slot would
// surface in a later, unrelated test; it fails the test that left it.
class PendingExceptionCheck : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        if (!ICallbackGuard::hasPending())
            return;
        ICallbackGuard::takePending();
        std::fprintf(stderr, "%s.%s left a handler's exception pending\n", test.test_suite_name(),
                     test.name());
        fFailed = true;
    }

public:
    bool fFailed = false;
};

// Wine starts its desktop process for the first program of a prefix that makes a window; when
// several test programs start at once on a fresh server they race to start it, and the losers'
// first windows fail to be created. Waiting here until a window can be made keeps that race out
// of the tests.
void waitForDesktop()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        if (probe) {
            DestroyWindow(probe);
            return;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "no window could be created: the tests that need one will fail\n");
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    waitForDesktop();
    // The application object first, as in a program of the library: it holds the arguments and
    // the resource libraries that everything after it looks resources up in.
    IApplication::current().setArgs(argc, argv);
    IAssertion::setHandler(&failOnAssertion);
    auto* check = new PendingExceptionCheck;
    testing::UnitTest::GetInstance()->listeners().Append(check);
    const int result = RUN_ALL_TESTS();
    return result != 0 || check->fFailed ? 1 : 0;
}
