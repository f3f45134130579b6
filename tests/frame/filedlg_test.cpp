// The file dialog: ending it with OK and Cancel, the settings it reads and fills, the name check,
// the Apply mode and the names of a multiple selection. Wine shows the old-style dialog for a
// hooked one: a test handler types the name (edit 0x480) and posts the button from the dialog's
// WM_INITDIALOG.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <icoordsy.hpp>
#include <ifiledlg.hpp>

#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::press;
using ovktest::str;

constexpr int kNameField = 0x480;

// What the dialog showed when it opened.
struct Seen {
    HWND window = nullptr;
    std::string title;
    std::string okText;
    DWORD flags = 0;
    bool ownerEnabled = false;
    RECT rect{};
};

// A file dialog handler that acts when the dialog opens; a refusing name check and the Apply
// calls are counted. A cancel is posted after a while should a test's own ending go astray.
class Driver : public IFileDialogHandler {
public:
    std::function<void(HWND)> onOpen;
    Seen seen;
    HWND owner = nullptr;
    int refusals = 0;
    int checks = 0;
    std::string applied;
    int ended = 0;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_INITDIALOG) {
            const HWND window = event.handle();
            seen.window = window;
            seen.title = frametest::windowText(window);
            seen.okText = frametest::windowText(GetDlgItem(window, IDOK));
            seen.flags = reinterpret_cast<const OPENFILENAMEA*>(event.parameter2().asPointer())->Flags;
            seen.ownerEnabled = owner && IsWindowEnabled(owner);
            GetWindowRect(window, &seen.rect);
            fLater.after(4000, [window] { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
            if (onOpen)
                onOpen(window);
        }
        return IFileDialogHandler::dispatchHandlerEvent(event);
    }
    IBase::Boolean verifyFileName(IFileDialog*, const IString&) override
    {
        ++checks;
        return checks > refusals;
    }
    IBase::Boolean applyEnded(IFileDialog*) override
    {
        ++ended;
        return true;
    }
    IBase::Boolean apply(IFileDialog*, const IString& fileText) override
    {
        applied = str(fileText);
        return true;
    }

private:
    frametest::Later fLater{8000};
};

// An existing file in the temporary folder, removed with the object.
class ExistingFile : public ovktest::TempFile {
public:
    explicit ExistingFile(const char* name) : TempFile(name) { write("text"); }
};

class FileDialog : public testing::Test {
protected:
    void SetUp() override { owner = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW); }

    std::unique_ptr<ovktest::TestWindow> owner;
};

TEST_F(FileDialog, CancelEndsWithResult2AndTheSettingsUnchanged)
{
    Driver driver;
    driver.owner = owner->hwnd();
    driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
    IFileDialog::Settings settings;
    settings.setTitle("Open a text").setOKButtonText("Load").setFileName("start.txt");
    IFileDialog dialog(nullptr, owner.get(), &driver, settings);
    EXPECT_EQ(dialog.result(), 2u);
    EXPECT_FALSE(dialog.pressedOK());
    EXPECT_EQ(dialog.errorCode(), 0u);
    EXPECT_EQ(driver.seen.title, "Open a text");
    EXPECT_EQ(driver.seen.okText, "Load");
    // A modal dialog disables its owner; the object knows the window by its handle meanwhile.
    EXPECT_FALSE(driver.seen.ownerEnabled);
    EXPECT_EQ(dialog.id(), 0x600u);
    EXPECT_EQ(str(settings.fileName()), "start.txt");
    EXPECT_FALSE(settings.wasSuccessful());
}

// The fifth text stays with the settings; the inert styles ask the dialog for nothing.
TEST_F(FileDialog, TheUserTextStaysWithTheSettingsAndInertStylesAddNoFlag)
{
    const IFileDialog::Style inert = IFileDialog::_inertStyle1 | IFileDialog::_inertStyle2 |
                                     IFileDialog::_inertStyle3 | IFileDialog::_inertStyle4 |
                                     IFileDialog::_inertStyle5 | IFileDialog::_inertStyle6 |
                                     IFileDialog::_inertStyle7;
    EXPECT_EQ(inert.asUnsignedLong(), 0u);
    EXPECT_EQ(inert.asExtendedUnsignedLong(), 0u);
    Driver driver;
    driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
    IFileDialog::Settings settings;
    settings.setUserText("kept");
    IFileDialog dialog(nullptr, owner.get(), &driver, settings, inert);
    EXPECT_EQ(dialog.result(), 2u);
    EXPECT_EQ(driver.seen.flags & ~static_cast<DWORD>(OFN_ENABLEHOOK | OFN_PATHMUSTEXIST |
                                                       OFN_HIDEREADONLY | OFN_NOCHANGEDIR),
              0u);
    IFileDialog::Settings copy(settings);
    EXPECT_EQ(str(copy.userText()), "kept");
}

TEST_F(FileDialog, APositionPlacesTheDialogRelativeToItsOwner)
{
    SetWindowPos(owner->hwnd(), nullptr, 100, 80, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const bool bottomLeft : {false, true}) {
        SCOPED_TRACE(bottomLeft ? "bottom left" : "top left");
        const ovktest::CoordinateSystem system(bottomLeft ? ICoordinateSystem::kOriginLowerLeft
                                                          : ICoordinateSystem::kOriginUpperLeft);
        Driver driver;
        driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
        IFileDialog::Settings settings;
        settings.setPosition(IPoint(30, 40));
        IFileDialog dialog(nullptr, owner.get(), &driver, settings);
        const RECT& placed = driver.seen.rect;
        EXPECT_EQ(placed.left, 130);
        EXPECT_EQ(placed.top, bottomLeft ? 480 - 40 - (placed.bottom - placed.top) : 120);
    }
}

