#include <gtest/gtest.h>

#include "apply/CandidateWalk.h"

namespace {

TEST(WalkCandidates, TriesEachEntryInOrder) {
    const WString release = u"7.0.43.3,7.0.43.5,7.0.61.1,7.1.0.5,";
    const ProductVersion target = ParseVersion(u"7.2.0.2");
    struct Case {
        const char16_t* candidates;
        const char16_t* installed;
        CandidateMatch expected;
    } cases[] = {
        {release.c_str(), u"7.0.61.1", CandidateMatch::Candidate},
        {release.c_str(), u"7.1.0.5", CandidateMatch::Candidate},
        {release.c_str(), u"7.1.0.6", CandidateMatch::None},
        {u"7.0.43.3,7.0.43.5,7.0.61.1,7.1.0.5", u"7.1.0.5", CandidateMatch::None}, // no last ','
        {u"7.0.43.3", u"7.0.43.3", CandidateMatch::None},                           // no entry
        {u"", u"7.0.43.3", CandidateMatch::None},
        {u"7.2.0.2,7.0.61.1,", u"7.0.61.1", CandidateMatch::TargetReached},
        {u"7.0.61.1,7.2.0.2,", u"7.0.61.1", CandidateMatch::Candidate},
        {u"7.0.43.3,,7.1.0.5,", u"0.0.0.0", CandidateMatch::Candidate}, // empty entry is 0.0.0.0
        {u" 7.0.61.1 ,", u"7.0.61.1", CandidateMatch::Candidate},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WalkCandidates(c.candidates, ParseVersion(c.installed), target), c.expected)
            << ToUtf8(c.candidates) << " / " << ToUtf8(c.installed);
    }
}

} // namespace
