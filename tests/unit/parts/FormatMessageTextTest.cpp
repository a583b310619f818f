#include <gtest/gtest.h>

#include "messages/FormatMessageText.h"

namespace {

TEST(FormatMessageText, PutsTheArgumentIntoItsConversion) {
    MessageArgument number;
    number.number = 5;
    EXPECT_EQ(FormatMessageText(u"Error Code: %d", number), u"Error Code: 5");
    number.number = static_cast<std::int32_t>(0x80070005u);
    EXPECT_EQ(FormatMessageText(u"%d", number), u"-2147024891");

    MessageArgument name;
    name.text = std::u16string_view(u"");
    EXPECT_EQ(FormatMessageText(u"installed and %s has been updated.", name),
              u"installed and  has been updated.");
}

TEST(FormatMessageText, LeavesOtherPercentSignsAndMissingArgumentsAsTheyStand) {
    const MessageArgument none;
    EXPECT_EQ(FormatMessageText(u"100%% done, %s and %d, %x, trailing %", none),
              u"100% done, %s and %d, %x, trailing %");
}

TEST(FormatMessageText, ShowsAnyNameWhole) {
    const WString longName(1023, u'N');
    MessageArgument name;
    name.text = longName;
    const WString text = FormatMessageText(u"Your version of %s is up-to-date", name);
    EXPECT_EQ(text, u"Your version of " + longName + u" is up-to-date");
    const WString hugeName(100000, u'x');
    name.text = hugeName;
    EXPECT_EQ(FormatMessageText(u"[%s]", name).size(), hugeName.size() + 2);
}

} // namespace