TEST_F(FileDialog, OKStoresTheChosenNameInTheSettings)
{
    ExistingFile file("ovk-filedlg-chosen.txt");
    Driver driver;
    driver.onOpen = [&](HWND window) {
        SetDlgItemTextA(window, kNameField, file.path());
        press(window, IDOK);
    };
    IFileDialog::Settings settings;
    IFileDialog dialog(nullptr, owner.get(), &driver, settings);
    EXPECT_TRUE(dialog.pressedOK());
    EXPECT_EQ(dialog.result(), 1u);
    EXPECT_TRUE(settings.wasSuccessful());
    EXPECT_EQ(lstrcmpiA(settings.fileName(), file.path()), 0) << str(settings.fileName());
    EXPECT_EQ(str(dialog.fileName(0)), str(settings.fileName()));
    EXPECT_EQ(dialog.selectedFileCount(), 1u);
    EXPECT_EQ(driver.checks, 1);
}

TEST_F(FileDialog, ARefusedNameKeepsTheDialogOpen)
{
    ExistingFile file("ovk-filedlg-refused.txt");
    Driver driver;
    driver.refusals = 1;
    driver.onOpen = [&](HWND window) {
        SetDlgItemTextA(window, kNameField, file.path());
        press(window, IDOK);
        // Reached only while the dialog is still open after the refusal.
        press(window, IDOK);
    };
    IFileDialog::Settings settings;
    IFileDialog dialog(nullptr, owner.get(), &driver, settings);
    EXPECT_EQ(driver.checks, 2);
    EXPECT_TRUE(dialog.pressedOK());
}

TEST_F(FileDialog, OpenSelector0GivesTheSaveAsDialogWithTheOverwritePrompt)
{
    Driver driver;
    driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
    IFileDialog::Settings settings;
    settings.setSaveAsDialog();
    IFileDialog dialog(nullptr, owner.get(), &driver, settings, IFileDialog::_helpButton);
    EXPECT_NE(driver.seen.flags & OFN_OVERWRITEPROMPT, 0u);
    EXPECT_NE(driver.seen.flags & OFN_SHOWHELP, 0u);
    EXPECT_EQ(driver.seen.flags & (OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                                   OFN_HIDEREADONLY),
              static_cast<DWORD>(OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                                 OFN_HIDEREADONLY));
    EXPECT_EQ(driver.seen.title, "Save As");
    // Without an Apply button its end is not reported.
    EXPECT_EQ(driver.ended, 0);
}

TEST_F(FileDialog, AMultipleSelectionNamesEachFileInItsDirectory)
{
    const struct {
        const char* fileText;
        unsigned long count;
        const char* names[3];
    } cases[] = {
        {"C:\\WORK A.TXT B.TXT", 2, {"C:\\WORK\\A.TXT", "C:\\WORK\\B.TXT", ""}},
        {"C:\\ A.TXT B.TXT", 2, {"C:\\A.TXT", "C:\\B.TXT", ""}},
        {"\\\\server\\share\\ A.TXT", 1, {"\\\\server\\share\\ A.TXT", "", ""}},
        {"C:\\WORK\\ONE.TXT", 1, {"C:\\WORK\\ONE.TXT", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileText);
        Driver driver;
        driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
        IFileDialog::Settings settings;
        settings.setFileName(c.fileText);
        IFileDialog dialog(nullptr, owner.get(), &driver, settings, IFileDialog::_multipleSelection);
        EXPECT_EQ(dialog.id(), 0x601u);
        EXPECT_EQ(dialog.selectedFileCount(), c.count);
        for (unsigned long index = 0; index < 3; ++index)
            EXPECT_EQ(str(dialog.fileName(index)), c.names[index]) << index;
    }
}

TEST_F(FileDialog, ANameLongerThanTheBufferIsRefused)
{
    IFileDialog::Settings settings;
    settings.setFileName(std::string(300, 'a').c_str());
    const IException failure = ovktest::caught([&] { IFileDialog dialog(nullptr, owner.get(), settings); });
    EXPECT_EQ(str(failure.text(0)), "settings.fileName().length() < nMaxFile");
    EXPECT_EQ(str(failure.locationAtIndex(0)->fileName()), "ifiledlg");

    // A multiple selection has room for it.
    Driver driver;
    driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
    IFileDialog dialog(nullptr, owner.get(), &driver, settings, IFileDialog::_multipleSelection);
    EXPECT_EQ(dialog.result(), 2u);
}

TEST_F(FileDialog, WithAnApplyButtonTheOwnerStaysEnabledAndHearsApply)
{
    Driver driver;
    driver.owner = owner->hwnd();
    driver.onOpen = [](HWND window) {
        SendMessageA(window, WM_COMMAND, 0x402, 0);
        press(window, IDCANCEL);
    };
    IFileDialog::Settings settings;
    settings.setFileName("draft.txt");
    IFileDialog dialog(nullptr, owner.get(), &driver, settings, IFileDialog::_applyButton);
    EXPECT_TRUE(dialog.hasApplyButton());
    EXPECT_TRUE(driver.seen.ownerEnabled);
    EXPECT_EQ(driver.applied, "draft.txt");
    EXPECT_EQ(driver.ended, 1);
    EXPECT_TRUE(IsWindowEnabled(owner->hwnd()));

    IFileDialogHandler plain;
    EXPECT_EQ(str(ovktest::caught([&] { plain.handleEventsFor(static_cast<IFileDialog*>(nullptr)); })
                      .text(0)),
              "fileDialog != 0");
}

} // namespace
