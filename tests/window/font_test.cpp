// Fonts: sizes, sharing, attributes, measuring, device contexts, windows and the font lists.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <ifont.hpp>
#include <iwindow.hpp>
#include <ovkmsgid.hpp>

#include "colortest.hpp"
#include "ovktest.hpp"

namespace {

// Faces of the test prefix: Tahoma is a TrueType face of Wine's own fonts, DejaVu Sans Mono a
// fixed-pitch TrueType face, MS Sans Serif one of Wine's raster faces (in three sizes).
constexpr const char* kFace = "Tahoma";
constexpr const char* kFixedFace = "DejaVu Sans Mono";
constexpr const char* kRasterFace = "MS Sans Serif";

int screenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::vector<std::string> names(IFont::FaceNameCursor cursor)
{
    std::vector<std::string> result;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        result.push_back(std::string(cursor.faceName()));
    return result;
}

bool contains(const std::vector<std::string>& list, const char* name)
{
    for (const std::string& entry : list)
        if (lstrcmpiA(entry.c_str(), name) == 0)
            return true;
    return false;
}

} // namespace

// Sizes.

TEST(FontSize, PointsGiveCharacterHeightsAndComeBack)
{
    if (screenDpi() != 96)
        GTEST_SKIP() << "the table is for a 96-dpi screen";
    struct Case {
        unsigned long points;
        long height;
    };
    for (const Case& c :
         {Case{8, -11}, Case{9, -12}, Case{10, -13}, Case{12, -16}, Case{72, -96}}) {
        SCOPED_TRACE(c.points);
        EXPECT_EQ(IFont::charHeightFromPoints(c.points), c.height);
        IFont font(kFace, c.points);
        EXPECT_EQ(font.fontAttributes().lfHeight, c.height);
        // A scalable font's character height is what was asked, so the size reads back.
        EXPECT_EQ(font.pointSize(), c.points);
        EXPECT_EQ(font.maxCharHeight() - font.internalLeading(),
                  static_cast<unsigned long>(-c.height));
    }
}

TEST(FontSize, SizeSettersChangeTheMetrics)
{
    IFont font(kFace, 10);
    const unsigned long small = font.maxCharHeight();
    font.setPointSize(20);
    EXPECT_EQ(font.pointSize(), 20u);
    EXPECT_GT(font.maxCharHeight(), small);

    font.setCharHeight(30);
    EXPECT_EQ(font.fontAttributes().lfHeight, 30);
    EXPECT_NEAR(static_cast<double>(font.maxCharHeight()), 30.0, 1.0);
    const unsigned long normalWidth = font.avgCharWidth();
    font.setCharWidth(normalWidth * 2);
    EXPECT_NEAR(static_cast<double>(font.avgCharWidth()), normalWidth * 2.0, 1.0);
    font.setCharSize(ISize(5, 12));
    EXPECT_EQ(font.fontAttributes().lfWidth, 5);
    EXPECT_EQ(font.fontAttributes().lfHeight, 12);
    EXPECT_LE(font.maxSize().height(), 13);
}

// Sharing.

TEST(FontSharing, CopiesShareUntilOneChanges)
{
    IFont first(kFace, 12);
    IFont copy(first);
    IFont assigned(kFixedFace, 9);
    assigned = first;
    assigned = assigned;
    EXPECT_EQ(copy.handle(), first.handle());
    EXPECT_EQ(assigned.handle(), first.handle());

    HFONT shared = first.handle();
    copy.setBold();
    EXPECT_TRUE(copy.isBold());
    EXPECT_FALSE(first.isBold());
    EXPECT_FALSE(assigned.isBold());
    EXPECT_NE(copy.handle(), shared);
    EXPECT_EQ(first.handle(), shared);
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
}

