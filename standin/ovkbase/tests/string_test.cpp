// IString: binary safety, 1-based positions, editing, numbers and sharing.
#include "iexcept.hpp"
#include "istring.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string bytes(const IString& s) { return std::string(s.data(), s.length()); }

const char kWithNuls[] = "ab\0cd\0ab";
IString withNuls() { return IString(kWithNuls, sizeof kWithNuls - 1); }

TEST(StringBytes, NulBytesAreCountedComparedAndSearched) {
    IString s = withNuls();
    EXPECT_EQ(s.length(), 8u);
    EXPECT_STREQ(static_cast<const char*>(s), "ab"); // the C view stops at the first NUL
    EXPECT_EQ(s.data()[s.length()], '\0');           // and the storage is always terminated

    EXPECT_EQ(s.indexOf('\0'), 3u);
    EXPECT_EQ(s.lastIndexOf('\0'), 6u);
    EXPECT_EQ(s.indexOf(IString("\0c", 2)), 3u);
    EXPECT_EQ(s.indexOf("ab", 2), 7u);
    EXPECT_EQ(bytes(s.subString(3, 3)), std::string("\0cd", 3));

    // Equality and order look past the NUL: these differ only after it.
    IString other(kWithNuls, sizeof kWithNuls - 1);
    EXPECT_EQ(s, other);
    other = IString("ab\0cd\0ac", 8);
    EXPECT_NE(s, other);
    EXPECT_LT(s, other);
    EXPECT_NE(s, "ab"); // a C string compares by its own length
    EXPECT_LT(IString("ab"), s);
    EXPECT_FALSE(s.isPlainText());
    EXPECT_TRUE(IString("tab\tand\r\nline").isPlainText());
}

TEST(StringBytes, HexConversionRoundTripsEveryByte) {
    IString all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    IString hex = IString::c2x(all);
    EXPECT_EQ(hex.length(), 512u);
    EXPECT_EQ(hex.subString(1, 6), "000102");
    EXPECT_EQ(hex.subString(507), "FDFEFF");
    EXPECT_EQ(IString::x2c(hex), all);
    EXPECT_EQ(bytes(IString::x2c("aBc")), std::string("\x0a\xbc", 2)); // odd: leading 0
    EXPECT_THROW(IString::x2c("0G"), IInvalidParameter);
}

struct SearchCase {
    const char* text;
    const char* pattern;
    std::size_t start;
    std::size_t first; // indexOf
    std::size_t last;  // lastIndexOf
};

class StringSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(StringSearch, FindsOneBasedPositionsAndZeroForNone) {
    const SearchCase& c = GetParam();
    IString text(c.text);
    EXPECT_EQ(text.indexOf(c.pattern, c.start), c.first);
    EXPECT_EQ(text.lastIndexOf(c.pattern, c.start), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StringSearch,
    testing::Values(SearchCase{"abcabc", "abc", 1, 1, 1}, SearchCase{"abcabc", "abc", 2, 4, 1},
                    SearchCase{"abcabc", "abc", 4, 4, 4},
                    SearchCase{"abcabc", "abc", IString::maxPosition, 0, 4},
                    SearchCase{"abcabc", "c", 0, 3, 0}, // start 0: search from 1; last finds none
                    SearchCase{"abcabc", "x", 1, 0, 0}, SearchCase{"abc", "abcd", 1, 0, 0},
                    SearchCase{"abc", "", 1, 0, 0}, SearchCase{"", "a", 1, 0, 0},
                    SearchCase{"abcabc", "bc", 99, 0, 5}));

TEST(StringPositions, CharactersSubstringsAndAnyOfUseOneBasedPositions) {
    IString s("Hello");
    EXPECT_EQ(s[1], 'H');
    EXPECT_EQ(s.charAt(5), 'o');
    EXPECT_THROW(s.charAt(0), IInvalidParameter);
    EXPECT_THROW(s[6], IInvalidParameter);
    EXPECT_THROW(s[-1], IInvalidParameter);

    EXPECT_EQ(s.subString(2), "ello");
    EXPECT_EQ(s.subString(2, 3), "ell");
    EXPECT_EQ(s.subString(4, 99), "lo");
    EXPECT_EQ(s.subString(0), "");
    EXPECT_EQ(s.subString(6), "");

    IString list("<DRM_A,DRF_B>,(m1,m2)x(f)");
    EXPECT_EQ(list.indexOfAnyOf("<("), 1u);
    EXPECT_EQ(list.indexOfAnyOf("<(", 2), 15u);
    EXPECT_EQ(list.indexOfAnyOf("#"), 0u);
}

TEST(StringEditing, OverlayReplacesAndPadsFromAOneBasedStart) {
    IString t("abcdef");
    EXPECT_EQ(IString(t).overlayWith("XY", 3), "abXYef");
    EXPECT_EQ(IString(t).overlayWith("XYZ", 5), "abcdXYZ");
    EXPECT_EQ(IString(t).overlayWith("Z", 9, '.'), "abcdef..Z");
    // Clearing a selection keeps the length: blanks over positions start+1..end+1.
    EXPECT_EQ(IString(t).overlayWith(IString::repeated(' ', 3), 2), "a   ef");
    IString self("abc");
    EXPECT_EQ(self.overlayWith(self, 2), "aabc");
}

TEST(StringEditing, ChangeStripAndCase) {
    // The registry name encoding doubles slashes before it adds new ones.
    IString name("a/b*c");
    name.change("/", "//").change("*", "/1");
    EXPECT_EQ(name, "a//b/1c");

    // Removing a whole list entry: frame with commas, change the first, strip the commas.
    IString types(",Text,File,Text,");
    types.change(",Text,", ",", 1, 1).strip(',');
    EXPECT_EQ(types, "File,Text");

    EXPECT_EQ(IString("aaa").change("a", "aa"), "aaaaaa"); // no rescanning of replacements
    EXPECT_EQ(IString("abcabc").change("b", "", 3), "abcac");
    EXPECT_EQ(IString("x").change("", "y"), "x");

    EXPECT_EQ(IString(" \t( <DRM_KestaUI> )\n").strip().strip(IString(" ()<>")), "DRM_KestaUI");
    EXPECT_EQ(IString("  x  ").stripLeading(), "x  ");
    EXPECT_EQ(IString("  x  ").stripTrailing(), "  x");
    EXPECT_EQ(IString(" \t ").strip(), "");

    IString mixed("MyApp 1\xE9");
    EXPECT_EQ(IString::upperCase(mixed), "MYAPP 1\xE9"); // ASCII only, locale-independent
    EXPECT_EQ(IString::lowerCase(mixed), "myapp 1\xE9");
    EXPECT_EQ(mixed, "MyApp 1\xE9");                      // the static forms copy
    EXPECT_EQ(IString("Picture.BMP").lowerCase().indexOf(".bmp"), 8u);
}

TEST(StringNumbers, DecimalTextBothWays) {
    EXPECT_EQ(IString(0), "0");
    EXPECT_EQ(IString(-12), "-12");
    EXPECT_EQ(IString(INT_MIN), "-2147483648");
    EXPECT_EQ(IString(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(IString(4294967295u), "4294967295");
    EXPECT_EQ(IString(0.5), "0.5");
    EXPECT_EQ(IString('7'), "7");
    EXPECT_EQ(IString(static_cast<unsigned char>(0xE9)).length(), 1u);

    EXPECT_EQ(IString(" -42 ").asInt(), -42);
    EXPECT_EQ(IString("+17abc").asInt(), 17);
    EXPECT_EQ(IString("abc").asInt(), 0);
    EXPECT_EQ(IString("99999999999").asInt(), INT_MAX);
    EXPECT_EQ(IString("-99999999999").asInt(), INT_MIN);
    EXPECT_EQ(IString("-2147483648").asInt(), INT_MIN);
    EXPECT_EQ(IString("4294967295").asUnsigned(), 4294967295u);
    EXPECT_EQ(IString("4294967296").asUnsigned(), UINT_MAX);
    EXPECT_EQ(IString("-1").asUnsigned(), 0u);
    EXPECT_DOUBLE_EQ(IString(" 2.5e3").asDouble(), 2500.0);
    EXPECT_DOUBLE_EQ(IString("x").asDouble(), 0.0);

    EXPECT_TRUE(IString("0123").isDigits());
    EXPECT_FALSE(IString("").isDigits());
    EXPECT_FALSE(IString("12 ").isDigits());
}

TEST(StringSharing, CopiesShareUntilOneChanges) {
    IString a("shared text");
    IString b(a);
    EXPECT_EQ(a.data(), b.data());
    EXPECT_EQ(a.buffer().useCount(), 2u);

    b += "!";
    EXPECT_EQ(a, "shared text");
    EXPECT_EQ(b, "shared text!");
    EXPECT_NE(a.data(), b.data());

    IString c(a);
    c.writableData()[0] = 'S'; // the writable pointer unshares first
    EXPECT_EQ(a, "shared text");
    EXPECT_EQ(c, "Shared text");

    // The object is one pointer to its characters, which a record can read as a char*.
    const char* const* raw = reinterpret_cast<const char* const*>(&a);
    EXPECT_EQ(*raw, a.data());
    IString empty;
    EXPECT_STREQ(*reinterpret_cast<const char* const*>(&empty), "");
}

TEST(StringSharing, CopiesOfOneStringLiveOnManyThreads) {
    const IString original(std::string(1000, 'x').c_str());
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&original] {
            for (int i = 0; i < 2000; ++i) {
                IString copy(original);
                if (i % 3 == 0) copy += 'y';
                ASSERT_EQ(copy.length(), i % 3 == 0 ? 1001u : 1000u);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(original.buffer().useCount(), 1u);
}

TEST(StringBuffer, ComparesBinarySafely) {
    IString text(IString("ab\0c", 4));
    EXPECT_EQ(text.buffer().compare("ab\0c", 4), 0);
    EXPECT_LT(text.buffer().compare("ab\0d", 4), 0);
    EXPECT_GT(text.buffer().compare("ab", 2), 0);
    EXPECT_GT(IString("\xFF").buffer().compare("\x01", 1), 0); // bytes are unsigned
}

TEST(StringWipe, EmptiesTheStringAndNeverChangesAnotherHoldersString) {
    IString secret("hunter22");
    IString copy = secret;
    secret.wipe();
    EXPECT_TRUE(secret.isEmpty());
    // The copy shared the storage: it keeps its text, and now holds the storage alone.
    EXPECT_EQ(std::string(copy.data(), copy.length()), "hunter22");
    EXPECT_EQ(copy.buffer().useCount(), 1u);
    copy.wipe();
    EXPECT_TRUE(copy.isEmpty());
    IString empty;
    empty.wipe(); // the shared empty storage is left alone
    EXPECT_TRUE(IString().isEmpty());
}

} // namespace
