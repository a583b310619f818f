#include <gtest/gtest.h>

#include "messages/ResourceLanguage.h"

namespace {

const std::vector<win::LANGID> kFourteen = {1028, 1029, 1031, 1033, 1034, 1036, 1038,
                                            1040, 1041, 1042, 1045, 1046, 1049, 2052};

TEST(ChooseResourceLanguage, PrefersTheLocaleThenItsLanguageThenEnglish) {
    struct Case {
        win::LANGID wanted;
        win::LANGID expected;
    } cases[] = {
        {1041, 1041}, // a table of its own
        {3082, 1034}, // Spanish, modern sort: the Spanish table
        {2058, 1034}, // Spanish (Mexico)
        {3079, 1031}, // German (Austria)
        {2070, 1046}, // Portuguese (Portugal): the Brazilian table
        {3076, 1028}, // Chinese (Hong Kong): traditional script
        {5124, 1028}, // Chinese (Macao)
        {4100, 2052}, // Chinese (Singapore): simplified script
        {1043, 1033}, // Dutch: no table, English
        {0, 1033},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseResourceLanguage(kFourteen, c.wanted), c.expected) << c.wanted;
}

TEST(ChooseResourceLanguage, FallsBackToTheFirstEntryWithoutEnglish) {
    EXPECT_EQ(ChooseResourceLanguage({1046}, 1043), 1046);
    EXPECT_EQ(ChooseResourceLanguage({1049, 1031}, 1041), 1049);
    EXPECT_FALSE(ChooseResourceLanguage({}, 1033).has_value());
}

} // namespace
