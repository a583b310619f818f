#include <gtest/gtest.h>

#include "payload/PatchListName.h"

namespace {

TEST(DefaultPatchListName, TakesFourCharactersAfterTheFirstDash) {
    struct Case {
        std::optional<WString> targets;
        const char16_t* expected;
    } cases[] = {
        {WString(u"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}"),
         u"patchlist8B4D.txt"},
        {WString(u"ab:cd-efghij"), u"patchlistefgh.txt"},
        {WString(u"abc"), u"patchlistabc.txt"},
        {WString(u"abcdefg"), u"patchlistabcd.txt"},
        {WString(u"x-ab"), u"patchlistab.txt"},
        {WString(u""), u"patchlist.txt"},
        {std::nullopt, u"patchlist.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultPatchListName(c.targets), c.expected) << ToUtf8(c.expected);
}

} // namespace
