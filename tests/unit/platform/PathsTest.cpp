#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

class TempPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"TMP", "TEMP", "TMPDIR"}) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& s : saved_) {
            if (s.set)
                setenv(s.name, s.value.c_str(), 1);
            else
                unsetenv(s.name);
        }
    }
    static WString TempPath() {
        win::WCHAR buffer[1024];
        const win::DWORD length = win::GetTempPathW(1024, buffer);
        return WString(buffer, length);
    }
    struct Saved {
        const char* name;
        bool set;
        std::string value;
    };
    std::vector<Saved> saved_;
};

TEST_F(TempPathTest, TakesTheFirstVariableSetAndEndsInASlash) {
    EXPECT_EQ(TempPath(), u"/tmp/");
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(TempPath(), u"/var/tmp/");
    setenv("TEMP", "/srv/temp/", 1);
    EXPECT_EQ(TempPath(), u"/srv/temp/");
    setenv("TMP", "relative", 1);
    EXPECT_EQ(TempPath(), FromUtf8(CurrentDirectory() + "/relative/"));
}

TEST_F(TempPathTest, BufferSizeSemantics) {
    setenv("TMP", "/abc", 1); // "/abc/": 5 characters
    win::WCHAR buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(win::GetTempPathW(0, nullptr), 6u);
    EXPECT_EQ(win::GetTempPathW(5, buffer), 6u) << "no room for the NUL";
    EXPECT_EQ(buffer[0], u'#') << "nothing written when too small";
    EXPECT_EQ(win::GetTempPathW(6, buffer), 5u);
    EXPECT_EQ(WString(buffer), u"/abc/");

    host::ClearFaults();
    host::InjectFault(host::Call::GetTempPath, win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(win::GetTempPathW(8, buffer), 0u);
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
}

TEST(GetFullPathNameW, CollapsesTheTextAgainstTheCurrentDirectory) {
    const std::string here = CurrentDirectory();
    struct Case {
        const char16_t* path;
        std::string full;
    };
    const Case cases[] = {
        {u"/a/b/c", "/a/b/c"},        {u"/a/./b/../c", "/a/c"},    {u"//a///b/", "/a/b/"},
        {u"/..", "/"},                {u"/a/b/..", "/a"},          {u"/", "/"},
        {u"list.txt", here + "/list.txt"},
        {u"./x/../y.txt", here + "/y.txt"},
    };
    for (const Case& c : cases) {
        win::WCHAR buffer[4096];
        const win::DWORD length = win::GetFullPathNameW(c.path, 4096, buffer, nullptr);
        EXPECT_EQ(WString(buffer, length), FromUtf8(c.full)) << ToUtf8(c.path);
    }
}

TEST(GetFullPathNameW, BufferSizeAndFilePart) {
    win::WCHAR buffer[16];
    win::WCHAR* filePart = nullptr;
    EXPECT_EQ(win::GetFullPathNameW(u"/dir/name.msp", 0, nullptr, nullptr), 14u);
    EXPECT_EQ(win::GetFullPathNameW(u"/dir/name.msp", 13, buffer, &filePart), 14u);
    EXPECT_EQ(win::GetFullPathNameW(u"/dir/name.msp", 14, buffer, &filePart), 13u);
    ASSERT_NE(filePart, nullptr);
    EXPECT_EQ(WString(filePart), u"name.msp");
    EXPECT_EQ(win::GetFullPathNameW(u"/dir/", 16, buffer, &filePart), 5u);
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(win::GetFullPathNameW(u"", 16, buffer, nullptr), 0u);
}

} // namespace
