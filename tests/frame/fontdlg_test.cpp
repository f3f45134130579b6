// The font dialog: what it shows and hides, the flags its settings give, the chosen size, Cancel,
// and the notify handler that finds the dialog through the dialog window. A test handler acts
// from the dialog's WM_INITDIALOG.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <string>

#include <ifdnhdr.hpp>
#include <ifont.hpp>
#include <ifontdlg.hpp>
#include <iprivmsg.hpp>

#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::press;
using ovktest::str;

bool shown(HWND dialog, int control)
{
    return (GetWindowLongPtrA(GetDlgItem(dialog, control), GWL_STYLE) & WS_VISIBLE) != 0;
}

// A notify handler that acts when the dialog opens, keeps what it saw and counts the Apply and
// dialog-ended calls it gets. A cancel is posted after a while should a test's own ending go
// astray.
class Driver : public IFontDialogNotifyHandler {
public:
    std::function<void(HWND)> onOpen;
    HWND window = nullptr;
    CHOOSEFONTA* record = nullptr;
    std::string title;
    std::string sample;
    bool colorLabelShown = true;
    bool colorListShown = true;
    int applied = 0;
    int ended = 0;
    IFontDialog* appliedDialog = nullptr;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == WM_INITDIALOG) {
            window = event.handle();
            record = static_cast<CHOOSEFONTA*>(event.parameter2().asPointer());
            title = frametest::windowText(window);
            sample = frametest::windowText(GetDlgItem(window, 1092));
            colorLabelShown = shown(window, 1091);
            colorListShown = shown(window, 1139);
            const HWND dialog = window;
            fLater.after(4000, [dialog] { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
            if (onOpen)
                onOpen(window);
        }
        return IFontDialogNotifyHandler::dispatchHandlerEvent(event);
    }
    IBase::Boolean applyFont(IFontDialog& dialog) override
    {
        ++applied;
        appliedDialog = &dialog;
        return true;
    }
    IBase::Boolean dialogEnded(IFontDialog&) override
    {
        ++ended;
        return true;
    }

private:
    frametest::Later fLater{8000};
};

class FontDialog : public testing::Test {
protected:
    void SetUp() override { owner = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW); }

    std::unique_ptr<ovktest::TestWindow> owner;
};

TEST_F(FontDialog, CancelShowsTheTextsHidesTheColourAndLeavesTheFont)
{
    for (const bool withFont : {false, true}) {
        SCOPED_TRACE(withFont ? "with a font" : "without a font");
        IFont font("Tahoma", 10);
        const std::string face = str(font.name());
        const LONG height = font.fontAttributes().lfHeight;
        Driver driver;
        driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
        IFontDialog::Settings settings(withFont ? &font : nullptr);
        settings.setTitle("Pick a font").setSampleText("A sample text");
        IFontDialog dialog(nullptr, owner.get(), &driver, settings);
        EXPECT_EQ(dialog.result(), 2u);
        EXPECT_FALSE(dialog.pressedOK());
        EXPECT_EQ(driver.title, "Pick a font");
        EXPECT_EQ(driver.sample, "A sample text");
        EXPECT_FALSE(driver.colorLabelShown);
        EXPECT_FALSE(driver.colorListShown);
        ASSERT_NE(driver.record, nullptr);
        EXPECT_EQ((driver.record->Flags & CF_INITTOLOGFONTSTRUCT) != 0, withFont);
        EXPECT_EQ(driver.record->Flags & (CF_SCREENFONTS | CF_EFFECTS | CF_ENABLEHOOK),
                  static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS | CF_ENABLEHOOK));
        EXPECT_EQ(dialog.id(), 0x606u);
        EXPECT_EQ(str(font.name()), face);
        EXPECT_EQ(font.fontAttributes().lfHeight, height);
    }
}