TEST(FontSharing, NativeFontLivesAsLongAsItsLastUser)
{
    HFONT native;
    HFONT replaced;
    {
        IFont* first = new IFont(kFace, 12);
        native = first->handle();
        IFont copy(*first);
        delete first;
        EXPECT_EQ(GetObjectType(native), static_cast<DWORD>(OBJ_FONT));
        // Changing the only user of a record re-creates its font in place; the old one goes.
        copy.setItalic();
        replaced = copy.handle();
        EXPECT_EQ(GetObjectType(native), 0u);
        EXPECT_EQ(GetObjectType(replaced), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(replaced), 0u);
}

// Attributes.

TEST(FontAttributes, EmphasisReachesTheNativeFont)
{
    struct Case {
        const char* name;
        std::function<void(IFont&, IBase::Boolean)> set;
        std::function<IBase::Boolean(const IFont&)> query;
    };
    const Case cases[] = {
        {"bold", [](IFont& f, IBase::Boolean on) { f.setBold(on); },
         [](const IFont& f) { return f.isBold(); }},
        {"italic", [](IFont& f, IBase::Boolean on) { f.setItalic(on); },
         [](const IFont& f) { return f.isItalic(); }},
        {"underscore", [](IFont& f, IBase::Boolean on) { f.setUnderscore(on); },
         [](const IFont& f) { return f.isUnderscore(); }},
        {"strikeout", [](IFont& f, IBase::Boolean on) { f.setStrikeout(on); },
         [](const IFont& f) { return f.isStrikeout(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IFont font(kFace, 10);
        EXPECT_FALSE(c.query(font));
        c.set(font, true);
        EXPECT_TRUE(c.query(font));
        c.set(font, false);
        EXPECT_FALSE(c.query(font));
    }
    IFont font(kFace, 10);
    font.setAllEmphasis();
    EXPECT_TRUE(font.isBold() && font.isItalic() && font.isUnderscore() && font.isStrikeout());
    font.setAllEmphasis(false);
    EXPECT_FALSE(font.isBold() || font.isItalic() || font.isUnderscore() || font.isStrikeout());
}

TEST(FontAttributes, NameIsKeptAndCutToTheField)
{
    IFont font(kFace, 10);
    EXPECT_EQ(std::string(font.name()), kFace);
    font.setName(kFixedFace);
    EXPECT_EQ(std::string(font.name()), kFixedFace);
    EXPECT_TRUE(font.isFixed());
    font.setName(std::string(100, 'x').c_str());
    EXPECT_EQ(font.name().length(), 31u);
    EXPECT_NE(std::string(font.asString()).find("IFont(name="), std::string::npos);
}

TEST(FontAttributes, PitchAndKind)
{
    EXPECT_FALSE(IFont(kFace, 10).isFixed());
    EXPECT_FALSE(IFont(kFace, 10).isBitmap());
    EXPECT_TRUE(IFont(kFixedFace, 10).isFixed());
    IFont raster(kRasterFace, 10);
    EXPECT_TRUE(raster.isBitmap());
    EXPECT_EQ(std::string(raster.name()), kRasterFace);
}

TEST(FontAttributes, AnglesAndDirections)
{
    struct Case {
        IPoint vector;
        long tenths;
    };
    // (-1, 0) and (-1, -1) point left: they must not fold onto the right half.
    const Case cases[] = {{IPoint(1, 0), 0},      {IPoint(0, 1), 900}, {IPoint(1, 1), 450},
                          {IPoint(0, -1), -900},  {IPoint(0, 0), 0},   {IPoint(-1, 0), 1800},
                          {IPoint(-1, -1), -1350}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tenths);
        IFont font(kFace, 10);
        font.setFontAngle(c.vector);
        EXPECT_EQ(font.fontAttributes().lfOrientation, c.tenths);
        font.setFontShear(c.vector);
        EXPECT_EQ(font.fontAttributes().lfEscapement, c.tenths);
    }
    struct Direction {
        IFont::Direction direction;
        long escapement;
    };
    for (const Direction& d :
         {Direction{IFont::defaultDirection, 0}, Direction{IFont::leftToRight, 0},
          Direction{IFont::topToBottom, -900}, Direction{IFont::rightToLeft, 1800},
          Direction{IFont::bottomToTop, 900}}) {
        IFont font(kFace, 10);
        font.setDirection(d.direction);
        EXPECT_EQ(font.fontAttributes().lfEscapement, d.escapement);
    }
    IFont font(kFace, 10);
    expectMessage([&] { font.setDirection(static_cast<IFont::Direction>(5)); },
                  OVK_MSG_INVALID_VALUE, "ifont", "IFont::setDirection(Direction)");
}

TEST(FontAttributes, RasterRestrictionRefusesSizesAndTurns)
{
    IFont font(kFace, 10);
    font.useBitmapOnly();
    EXPECT_TRUE(font.isBitmapOnly());
    EXPECT_FALSE(font.isVectorOnly());
    struct Case {
        const char* function;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"IFont::setCharWidth(unsigned long,const IPresSpaceHandle&)",
         [&] { font.setCharWidth(5); }},
        {"IFont::setCharHeight(unsigned long,const IPresSpaceHandle&)",
         [&] { font.setCharHeight(5); }},
        {"IFont::setCharSize(const ISize&,const IPresSpaceHandle&)",
         [&] { font.setCharSize(ISize(5, 5)); }},
        {"IFont::setFontAngle(const IPoint&,const IPresSpaceHandle&)",
         [&] { font.setFontAngle(IPoint(0, 1)); }},
        {"IFont::setFontShear(const IPoint&,const IPresSpaceHandle&)",
         [&] { font.setFontShear(IPoint(1, 1)); }},
    };
    for (const Case& c : cases)
        expectMessage(c.call, OVK_MSG_RASTER_FONT_FIXED, "ifont", c.function);
    EXPECT_EQ(font.fontAttributes().lfHeight, IFont(kFace, 10).fontAttributes().lfHeight);

}

// Raster-only and vector-only are one switch: either call, true or false, leaves exactly one of
// the two restrictions, and the fixed-pitch restriction as it was.
TEST(FontAttributes, TheRasterAndVectorRestrictionsAreOneSwitch)
{
    struct Case {
        const char* what;
        std::function<void(IFont&)> call;
        bool bitmapOnly;
    };
    const Case cases[] = {
        {"useBitmapOnly()", [](IFont& f) { f.useBitmapOnly(); }, true},
        {"useBitmapOnly(false)", [](IFont& f) { f.useBitmapOnly(false); }, false},
        {"useVectorOnly()", [](IFont& f) { f.useVectorOnly(); }, false},
        {"useVectorOnly(false)", [](IFont& f) { f.useVectorOnly(false); }, true},
    };
    for (const Case& c : cases) {
        for (const bool fixedOnly : {false, true}) {
            IFont font(kFace, 10);
            font.useFixedOnly(fixedOnly);
            c.call(font);
            EXPECT_EQ(font.isBitmapOnly() != 0, c.bitmapOnly) << c.what;
            EXPECT_EQ(font.isVectorOnly() != 0, !c.bitmapOnly) << c.what;
            EXPECT_EQ(font.isFixedOnly() != 0, fixedOnly) << c.what;
        }
    }
}

// Measuring.

TEST(FontMeasure, TextWidthsAddUp)
{
    IFont font(kFace, 12);
    EXPECT_EQ(font.textWidth(""), 0u);
    EXPECT_EQ(font.textWidth(static_cast<const char*>(nullptr)), 0u);
    EXPECT_LT(font.textWidth("iiii"), font.textWidth("WWWW"));
    EXPECT_EQ(font.textWidth("AB"), font.charWidth('A') + font.charWidth('B'));
    EXPECT_EQ(font.textWidth(IString("word")), font.textWidth("word"));
    EXPECT_GT(font.charWidth('m'), 0u);

    IFont fixed(kFixedFace, 12);
    EXPECT_EQ(fixed.textWidth("iiii"), fixed.textWidth("WWWW"));
}

TEST(FontMeasure, WidestWord)
{
    IFont font(kFace, 12);
    EXPECT_EQ(font.widestWordWidth("aa WWWW\tc\r\nbb"), font.textWidth("WWWW"));
    EXPECT_EQ(font.widestWordWidth("  \t "), 0u);
    EXPECT_EQ(font.widestWordWidth(""), 0u);
    EXPECT_EQ(font.widestWordWidth(nullptr), 0u);
}

TEST(FontMeasure, TextLines)
{
    // In a fixed-pitch face every character, the blank included, is one unit wide, so widths
    // are counted in characters.
    IFont font(kFixedFace, 12);
    const unsigned long unit = font.charWidth('a');
    ASSERT_GT(unit, 0u);
    ASSERT_EQ(font.charWidth(' '), unit);
    struct Case {
        const char* text;
        unsigned long characters;
        unsigned long lines;
    };
    const Case cases[] = {
        {"aaa aaa aaa", 11, 1}, {"aaa aaa aaa", 7, 2}, // a blank that ends exactly at the width
                                                       // still fits
        {"aaa aaa aaa", 6, 3},  {"aaa aaa aaa", 3, 3}, // the blanks that do not fit hang at the
                                                       // line ends
        {"a aaaa", 4, 2},       {"aaa aaa aaa", 2, 0}, // narrower than the widest word
        {"aaa", 0, 0},          {"", 10, 0},           {"aaa\naaa", 11, 2},
        {"aaa\n", 11, 1}, // a line feed that ends the text starts no line
        {"a\n\nb", 11, 3},      {"aaaaaa", 6, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in " << c.characters);
        EXPECT_EQ(font.textLines(c.text, c.characters * unit), c.lines);
    }
    EXPECT_EQ(font.textLines(nullptr, 100), 0u);
}

TEST(FontMeasure, TextLinesBreakALineWithoutABlank)
{
    // Tabs separate words but are no place to break at: such a line is broken where it is
    // full, and the count ends.
    IFont font(kFixedFace, 12);
    const unsigned long unit = font.charWidth('a');
    const unsigned long tab = font.charWidth('\t');
    const unsigned long lines = font.textLines("aaa\taaa\taaa", 3 * unit);
    EXPECT_GE(lines, 3u);
    if (tab == unit) {
        EXPECT_EQ(lines, 4u);
    }
}

// Windows.

namespace {

// A window of a class of the test's own, which answers the private font query with what the
// test puts here.
IEventData gFontQueryAnswer;

LRESULT CALLBACK answeringProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == 0xFFCA)
        return static_cast<LRESULT>(gFontQueryAnswer.asLong());
    return DefWindowProcA(window, message, wParam, lParam);
}

class FontWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovktest::registerClass("colorfont answering window", &answeringProcedure);
    }
    void SetUp() override
    {
        fWindow = CreateWindowExA(0, "colorfont answering window", "", WS_OVERLAPPED, 0, 0, 100,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(fWindow, nullptr);
        gFontQueryAnswer = IEventData();
    }
    void TearDown() override
    {
        gFontQueryAnswer = IEventData();
        DestroyWindow(fWindow);
    }
    HWND fWindow = nullptr;
};

} // namespace

