// Help events, the static-text handler and the font dialog's notification handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

#include <ifdnhdr.hpp>
#include <ihelpevt.hpp>
#include <iiconctl.hpp>
#include <iprivmsg.hpp>
#include <istathdr.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

IEvent helpEvent(unsigned long id, const IEventParameter1& p1, const IEventParameter2& p2 = 0)
{
    return IEvent(IWindowHandle(), id, p1, p2);
}

// Help events ------------------------------------------------------------------------------------

struct ErrorCase {
    std::uint64_t viewerCode;
    unsigned long expected;
};

const ErrorCase kErrorCases[] = {
    {1005, 7},  {1011, 8},  {1012, 9},  {1014, 10}, {1018, 11}, {1019, 12},
    {1020, 13}, {1021, 14}, {1022, 16}, {1027, 15},
    // Codes the library does not know, and neighbours of known ones.
    {0, 19}, {1006, 19}, {1023, 19}, {0xFFFFFFFF, 19},
    // Only the low 32 bits of a 64-bit parameter are the viewer's code.
    {0x1000003F3ull, 8},
};

TEST(HelpEvents, ErrorCodesMapToTheLibrarysCodes)
{
    for (const ErrorCase& c : kErrorCases) {
        IHelpEvent062E event(helpEvent(0x062E, IEventParameter1(c.viewerCode)));
        EXPECT_EQ(event.errorCode(), c.expected) << "viewer code " << c.viewerCode;
    }
}

struct CodeCase {
    std::uint64_t parameter1;
    bool minus1, minus2, minus3;
};

// Only the low word counts, read as a signed 16-bit value.
const CodeCase kCodeCases[] = {
    {0xFFFF, true, false, false},     {0xFFFE, false, true, false},
    {0xFFFD, false, false, true},     {0x7FFFFFFFFFFFFFFEull, false, true, false},
    {0xFFFC, false, false, false},    {1, false, false, false},
    {0xFFFF0000, false, false, false},
};

TEST(HelpEvents, NegativeCodesAreReadFromTheLowWordOfParameter1)
{
    for (const CodeCase& c : kCodeCases) {
        IHelpEventFFCC event(helpEvent(0xFFCC, IEventParameter1(c.parameter1)));
        EXPECT_EQ(!!event.isCodeMinus1(), c.minus1) << std::hex << c.parameter1;
        EXPECT_EQ(!!event.isCodeMinus2(), c.minus2) << std::hex << c.parameter1;
        EXPECT_EQ(!!event.isCodeMinus3(), c.minus3) << std::hex << c.parameter1;
    }
}

TEST(HelpEvents, WordsOfParameter2AndValue1KeepTheirBits)
{
    IHelpEvent0644 event(helpEvent(0x0644, IEventParameter1(0xABCD12345678ull),
                                   IEventParameter2(static_cast<long>(-2))));
    EXPECT_EQ(event.lowWord2(), 0xFFFEu);
    EXPECT_EQ(event.highWord2(), 0xFFFFu);
    EXPECT_EQ(event.value1(), 0x12345678u);

    IHelpEvent0633 words(helpEvent(0x0633, 0, IEventParameter2(MAKELPARAM(11, 0x1234))));
    EXPECT_EQ(words.lowWord2(), IHelpEvent0644::helpCode);
    EXPECT_EQ(words.highWord2(), 0x1234u);
}

TEST(HelpEvents, Text1ReadsTheTextAndToleratesANullPointer)
{
    const char* text = "Using help";
    EXPECT_EQ(IHelpEvent0634(helpEvent(0x0634, IEventParameter1(text))).text1(), "Using help");
    EXPECT_EQ(IHelpEventSpare(helpEvent(0, IEventParameter1(nullptr))).text1(), "");
}

// Every help event is a view of the event it was built from; its result is its own until a
// handler copies it back.
template <class T>
class HelpEventViews : public testing::Test {};
using HelpEventTypes = testing::Types<IHelpEvent062E, IHelpEvent0633, IHelpEvent0634,
                                      IHelpEvent0644, IHelpEventFFCC, IHelpEventSpare>;
TYPED_TEST_SUITE(HelpEventViews, HelpEventTypes);

TYPED_TEST(HelpEventViews, ReadTheParametersOfTheEventTheyWereBuiltFrom)
{
    IEvent generic = helpEvent(0x0633, IEventParameter1(0xFFFE), IEventParameter2(0x00050006));
    TypeParam event(generic);
    EXPECT_EQ(event.eventId(), 0x0633u);
    EXPECT_TRUE(event.isCodeMinus2());
    EXPECT_EQ(event.lowWord2(), 6u);
    EXPECT_EQ(event.highWord2(), 5u);
    event.setResult(7);
    EXPECT_EQ(generic.result().asUnsignedLong(), 0u);
}

