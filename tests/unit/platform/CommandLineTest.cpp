#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

std::vector<WString> SplitLine(const WString& line) {
    int argc = -1;
    win::WCHAR** argv = win::CommandLineToArgvW(line.c_str(), &argc);
    EXPECT_NE(argv, nullptr);
    std::vector<WString> arguments;
    if (argv == nullptr)
        return arguments;
    for (int i = 0; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr) << "the vector ends with a null pointer";
    win::LocalFree(argv);
    return arguments;
}

struct SplitCase {
    const char16_t* line;
    std::vector<WString> arguments;
};

TEST(CommandLineToArgvW, SplitsByTheWindowsRules) {
    const SplitCase cases[] = {
        {u"prog", {u"prog"}},
        {u"prog   ", {u"prog"}},
        {u"prog a b", {u"prog", u"a", u"b"}},
        {u"prog \t a\t\tb ", {u"prog", u"a", u"b"}},
        // The program name: no backslash processing, quotes only around it.
        {u"\"C:\\Program Files\\sp.exe\" /q", {u"C:\\Program Files\\sp.exe", u"/q"}},
        {u"C:\\dir\\sp.exe\\ /q", {u"C:\\dir\\sp.exe\\", u"/q"}},
        {u"\"a b\"c d", {u"a b", u"c", u"d"}},
        {u"\"unterminated name", {u"unterminated name"}},
        {u" leading", {u"", u"leading"}},
        // Quotes and blanks.
        {u"p \"a b\" c", {u"p", u"a b", u"c"}},
        {u"p a\" b \"c", {u"p", u"a b c"}},
        {u"p \"\"", {u"p", u""}},
        {u"p \"\" \"\"", {u"p", u"", u""}},
        {u"p \"open to the end", {u"p", u"open to the end"}},
        // Backslashes: literal unless a quote follows.
        {u"p a\\b c\\\\d", {u"p", u"a\\b", u"c\\\\d"}},
        {u"p \\\"a", {u"p", u"\"a"}},           // 1 backslash + quote
        {u"p \\\\\"a b\"", {u"p", u"\\a b"}},   // 2 backslashes + quote
        {u"p \\\\\\\"a", {u"p", u"\\\"a"}},     // 3 backslashes + quote
        {u"p \"C:\\temp\\\" x", {u"p", u"C:\\temp\" x"}},
        {u"p \"C:\\temp\\\\\" x", {u"p", u"C:\\temp\\", u"x"}},
        // A doubled quote inside quotes is a literal quote and ends the quoting.
        {u"p \"a\"\"b\" c", {u"p", u"a\"b c"}},
        {u"p \"a\"\"\" b", {u"p", u"a\" b"}},
        {u"p \"\"\"a\"", {u"p", u"\"a"}},
        {u"p a\"\"b", {u"p", u"ab"}},
        // The switches of this program.
        {u"sp.exe /e \"C:\\out dir\\p.msp\" /q", {u"sp.exe", u"/e", u"C:\\out dir\\p.msp", u"/q"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(SplitLine(c.line), c.arguments) << ToUtf8(c.line);
}

TEST(CommandLineToArgvW, EmptyLineGivesTheProgramPath) {
    const std::vector<WString> arguments = SplitLine(u"");
    ASSERT_EQ(arguments.size(), 1u);
    EXPECT_FALSE(arguments[0].empty());
    EXPECT_EQ(arguments[0].front(), u'/');
}

TEST(CommandLineToArgvW, NullArgumentsFailWithInvalidParameter) {
    int argc = 0;
    win::SetLastError(0);
    EXPECT_EQ(win::CommandLineToArgvW(nullptr, &argc), nullptr);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(win::CommandLineToArgvW(u"p", nullptr), nullptr);
}

// Random arguments made of the characters that matter to the rules come back unchanged.
TEST(CommandLine, QuotedArgumentsSplitBackUnchanged) {
    const char16_t alphabet[] = {u'a', u' ', u'\t', u'"', u'\\', u'/', u'\u00e9', u'\u65e5'};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> count(0, 6);
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<size_t> pick(0, std::size(alphabet) - 1);
    for (int round = 0; round < 2000; ++round) {
        std::vector<WString> arguments{u"/opt/sp/servicepack"};
        const int n = count(random);
        for (int k = 0; k < n; ++k) {
            WString argument;
            const int len = length(random);
            for (int i = 0; i < len; ++i)
                argument += alphabet[pick(random)];
            arguments.push_back(argument);
        }
        WString line = arguments[0];
        for (size_t k = 1; k < arguments.size(); ++k)
            line += u" " + host::QuoteArgument(arguments[k]);
        ASSERT_EQ(SplitLine(line), arguments) << ToUtf8(line);
    }
}

TEST(GetCommandLineW, IsMadeFromTheRecordedArguments) {
    host::SetCommandLineArguments({"/tmp/my dir/servicepack", "/e", "out file.msp", "a\"b\\", ""});
    const WString line = win::GetCommandLineW();
    EXPECT_EQ(line, u"\"/tmp/my dir/servicepack\" /e \"out file.msp\" \"a\\\"b\\\\\" \"\"");
    EXPECT_EQ(SplitLine(line), (std::vector<WString>{u"/tmp/my dir/servicepack", u"/e",
                                                     u"out file.msp", u"a\"b\\", u""}));

    host::SetCommandLineArguments({"sp", "/p", "liste-\xc3\xa9t\xc3\xa9.txt"});
    EXPECT_EQ(SplitLine(win::GetCommandLineW()),
              (std::vector<WString>{u"sp", u"/p", u"liste-\u00e9t\u00e9.txt"}));
}

} // namespace
