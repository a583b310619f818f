#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

TEST(LastError, IsPerThread) {
    win::SetLastError(1605);
    win::DWORD seen = 99;
    std::thread([&] {
        seen = win::GetLastError();
        win::SetLastError(5);
    }).join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(win::GetLastError(), 1605u);
}

TEST(ThreadLocale, AcceptsLocalesAndRejectsWhatNamesNone) {
    struct Case {
        win::LCID locale;
        bool accepted;
    };
    const Case cases[] = {
        {1041, true}, {1043, true}, {0x00010407, true}, // German, phone book sort
        {0, false}, {0x00050000, false},                 // no language id
        {0x00100409, false}, {0x80000409, false},        // bits above the sort id
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(win::SetThreadLocale(1049));
        win::SetLastError(0);
        EXPECT_EQ(win::SetThreadLocale(c.locale) != 0, c.accepted) << c.locale;
        EXPECT_EQ(win::GetThreadLocale(), c.accepted ? c.locale : 1049u) << c.locale;
        EXPECT_EQ(win::GetLastError(), c.accepted ? 0u : win::ERROR_INVALID_PARAMETER);
    }
    win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
}

TEST(ThreadLocale, ThreadsStartAtTheUserDefault) {
    setenv("SP_HOST_USER_LOCALE", "1046", 1);
    EXPECT_EQ(host::UserDefaultLocale(), 1046u);
    win::LCID seen = 0;
    std::thread([&] { seen = win::GetThreadLocale(); }).join();
    EXPECT_EQ(seen, 1046u);

    ASSERT_TRUE(win::SetThreadLocale(1041));
    ASSERT_TRUE(win::SetThreadLocale(win::LOCALE_USER_DEFAULT));
    EXPECT_EQ(win::GetThreadLocale(), 1046u);

    setenv("SP_HOST_USER_LOCALE", "not a number", 1);
    EXPECT_EQ(host::UserDefaultLocale(), 1033u);
    unsetenv("SP_HOST_USER_LOCALE");
    EXPECT_EQ(host::UserDefaultLocale(), 1033u);
    win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
}

} // namespace
