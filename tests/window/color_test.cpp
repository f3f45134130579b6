// Colours: named, system, palette and device colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include <icolor.hpp>
#include <ovkmsgid.hpp>

#include "colortest.hpp"

namespace {

COLORREF rgb(int red, int green, int blue)
{
    return RGB(red, green, blue);
}

// The sixteen named colours as the library documents them.
const COLORREF namedColors[16] = {
    rgb(255, 255, 255), rgb(0, 0, 255),   rgb(255, 0, 0),   rgb(255, 0, 255),
    rgb(0, 255, 0),     rgb(0, 255, 255), rgb(255, 255, 0), rgb(0, 0, 0),
    rgb(128, 128, 128), rgb(0, 0, 128),   rgb(128, 0, 0),   rgb(128, 0, 128),
    rgb(0, 128, 0),     rgb(0, 128, 128), rgb(128, 128, 0), rgb(192, 192, 192)};

// The Windows system colour each library system colour is bound to, written out by number.
const int boundIndex[46] = {13, 14, 8, 5,  5,  17, 14, 13, 15, 3,  3,  20, 15, 16, 8, 4,
                            20, 20, 8, 15, 14, 13, 3,  2,  19, 9,  8,  8,  0,  1,  2, 3,
                            4,  5,  6, 7,  8,  9,  9,  9,  10, 11, 12, 5,  8,  8};

// Colours the tests change, and put back afterwards: a changed system colour would outlive the
// test in the Wine prefix.
class SystemColors : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int element : kElements)
            fSaved.push_back(GetSysColor(element));
    }
    void TearDown() override
    {
        SetSysColors(static_cast<int>(std::size(kElements)), kElements, fSaved.data());
    }
    static void set(int element, COLORREF color) { ASSERT_TRUE(SetSysColors(1, &element, &color)); }

    static constexpr INT kElements[] = {COLOR_BTNSHADOW, COLOR_HIGHLIGHTTEXT, COLOR_WINDOWTEXT};
    std::vector<COLORREF> fSaved;
};

} // namespace

TEST(Color, NamedColorsHaveTheirRGBAndValue)
{
    for (unsigned int value = 0; value < 16; ++value) {
        SCOPED_TRACE(value);
        IColor color(static_cast<IColor::Color>(value));
        EXPECT_EQ(color.asRGBLong(), namedColors[value]);
        EXPECT_EQ(color.value(), value);
        EXPECT_TRUE(color.isNamedColor());
    }
    EXPECT_EQ(IColor(IColor::darkRed).asRGBLong(), rgb(128, 0, 0));
    EXPECT_EQ(IColor(IColor::paleGray).asRGBLong(), rgb(192, 192, 192));
}

TEST(Color, NamedColorOutOfRangeIsBlack)
{
    for (unsigned int value : {16u, 17u, 1000u, 0xFFFFFFFFu}) {
        IColor color(static_cast<IColor::Color>(value));
        EXPECT_EQ(color.asRGBLong(), 0u);
        EXPECT_EQ(color.value(), IColor::black);
    }
}

TEST(Color, RGBColorThatMatchesANamedColorBecomesIt)
{
    IColor color(128, 0, 0);
    EXPECT_FALSE(color.isNamedColor());
    EXPECT_EQ(color.value(), 10u);
    EXPECT_TRUE(color.isNamedColor());
    EXPECT_EQ(color.asRGBLong(), rgb(128, 0, 0));

    // A const object recognises itself as well.
    const IColor white(255, 255, 255);
    EXPECT_EQ(white.value(), IColor::white);
    EXPECT_TRUE(white.isNamedColor());
}

TEST(Color, RGBColorWithoutANameThrows35AndStaysRGB)
{
    IColor color(1, 2, 3);
    expectMessage([&] { color.value(); }, OVK_MSG_NO_COLOR_VALUE, "icolor",
                  "IColor::value() const");
    EXPECT_FALSE(color.isNamedColor());
    EXPECT_EQ(color.asRGBLong(), rgb(1, 2, 3));
}

TEST(Color, ComponentsAndEqualityFollowTheRGB)
{
    IColor color(10, 20, 30);
    EXPECT_EQ(color.redMix(), 10);
    EXPECT_EQ(color.greenMix(), 20);
    EXPECT_EQ(color.blueMix(), 30);
    EXPECT_EQ(color.asRGBLong(), 0x1E140Au);
    // The kind does not count: a named colour equals the same RGB value.
    EXPECT_TRUE(IColor(IColor::blue) == IColor(0, 0, 255));
    EXPECT_TRUE(IColor(IColor::blue) != IColor(0, 0, 254));
    EXPECT_EQ(IColor().asRGBLong(), 0u);
}

TEST(Color, SystemColorsAreBoundToTheirWindowsColor)
{
    for (unsigned int value = 0; value < 46; ++value) {
        SCOPED_TRACE(value);
        IColor color(static_cast<IColor::SystemColor>(value));
        EXPECT_TRUE(color.isSystemColor());
        EXPECT_EQ(color.systemColor(), static_cast<unsigned long>(boundIndex[value]));
        EXPECT_EQ(color.asRGBLong(), GetSysColor(boundIndex[value]));
    }
    EXPECT_EQ(IColor(IColor::windowText).systemColor(),
              static_cast<unsigned long>(COLOR_WINDOWTEXT));
    EXPECT_EQ(IColor(IColor::buttonShadow).systemColor(),
              static_cast<unsigned long>(COLOR_BTNSHADOW));
}

