#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::ClearMessageBoxes();
        transcript_ = ::testing::TempDir() + "transcript-" + std::to_string(getpid()) + ".txt";
        std::remove(transcript_.c_str());
        setenv("SP_HOST_TRANSCRIPT", transcript_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("SP_HOST_TRANSCRIPT");
        std::remove(transcript_.c_str());
        win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
    }
    std::string Transcript() const {
        std::ifstream in(transcript_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string transcript_;
};

TEST_F(MessageBoxTest, RecordsEachBoxInProcessAndInTheTranscript) {
    constexpr win::UINT kError = win::MB_OK | win::MB_ICONERROR | win::MB_SETFOREGROUND |
                                 win::MB_TOPMOST;
    ASSERT_TRUE(win::SetThreadLocale(1041));
    win::SetLastError(1603);
    EXPECT_EQ(win::MessageBoxW(nullptr, u"\u5931\u6557\n\nError\tCode: 1603 C:\\x",
                               u"Installation Error", kError),
              1);
    EXPECT_EQ(win::GetLastError(), 1603u) << "a box leaves the last error alone";
    win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
    win::MessageBoxW(nullptr, u"done", u"Installation Successful", win::MB_ICONINFORMATION);
    host::RecordExitCode(3010);

    const auto boxes = host::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, u"Installation Error");
    EXPECT_EQ(boxes[0].text, u"\u5931\u6557\n\nError\tCode: 1603 C:\\x");
    EXPECT_EQ(boxes[0].flags, kError);
    EXPECT_EQ(boxes[0].threadLocale, 1041u);
    EXPECT_EQ(boxes[1].threadLocale, host::UserDefaultLocale());

    EXPECT_EQ(Transcript(),
              "box\t00050010\t1041\tInstallation Error\t\xe5\xa4\xb1\xe6\x95\x97\\n\\nError\\tCode: "
              "1603 C:\\\\x\n"
              "box\t00000040\t1033\tInstallation Successful\tdone\n"
              "exit\t3010\n");

    host::ClearMessageBoxes();
    EXPECT_TRUE(host::MessageBoxes().empty());
}

TEST_F(MessageBoxTest, NoTranscriptWithoutTheVariable) {
    unsetenv("SP_HOST_TRANSCRIPT");
    win::MessageBoxW(nullptr, u"text", u"caption", win::MB_OK);
    EXPECT_EQ(access(transcript_.c_str(), F_OK), -1);
    EXPECT_EQ(host::MessageBoxes().size(), 1u);
}

} // namespace
