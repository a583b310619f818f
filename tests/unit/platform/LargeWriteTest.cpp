// Writing bytes that lie in the executable's own file (the patch package): copied by the
// kernel, with the same results as any write, a short write included.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/Platform.h"
#include "platform/host/Faults.h"

extern "C" const unsigned char sp_large_bytes[];
extern "C" const unsigned char sp_large_bytes_end[];

namespace {

class LargeWriteTest : public TempFolderTest {};

TEST_F(LargeWriteTest, BytesOfTheExecutableAreWrittenWholeAtThePosition) {
    const auto size = static_cast<win::DWORD>(sp_large_bytes_end - sp_large_bytes);
    const std::string expected(reinterpret_cast<const char*>(sp_large_bytes), size);
    const WString path = WidePath("package.msp");
    win::HANDLE file = win::CreateFileW(path.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                        win::CREATE_NEW, win::FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    win::DWORD written = 0;
    ASSERT_NE(win::WriteFile(file, "head", 4, &written, nullptr), 0);
    ASSERT_NE(win::WriteFile(file, sp_large_bytes, size, &written, nullptr), 0);
    EXPECT_EQ(written, size);
    ASSERT_NE(win::WriteFile(file, sp_large_bytes, size, &written, nullptr), 0);
    win::CloseHandle(file);
    EXPECT_EQ(Read("package.msp"), "head" + expected + expected);
}

TEST_F(LargeWriteTest, AnInjectedFaultIsStillAShortWrite) {
    const auto size = static_cast<win::DWORD>(sp_large_bytes_end - sp_large_bytes);
    const WString path = WidePath("short.msp");
    win::HANDLE file = win::CreateFileW(path.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                        win::CREATE_NEW, win::FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    host::InjectFault(host::Call::WriteFile, win::ERROR_DISK_FULL);
    win::DWORD written = 0;
    EXPECT_EQ(win::WriteFile(file, sp_large_bytes, size, &written, nullptr), 0);
    EXPECT_EQ(win::GetLastError(), win::ERROR_DISK_FULL);
    EXPECT_EQ(written, size / 2);
    win::CloseHandle(file);
    EXPECT_EQ(Read("short.msp").size(), size / 2);
}

} // namespace
