// The drag information's byte encoding: exact bytes, round trips, and truncated or hostile data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <idmdinfo.hpp>

namespace {

using namespace std::string_literals;

std::string bytesOf(const IDMDragInfo& info)
{
    const std::vector<char> bytes = info.encoded();
    return std::string(bytes.begin(), bytes.end());
}

std::string str(const IString& text)
{
    return std::string(static_cast<const char*>(text), text.length());
}

IDMDragInfo twoItems()
{
    IDMDragInfo info(2);
    info.positionX = -7;
    info.positionY = 12;
    info.sourceWindow = 0x80000010u;
    info.sourceProcess = 0xFFFFFFFEu;
    info.operation = 2;
    IDMDragInfoItem& first = info.item(0);
    first.types = IString("Text,\0File", 10);
    first.rmfs = "<DRM_OBJECT,DRF_TEXT>";
    first.containerName = IString("\0\0", 2);
    first.offsetX = -2147483647 - 1;
    first.offsetY = 2147483647;
    first.itemWindow = 0xFFFFFFFFu;
    first.itemId = 0x80000000u;
    first.control = 0xFFFF;
    first.supportedOperations = 3;
    info.item(1).targetName = "target";
    return info;
}

TEST(DragInfoEncoding, RecordWithoutItemsIsEightNumbers)
{
    IDMDragInfo info;
    info.positionX = -5;
    info.sourceWindow = 0x80000001u;
    info.sourceProcess = 42;
    EXPECT_EQ(bytesOf(info), "-5\0" "0\0" "2147483649\0" "42\0" "0\0" "32\0" "32\0" "0\0"s);
    EXPECT_EQ(info.write(nullptr), bytesOf(info).size());

    IDMDragInfo back(3);
    const std::string bytes = bytesOf(info);
    ASSERT_TRUE(back.read(bytes.data(), bytes.size()));
    EXPECT_EQ(back.itemCount(), 0u);
    EXPECT_EQ(back.sourceWindow, 0x80000001u);
}

TEST(DragInfoEncoding, ItemIsFiveCountedStringsAndSixNumbers)
{
    IDMDragInfo info(1);
    info.sourceProcess = 1;
    info.item(0).types = "Text";
    info.item(0).sourceName = IString("a\0b", 3);
    info.item(0).offsetX = -3;
    info.item(0).itemId = 7;
    info.item(0).supportedOperations = 2;
    EXPECT_EQ(bytesOf(info), "0\0" "0\0" "0\0" "1\0" "0\0" "32\0" "32\0" "1\0"
                             "4\0Text" "0\0" "0\0" "3\0a\0b" "0\0"
                             "-3\0" "0\0" "0\0" "7\0" "0\0" "2\0"s);
}

TEST(DragInfoEncoding, RoundTripKeepsNulBytesAndValuesAboveTheSignedRange)
{
    const IDMDragInfo info = twoItems();
    const std::string bytes = bytesOf(info);
    IDMDragInfo back;
    ASSERT_TRUE(back.read(bytes.data(), bytes.size()));
    EXPECT_EQ(back.positionX, -7);
    EXPECT_EQ(back.sourceWindow, 0x80000010u);
    EXPECT_EQ(back.sourceProcess, 0xFFFFFFFEu);
    EXPECT_EQ(back.operation, 2u);
    ASSERT_EQ(back.itemCount(), 2u);
    const IDMDragInfoItem& first = back.item(0);
    EXPECT_EQ(str(first.types), "Text,\0File"s);
    EXPECT_EQ(str(first.containerName), "\0\0"s);
    EXPECT_EQ(first.offsetX, -2147483647 - 1);
    EXPECT_EQ(first.offsetY, 2147483647);
    EXPECT_EQ(first.itemWindow, 0xFFFFFFFFu);
    EXPECT_EQ(first.itemId, 0x80000000u);
    EXPECT_EQ(first.control, 0xFFFFu);
    EXPECT_EQ(first.supportedOperations, 3u);
    EXPECT_EQ(str(back.item(1).targetName), "target");
    // A writer that wrote the 32 bits signed is understood as well.
    const std::string signedHandle = "0\0" "0\0" "-2147483632\0" "1\0" "0\0" "32\0" "32\0" "0\0"s;
    ASSERT_TRUE(back.read(signedHandle.data(), signedHandle.size()));
    EXPECT_EQ(back.sourceWindow, 0x80000010u);
}

TEST(DragInfoEncoding, EveryTruncationIsNoDragInformation)
{
    const std::string bytes = bytesOf(twoItems());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        IDMDragInfo back(1);
        EXPECT_FALSE(back.read(bytes.data(), size)) << size;
        EXPECT_EQ(back.itemCount(), 0u);
    }
}

