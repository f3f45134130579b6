// What the file and font dialogs share about how the system's dialog ended: a dialog the system
// cannot show is a system error carrying the dialog's extended error, not a silent cancel.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <iapp.hpp>
#include <ifiledlg.hpp>
#include <ifontdlg.hpp>
#include <ireslib.hpp>

#include "ovktest.hpp"

namespace {

// A template the test program does not have: the system refuses the dialog before it shows.
IResourceId missingTemplate()
{
    return IResourceId(4321, IApplication::current().userResourceLibrary());
}

class CommonDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
    }

    std::unique_ptr<ovktest::TestWindow> owner;
};

TEST_F(CommonDialogs, ADialogTheSystemRefusesFailsWithItsExtendedError)
{
    // A dialog that shows after all would wait for a user: end the program instead.
    const ovktest::Watchdog watchdog(20000, "a dialog showed although its template is missing");
    const struct {
        const char* call;
        const char* file;
        std::function<void()> show;
    } cases[] = {
        {"OpenFileName", "ifiledlg",
         [&] {
             IFileDialog::Settings settings;
             settings.setDialogTemplate(missingTemplate());
             IFileDialog dialog(nullptr, owner.get(), settings);
         }},
        {"ChooseFont", "ifontdlg",
         [&] {
             IFontDialog::Settings settings(nullptr);
             settings.setDialogTemplate(missingTemplate());
             IFontDialog dialog(nullptr, owner.get(), settings);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        const IException failure = ovktest::caught(c.show);
        EXPECT_EQ(failure.errorId(), static_cast<IException::ErrorId>(CDERR_FINDRESFAILURE));
        EXPECT_NE(ovktest::str(failure.text(0)).find(c.call), std::string::npos);
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), c.file);
    }
}

} // namespace
