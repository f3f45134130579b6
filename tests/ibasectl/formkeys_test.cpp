// A form's keys as the user types them: Enter and Esc from its fields, Tab out of a multi-line
// edit, and where the commands of OK and Cancel arrive.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iapp.hpp>
#include <ientryfd.hpp>
#include <iframe.hpp>
#include <imle.hpp>
#include <ipushbut.hpp>
#include <isetcv.hpp>

#include "cmdtrace.hpp"
#include "handdrag.hpp"
#include "ovktest.hpp"

namespace {

// A form as an application builds it: a frame whose client is a set canvas holding an entry
// field, a multi-line edit and the OK (default) and Cancel push buttons, each with a tab stop.
// The buttons' owner is the frame, so that their commands and Esc's arrive at one window.
class FormKeys : public testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<IFrameWindow>(
            IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
            IRectangle(40, 40, 540, 440), IFrameWindow::_titleBar | IFrameWindow::_systemMenu,
            "form");
        canvas = std::make_unique<ISetCanvas>(0x8008, frame.get(), frame.get());
        frame->setClient(canvas.get());
        field = std::make_unique<IEntryField>(10, canvas.get(), canvas.get(), IRectangle(),
                                              IEntryField::defaultStyle() | IControl::_tabStop);
        ok = std::make_unique<IPushButton>(
            IDOK, canvas.get(), frame.get(), IRectangle(),
            IPushButton::defaultStyle() | IPushButton::_defaultButton | IControl::_tabStop);
        cancel = std::make_unique<IPushButton>(IDCANCEL, canvas.get(), frame.get(), IRectangle(),
                                               IPushButton::defaultStyle() | IControl::_tabStop);
        ok->setText("OK");
        cancel->setText("Cancel");
        frameCommands.handleEventsFor(frame.get());
        canvasCommands.handleEventsFor(canvas.get());
    }
    void TearDown() override
    {
        frameCommands.stopHandlingEventsFor(frame.get());
        canvasCommands.stopHandlingEventsFor(canvas.get());
        edit.reset();
        cancel.reset();
        ok.reset();
        field.reset();
        canvas.reset();
        frame.reset();
    }

    void addEdit(const IMultiLineEdit::Style& style)
    {
        edit = std::make_unique<IMultiLineEdit>(11, canvas.get(), canvas.get(),
                                                IRectangle(0, 0, 200, 80), style);
    }
    void showForm()
    {
        frame->update();
        frame->show();
        SetForegroundWindow(frame->handle());
        ovktest::pumpPending();
    }
    // Gives the window the focus, presses the key by hand and lets what follows run.
    void press(HWND window, WORD key, bool shift = false)
    {
        SetFocus(window);
        ovktest::pumpPending();
        ovktest::pressKeyByHand(key, shift);
        ovktest::pumpUntil([] { return false; }, 150);
    }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<ISetCanvas> canvas;
    std::unique_ptr<IEntryField> field;
    std::unique_ptr<IMultiLineEdit> edit;
    std::unique_ptr<IPushButton> ok, cancel;
    ovktest::CommandTrace frameCommands, canvasCommands;
};

TEST_F(FormKeys, EnterEscAndTheButtonsCommandsReachTheFrameThatOwnsTheButtons)
{
    showForm();
    for (int pass = 0; pass < 2; ++pass) {
        frameCommands.trace.clear();
        press(field->handle(), VK_RETURN);
        press(field->handle(), VK_ESCAPE);
        // A second click at the first one's place would be a double click.
        ovktest::clickByHand(ovktest::onScreen(cancel->handle(), 5 + 15 * pass, 5 + 5 * pass));
        ovktest::pumpUntil([] { return false; }, 150);
        EXPECT_EQ(frameCommands.trace, "1 2 2") << "pass " << pass;
        EXPECT_EQ(canvasCommands.trace, "") << "pass " << pass;
    }
}

// Tab and Shift+Tab leave an edit made with _ignoreTab as they leave an entry field, and type
// nothing; without the style they are text. Esc cancels the form from either edit.
TEST_F(FormKeys, TabLeavesAMultiLineEditThatIgnoresTabAndEscCancelsFromAny)
{
    struct Case {
        const char* name;
        bool ignoreTab;
        const char* textAfterTabs; // what Tab and Shift+Tab typed
    };
    const Case cases[] = {{"ignoring Tab", true, ""}, {"taking Tab", false, "\t\t"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IMultiLineEdit::Style style = IMultiLineEdit::defaultStyle() | IControl::_tabStop;
        if (c.ignoreTab)
            style |= IMultiLineEdit::_ignoreTab;
        addEdit(style);
        // The edit comes after the field in the tab order, before the buttons.
        SetWindowPos(edit->handle(), field->handle(), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        showForm();
        frameCommands.trace.clear();
        for (int pass = 0; pass < 2; ++pass) {
            press(edit->handle(), VK_TAB);
            EXPECT_EQ(GetFocus(), c.ignoreTab ? static_cast<HWND>(ok->handle())
                                              : static_cast<HWND>(edit->handle()));
            press(edit->handle(), VK_TAB, true);
            EXPECT_EQ(GetFocus(), c.ignoreTab ? static_cast<HWND>(field->handle())
                                              : static_cast<HWND>(edit->handle()));
            EXPECT_EQ(ovktest::str(edit->text()), c.textAfterTabs);
            edit->setText("");
            press(edit->handle(), VK_ESCAPE);
        }
        EXPECT_EQ(frameCommands.trace, "2 2");
        EXPECT_EQ(ovktest::str(edit->text()), "");
        edit.reset();
    }
}

} // namespace