struct Hostile {
    const char* what;
    std::string bytes;
};

class HostileDragInfo : public testing::TestWithParam<Hostile> {};

TEST_P(HostileDragInfo, IsNoDragInformation)
{
    IDMDragInfo back(1);
    EXPECT_FALSE(back.read(GetParam().bytes.data(), GetParam().bytes.size()));
    EXPECT_EQ(back.itemCount(), 0u);
}

const std::string kHeader = "0\0" "0\0" "0\0" "0\0" "0\0" "32\0" "32\0"s;

INSTANTIATE_TEST_SUITE_P(
    Streams, HostileDragInfo,
    testing::Values(
        Hostile{"no digits", "\0"s},
        Hostile{"a number without its zero", "12"s},
        Hostile{"letters after the digits", "12x\0"s},
        Hostile{"a signed field above its range", "2147483648\0"s},
        Hostile{"an unsigned field above 32 bits", "0\0" "0\0" "4294967296\0"s},
        Hostile{"a 16-bit field above its range", "0\0" "0\0" "0\0" "0\0" "65536\0"s},
        Hostile{"a negative 16-bit field", "0\0" "0\0" "0\0" "0\0" "-1\0"s},
        Hostile{"a number of many digits", "000000000000000000001\0"s},
        Hostile{"more items than the data holds", kHeader + "65535\0" + std::string(100, '0')},
        Hostile{"a string longer than the rest", kHeader + "1\0" "4000000000\0abc"s},
        Hostile{"a negative string length", kHeader + "1\0" "-1\0abc"s},
        Hostile{"an item cut short", kHeader + "1\0" "0\0" "0\0" "0\0" "0\0" "0\0" "1\0"s}),
    [](const testing::TestParamInfo<Hostile>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += (*c == ' ' || *c == '-') ? '_' : *c;
        return name + "_" + std::to_string(info.index);
    });

struct AnswerCase {
    std::uint16_t operation;
    std::uint32_t answer;
    std::uint16_t indicator;
    std::uint16_t reply;
};

class DropAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(DropAnswer, KeepsOnlyRepliesThatFitTheOperation)
{
    IDMDragInfo info;
    info.operation = GetParam().operation;
    info.setDropAnswer(GetParam().answer);
    EXPECT_EQ(info.dropIndicator, GetParam().indicator);
    EXPECT_EQ(info.replyOperation, GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DropAnswer,
    testing::Values(AnswerCase{0x20, 0x00010001, 1, 1},       // default drag, drop as copy
                    AnswerCase{0x20, 0x00040001, 1, 4},       // link
                    AnswerCase{0x20, 0xBFFF0001, 1, 0xBFFF},  // user-defined
                    AnswerCase{0x20, 0x00030001, 3, 0x20},    // copy and move at once: never
                    AnswerCase{0x20, 0x00010000, 0, 0x20},    // no drop: reply is the drag's
                    AnswerCase{0xC000, 0x00080001, 3, 0xC000},
                    AnswerCase{2, 0x00010001, 1, 2}));        // an explicit move stays a move

} // namespace
