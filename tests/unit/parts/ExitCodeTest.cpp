#include <gtest/gtest.h>

#include "apply/InstallPatch.h"
#include "launcher/ExitCode.h"

namespace {

win::DWORD Combine(std::initializer_list<win::DWORD> codes) {
    ExitCode exitCode;
    for (win::DWORD code : codes)
        exitCode.Record(code);
    return exitCode.value();
}

TEST(ExitCode, TheMostSeriousOutcomeWins) {
    EXPECT_EQ(Combine({}), 0u);
    EXPECT_EQ(Combine({0, 0}), 0u);
    EXPECT_EQ(Combine({0, 3010, 0}), 3010u);
    EXPECT_EQ(Combine({3010, 1641}), 1641u);
    EXPECT_EQ(Combine({1641, 3010}), 1641u);
    EXPECT_EQ(Combine({1641, 1642, 3010}), 1642u);
    EXPECT_EQ(Combine({1642, 1618, 0}), 1618u);
    EXPECT_EQ(Combine({1618, 1603, 1642}), 1618u); // the first failure stands
}

TEST(ExitCode, DefaultRunOutcomes) {
    InstallReport early;
    early.failedBeforeLoop = true;
    EXPECT_EQ(InstallExitCode(early), 1603u);

    InstallReport none;
    none.noTargetPresent = true;
    EXPECT_EQ(InstallExitCode(none), 1642u);

    InstallReport mixed;
    mixed.unsupportedVersion = true;
    mixed.installerResults = {0, 3010};
    EXPECT_EQ(InstallExitCode(mixed), 1642u);

    InstallReport restart;
    restart.installerResults = {0, 3010};
    EXPECT_EQ(InstallExitCode(restart), 3010u);

    InstallReport failed;
    failed.installerResults = {1618, 0};
    failed.unsupportedVersion = true;
    EXPECT_EQ(InstallExitCode(failed), 1618u);
}

} // namespace
