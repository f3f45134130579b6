// The clipboard: format names, opening on demand, text, blocks, bitmaps and late rendering.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <iclipbrd.hpp>
#include <iexcept.hpp>
#include <igbitmap.hpp>
#include <igrafctx.hpp>
#include <icliphdr.hpp>
#include <ovkmsgid.hpp>

#include <detail/iscoped.hpp>

#include <ovktest.hpp>

#include "codectest.hpp"

namespace {

using ovktest::caught;
using ovktest::str;

// A handler that renders what it promised, and notes each request.
class LateRenderer : public IClipboardHandler {
public:
    explicit LateRenderer(HWND owner) : fOwner(owner) {}
    std::vector<std::string> requests;

protected:
    IBase::Boolean clipboardEmptied() override {
        requests.push_back("emptied");
        return true;
    }
    IBase::Boolean renderFormat(const IString& format) override {
        requests.push_back(str(format));
        const std::string text = "late " + str(format);
        IClipboard(IWindowHandle(fOwner)).setData(format, text.c_str(),
                                                   static_cast<unsigned long>(text.size()));
        return true;
    }
    IBase::Boolean renderAllFormats() override {
        requests.push_back("all");
        return true;
    }

private:
    HWND fOwner;
};

// Starts each test with an empty clipboard, and gives it a hidden owner window.
class Clipboard : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }

    // The bytes of the clipboard's block of a format, read without the library.
    static std::string rawBlock(UINT format) {
        std::string bytes;
        if (!OpenClipboard(nullptr))
            return "<not opened>";
        if (HGLOBAL handle = GetClipboardData(format)) {
            const ovk_native::GlobalLockScope block(handle);
            if (block.data())
                bytes.assign(static_cast<const char*>(block.data()), block.size());
        }
        CloseClipboard();
        return bytes;
    }

    ovktest::TestWindow window;
};

struct NameCase {
    const char* name;
    unsigned long number; // 0: a registered format
};

class ClipboardFormatName : public testing::TestWithParam<NameCase> {};

