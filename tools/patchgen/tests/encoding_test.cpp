// The byte formats patchgen writes: stream names, string pools and transform table streams.
#include <gtest/gtest.h>

#include <stdexcept>

#include "msi_name.h"
#include "string_pool.h"
#include "transform_table.h"

namespace patchgen {
namespace {

struct NameCase {
    const char* name;
    bool table;
    std::u16string encoded;
};

TEST(StreamName, PacksPairsSinglesAndOthers) {
    // The expected names are those of a product database that wixl (msitools) wrote.
    const NameCase cases[] = {
        // Pairs of packable characters: 0x3800 + first + (second << 6).
        {"Property", true, u"\x4840\x4559\x44F2\x4568\x4737"},
        // An odd length ends in a single: 0x4800 + its value ('a' is 36).
        {"Media", true, u"\x4840\x4216\x4327\x4824"},
        {"_StringPool", true, u"\x4840\x3F3F\x4577\x446C\x3E6A\x44B2\x482F"},
        // Streams that are not tables have no prefix.
        {"product.cab", false, u"\x4573\x41F2\x41B8\x47B7\x4126\x4825"},
        // A character outside [0-9A-Za-z._] passes through and restarts the pairing.
        {"a#bc", false, u"\x4824#\x41A5"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(EncodeStreamName(c.name, c.table), c.encoded) << c.name;
}

TEST(StreamName, RejectsWhatAnEntryCannotHold) {
    EXPECT_THROW(EncodeStreamName(std::string(63, 'a'), true), std::invalid_argument);
    EXPECT_THROW(EncodeStreamName("Caf\xc3\xa9", false), std::invalid_argument);
    // 60 packable characters make 30 units plus the prefix: the most an entry holds.
    EXPECT_EQ(EncodeStreamName(std::string(60, 'a'), true).size(), 31u);
}

TEST(StreamName, Utf8OfEncodedName) {
    EXPECT_EQ(Utf16ToUtf8(u"\x4840"), "\xe4\xa1\x80");
    EXPECT_EQ(Utf16ToUtf8(u"\x05S"), "\x05S");
}

TEST(StringPool, NumbersStringsAndCountsReferences) {
    StringPool pool(1252);
    EXPECT_EQ(pool.Intern("ProductVersion"), 1);
    EXPECT_EQ(pool.Intern("7.2.0.2"), 2);
    EXPECT_EQ(pool.Intern("ProductVersion"), 1);
    const Bytes expectedPool = {0xE4, 0x04, 0x00, 0x00,   // codepage 1252
                                14, 0, 2, 0,              // "ProductVersion", two references
                                7, 0, 1, 0};              // "7.2.0.2", one
    EXPECT_EQ(pool.PoolStream(), expectedPool);
    const std::string data = "ProductVersion7.2.0.2";
    EXPECT_EQ(pool.DataStream(), Bytes(data.begin(), data.end()));
    EXPECT_THROW(pool.Intern(""), std::invalid_argument);
}

TEST(TransformTable, UpdateWritesMaskKeysAndChangedCells) {
    TransformTable file(FileTable());
    file.Update({std::string("ReadmeFile")}, {{"Sequence", 2}, {"FileSize", 35}});
    StringPool pool(1252);
    // Bits 3 (FileSize) and 7 (Sequence); the key, then the cells in column order; 32-bit
    // integers with the top bit flipped.
    const Bytes expected = {0x88, 0x00, 0x01, 0x00, 35, 0, 0, 0x80, 2, 0, 0, 0x80};
    EXPECT_EQ(file.Serialize(pool), expected);
}

TEST(TransformTable, InsertWritesEveryCellWithNulls) {
    TransformTable media(MediaTable());
    media.Insert({2, 2, std::monostate{}, std::string("#StudioSP2.cab"), std::monostate{}, std::string("SRC")});
    StringPool pool(1252);
    // Bit 0 and six columns; DiskId is 16-bit, offset by 0x8000; null strings are id 0.
    const Bytes expected = {0x01, 0x06, 0x02, 0x80, 2, 0, 0, 0x80, 0, 0, 1, 0, 0, 0, 2, 0};
    EXPECT_EQ(media.Serialize(pool), expected);
}

TEST(TransformTable, RejectsMalformedOperations) {
    TransformTable file(FileTable());
    EXPECT_THROW(file.Update({std::string("K")}, {{"NoSuchColumn", 1}}), std::invalid_argument);
    EXPECT_THROW(file.Update({std::string("K")}, {{"File", std::string("L")}}), std::invalid_argument);
    EXPECT_THROW(file.Update({std::string("K")}, {{"FileSize", std::string("big")}}), std::invalid_argument);
    EXPECT_THROW(file.Update({}, {{"FileSize", 1}}), std::invalid_argument);
    EXPECT_THROW(file.Update({std::string("K")}, {}), std::invalid_argument);
    EXPECT_THROW(file.Insert({std::string("K")}), std::invalid_argument);
    TransformTable media(MediaTable());
    EXPECT_THROW(media.Insert({0x8000, 1, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}}),
                 std::invalid_argument);
}

}  // namespace
}  // namespace patchgen
