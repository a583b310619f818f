#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "launcher/ProcessState.h"
#include "payload/ExtractPatch.h"
#include "payload/TemporaryPackage.h"
#include "payload/WritePatchList.h"
#include "platform/host/HostPlatform.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

win::HMODULE Fixture(const char* name) {
    const std::string image = Read(std::string(SP_FIXTURES_DIR) + "/" + name + ".res");
    std::string error;
    win::HMODULE module =
        host::LoadModuleImage(std::vector<std::uint8_t>(image.begin(), image.end()), &error);
    EXPECT_NE(module, nullptr) << name << ": " << error;
    return module;
}

class PayloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/sp-payload-XXXXXX";
        dir_ = mkdtemp(pattern);
        setenv("TMP", (dir_ + "/").c_str(), 1);
        g_hInstance = host::MainModule();
        g_quiet = false;
        host::ClearFaults();
        host::ClearMessageBoxes();
    }
    void TearDown() override {
        host::ClearFaults();
        unsetenv("TMP");
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string dir_;
};

TEST_F(PayloadTest, APlantedLinkAtTheTemporaryNameIsNeverFollowed) {
    // With no randomness the first name is predictable: plant a link there first.
    const std::string victim = dir_ + "/victim.txt";
    std::ofstream(victim) << "precious";
    const std::string planted = dir_ + "/MSP00000000.tmp";
    ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    host::InjectFault(host::Call::GenRandom, win::ERROR_NOT_ENOUGH_MEMORY);

    WString path;
    ASSERT_TRUE(ExtractPatch(path));
    EXPECT_NE(ToUtf8(path), planted);
    EXPECT_EQ(ToUtf8(path).rfind(dir_ + "/MSP", 0), 0u);
    EXPECT_EQ(Read(victim), "precious");
    EXPECT_EQ(Read(ToUtf8(path)), Read(SP_PATCH_PACKAGE));
}

TEST_F(PayloadTest, TwoTemporaryCopiesHaveDifferentNames) {
    WString first, second;
    ASSERT_TRUE(ExtractPatch(first));
    ASSERT_TRUE(ExtractPatch(second));
    EXPECT_NE(first, second);
}

TEST_F(PayloadTest, AFailedLookupKeepsTheNameButLeavesNoFile) {
    host::InjectFault(host::Call::FindResource, win::ERROR_RESOURCE_NAME_NOT_FOUND);
    WString path;
    win::SetLastError(0);
    EXPECT_FALSE(ExtractPatch(path));
    EXPECT_FALSE(path.empty());
    EXPECT_FALSE(Exists(ToUtf8(path)));
}

TEST_F(PayloadTest, NoTemporaryDirectoryMeansNoName) {
    host::InjectFault(host::Call::GetTempPath, win::ERROR_ACCESS_DENIED);
    WString path;
    EXPECT_FALSE(ExtractPatch(path));
    EXPECT_TRUE(path.empty());
}

TEST_F(PayloadTest, ATemporaryCopyCanBeReadButNotChangedUntilItIsDeleted) {
    std::string name;
    {
        TemporaryPackage copy;
        ASSERT_TRUE(copy.written());
        name = ToUtf8(copy.path());
        const WString& path = copy.path();
        win::HANDLE reader = win::CreateFileW(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                              nullptr, win::OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, win::INVALID_HANDLE_VALUE);
        win::CloseHandle(reader);
        win::HANDLE writer = win::CreateFileW(path.c_str(), win::GENERIC_WRITE,
                                              win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
                                              win::OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, win::INVALID_HANDLE_VALUE);
        EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);
        EXPECT_EQ(win::DeleteFileW(path.c_str()), 0);
        EXPECT_EQ(win::MoveFileExW(path.c_str(), FromUtf8(dir_ + "/moved").c_str(), 0), 0);
        EXPECT_EQ(Read(name), Read(SP_PATCH_PACKAGE));
    }
    EXPECT_FALSE(Exists(name));
}

TEST_F(PayloadTest, BlocksAreAppendedUpToTheFirstMissingId) {
    struct Case {
        const char* fixture;
        std::string expected;
        int entries;
        size_t boxes;
    } cases[] = {
        {"blocks-207", "*****\r\nKey=first\r\n\r\n*****\r\nKey=second\r\n\r\n", 2, 0},
        {"blocks-208", "*****\r\nKey=first\r\n\r\n", 1, 0},
        {"blocks-empty", "*****\r\nKey=first\r\n\r\n", 1, 1}, // 207 unreadable: message 300
        {"no-blocks", "", 0, 1},                                // no 206: message 310
    };
    for (const Case& c : cases) {
        g_hInstance = Fixture(c.fixture);
        host::ClearMessageBoxes();
        WString path = FromUtf8(dir_ + "/" + c.fixture + ".txt");
        const PatchListReport report = WritePatchList(path);
        EXPECT_TRUE(report.opened) << c.fixture;
        EXPECT_EQ(report.entriesAppended, c.entries) << c.fixture;
        EXPECT_EQ(Read(ToUtf8(path)), c.expected) << c.fixture;
        EXPECT_EQ(host::MessageBoxes().size(), c.boxes) << c.fixture;
    }
    g_hInstance = Fixture("no-blocks");
    host::ClearMessageBoxes();
    WString path = FromUtf8(dir_ + "/no-blocks.txt");
    WritePatchList(path);
    ASSERT_EQ(host::MessageBoxes().size(), 1u);
    EXPECT_EQ(host::MessageBoxes()[0].text, u"no list");
}

} // namespace
