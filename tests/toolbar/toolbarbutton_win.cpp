// The tool bar button: bitmaps and texts loaded by id from the application or the library, the
// standard format's sizes, views switched by the tool bar's messages, transparency, and faces
// drawn from the caches unless "OVKUI OPTSTDBUTTONS" is "OFF".
#include "buttontest.hpp"

#include <cstring>

#include <ovkmsgid.hpp>

#include "itbarbut.hpp"

#include <handdrag.hpp>

namespace {

using toolbartest::ButtonFixture;
using toolbartest::DrawnFace;
using toolbartest::sys;

class ToolBarButton : public ButtonFixture {
protected:
    void TearDown() override
    {
        tools.clear();
        ButtonFixture::TearDown();
    }
    IToolBarButton& addTool(unsigned long id,
                            const IToolBarButton::Style& style = IToolBarButton::defaultStyle())
    {
        const long x = 10 + 60 * static_cast<long>(tools.size());
        tools.push_back(std::make_unique<IToolBarButton>(id, parent.get(), parent.get(),
                                                         IRectangle(x, 50, x + 50, 90), style));
        return *tools.back();
    }
    // The button at its minimum size, drawn up into a memory context.
    static std::unique_ptr<DrawnFace> drawn(IToolBarButton& button, unsigned int state = 0)
    {
        button.sizeTo(button.calcMinimumSize());
        auto face = std::make_unique<DrawnFace>(button, state);
        SendMessageA(button.parent()->handle(), WM_DRAWITEM, button.id(),
                     reinterpret_cast<LPARAM>(&face->item()));
        return face;
    }