TEST_F(FontWindow, LibraryWindowSharesItsFont)
{
    IFont kept(kFace, 16);
    gFontQueryAnswer = kept.fontQueryAnswer();
    IFont font{IWindowHandle(fWindow)};
    EXPECT_EQ(font.handle(), kept.handle());
    font.setItalic();
    EXPECT_FALSE(kept.isItalic());
}

TEST_F(FontWindow, StaleOrForeignAnswerIsNotUsed)
{
    // The window answers with a record that is gone, then with a number that is no record:
    // both must read as unanswered, and the window's WM_GETFONT font is taken instead.
    {
        IFont gone(kFace, 16);
        gFontQueryAnswer = gone.fontQueryAnswer();
    }
    for (int pass = 0; pass < 2; ++pass) {
        IFont font{IWindowHandle(fWindow)};
        // This class keeps no font, so WM_GETFONT finds none: the system font.
        LOGFONTA system{};
        GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
        EXPECT_EQ(std::string(font.name()), system.lfFaceName);
        gFontQueryAnswer = IEventData(static_cast<std::uintptr_t>(0x12345678));
    }
}

TEST(FontOfWindow, ControlFontComesFromWMGetFont)
{
    HWND control = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    IFont given(kFixedFace, 11);
    given.setItalic();
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(given.handle()), 0);
    IFont font{IWindowHandle(control)};
    DestroyWindow(control);
    EXPECT_EQ(std::string(font.name()), kFixedFace);
    EXPECT_TRUE(font.isItalic());
    EXPECT_EQ(font.pointSize(), given.pointSize());
    EXPECT_EQ(font.fontAttributes().lfHeight, given.fontAttributes().lfHeight);
    EXPECT_NE(font.handle(), given.handle());
}

