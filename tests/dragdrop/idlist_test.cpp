// The arithmetic of shell item-ID lists over their bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <iidlbyte.hpp>

namespace {

// A list of records of the given sizes (each filled with its own index), ended by a zero record.
std::vector<unsigned char> listOf(std::initializer_list<unsigned short> sizes)
{
    std::vector<unsigned char> bytes;
    unsigned char fill = 1;
    for (unsigned short size : sizes) {
        bytes.push_back(static_cast<unsigned char>(size & 0xFF));
        bytes.push_back(static_cast<unsigned char>(size >> 8));
        bytes.insert(bytes.end(), size - 2u, fill++);
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

TEST(ItemIdListBytes, SizeCountsRecordsAndTheEnd)
{
    EXPECT_EQ(IIDListBytes::size(nullptr), 2u);
    EXPECT_EQ(IIDListBytes::size(listOf({}).data()), 2u);
    EXPECT_EQ(IIDListBytes::size(listOf({20}).data()), 22u);
    EXPECT_EQ(IIDListBytes::size(listOf({20, 5, 300}).data()), 327u);
}

TEST(ItemIdListBytes, LastRecordIsTheLastWithACount)
{
    const auto list = listOf({4, 6, 3});
    EXPECT_EQ(IIDListBytes::lastRecord(list.data()), list.data() + 10);
    EXPECT_EQ(IIDListBytes::lastRecord(listOf({}).data()), nullptr);
    EXPECT_EQ(IIDListBytes::lastRecord(nullptr), nullptr);
}

TEST(ItemIdListBytes, JoinKeepsOneEnd)
{
    const auto first = listOf({4, 3});
    const auto second = listOf({5});
    std::vector<unsigned char> joined(IIDListBytes::size(first.data()) - 2 +
                                      IIDListBytes::size(second.data()), 0xCC);
    EXPECT_EQ(IIDListBytes::join(joined.data(), first.data(), second.data()), joined.size());
    EXPECT_EQ(joined, (std::vector<unsigned char>{4, 0, 1, 1, 3, 0, 2, 5, 0, 1, 1, 1, 0, 0}));

    // Joining with an empty or missing list copies the other.
    std::vector<unsigned char> copy(first.size(), 0xCC);
    EXPECT_EQ(IIDListBytes::join(copy.data(), first.data(), nullptr), first.size());
    EXPECT_EQ(copy, first);
    const auto empty = listOf({});
    EXPECT_EQ(IIDListBytes::join(copy.data(), empty.data(), first.data()), first.size());
    EXPECT_EQ(copy, first);
    std::vector<unsigned char> end(2, 0xCC);
    EXPECT_EQ(IIDListBytes::join(end.data(), nullptr, nullptr), 2u);
    EXPECT_EQ(end, empty);
}

TEST(ItemIdListBytes, ForeignListsAreMeasuredWithinTheirBytes)
{
    const auto list = listOf({20, 6});
    EXPECT_EQ(IIDListBytes::sizeWithin(list.data(), list.size()), list.size());
    EXPECT_EQ(IIDListBytes::sizeWithin(list.data(), list.size() + 10), list.size());
    for (std::size_t cut = 0; cut < list.size(); ++cut)
        EXPECT_EQ(IIDListBytes::sizeWithin(list.data(), cut), 0u) << cut;
    // A count of 1 cannot hold itself: it ends the list, and a copy ends in a zero record.
    const std::vector<unsigned char> odd{4, 0, 9, 9, 1, 0};
    EXPECT_EQ(IIDListBytes::sizeWithin(odd.data(), odd.size()), 6u);
    EXPECT_EQ(IIDListBytes::size(odd.data()), 6u);
    std::vector<unsigned char> copy(6, 0xCC);
    IIDListBytes::join(copy.data(), odd.data(), nullptr);
    EXPECT_EQ(copy, (std::vector<unsigned char>{4, 0, 9, 9, 0, 0}));
}

} // namespace
