// The original default push button of a frame made from a dialog template: recorded by the
// first layout of a canvas in it, found before any other default push button, and made the
// default again when the focus leaves the push buttons, while the dialog manager's own window
// bytes stay untouched.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <detail/ilaybits.hpp>
#include <iapp.hpp>
#include <icanvas.hpp>
#include <icvhdr.hpp>
#include <iframe.hpp>
#include <ipushbut.hpp>
#include <iradiobt.hpp>

#include "canvastest.hpp"

namespace {

// The extra window bytes that a dialog reserves for the dialog manager: the message result,
// the dialog procedure and the user word first, then the manager's private part, up to 30
// bytes on 32-bit and 48 on 64-bit.
constexpr int kDialogReserve = sizeof(void*) == 8 ? 48 : 30;
constexpr int kPrivateStart = 3 * static_cast<int>(sizeof(LONG_PTR));

std::vector<LONG_PTR> privateDialogWords(HWND dialog)
{
    std::vector<LONG_PTR> words;
    for (int offset = kPrivateStart; offset + static_cast<int>(sizeof(LONG_PTR)) <= kDialogReserve;
         offset += static_cast<int>(sizeof(LONG_PTR)))
        words.push_back(GetWindowLongPtrA(dialog, offset));
    return words;
}

// A hidden dialog template of the window class given, holding one default push button of its
// own ahead of anything added later: a search of the frame's children for a default button
// finds it first, so only the recorded original answers the canvas's button.
std::vector<WORD> frameTemplate(const std::string& windowClass)
{
    std::vector<WORD> t;
    auto dword = [&](DWORD value) {
        t.push_back(LOWORD(value));
        t.push_back(HIWORD(value));
    };
    auto text = [&](const char* s) {
        for (; *s; ++s)
            t.push_back(static_cast<WORD>(*s));
        t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU);
    dword(0);
    t.insert(t.end(), {1, 0, 0, 240, 140, 0});
    text(windowClass.c_str());
    text("Template frame");
    if (t.size() % 2)
        t.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    dword(0);
    t.insert(t.end(), {180, 120, 50, 14, IDOK, 0xFFFF, 0x0080});
    text("Template button");
    t.push_back(0);
    return t;
}

// Destroys the template frame's window, which its window object leaves alone.
struct DestroyOnExit {
    HWND window;
    ~DestroyOnExit() { DestroyWindow(window); }
};

LONG_PTR buttonType(const IWindow& button)
{
    return GetWindowLongPtrA(button.handle(), GWL_STYLE) & 0xF;
}

void tab(const IWindow& from)
{
    SetFocus(from.handle());
    ovktest::pumpPending();
    ovktest::send(from.handle(), WM_CHAR, VK_TAB, 1);
    ovktest::pumpPending();
}

// Types Alt and the key as a user's hand does, through the input queue, so that the focused
// control hears the key down with the Alt context bit and the character that it translates
// to.
void altKey(WORD key)
{
    INPUT keys[4] = {};
    const WORD sequence[4] = {VK_MENU, key, key, VK_MENU};
    for (int at = 0; at < 4; ++at) {
        keys[at].type = INPUT_KEYBOARD;
        keys[at].ki.wVk = sequence[at];
        keys[at].ki.dwFlags = at < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof keys[0]);
    ovktest::pumpUntil([] { return GetKeyState(VK_MENU) >= 0; });
    ovktest::pumpPending();
}

// A dialog made from a template (frameTemplate) in the window class of a library frame, and the
// frame window object that takes it over; `before` holds the dialog's private words as the
// system left them.
class TemplateFrame : public testing::Test {
protected:
    void SetUp() override
    {
        char className[64] = {};
        GetClassNameA(classSource.handle(), className, sizeof className);
        ASSERT_EQ(std::string(className).rfind("OVK Frame", 0), 0u) << className;
        const std::vector<WORD> dialogTemplate = frameTemplate(className);
        dialog = CreateDialogIndirectParamA(
            GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
            nullptr, nullptr, 0);
        ASSERT_NE(dialog, nullptr) << GetLastError();
        destroy.window = dialog;
        before = privateDialogWords(dialog);
        frame = std::make_unique<IFrameWindow>(IWindowHandle(dialog));
        ASSERT_NE(GetDlgItem(dialog, IDOK), nullptr);
    }

