#include <gtest/gtest.h>

#include "launcher/CommandLine.h"
#include "launcher/ProcessState.h"
#include "platform/host/HostPlatform.h"

namespace {

struct Expected {
    bool install, quiet, extract, patchList, listProducts;
    const char16_t* extractPath;
    const char16_t* patchListPath;
};

struct Case {
    std::vector<std::string> arguments;
    Expected expected;
};

TEST(ParseCommandLine, SwitchesArgumentsAndOrder) {
    const Case cases[] = {
        {{}, {true, false, false, false, false, u"", u""}},
        {{"/Q"}, {true, true, false, false, false, u"", u""}},
        {{"/e"}, {false, false, true, false, false, u"", u""}},
        {{"/e", "/q"}, {false, false, true, false, false, u"/q", u""}},
        {{"/e", "a.msp", "/e", "b.msp"}, {false, false, true, false, false, u"b.msp", u""}},
        {{"/e", "out.msp", "/i", "/q"}, {false, false, true, false, true, u"out.msp", u""}},
        {{"/i", "/e", "out.msp"}, {false, false, false, false, true, u"", u""}},
        {{"/p", "list.txt", "/e", "out.msp"}, {false, false, true, true, false, u"out.msp", u"list.txt"}},
        {{"/q", "/i"}, {false, true, false, false, true, u"", u""}},
        {{"/x"}, {true, false, false, false, false, u"", u""}},
        {{"-q"}, {true, false, false, false, false, u"", u""}},
        {{"/quiet", "q", "/", ""}, {true, false, false, false, false, u"", u""}},
        {{"/E", "C:\\Program Files\\out dir\\sp.msp"},
         {false, false, true, false, false, u"C:\\Program Files\\out dir\\sp.msp", u""}},
        {{"/P"}, {false, false, false, true, false, u"", u""}},
        {{"/e", "\xe6\x97\xa5\xe6\x9c\xac \"x\".msp"},
         {false, false, true, false, false, u"\u65e5\u672c \"x\".msp", u""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {"servicepack.exe"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        host::SetCommandLineArguments(argv);
        g_modeListProducts = false; // the process parses once; each case is a fresh process
        g_quiet = true;
        g_extractPath = u"stale";
        EXPECT_TRUE(ParseCommandLine());
        std::string name;
        for (const auto& a : c.arguments)
            name += "[" + a + "]";
        EXPECT_EQ(g_modeInstall, c.expected.install) << name;
        EXPECT_EQ(g_quiet, c.expected.quiet) << name;
        EXPECT_EQ(g_modeExtract, c.expected.extract) << name;
        EXPECT_EQ(g_modePatchList, c.expected.patchList) << name;
        EXPECT_EQ(g_modeListProducts, c.expected.listProducts) << name;
        EXPECT_EQ(g_extractPath, c.expected.extractPath) << name;
        EXPECT_EQ(g_patchListPath, c.expected.patchListPath) << name;
    }
}

} // namespace
