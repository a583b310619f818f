#include <gtest/gtest.h>

#include "apply/Decimal.h"
#include "apply/ProductVersion.h"

namespace {

struct VersionCase {
    const char16_t* text;
    ProductVersion expected;
};

TEST(ParseVersion, FollowsTheSeparatorRules) {
    const VersionCase cases[] = {
        {u"7.2.0.2", {7, 2, 0, 2}},     {u"7,2,0,2", {7, 2, 0, 2}},
        {u"7.0.43.3", {7, 0, 43, 3}},   {u"7", {0, 0, 0, 0}},
        {u"7.2", {7, 0, 0, 0}},         {u"7.2.5", {7, 2, 0, 0}},
        {u"7.2.0.2.9", {7, 2, 0, 2}},   {u"7..0.2", {7, 0, 0, 2}},
        {u"7.x.0.2", {7, 0, 0, 2}},     {u"7.2a.0.2", {7, 2, 0, 2}},
        {u"7.2.0.02", {7, 2, 0, 2}},    {u"7.2.0.65536", {7, 2, 0, 0}},
        {u"7.2.0.70000", {7, 2, 0, 4464}}, {u"7.2.0.-1", {7, 2, 0, 65535}},
        {u"", {0, 0, 0, 0}},            {u"7, 2, 0, 2", {7, 2, 0, 2}},
        {u"7 .2 .0 .2", {7, 2, 0, 2}},  {u"4294967303.1.1.1", {7, 1, 1, 1}},
    };
    for (const VersionCase& c : cases) {
        const ProductVersion v = ParseVersion(c.text);
        EXPECT_EQ(v, c.expected) << ToUtf8(c.text) << " gave " << v.major << "." << v.minor << "."
                                 << v.build << "." << v.revision;
    }
}

TEST(ParseVersion, EqualityComparesAllFourParts) {
    EXPECT_EQ(ParseVersion(u"7,2,0,2"), ParseVersion(u"7.2.0.2"));
    EXPECT_EQ(ParseVersion(u"7.2"), ParseVersion(u"7.0.0.0"));
    EXPECT_NE(ParseVersion(u"7.2.0.2"), ParseVersion(u"7.2.0.3"));
}

TEST(ParseDecimal, ReadsLikeTheCRuntime) {
    EXPECT_EQ(ParseDecimal(u"  1041"), 1041);
    EXPECT_EQ(ParseDecimal(u"+12x"), 12);
    EXPECT_EQ(ParseDecimal(u"-5"), -5);
    EXPECT_EQ(ParseDecimal(u"abc"), 0);
    EXPECT_EQ(ParseDecimal(u""), 0);
    EXPECT_EQ(ParseDecimal(u"4294967296"), 0); // wraps in 32 bits
}

} // namespace