// The static-text handler ----------------------------------------------------------------------

// A window object over a native static that counts the refreshes asked of it.
class CountingStatic : public IWindow {
public:
    explicit CountingStatic(HWND handle) : IWindow(IWindowHandle(handle)) {}
    IWindow& refresh(RefreshType type = paintAll) override
    {
        ++refreshes;
        return IWindow::refresh(type);
    }
    int refreshes = 0;
};

class StaticPainter : public IStaticTextHandler {
public:
    int paints = 0;

protected:
    IBase::Boolean paintWindow(IPaintEvent&) override
    {
        ++paints;
        return false;
    }
};

HWND createStatic(HWND parent, DWORD style = 0)
{
    return CreateWindowExA(0, "Static", "text", (parent ? WS_CHILD : WS_POPUP) | style, 10, 10,
                           80, 30, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

class StaticTextHandling : public testing::Test {
protected:
    // The static's answer to a hit test at its centre.
    static LRESULT hitTest(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return IWindowHandle(window)
            .sendEvent(WM_NCHITTEST, 0,
                       MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2))
            .asLong();
    }
    CountingStatic& take(HWND handle)
    {
        statics.push_back(std::make_unique<CountingStatic>(handle));
        painter.handleEventsFor(statics.back().get());
        return *statics.back();
    }
    void TearDown() override
    {
        statics.clear();
        for (HWND window : topLevels)
            DestroyWindow(window);
    }

    TestWindow frame;
    StaticPainter painter;
    std::vector<HWND> topLevels;
    std::vector<std::unique_ptr<CountingStatic>> statics;
};

TEST_F(StaticTextHandling, TakesTheMouseExceptInsideAGroupBox)
{
    const HWND groupBox = CreateWindowExA(0, "Button", "group", WS_CHILD | BS_GROUPBOX, 0, 0, 200,
                                          100, frame.hwnd(), nullptr, GetModuleHandleA(nullptr),
                                          nullptr);
    const HWND topLevel = createStatic(nullptr);
    topLevels.push_back(topLevel);
    struct {
        const char* where;
        HWND window;
        LRESULT expected;
    } cases[] = {
        {"in a frame's client", createStatic(frame.hwnd()), HTCLIENT},
        {"without a parent", topLevel, HTCLIENT},
        // The native static's own answer.
        {"in a group box", createStatic(groupBox), HTTRANSPARENT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hitTest(c.window), HTTRANSPARENT) << c.where << " before";
        take(c.window);
        EXPECT_EQ(hitTest(c.window), c.expected) << c.where;
    }
}

TEST_F(StaticTextHandling, RefreshesOnlyWhenTheSizeChanges)
{
    CountingStatic& text = take(createStatic(frame.hwnd()));
    const struct {
        const char* change;
        int x, y, width, height;
        UINT flags;
        int refreshes;
    } cases[] = {
        {"moved", 20, 20, 0, 0, SWP_NOSIZE, 0},
        {"resized", 0, 0, 120, 40, SWP_NOMOVE, 1},
        {"moved and resized", 5, 5, 60, 20, 0, 1},
        {"restacked", 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE, 0},
    };
    for (const auto& c : cases) {
        text.refreshes = 0;
        SetWindowPos(text.handle(), HWND_BOTTOM, c.x, c.y, c.width, c.height,
                     c.flags | SWP_NOACTIVATE);
        EXPECT_EQ(text.refreshes, c.refreshes) << c.change;
    }
}

TEST_F(StaticTextHandling, PaintRequestsReachThePainter)
{
    CountingStatic& text = take(createStatic(frame.hwnd()));
    IWindowHandle(text.handle()).sendEvent(WM_PAINT);
    EXPECT_EQ(painter.paints, 1);
}

// The icon control's painter ------------------------------------------------------------------

constexpr COLORREF kIconColor = RGB(255, 0, 0);
constexpr COLORREF kBitmapColor = RGB(0, 0, 255);
constexpr COLORREF kBackground = RGB(0, 255, 0);
constexpr COLORREF kUnpainted = RGB(128, 128, 128);

enum class Picture { icon, bitmapInstead, none };

struct IconCase {
    const char* name;
    Picture picture;
    bool fills;
    const char* text;
    COLORREF painted;
    bool textDrawn;
};

// The picture covers the whole control, the bottom-right pixel too; without one the fill colour
// shows, and a control that does not fill keeps what was under it. A text is drawn over it all.
const IconCase kIconCases[] = {
    {"icon", Picture::icon, true, "", kIconColor, false},
    {"bitmap in place of the icon", Picture::bitmapInstead, true, "", kBitmapColor, false},
    {"fill alone", Picture::none, true, "", kBackground, false},
    {"nothing to paint", Picture::none, false, "", kUnpainted, false},
    {"icon with a text", Picture::icon, true, "caption", kIconColor, true},
};

class IconPainter : public testing::TestWithParam<IconCase> {};

TEST_P(IconPainter, PaintsThePictureAndLeavesTextsToTheNext)
{
    const IconCase& c = GetParam();
    constexpr COLORREF kText = RGB(255, 255, 0);
    TestWindow parent(nullptr, WS_POPUP | WS_VISIBLE);
    const ovktest::SolidIcon icon(kIconColor, 8);
    const ovk_native::Bitmap bitmap = ovktest::solidBitmap(kBitmapColor, 4, 4);
    {
        IIconControl control(5, &parent, &parent, IPointerHandle(icon.get()), IRectangle(0, 0, 200, 100));
        if (c.picture != Picture::icon)
            control.setBitmap(c.picture == Picture::bitmapInstead ? IBitmapHandle(bitmap.get())
                                                                  : IBitmapHandle());
        control.enableFillBackground(c.fills);
        control.setFillColor(IColor(0, 255, 0));
        control.setForegroundColor(IColor(255, 255, 0));
        control.setText(c.text);
        UpdateWindow(control.handle());
        {
            const ovk_native::WindowDC before(control.handle());
            const ovk_native::Brush unpainted(CreateSolidBrush(kUnpainted));
            const RECT all{0, 0, 200, 100};
            FillRect(before.get(), &all, unpainted.get());
        }
        InvalidateRect(control.handle(), nullptr, FALSE);
        UpdateWindow(control.handle());
        {
            const ovktest::PixelReader pixels(control.handle());
            EXPECT_EQ(pixels.at(100, 50), c.painted) << c.name;
            EXPECT_EQ(pixels.at(199, 99), c.painted) << c.name;
        }
        EXPECT_EQ(ovktest::showsColour(control.handle(), kText), c.textDrawn) << c.name;
        control.setBitmap(IBitmapHandle());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, IconPainter, testing::ValuesIn(kIconCases),
                         [](const testing::TestParamInfo<IconCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// The font dialog's notification handler ------------------------------------------------------

class FontDialogLog : public IFontDialogNotifyHandler {
public:
    std::string calls;

protected:
    IBase::Boolean dialogEnded(IFontDialog&) override { return record("ended"); }
    IBase::Boolean applyFont(IFontDialog&) override { return record("apply"); }

private:
    IBase::Boolean record(const char* name)
    {
        calls += calls.empty() ? name : std::string(" ") + name;
        return true;
    }
};

INT_PTR CALLBACK quietDialogProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A hidden modeless dialog with no controls.
HWND createDialog()
{
    struct alignas(DWORD) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialog{};
    dialog.header.style = WS_POPUP;
    dialog.header.cx = 100;
    dialog.header.cy = 50;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &dialog.header, nullptr,
                                      quietDialogProcedure, 0);
}

class DialogWindow : public IWindow {
public:
    explicit DialogWindow(HWND handle) : IWindow(IWindowHandle(handle)) { setDestroyOnDelete(true); }
};

// A dialog window with no font dialog object behind it: the handler finds none, calls nothing
// and lets every event through. The font dialog's own tests drive it with a real dialog.
TEST(FontDialogNotify, ADialogWithoutAFontDialogObjectGetsNoCallbacks)
{
    const HWND handle = createDialog();
    ASSERT_TRUE(handle);
    EXPECT_EQ(IFontDialogNotifyHandler::dialogOf(handle), nullptr);
    auto window = std::make_unique<DialogWindow>(handle);
    // Attached first, so it sees what the notify handler lets through.
    ovktest::Recorder after(IPrivateMessage::dialogNotify);
    after.attach(*window, "after");
    FontDialogLog log;
    log.handleEventsFor(window.get());
    IWindowHandle(handle).sendEvent(IPrivateMessage::dialogNotify);
    DestroyWindow(handle);
    EXPECT_EQ(log.calls, "");
    EXPECT_EQ(after.trace(), "after");
    window.reset();
}

} // namespace