TEST(Color, SystemColorAbove45Throws39)
{
    for (unsigned int value : {46u, 100u, 0xFFFFFFFFu})
        expectMessage([&] { IColor color(static_cast<IColor::SystemColor>(value)); },
                      OVK_MSG_INVALID_VALUE, "icolor", "IColor::IColor(SystemColor)");
    expectMessage([] { IGUIColor color(static_cast<IColor::SystemColor>(46)); },
                  OVK_MSG_INVALID_VALUE, "icolor", "IColor::IColor(SystemColor)");
}

TEST(Color, SystemColorOfAnotherKindThrows35)
{
    expectMessage([] { IColor(1, 2, 3).systemColor(); }, OVK_MSG_NO_COLOR_VALUE, "icolor",
                  "IColor::systemColor() const");
    expectMessage([] { IColor(IColor::red).systemColor(); }, OVK_MSG_NO_COLOR_VALUE, "icolor",
                  "IColor::systemColor() const");
}

TEST_F(SystemColors, SystemColorFollowsTheSchemeWithoutANewObject)
{
    set(COLOR_BTNSHADOW, rgb(1, 2, 3));
    IColor shadow(IColor::buttonShadow);
    const IColor copy = shadow;
    IDeviceColor fixed(IDeviceColor::defaultColor);
    EXPECT_EQ(shadow.asRGBLong(), rgb(1, 2, 3));

    set(COLOR_BTNSHADOW, rgb(4, 5, 6));
    set(COLOR_WINDOWTEXT, rgb(7, 8, 9));
    EXPECT_EQ(shadow.asRGBLong(), rgb(4, 5, 6));
    EXPECT_EQ(copy.blueMix(), 6);
    EXPECT_TRUE(copy == IColor(4, 5, 6));
    // A device colour took the window-text colour once, when it was made.
    EXPECT_NE(fixed.asRGBLong(), rgb(7, 8, 9));

    EXPECT_TRUE(shadow.refreshSystemColor());
    IColor plain(4, 5, 6);
    EXPECT_FALSE(plain.refreshSystemColor());
}

TEST_F(SystemColors, SystemColorMatchingANamedColorStaysBound)
{
    set(COLOR_BTNSHADOW, rgb(128, 0, 0));
    IColor shadow(IColor::buttonShadow);
    EXPECT_EQ(shadow.value(), IColor::darkRed);
    set(COLOR_BTNSHADOW, rgb(1, 2, 3));
    EXPECT_TRUE(shadow.isSystemColor());
    EXPECT_EQ(shadow.asRGBLong(), rgb(1, 2, 3));
}

TEST_F(SystemColors, GUIColorChangesTheColorItIsBoundTo)
{
    // Both colours are read back through objects of their own, bound to the same element.
    IGUIColor shadow(IColor::buttonShadow);
    shadow.setColor(IColor(11, 22, 33));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), rgb(11, 22, 33));
    EXPECT_EQ(IColor(IColor::buttonShadow).asRGBLong(), rgb(11, 22, 33));
    EXPECT_EQ(shadow.asRGBLong(), rgb(11, 22, 33));

    IGUIColor selectedText(IColor::selectionForeground);
    selectedText.setColor(IColor(IColor::darkGreen));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), rgb(0, 128, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), rgb(11, 22, 33));
}

TEST(Color, GUIColorNoLongerBoundRefusesToSetTheSystem)
{
    IGUIColor color(IColor::buttonShadow);
    static_cast<IColor&>(color) = IColor(1, 2, 3);
    expectMessage([&] { color.setColor(IColor(IColor::red)); }, OVK_MSG_INVALID_VALUE, "icolor",
                  "IGUIColor::setColor(const IColor&)");
}

TEST(Color, PaletteEntriesAreTheDefaultPalette)
{
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    PALETTEENTRY entries[20] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 20, entries), 20u);
    for (long index = 0; index < 20; ++index) {
        SCOPED_TRACE(index);
        IColor color(index);
        EXPECT_EQ(color.asRGBLong(),
                  rgb(entries[index].peRed, entries[index].peGreen, entries[index].peBlue));
        // The nearest entry to an entry's colour has that colour (there may be duplicates).
        EXPECT_TRUE(IColor(color.index()) == color);
    }
}

TEST(Color, PaletteIndexWithoutAnEntryThrows35)
{
    // -1 and -2 included: the palette has no such entries, and nothing may be read for them.
    for (long index : {-1L, -2L, -3L, 20L, 1000L})
        expectMessage([&] { IColor color(index); }, OVK_MSG_NO_COLOR_VALUE, "icolor",
                      "IColor::IColor(long)");
}

TEST(Color, DeviceColors)
{
    EXPECT_EQ(IDeviceColor(IDeviceColor::background).asRGBLong(), rgb(255, 255, 255));
    EXPECT_EQ(IDeviceColor(IDeviceColor::neutral).asRGBLong(), rgb(0, 0, 0));
    IDeviceColor text(IDeviceColor::defaultColor);
    EXPECT_EQ(text.asRGBLong(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_FALSE(text.isSystemColor());
    EXPECT_EQ(text.deviceColor(), IDeviceColor::defaultColor);
    expectMessage([] { IDeviceColor color(static_cast<IDeviceColor::DeviceColor>(3)); },
                  OVK_MSG_INVALID_VALUE, "icolor", "IDeviceColor::IDeviceColor(DeviceColor)");
}

TEST(Color, DescribesItself)
{
    EXPECT_EQ(std::string(IColor(1, 2, 3).asString()), "IColor(red=1,green=2,blue=3)");
    EXPECT_NE(std::string(IColor(IColor::buttonFace).asDebugInfo()).find("kind=system"),
              std::string::npos);
}