TEST_P(ClipboardFormatName, NumbersNameThemselvesOtherNamesAreRegistered)
{
    const NameCase& c = GetParam();
    const unsigned long number = IClipboard::formatAsHandle(c.name);
    if (c.number) {
        EXPECT_EQ(number, c.number);
    } else {
        EXPECT_GE(number, 0xC000u);
        EXPECT_EQ(number, RegisterClipboardFormatA(c.name));
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ClipboardFormatName,
                         testing::Values(NameCase{"1", 1}, NameCase{"142", 142},
                                         NameCase{"600", 600}, NameCase{"1000", 1000},
                                         NameCase{"2abc", 2}, NameCase{" 9", 9},
                                         NameCase{"15", 0}, NameCase{"200", 0},
                                         NameCase{"1024", 0}, NameCase{"0", 0},
                                         NameCase{"OvkTestFormat", 0}));

TEST(ClipboardFormats, NamesRoundTripAndPrivateNumbersHaveNoPublicName)
{
    EXPECT_EQ(str(IClipboard::formatName(IClipboard::FormatHandle(1))), "1");
    EXPECT_EQ(str(IClipboard::formatName(IClipboard::FormatHandle(142))), "142");
    EXPECT_EQ(str(IClipboard::formatName(IClipboard::formatAsHandle("OvkTestFormat"))),
              "OvkTestFormat");
    for (unsigned long number : {600ul, 1000ul, 15ul, 0ul}) {
        const IException error = caught(
            [&] { IClipboardData::publicFormat(IClipboard::FormatHandle(number)); });
        EXPECT_EQ(error.errorId(), OVK_MSG_CLIPBOARD_FORMAT_HAS_NO_NAME) << number;
    }
}

TEST_F(Clipboard, TextIsStoredWithItsZeroAndReadBack)
{
    IClipboard clipboard(window.hwnd());
    clipboard.setText("abc");
    EXPECT_FALSE(clipboard.isOpen());
    EXPECT_EQ(rawBlock(CF_TEXT), std::string("abc\0", 4));
    EXPECT_TRUE(clipboard.hasText());
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_EQ(str(clipboard.text()), "abc");
    EXPECT_FALSE(clipboard.isOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(str(IClipboard::primaryFormat()), "1");
    EXPECT_GE(clipboard.formatCount(), 1u);
}

TEST_F(Clipboard, DataLeavesTheClipboardOpenUntilTheNextPut)
{
    IClipboard clipboard(window.hwnd());
    clipboard.setData("OvkTestFormat", "xy", 2);
    void* block = clipboard.data("OvkTestFormat");
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(clipboard.isOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), window.hwnd());
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(block)), 3), std::string("xy\0", 3));
    GlobalUnlock(block);

    clipboard.setData(IClipboard::textFormat, "z", 1);
    EXPECT_FALSE(clipboard.isOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

TEST_F(Clipboard, FailuresLeaveTheClipboardClosed)
{
    IClipboard clipboard(window.hwnd());
    EXPECT_EQ(caught([&] { clipboard.data("OvkTestFormat"); }).errorId(),
              OVK_MSG_CLIPBOARD_DATA_UNAVAILABLE);
    EXPECT_FALSE(clipboard.isOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(str(caught([&] { clipboard.setData("1", "x", 0); }).text()), "dataLength!=0");
    EXPECT_EQ(str(caught([&] { clipboard.setText(nullptr); }).text()), "text!=0");
    EXPECT_EQ(str(caught([] { IClipboard bad{IWindowHandle(nullptr)}; }).text()),
              "clipboardWindow!=0 && clipboardWindow.isValid()");
}

TEST_F(Clipboard, EmptyClipboardHasNoPrimaryFormatAndNoCursorPosition)
{
    EXPECT_EQ(str(IClipboard::primaryFormat()), "");
    IClipboard clipboard;
    clipboard.open();
    IClipboard::Cursor cursor(clipboard);
    EXPECT_FALSE(cursor.setToFirst());
    EXPECT_FALSE(cursor.isValid());
    EXPECT_EQ(clipboard.formatCount(), 0u);
    clipboard.close();
}

TEST_F(Clipboard, CursorWalksEveryFormatOnce)
{
    IClipboard clipboard(window.hwnd());
    clipboard.open();
    clipboard.empty();
    clipboard.setData("OvkTestFormat", "a", 1);
    clipboard.setData("OvkOtherFormat", "b", 1);
    EXPECT_TRUE(clipboard.isOpen());
    std::vector<std::string> names;
    IClipboard::Cursor cursor(clipboard);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        names.push_back(str(IClipboard::format(cursor)));
    EXPECT_EQ(names, (std::vector<std::string>{"OvkTestFormat", "OvkOtherFormat"}));
    // A cursor that ran off the end stays there.
    EXPECT_FALSE(cursor.setToNext());
    EXPECT_EQ(str(caught([&] { IClipboard::format(cursor); }).text()), "cursor.isValid()");
    EXPECT_EQ(clipboard.formatCount(), 2u);
    clipboard.close();
}

TEST_F(Clipboard, ForeignTextWithoutItsZeroIsNeverReadPastItsBlock)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(block), "xyz", 3);
    GlobalUnlock(block);
    ASSERT_TRUE(SetClipboardData(CF_TEXT, block));
    CloseClipboard();
    // The text is what the block that the system hands out holds, up to its zero or its end:
    // Wine ends such text inside the block by overwriting its last character, another system
    // may hand out the three characters alone.
    const std::string raw = rawBlock(CF_TEXT);
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(str(IClipboard().text()), raw.substr(0, raw.find('\0')));
}

// An application's clipboard whose own closing fails once the clipboard is closed. It notes
// the handle the clipboard holds while it is still open: the one the library put.
class FailingClose : public IClipboard {
public:
    using IClipboard::IClipboard;
    HANDLE held = nullptr;
    IClipboard& close() override {
        held = GetClipboardData(CF_TEXT);
        IClipboard::close();
        IThrow::state("closing", IEXCEPTION_LOCATION("clipboard_win", "FailingClose::close()"));
        return *this;
    }
};

