// The syntax of rendering mechanism and format lists: expansion, compression, intersection and
// removal of entries.
#include <gtest/gtest.h>

#include <string>

#include <idmrmf.hpp>

namespace {

std::string str(const IString& text)
{
    return std::string(static_cast<const char*>(text), text.length());
}

struct ExpandCase {
    const char* list;
    const char* expanded;
};

class RMFExpansion : public testing::TestWithParam<ExpandCase> {};

TEST_P(RMFExpansion, GivesPairsMechanismFirst)
{
    EXPECT_EQ(str(IDMRMFList::expandRMFs(GetParam().list)), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RMFExpansion,
    testing::Values(
        ExpandCase{"(a,b)x(1,2)", "<a,1>,<a,2>,<b,1>,<b,2>"},
        ExpandCase{"(a,b)", "<a,DRF_UNKNOWN>,<b,DRF_UNKNOWN>"},
        ExpandCase{"< a , 1 >", "<a,1>"},
        ExpandCase{"<My Mechanism,DRF_TEXT>", "<My Mechanism,DRF_TEXT>"},
        ExpandCase{"<c,3>,(a,b)x(1)", "<c,3>,<a,1>,<b,1>"},
        ExpandCase{"( a , b ) x ( 1 )", "<a,1>,<b,1>"},
        // A group of its own after a mechanism group does not become that group's formats.
        ExpandCase{"(a),(b)x(1)", "<a,DRF_UNKNOWN>,<b,1>"},
        ExpandCase{"", ""},
        ExpandCase{"no entries here", ""}));

TEST(RMFList, CompressionJoinsMechanismsThatShareTheirFormats)
{
    EXPECT_EQ(str(IDMRMFList::compressRMFs("<a,1>,<a,2>,<b,1>,<b,2>")), "(a,b)x(1,2)");
    EXPECT_EQ(str(IDMRMFList::compressRMFs("<a,1>")), "<a,1>");
    EXPECT_EQ(str(IDMRMFList::compressRMFs("<a,1>,<a,2>,<b,3>")), "(a)x(1,2),<b,3>");
    EXPECT_EQ(str(IDMRMFList::compressRMFs("<a,1>,<b,1>,<c,2>")), "(a,b)x(1),<c,2>");
    EXPECT_EQ(str(IDMRMFList::compressRMFs("")), "");
}

TEST(RMFList, CompressedListsExpandToTheSamePairs)
{
    const char* lists[] = {
        "<a,1>,<a,2>,<b,1>,<b,2>",
        "<DRM_OBJECT,DRF_TEXT>,<DRM_TARVOSFILE,DRF_TEXT>,<DRM_PRINT,DRF_UNKNOWN>",
        "<a,1>,<b,2>,<c,1>,<c,2>,<d,1>,<d,2>",
        "<x,>,<y,>",
    };
    for (const char* list : lists) {
        const IString compressed = IDMRMFList::compressRMFs(list);
        EXPECT_EQ(str(IDMRMFList::expandRMFs(compressed)), list) << str(compressed);
    }
}

TEST(RMFList, TokensAndFirstPair)
{
    unsigned long position = 1;
    const IString list("<a,1>,<b , 2>");
    EXPECT_EQ(str(IDMRMFList::nextToken(list, position)), "a");
    EXPECT_EQ(position, 4u);
    EXPECT_EQ(str(IDMRMFList::nextToken(list, position)), "1");
    EXPECT_EQ(str(IDMRMFList::nextToken(list, position)), "b");
    EXPECT_EQ(str(IDMRMFList::nextToken(list, position)), "2");
    EXPECT_GT(position, list.length());
    EXPECT_EQ(str(IDMRMFList::nextToken(list, position)), "");

    EXPECT_EQ(str(IDMRMFList::firstMechanism("<m,f>,<n,g>")), "m");
    EXPECT_EQ(str(IDMRMFList::firstFormat("<m,f>,<n,g>")), "f");
    EXPECT_EQ(str(IDMRMFList::firstMechanism("")), "");
    EXPECT_EQ(str(IDMRMFList::firstFormat("")), "");
    EXPECT_EQ(str(IDMRMFList::rmfFrom("", "")), "<,>");
}

TEST(RMFList, MatchingKeepsTheOrderOfTheFirstList)
{
    const IString list("<a,1>,<b,2>,<c,3>");
    EXPECT_EQ(str(IDMRMFList::matchingRMFs(list, "<c,3>,<a,1>")), "<a,1>,<c,3>");
    EXPECT_EQ(str(IDMRMFList::matchingRMFs(list, "<c,3>,<a,1>", true)), "<a,1>");
    EXPECT_EQ(str(IDMRMFList::matchingRMFs(list, "<a,2>")), "");
    // A pair without its closing bracket ends the walk.
    EXPECT_EQ(str(IDMRMFList::matchingRMFs("<a,1>,<b,2", "<a,1>,<b,2>")), "<a,1>");
}

struct RemoveCase {
    const char* list;
    const char* entry;
    const char* result;
};

class EntryRemoval : public testing::TestWithParam<RemoveCase> {};

TEST_P(EntryRemoval, TakesTheFirstWholeEntryOnly)
{
    EXPECT_EQ(str(IDMRMFList::removeEntry(GetParam().list, GetParam().entry)), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, EntryRemoval,
    testing::Values(RemoveCase{"Text,File,Text", "Text", "File,Text"},
                    RemoveCase{"File,Text", "Text", "File"},
                    RemoveCase{"Text", "Text", ""},
                    RemoveCase{"TextFile,File", "Text", "TextFile,File"},
                    RemoveCase{"a,b", "c", "a,b"},
                    RemoveCase{"<a,1>,<b,2>", "<b,2>", "<a,1>"},
                    RemoveCase{"<a,1>,<b,2>", "<b,3>", "<a,1>,<b,2>"}));

} // namespace
