// Property settings on an installer command line.
#include <gtest/gtest.h>

#include "platform/host/InstallerCommandLine.h"

namespace {

using Settings = std::vector<std::pair<WString, WString>>;

TEST(InstallerCommandLine, ReadsPlainAndQuotedValues) {
    struct Case {
        WString commandLine;
        Settings settings;
    };
    const Case cases[] = {
        {u"", {}},
        {u"PATCH=C:\\sp.msp", {{u"PATCH", u"C:\\sp.msp"}}},
        {u"PATCH=\"C:\\Temp dir\\sp 1.msp\"", {{u"PATCH", u"C:\\Temp dir\\sp 1.msp"}}},
        {u"  A=1\tB=\"say \"\"hi\"\"\"  C=\"\" ",
         {{u"A", u"1"}, {u"B", u"say \"hi\""}, {u"C", u""}}},
        {u"REBOOT=ReallySuppress PATCH=\"a;b\"",
         {{u"REBOOT", u"ReallySuppress"}, {u"PATCH", u"a;b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.commandLine));
        host::InstallerProperties properties;
        std::string error;
        ASSERT_TRUE(host::ParseInstallerCommandLine(c.commandLine, properties, error)) << error;
        EXPECT_EQ(properties.values, c.settings);
    }
}

TEST(InstallerCommandLine, LaterSettingWinsAndNamesAreCaseSensitive) {
    host::InstallerProperties properties;
    std::string error;
    ASSERT_TRUE(host::ParseInstallerCommandLine(u"PATCH=a patch=b PATCH=c", properties, error));
    ASSERT_NE(properties.find(u"PATCH"), nullptr);
    EXPECT_EQ(*properties.find(u"PATCH"), u"c");
    EXPECT_EQ(properties.find(u"Patch"), nullptr);
}

TEST(InstallerCommandLine, RejectsMalformedSettings) {
    const WString cases[] = {
        u"PATCH",                     // no value
        u"=x",                        // no name
        u"PATCH=\"C:\\sp.msp",        // unterminated quote
        u"PATCH=\"a\"b",              // text glued to the closing quote
        u"PA-TCH=1",                  // not a property name
        WString(40000, u'A') + u"=1", // longer than a command line may be
    };
    for (const WString& commandLine : cases) {
        SCOPED_TRACE(ToUtf8(commandLine.substr(0, 40)));
        host::InstallerProperties properties;
        std::string error;
        EXPECT_FALSE(host::ParseInstallerCommandLine(commandLine, properties, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