// setBitmap hands its copy over the same way; Wine makes a bitmap on the clipboard its own, so
// that a deletion by the program would not show here.
TEST_F(Clipboard, WhatTheClipboardTookIsItsOwnAlsoWhenClosingFails)
{
    FailingClose clipboard(window.hwnd());
    EXPECT_THROW(clipboard.setText("kept"), IException);
    ASSERT_NE(clipboard.held, nullptr);
    EXPECT_EQ(GlobalFlags(clipboard.held) & GMEM_INVALID_HANDLE, 0u)
        << "the block the clipboard owns was freed";
    EXPECT_EQ(rawBlock(CF_TEXT), std::string("kept", 5));
}

TEST_F(Clipboard, BitmapIsCopiedBothWays)
{
    HDC screen = GetDC(nullptr);
    HBITMAP original = CreateCompatibleBitmap(screen, 7, 5);
    ReleaseDC(nullptr, screen);
    {
        IClipboard clipboard(window.hwnd());
        clipboard.setBitmap(IBitmapHandle(original));
        EXPECT_TRUE(clipboard.hasBitmap());
        const IBitmapHandle copy = clipboard.bitmap();
        ASSERT_TRUE(copy.isValid());
        EXPECT_NE(copy.asValue(), original);
        BITMAP info{};
        ASSERT_TRUE(GetObjectA(copy.asValue(), sizeof info, &info));
        EXPECT_EQ(info.bmWidth, 7);
        EXPECT_EQ(info.bmHeight, 5);
        DeleteObject(copy.asValue());
        EXPECT_FALSE(clipboard.isOpen());
    }
    // The caller's bitmap stays the caller's.
    BITMAP info{};
    EXPECT_TRUE(GetObjectA(original, sizeof info, &info));
    DeleteObject(original);
}

TEST_F(Clipboard, DelayedFormatsAreRenderedByTheirNames)
{
    LateRenderer renderer(window.hwnd());
    renderer.handleEventsFor(&window);
    IClipboard owner(window.hwnd());
    owner.empty();
    owner.setData(IClipboard::textFormat, nullptr, 0);
    owner.setData("OvkLateFormat", nullptr, 0);
    EXPECT_FALSE(owner.isOpen());
    EXPECT_EQ(IClipboard::owner().asValue(), window.hwnd());

    IClipboard reader;
    EXPECT_EQ(str(reader.text()), "late 1");
    void* late = reader.data("OvkLateFormat");
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(late))), "late OvkLateFormat");
    GlobalUnlock(late);
    reader.close();
    EXPECT_EQ(renderer.requests, (std::vector<std::string>{"1", "OvkLateFormat"}));

    // Someone else empties the clipboard: its owner hears of it.
    renderer.requests.clear();
    IClipboard().empty();
    EXPECT_EQ(renderer.requests, (std::vector<std::string>{"emptied"}));
    renderer.stopHandlingEventsFor(&window);
}

TEST_F(Clipboard, DelayedFormatOnAClipboardOpenedByTheApplication)
{
    IClipboard owner(window.hwnd());
    owner.open();
    owner.empty();
    owner.setData("OvkLateFormat", nullptr, 0);
    EXPECT_TRUE(owner.isOpen());
    owner.close();
    EXPECT_TRUE(IClipboard().hasData("OvkLateFormat"));
}