    // A frame window of the library lends its window class to the template.
    IFrameWindow classSource{IResourceId(1, IApplication::current().userResourceLibrary()),
                             nullptr, nullptr, IRectangle(10, 10, 200, 100),
                             IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "source"};
    DestroyOnExit destroy{nullptr};
    HWND dialog = nullptr;
    std::vector<LONG_PTR> before;
    // Let go before the dialog is destroyed.
    std::unique_ptr<IFrameWindow> frame;
};

} // namespace

TEST_F(TemplateFrame, OriginalDefaultButtonIsRecordedFoundFirstAndRestoredPastTheDialogBytes)
{
    {
        ICanvas canvas(7, frame.get(), frame.get(), IRectangle(0, 0, 170, 60));
        const IWindow::Style tabStop = IWindow::visible | IControl::_tabStop;
        IPushButton ok(11, &canvas, &canvas, IRectangle(5, 5, 60, 25),
                       tabStop | IPushButton::_defaultButton);
        IPushButton apply(12, &canvas, &canvas, IRectangle(65, 5, 120, 25), tabStop);
        IRadioButton option(13, &canvas, &canvas, IRectangle(5, 30, 80, 50), tabStop);
        canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
        canvas.layout();

        // Recorded by the canvas's layout, though the template's default button comes first
        // among the frame's children.
        const HWND templateButton = GetDlgItem(dialog, IDOK);
        ASSERT_EQ(GetWindowLongPtrA(templateButton, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
        EXPECT_EQ(ICanvasStatics::origDefaultButtonHandle(canvas.handle()), ok.handle());
        EXPECT_EQ(ICanvasStatics::defaultPushButtonHandle(frame.get()), ok.handle());
        EXPECT_EQ(privateDialogWords(dialog), before);

        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        ovktest::pumpPending();
        // The focus on a push button makes it the default; on anything else the original
        // default is the default again.
        tab(ok);
        EXPECT_EQ(GetFocus(), apply.handle());
        EXPECT_EQ(buttonType(apply), BS_DEFPUSHBUTTON);
        EXPECT_EQ(buttonType(ok), BS_PUSHBUTTON);
        tab(apply);
        EXPECT_EQ(GetFocus(), option.handle());
        EXPECT_EQ(buttonType(ok), BS_DEFPUSHBUTTON);
        EXPECT_EQ(buttonType(apply), BS_PUSHBUTTON);
        // The template's own default button was never the focus's to take.
        EXPECT_EQ(GetWindowLongPtrA(templateButton, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
        EXPECT_EQ(ICanvasStatics::defaultPushButtonHandle(frame.get()), ok.handle());
        EXPECT_EQ(privateDialogWords(dialog), before);
    }
    // A recorded button that is gone is not answered: the frame's own default button is.
    EXPECT_EQ(ICanvasStatics::defaultPushButtonHandle(frame.get()), IWindowHandle(GetDlgItem(dialog, IDOK)));
}

// A mnemonic that takes the focus from a push button the focus had made the default to another
// push button moves the default look from the one to the other: the template's own default
// button, which a search of the frame finds first, keeps its look, and no two of the canvas's
// buttons show as the default.
TEST_F(TemplateFrame, MnemonicMovesTheDefaultLookFromTheFocusedButtonAndLeavesTheTemplatesOwn)
{
    const HWND templateButton = GetDlgItem(dialog, IDOK);

    ICanvas canvas(7, frame.get(), frame.get(), IRectangle(0, 0, 170, 60));
    const IWindow::Style tabStop = IWindow::visible | IControl::_tabStop;
    IPushButton ok(11, &canvas, &canvas, IRectangle(5, 5, 60, 25),
                   tabStop | IPushButton::_defaultButton);
    IPushButton apply(12, &canvas, &canvas, IRectangle(65, 5, 120, 25), tabStop);
    IPushButton keep(13, &canvas, &canvas, IRectangle(5, 30, 80, 50), tabStop);
    ok.setText("OK");
    apply.setText("Apply");
    keep.setText("&Keep");
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas.layout();
    ASSERT_EQ(ICanvasStatics::origDefaultButtonHandle(canvas.handle()), ok.handle());

    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    ovktest::pumpPending();
    tab(ok);
    ASSERT_EQ(GetFocus(), apply.handle());
    ASSERT_EQ(buttonType(apply), BS_DEFPUSHBUTTON);

    altKey('K');
    EXPECT_EQ(GetFocus(), keep.handle());
    EXPECT_EQ(buttonType(keep), BS_DEFPUSHBUTTON);
    EXPECT_EQ(buttonType(apply), BS_PUSHBUTTON);
    EXPECT_EQ(buttonType(ok), BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongPtrA(templateButton, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
}