    std::vector<std::unique_ptr<IToolBarButton>> tools;
};

TEST_F(ToolBarButton, TwoViewStylesFailWithMessage43)
{
    const IException failure = ovktest::caught(
        [this] { addTool(1, IToolBarButton::bitmapView | IToolBarButton::textView); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_CONFLICTING_STYLE);
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "itbarbut");
}

TEST_F(ToolBarButton, DefaultStyleShowsTheBitmapLoadedByIdInTheStandardCell)
{
    IToolBarButton& button = addTool(0x6FFF);
    EXPECT_EQ(button.view(), IToolBarButton::showBitmap);
    EXPECT_TRUE(button.bitmap().isValid());
    EXPECT_EQ(ovktest::str(button.buttonText()), "Near");
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(button.calcMinimumSize(), ISize(5 * cx + 2 + 20, 5 * cy + 2 + 17));
}

struct IdCase {
    unsigned long id;
    ISize shown;
    // The colour in the middle of the bitmap, 0 for the library's stand-in.
    COLORREF middle;
};

TEST_F(ToolBarButton, IdsBelow0x7000ComeFromTheApplicationTheOthersFromTheLibrary)
{
    const IdCase cases[] = {
        {0x6FFF, ISize(16, 16), RGB(255, 0, 0)},
        // The application has a bitmap 0x7000 as well; the library has none.
        {0x7000, ISize(20, 17), 0},
        {0x6000, ISize(20, 17), 0},
    };
    for (const IdCase& c : cases) {
        SCOPED_TRACE(c.id);
        IToolBarButton& button = addTool(c.id);
        EXPECT_EQ(button.bitmapSize(), c.shown);
        std::unique_ptr<DrawnFace> face = drawn(button);
        const IPoint centre = face->event().faceRectangle().center();
        const COLORREF seen = face->at(centre.x(), centre.y());
        if (c.middle) {
            EXPECT_EQ(seen, c.middle);
        } else {
            EXPECT_NE(seen, RGB(0, 255, 0));
        }
    }
}

TEST_F(ToolBarButton, StandardFormatShrinksLargeBitmapsOnly)
{
    EXPECT_EQ(addTool(0x6001).bitmapSize(), ISize(20, 17));
    EXPECT_EQ(addTool(0x6002).bitmapSize(), ISize(16, 16));
    IToolBarButton& free = addTool(0x6003, IToolBarButton::bitmapView);
    free.setBitmap(0x6001ul);
    EXPECT_EQ(free.bitmapSize(), ISize(32, 32));
}

TEST_F(ToolBarButton, TextViewMessageSwitchesToATextOnlyMinimumSize)
{
    IToolBarButton& button = addTool(0x6FFF);
    const LRESULT handled = SendMessageA(button.handle(), IPrivateMessage::textView, 0, 0);
    (void)handled;
    EXPECT_EQ(button.view(), IToolBarButton::showText);
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(button.calcMinimumSize(), ISize(5 * cx + 8, 5 * cy + 2));
    EXPECT_EQ(SendMessageA(button.handle(), IPrivateMessage::showsBitmapQuery, 0, 0), 0);
    EXPECT_EQ(SendMessageA(button.handle(), IPrivateMessage::showsTextQuery, 0, 0), 1);
    EXPECT_EQ(SendMessageA(button.handle(), IPrivateMessage::toolBarButtonRequest,
                           IPrivateMessage::toolBarButtonIdentify, 0),
              1);
    SendMessageA(button.handle(), IPrivateMessage::bitmapAndTextView, 0, 0);
    EXPECT_EQ(button.view(), IToolBarButton::showBitmapAndText);
}

TEST_F(ToolBarButton, MagentaIsTransparentUnlessResetBeforeTheButtonIsMade)
{
    IToolBarButton& standard = addTool(0x6FFF);
    std::unique_ptr<DrawnFace> face = drawn(standard);
    const IRectangle inside = face->event().faceRectangle();
    EXPECT_EQ(face->count(RGB(255, 0, 255), inside), 0);
    EXPECT_GT(face->count(RGB(255, 0, 0), inside), 0);

    // The id picks the bitmap; two children with one id would confuse their drawing.
    tools.clear();
    IToolBarButton::resetStandardTransparentColor();
    IToolBarButton& opaque = addTool(0x6FFF);
    IToolBarButton::setStandardTransparentColor(IColor(255, 0, 255));
    EXPECT_FALSE(opaque.hasTransparentColor());
    std::unique_ptr<DrawnFace> opaqueFace = drawn(opaque);
    EXPECT_EQ(opaqueFace->count(RGB(255, 0, 255), opaqueFace->event().faceRectangle()), 16);
}

TEST_F(ToolBarButton, LatchedButtonShowsItsLatchedBitmap)
{
    IToolBarButton& button = addTool(0x6FFF, IToolBarButton::defaultStyle() | ICustomButton::latchable);
    button.setLatchedBitmap(0x7000ul);
    button.setLatched(true);
    std::unique_ptr<DrawnFace> face = drawn(button);
    const IPoint centre = face->event().faceRectangle().center();
    EXPECT_EQ(face->at(centre.x(), centre.y()), RGB(0, 255, 0));
}

// Starts a copy of this program running the tests of the filter, and answers its exit code.
DWORD runCopy(const char* filter)
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string command = std::string("\"") + program + "\" --gtest_filter=" + filter +
                          " --gtest_brief=1";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// A press whose release another window took (it took the capture meanwhile) starts no drag
// when the pointer later hovers over the button with no button held; a held drag still starts
// one. Real input, twice in a row.
TEST_F(ToolBarButton, AHoverAfterAPressWhoseReleaseWasLostStartsNoDrag)
{
    SetWindowPos(parent->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    IToolBarButton& button = addTool(0x6FFF);
    EXPECT_EQ(ovktest::dragStartsAfterALostRelease(
                  button, ovktest::onScreen(button.handle(), 10, 10)),
              "lost:0 held:1 lost:0 held:1");
}

// "OVKUI OPTSTDBUTTONS" is read once per process: each value is checked in a copy of this
// program started with the variable set, told what to expect by a second variable.
TEST_F(ToolBarButton, StandardButtonSwitchDecidesWhetherUpFacesAreKeptAndShared)
{
    char expected[8] = {};
    if (!GetEnvironmentVariableA("OVK_TEST_STDBUTTONS", expected, sizeof expected)) {
        for (const char* value : {"OFF", "on", ""}) {
            SetEnvironmentVariableA("OVKUI OPTSTDBUTTONS", *value ? value : nullptr);
            SetEnvironmentVariableA("OVK_TEST_STDBUTTONS",
                                    std::strcmp(value, "OFF") == 0 ? "off" : "on");
            EXPECT_EQ(runCopy("ToolBarButton.StandardButtonSwitch*"), 0u) << value;
        }
        SetEnvironmentVariableA("OVKUI OPTSTDBUTTONS", nullptr);
        SetEnvironmentVariableA("OVK_TEST_STDBUTTONS", nullptr);
        return;
    }
    // Shared faces are used on the button face only.
    parent->setBackgroundColor(IGUIColor(IColor::buttonFace));
    IToolBarButton& first = addTool(0x6FFF);
    IToolBarButton& second = addTool(0x6002);
    drawn(first);
    drawn(second);
    drawn(second);
    const std::string info = ovktest::str(second.asDebugInfo());
    if (std::strcmp(expected, "off") == 0) {
        EXPECT_NE(info.find("cachedFace=false,sharedFaces=0"), std::string::npos) << info;
    } else {
        EXPECT_NE(info.find("cachedFace=true,sharedFaces=1"), std::string::npos) << info;
    }
    // Pressed faces are always drawn in full.
    std::unique_ptr<DrawnFace> pressed = drawn(second, ODS_SELECTED);
    EXPECT_EQ(pressed->at(1, 1), sys(COLOR_BTNSHADOW));
}

} // namespace