// A two-colour picture copied to the clipboard, as another program sees it: the bitmap is read
// back as CF_DIB by the plain calls and each pixel's colour compared with netpbm's decoding of
// the file. Black ink on white, whichever of the two colours the file lists first (the first
// file lists white first, as every XBitmap does; the last lists black first). Drawing the
// bitmap and saving it stay right after the copy; two pictures are copied one after the other.
class ClipboardPicture : public Clipboard {
protected:
    // The colour of the pixel (x, y) from the top of a packed device-independent bitmap of 1,
    // 4, 8, 24 or 32 bits; CLR_INVALID for what this reader does not take.
    static COLORREF dibColour(const std::string& block, int x, int y)
    {
        if (block.size() < sizeof(BITMAPINFOHEADER))
            return CLR_INVALID;
        BITMAPINFOHEADER header{};
        std::memcpy(&header, block.data(), sizeof header);
        const int bits = header.biBitCount;
        const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        if (x >= header.biWidth || y >= height)
            return CLR_INVALID;
        size_t table = header.biSize;
        if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER))
            table += 3 * sizeof(DWORD);
        else if (header.biCompression != BI_RGB)
            return CLR_INVALID;
        const size_t entries =
            bits <= 8 ? (header.biClrUsed ? header.biClrUsed : size_t(1) << bits) : 0;
        const size_t stride = ((size_t(header.biWidth) * bits + 31) / 32) * 4;
        const size_t row = header.biHeight < 0 ? size_t(y) : size_t(height - 1 - y);
        const size_t at = table + entries * sizeof(RGBQUAD) + row * stride;
        if (at + stride > block.size())
            return CLR_INVALID;
        const auto* line = reinterpret_cast<const unsigned char*>(block.data()) + at;
        if (bits > 8) {
            const unsigned char* p = line + size_t(x) * (bits / 8);
            return RGB(p[2], p[1], p[0]);
        }
        const unsigned index = (line[size_t(x) * bits / 8] >> (8 - bits - (x * bits) % 8)) &
                               ((1u << bits) - 1);
        RGBQUAD entry{};
        std::memcpy(&entry, block.data() + table + index * sizeof(RGBQUAD), sizeof entry);
        return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
    }
    static COLORREF referenceColour(const codectest::PlainMap& map, int x, int y)
    {
        const uint32_t rgb = codectest::plainColour(map, x, y);
        return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
};

TEST_F(ClipboardPicture, ATwoColourImageReachesOtherProgramsAsItselfNotItsNegative)
{
    const struct {
        const char* file;
        const char* reference;  // netpbm's decoding of the file
    } pictures[] = {{"bmp/im-p1-whitefirst.bmp", "bmp/im-p1.pbm"},
                    {"xbm/hi.xbm", "xbm/hi.plain.pbm"},
                    {"bmp/im-p1.bmp", "bmp/im-p1.pbm"}};
    for (const auto& c : pictures) {
        SCOPED_TRACE(c.file);
        const codectest::PlainMap map = codectest::readPlainMap(codectest::dataPath(c.reference));
        ASSERT_GT(map.width, 0);
        IGBitmap picture{IString(codectest::dataPath(c.file).c_str())};
        {
            // A copy command's road: the clipboard emptied of the last picture, this one put.
            IClipboard clipboard(window.hwnd());
            clipboard.empty();
            clipboard.setBitmap(picture.handle());
        }

        const std::string dib = rawBlock(CF_DIB);
        int wrong = 0;
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x)
                if (dibColour(dib, x, y) != referenceColour(map, x, y) && wrong++ == 0)
                    ADD_FAILURE() << "clipboard: first difference at (" << x << "," << y
                                  << "): " << std::hex << dibColour(dib, x, y);
        EXPECT_EQ(wrong, 0) << "of " << map.width * map.height;

        ovktest::Surface surface;
        {
            IGraphicContext context{IPresSpaceHandle(surface.dc())};
            picture.moveTo(IPoint(3, 4));
            context.draw(picture);
        }
        wrong = 0;
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x)
                wrong += surface.pixel(3 + x, 4 + y) != referenceColour(map, x, y);
        EXPECT_EQ(wrong, 0) << "drawn";

        const std::string saved = imgtest::tempPath("saved-picture.bmp");
        picture.writeToFile(IString(saved.c_str()));
        imgtest::Model back;
        int format = ModFormatBitmap;
        ASSERT_EQ(ModReadFromFile(saved.c_str(), &format, "", &back), 0);
        ASSERT_EQ(back.width, map.width);
        ASSERT_EQ(back.height, map.height);
        wrong = 0;
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x)
                wrong += codectest::colourAt(back, x, y) != codectest::plainColour(map, x, y);
        EXPECT_EQ(wrong, 0) << "saved";
    }
}

} // namespace
