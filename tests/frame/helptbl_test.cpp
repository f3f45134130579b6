// Help tables read from the test program's own "HELPTABLE" and "HELPSUBTABLE" resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <ihelptbl.hpp>
#include <ireslib.hpp>

#include <string>

#include "ovktest.hpp"

namespace {

using ovktest::caught;
using ovktest::str;

class HelpTable : public testing::Test {
protected:
    const IResourceLibrary exe;
};

TEST_F(HelpTable, WindowsNamingOneSubtableShareIt)
{
    const IHelpTable table(IResourceId(1901, exe));
    ASSERT_EQ(table.items().size(), 3u);
    EXPECT_EQ(table.subtables().size(), 2u) << "subtable 1910 is read once";
    EXPECT_EQ(table.items()[0].subtable.get(), table.items()[1].subtable.get());
    EXPECT_NE(table.items()[0].subtable.get(), table.items()[2].subtable.get());

    struct Case {
        unsigned short window;
        unsigned short control;
        unsigned short panel;
    };
    const Case cases[] = {
        {1901, 1, 11}, {1902, 2, 12}, {1903, 5, 15},
        // A control the window's subtable does not know, and a window the table does not know.
        {1903, 1, 0xFFFF}, {4242, 1, 0xFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.panel(c.window, c.control), c.panel) << c.window << "/" << c.control;
    EXPECT_EQ(table.extendedPanel(1902), 501);
    EXPECT_EQ(table.extendedPanel(4242), 0xFFFF);
}

TEST_F(HelpTable, AFirstEntryWithAZeroWordGivesAnEmptyTable)
{
    const IHelpTable table(IResourceId(1902, exe));
    EXPECT_TRUE(table.items().empty());
    EXPECT_TRUE(table.subtables().empty());
    EXPECT_EQ(table.panel(1901, 1), 0xFFFF);
}

// Neither resource has an end entry and each ends in half an entry: what lies past the last
// whole entry belongs to no entry and is not read.
TEST_F(HelpTable, ATableWithoutEndEntryEndsAtItsSize)
{
    const IHelpTable table(IResourceId(1903, exe));
    ASSERT_EQ(table.items().size(), 1u);
    EXPECT_EQ(table.items()[0].windowId, 1904);
    EXPECT_EQ(str(table.items()[0].subtable->asString()),
              "HELPSUBTABLE 1912\nBEGIN\nHELPSUBITEM 7 70\nHELPSUBITEM 8 80\nEND");
}

TEST_F(HelpTable, SubtableTextForm)
{
    const IHelpTable table(IResourceId(1901, exe));
    EXPECT_EQ(str(table.items()[0].subtable->asString()),
              "HELPSUBTABLE 1910\nBEGIN\nHELPSUBITEM 1 11\nHELPSUBITEM 2 12\nEND");
}

TEST_F(HelpTable, AMissingResourceIsASystemError)
{
    struct Case {
        unsigned long table;
        const char* text;
        const char* function;
    };
    const Case cases[] = {
        {1999, "IHelpTable LoadResource(IResourceId:1999 HELPTABLE)",
         "IHelpTable::IHelpTable(IResourceId)"},
        {1904, "IHelpTable LoadResource(IResourceId:1999 HELPSUBTABLE)",
         "IHelpTable::addItem(unsigned short,unsigned short,unsigned short)"},
    };
    for (const Case& c : cases) {
        const IException failure = caught([&] { IHelpTable table(IResourceId(c.table, exe)); });
        EXPECT_EQ(failure.errorId(), static_cast<unsigned>(ERROR_RESOURCE_NAME_NOT_FOUND));
        EXPECT_EQ(str(failure.text()), c.text);
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_EQ(str(failure.locationAtIndex(0)->fileName()), "ihelptbl");
        EXPECT_EQ(str(failure.locationAtIndex(0)->functionName()), c.function);
    }
}

} // namespace