// A dialog opened without settings starts from no font; the inert styles ask for nothing.
TEST_F(FontDialog, WithoutSettingsItStartsFromNoFontAndInertStylesAddNoFlag)
{
    static_assert(std::is_constructible<IFontDialog, IWindow*, IWindow*>::value,
                  "a font dialog needs no settings");
    const IFontDialog::Style inert = IFontDialog::_inertStyle1 | IFontDialog::_inertStyle2 |
                                     IFontDialog::_inertStyle3 | IFontDialog::_inertStyle4;
    EXPECT_EQ(inert.asUnsignedLong(), 0u);
    EXPECT_EQ(inert.asExtendedUnsignedLong(), 0u);
    Driver driver;
    driver.onOpen = [](HWND window) { press(window, IDCANCEL); };
    IFontDialog dialog(nullptr, owner.get(), &driver, inert | IFontDialog::_helpButton);
    EXPECT_EQ(dialog.result(), 2u);
    ASSERT_NE(driver.record, nullptr);
    EXPECT_EQ(driver.record->Flags & ~static_cast<DWORD>(CF_SHOWHELP),
              static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS | CF_ENABLEHOOK));
}

TEST_F(FontDialog, SettingsKeepATextForANullPointerAndTakeTheFontsRestrictions)
{
    IFontDialog::Settings settings;
    settings.setTitle("Title").setSampleText("Sample");
    settings.setTitle(static_cast<const char*>(nullptr)).setSampleText(static_cast<const char*>(nullptr));
    EXPECT_EQ(str(settings.title()), "Title");
    EXPECT_EQ(str(settings.sampleText()), "Sample");
    EXPECT_EQ(settings.flags() & CF_INITTOLOGFONTSTRUCT, 0u);

    IFont fixed("Courier New", 10);
    fixed.useFixedOnly();
    IFont raster("MS Sans Serif", 8);
    raster.useBitmapOnly();
    EXPECT_EQ(IFontDialog::Settings(&fixed).flags() & (CF_FIXEDPITCHONLY | CF_INITTOLOGFONTSTRUCT),
              static_cast<unsigned long>(CF_FIXEDPITCHONLY | CF_INITTOLOGFONTSTRUCT));
    EXPECT_NE(IFontDialog::Settings(&raster).flags() & CF_NOVECTORFONTS, 0u);
}

TEST_F(FontDialog, OKReportsTheChosenFontAndTheSizeInWholePoints)
{
    IFont font("Tahoma", 10);
    Driver driver;
    driver.onOpen = [](HWND window) { press(window, IDOK); };
    IFontDialog::Settings settings(&font);
    IFontDialog dialog(nullptr, owner.get(), &driver, settings);
    EXPECT_TRUE(dialog.pressedOK());
    EXPECT_EQ(dialog.pointSize(), 10u);
    // The size in tenths that the system reports in the dialog's record, as for 12.5 points.
    driver.record->iPointSize = 125;
    EXPECT_EQ(dialog.pointSize(), 12u);
    EXPECT_EQ(str(font.name()), std::string(settings.fontAttributes().lfFaceName));
}

TEST_F(FontDialog, TheNotifyHandlerFindsTheDialogAndAppliesOnlyWithAnApplyButton)
{
    for (const bool apply : {false, true}) {
        SCOPED_TRACE(apply ? "with Apply" : "without Apply");
        IFont font("Tahoma", 10);
        Driver driver;
        driver.onOpen = [](HWND window) {
            SendMessageA(window, WM_COMMAND, 0x402, 0);
            SendMessageA(window, IPrivateMessage::dialogNotify, 0, 0);
            press(window, IDCANCEL);
        };
        IFontDialog::Settings settings(&font);
        IFontDialog dialog(nullptr, owner.get(), &driver, settings,
                           apply ? IFontDialog::_applyButton : IFontDialog::classDefaultStyle);
        EXPECT_EQ(dialog.hasApplyButton(), apply);
        EXPECT_EQ(driver.applied, apply ? 2 : 0);
        EXPECT_EQ(driver.ended, apply ? 1 : 0);
        EXPECT_EQ(driver.appliedDialog, apply ? &dialog : nullptr);
        EXPECT_EQ(dialog.result(), 2u);
    }
}

} // namespace
