#include <gtest/gtest.h>

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

} // namespace
