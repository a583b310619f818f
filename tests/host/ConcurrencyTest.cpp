// Many runs appending to one patch-list file at once: every entry in the file is complete, and
// there are as many as runs that reported success.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "HostRun.h"

namespace {

TEST(PatchListConcurrency, EveryEntryIsCompleteAndCounted) {
    constexpr int kRuns = 24;
    SimulatedMachine machine;
    const std::string list = machine.workDir() + "/list.txt";
    std::vector<pid_t> children;
    for (int i = 0; i < kRuns; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int code = 2;
            try {
                const RunResult run = machine.run({"/q", "/p", "list.txt"});
                code = run.exitCode == 0 ? 0 : run.exitCode == 1603 ? 1 : 2;
            } catch (...) {
            }
            _exit(code); // no destructors: the machine belongs to the parent
        }
        children.push_back(pid);
    }
    int succeeded = 0, refused = 0;
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        const int code = WEXITSTATUS(status);
        ASSERT_NE(code, 2) << "a run ended neither in success nor in refusal";
        (code == 0 ? succeeded : refused)++;
    }
    const std::string entry = "*****\r\n" + SimulatedMachine::Read(SP_PATCH_INFO) + "\r\n";
    std::string expected;
    for (int i = 0; i < succeeded; ++i)
        expected += entry;
    EXPECT_EQ(SimulatedMachine::Read(list), expected);
    EXPECT_GT(succeeded, 0);
    std::printf("%d runs appended, %d were refused the shared file\n", succeeded, refused);
}

} // namespace
