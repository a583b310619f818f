#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/Faults.h"
#include "platform/host/HostPlatform.h"

namespace {

TEST(Faults, FireOnceOnTheCountedCall) {
    host::ClearFaults();
    host::InjectFault(host::Call::LoadResource, 8, 2);
    host::InjectFault(host::Call::CreateFile, 5);
    win::DWORD error = 0;
    EXPECT_FALSE(host::TakeFault(host::Call::LoadResource, error));
    EXPECT_FALSE(host::TakeFault(host::Call::LoadResource, error));
    EXPECT_TRUE(host::TakeFault(host::Call::LoadResource, error));
    EXPECT_EQ(error, 8u);
    EXPECT_FALSE(host::TakeFault(host::Call::LoadResource, error)) << "once only";
    EXPECT_TRUE(host::TakeFault(host::Call::CreateFile, error));
    EXPECT_EQ(error, 5u);

    host::InjectFault(host::Call::GenRandom, 31);
    host::ClearFaults();
    EXPECT_FALSE(host::TakeFault(host::Call::GenRandom, error));
}

TEST(Faults, InjectedIntoResourceCalls) {
    host::ClearFaults();
    const win::HMODULE module = host::MainModule();
    host::InjectFault(host::Call::FindResource, win::ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(win::FindResourceExW(module, u"MSP", u"IDR_MSP", 1046), nullptr);
    EXPECT_EQ(win::GetLastError(), win::ERROR_NOT_ENOUGH_MEMORY);
    const win::HRSRC resource = win::FindResourceExW(module, u"MSP", u"IDR_MSP", 1046);
    ASSERT_NE(resource, nullptr);

    host::InjectFault(host::Call::LockResource, 1812, 1);
    const win::HGLOBAL data = win::LoadResource(module, resource);
    EXPECT_NE(win::LockResource(data), nullptr);
    EXPECT_EQ(win::LockResource(data), nullptr);
    EXPECT_EQ(win::GetLastError(), 1812u);
}

TEST(Faults, CallNamesRoundTrip) {
    for (host::Call call : {host::Call::GetTempPath, host::Call::MoveFile,
                            host::Call::MsiConfigureProduct}) {
        EXPECT_EQ(host::CallFromName(host::CallName(call)), call);
    }
    EXPECT_FALSE(host::CallFromName("createfile").has_value());
}

// Runs in a process of its own that FaultsFromTheEnvironment starts with SP_HOST_FAULT set.
TEST(Faults, EnvironmentChild) {
    if (std::getenv("SP_HOST_FAULT") == nullptr)
        GTEST_SKIP() << "only as the child of Faults.FromTheEnvironment";
    unsigned char bytes[4];
    EXPECT_TRUE(win::GenRandom(bytes, sizeof bytes));
    EXPECT_FALSE(win::GenRandom(bytes, sizeof bytes));
    EXPECT_EQ(win::GetLastError(), 31u);
    EXPECT_TRUE(win::GenRandom(bytes, sizeof bytes));
    EXPECT_EQ(win::FindResourceExW(host::MainModule(), u"MSP", u"IDR_MSP", 1046), nullptr);
    EXPECT_EQ(win::GetLastError(), 1814u);
}

TEST(Faults, FromTheEnvironment) {
    const std::string log = ::testing::TempDir() + "faults-" + std::to_string(getpid()) + ".log";
    const pid_t child = fork();
    if (child == 0) {
        setenv("SP_HOST_FAULT", "GenRandom:1:31,NoSuchCall:0:1,FindResource:0:1814,GenRandom:x:1",
               1);
        if (freopen(log.c_str(), "w", stderr) == nullptr)
            _exit(100);
        execl("/proc/self/exe", "platform_tests", "--gtest_filter=Faults.EnvironmentChild",
              static_cast<char*>(nullptr));
        _exit(101);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::ifstream in(log);
    const std::string messages((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::remove(log.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << messages;
    EXPECT_NE(messages.find("entry 2 \"NoSuchCall:0:1\" ignored: unknown call name"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("entry 4 \"GenRandom:x:1\" ignored"), std::string::npos) << messages;
}

} // namespace
