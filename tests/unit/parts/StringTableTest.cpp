#include <gtest/gtest.h>

#include <vector>

#include "messages/StringTable.h"

namespace {

// A block from annotated entries: each a length and that many UTF-16LE units.
std::vector<std::uint8_t> Block(const std::vector<std::u16string>& entries) {
    std::vector<std::uint8_t> bytes;
    for (const std::u16string& text : entries) {
        bytes.push_back(static_cast<std::uint8_t>(text.size() & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(text.size() >> 8));
        for (char16_t c : text) {
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
    }
    return bytes;
}

TEST(StringTable, BlockAndIndexOfAnId) {
    EXPECT_EQ(StringBlockOf(300), 19u);
    EXPECT_EQ(StringIndexOf(300), 12u);
    EXPECT_EQ(StringBlockOf(313), 20u);
    EXPECT_EQ(StringBlockOf(700), 44u);
    EXPECT_EQ(StringBlockOf(900), 57u);
}

TEST(StringTable, ReadsTheEntryAtItsPlace) {
    std::vector<std::u16string> entries(16);
    entries[0] = u"first";
    entries[12] = u"\u65e5\u672c";
    entries[15] = u"last";
    const auto block = Block(entries);
    EXPECT_EQ(ReadStringTableEntry(block.data(), block.size(), 0), u"first");
    EXPECT_EQ(ReadStringTableEntry(block.data(), block.size(), 12), u"\u65e5\u672c");
    EXPECT_EQ(ReadStringTableEntry(block.data(), block.size(), 15), u"last");
    EXPECT_EQ(ReadStringTableEntry(block.data(), block.size(), 3), u""); // absent id
}

TEST(StringTable, DamagedBlocksYieldNothing) {
    std::vector<std::u16string> entries(16);
    entries[2] = u"text";
    auto block = Block(entries);
    // Cut inside the text of entry 2.
    EXPECT_FALSE(ReadStringTableEntry(block.data(), 8, 2).has_value());
    // Cut inside the length of entry 1.
    EXPECT_FALSE(ReadStringTableEntry(block.data(), 3, 1).has_value());
    // A length that runs past the block.
    block[0] = 0xFF;
    block[1] = 0xFF;
    EXPECT_FALSE(ReadStringTableEntry(block.data(), block.size(), 5).has_value());
    EXPECT_FALSE(ReadStringTableEntry(block.data(), block.size(), 16).has_value());
    EXPECT_FALSE(ReadStringTableEntry(nullptr, 0, 0).has_value());
}

} // namespace