TEST(FontOfWindow, WindowObjectGivesTheFontOfItsWindow)
{
    HWND control = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    IFont given(kFixedFace, 11);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(given.handle()), 0);
    {
        IWindow window{IWindowHandle(control)};
        EXPECT_EQ(std::string(IFont(&window).name()), kFixedFace);
    }
    DestroyWindow(control);
}

TEST(FontOfWindow, DesktopFontIsTheSystemFont)
{
    LOGFONTA system{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    EXPECT_EQ(std::string(IFont(IWindowHandle()).name()), system.lfFaceName);
    EXPECT_EQ(std::string(IFont().name()), system.lfFaceName);
    EXPECT_EQ(std::string(IFont(static_cast<const IWindow*>(nullptr)).name()), system.lfFaceName);
}

// The lists.

TEST(FontLists, FaceNamesAreSortedOnceAndFollowTheRestrictions)
{
    const std::vector<std::string> all = names(IFont::FaceNameCursor());
    ASSERT_FALSE(all.empty());
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(lstrcmpiA(all[i - 1].c_str(), all[i].c_str()), 0) << all[i];
    EXPECT_TRUE(contains(all, kFace));
    EXPECT_TRUE(contains(all, kRasterFace));

    IFont rasterOnly(kFace, 10);
    rasterOnly.useBitmapOnly();
    const std::vector<std::string> raster = names(IFont::FaceNameCursor(rasterOnly));
    EXPECT_TRUE(contains(raster, kRasterFace));
    EXPECT_FALSE(contains(raster, kFace));

    IFont vectorOnly(kFace, 10);
    vectorOnly.useVectorOnly();
    const std::vector<std::string> vector = names(IFont::FaceNameCursor(vectorOnly));
    EXPECT_TRUE(contains(vector, kFace));
    EXPECT_FALSE(contains(vector, kRasterFace));

    IFont fixedOnly(kFace, 10);
    fixedOnly.useFixedOnly();
    const std::vector<std::string> fixed = names(IFont::FaceNameCursor(fixedOnly));
    EXPECT_TRUE(contains(fixed, kFixedFace));
    EXPECT_FALSE(contains(fixed, kFace));
}

TEST(FontLists, CursorMoves)
{
    IFont::FaceNameCursor cursor;
    EXPECT_FALSE(cursor.isValid());
    EXPECT_THROW(cursor.faceName(), IInvalidRequest);
    ASSERT_TRUE(cursor.setToLast());
    const IString last = cursor.faceName();
    EXPECT_FALSE(cursor.setToNext());
    EXPECT_FALSE(cursor.isValid());
    ASSERT_TRUE(cursor.setToFirst());
    const IString first = cursor.faceName();
    EXPECT_FALSE(cursor.setToPrevious());
    ASSERT_TRUE(cursor.setToLast());
    EXPECT_EQ(cursor.faceName(), last);
    if (first != last) {
        EXPECT_TRUE(cursor.setToPrevious());
        EXPECT_NE(cursor.faceName(), last);
    }
    cursor.invalidate();
    EXPECT_FALSE(cursor.isValid());
}

TEST(FontLists, PointSizes)
{
    // A raster face comes in several sizes for the screen; a scalable face lists one.
    IFont raster(kRasterFace, 10);
    IFont::PointSizeCursor sizes(raster);
    std::vector<unsigned long> list;
    for (sizes.setToFirst(); sizes.isValid(); sizes.setToNext())
        list.push_back(sizes.pointSize());
    ASSERT_GE(list.size(), 2u);
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1], list[i]);

    IFont scalable(kFace, 10);
    IFont::PointSizeCursor scalableSizes(scalable);
    EXPECT_TRUE(scalableSizes.setToFirst());
    scalable.useBitmapOnly();
    IFont::PointSizeCursor noRasterSizes(scalable);
    EXPECT_FALSE(noRasterSizes.setToFirst());
    EXPECT_THROW(noRasterSizes.pointSize(), IInvalidRequest);
}
