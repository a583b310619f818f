#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"
#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

using win::HANDLE;

constexpr win::DWORD kReadWrite = win::GENERIC_READ | win::GENERIC_WRITE;

class FilesTest : public TempFolderTest {
  protected:
    HANDLE Open(const std::string& name, win::DWORD access, win::DWORD disposition,
                win::DWORD share = win::FILE_SHARE_READ) {
        return win::CreateFileW(WidePath(name).c_str(), access, share, nullptr, disposition,
                                win::FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // The error CreateFileW fails with, or 0 when it opened (the handle is closed again).
    win::DWORD OpenError(const std::string& name, win::DWORD access, win::DWORD disposition) {
        win::SetLastError(0);
        const HANDLE file = Open(name, access, disposition);
        if (file == win::INVALID_HANDLE_VALUE)
            return win::GetLastError();
        win::CloseHandle(file);
        return 0;
    }
};

TEST_F(FilesTest, CreateNewNeverFollowsWhatIsThere) {
    Write("existing", "keep");
    ASSERT_EQ(symlink(Path("existing").c_str(), Path("link").c_str()), 0);
    ASSERT_EQ(symlink(Path("nowhere").c_str(), Path("dangling").c_str()), 0);
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);

    EXPECT_EQ(OpenError("existing", win::GENERIC_WRITE, win::CREATE_NEW), win::ERROR_FILE_EXISTS);
    EXPECT_EQ(OpenError("link", win::GENERIC_WRITE, win::CREATE_NEW), win::ERROR_FILE_EXISTS);
    EXPECT_EQ(OpenError("dangling", win::GENERIC_WRITE, win::CREATE_NEW),
              win::ERROR_FILE_EXISTS);
    EXPECT_EQ(OpenError("folder", win::GENERIC_WRITE, win::CREATE_NEW), win::ERROR_FILE_EXISTS);
    EXPECT_EQ(Read("existing"), "keep");
    EXPECT_FALSE(Exists("nowhere")) << "the dangling link's target was not made";

    EXPECT_EQ(OpenError("fresh", win::GENERIC_WRITE, win::CREATE_NEW), 0u);
    EXPECT_TRUE(Exists("fresh"));
}

TEST_F(FilesTest, OpenErrorsAsWindowsGivesThem) {
    Write("file", "x");
    Write("readonly", "x");
    ASSERT_EQ(chmod(Path("readonly").c_str(), 0444), 0);
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
    struct Case {
        const char* name;
        win::DWORD access;
        win::DWORD disposition;
        win::DWORD error;
    };
    const Case cases[] = {
        {"missing", win::GENERIC_READ, win::OPEN_EXISTING, win::ERROR_FILE_NOT_FOUND},
        {"no/such/folder", win::GENERIC_READ, win::OPEN_EXISTING, win::ERROR_PATH_NOT_FOUND},
        {"no/file", win::GENERIC_WRITE, win::CREATE_NEW, win::ERROR_PATH_NOT_FOUND},
        {"file/below", win::GENERIC_READ, win::OPEN_EXISTING, win::ERROR_PATH_NOT_FOUND},
        {"folder", win::GENERIC_READ, win::OPEN_EXISTING, win::ERROR_ACCESS_DENIED},
        {"folder", win::GENERIC_WRITE, win::OPEN_ALWAYS, win::ERROR_ACCESS_DENIED},
        {"readonly", win::GENERIC_WRITE, win::OPEN_EXISTING, win::ERROR_ACCESS_DENIED},
        {"readonly", win::GENERIC_READ, win::CREATE_ALWAYS, win::ERROR_ACCESS_DENIED},
        {"readonly", win::GENERIC_READ, win::OPEN_EXISTING, 0},
        {"file", kReadWrite | win::DELETE, win::OPEN_EXISTING, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenError(c.name, c.access, c.disposition), c.error) << c.name;
    EXPECT_EQ(Read("readonly"), "x");
}

TEST_F(FilesTest, AlwaysDispositionsSayWhetherTheFileExisted) {
    Write("old", "old contents");
    for (win::DWORD disposition : {win::OPEN_ALWAYS, win::CREATE_ALWAYS}) {
        const std::string fresh = "new" + std::to_string(disposition);
        win::SetLastError(99);
        HANDLE file = Open(fresh, win::GENERIC_WRITE, disposition);
        ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
        EXPECT_EQ(win::GetLastError(), 0u);
        win::CloseHandle(file);

        file = Open("old", win::GENERIC_WRITE, disposition);
        ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
        EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
        win::CloseHandle(file);
        EXPECT_EQ(Read("old"), disposition == win::CREATE_ALWAYS ? "" : "old contents");
    }
}

TEST_F(FilesTest, WriteSeekCutAndReadBack) {
    HANDLE file = Open("out", kReadWrite, win::CREATE_NEW);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    win::SetLastError(1234);
    win::DWORD written = 0;
    ASSERT_TRUE(win::WriteFile(file, "hello world", 11, &written, nullptr));
    EXPECT_EQ(written, 11u);
    win::LONGLONG position = -1;
    ASSERT_TRUE(win::SetFilePointerEx(file, -6, &position, win::FILE_END));
    EXPECT_EQ(position, 5);
    ASSERT_TRUE(win::SetEndOfFile(file));
    ASSERT_TRUE(win::SetFilePointerEx(file, 0, &position, win::FILE_END));
    ASSERT_TRUE(win::WriteFile(file, "!", 1, &written, nullptr));
    EXPECT_TRUE(win::FlushFileBuffers(file));
    ASSERT_TRUE(win::SetFilePointerEx(file, 0, nullptr, win::FILE_BEGIN));
    char back[16] = {};
    win::DWORD read = 0;
    ASSERT_TRUE(win::ReadFile(file, back, sizeof back, &read, nullptr));
    EXPECT_EQ(std::string(back, read), "hello!");
    ASSERT_TRUE(win::ReadFile(file, back, sizeof back, &read, nullptr));
    EXPECT_EQ(read, 0u) << "at the end: success with nothing read";
    EXPECT_EQ(win::GetLastError(), 1234u) << "success leaves the last error alone";

    EXPECT_FALSE(win::SetFilePointerEx(file, -100, &position, win::FILE_BEGIN));
    EXPECT_FALSE(win::SetFilePointerEx(file, 0, &position, 7));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(win::CloseHandle(file));
    EXPECT_EQ(Read("out"), "hello!");

    EXPECT_FALSE(win::CloseHandle(file)) << "closed twice";
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
    EXPECT_FALSE(win::WriteFile(win::INVALID_HANDLE_VALUE, "x", 1, &written, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

TEST_F(FilesTest, WriteNeedsWriteAccessAndReportsAFullDisk) {
    Write("in", "abc");
    HANDLE file = Open("in", win::GENERIC_READ, win::OPEN_EXISTING);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    win::DWORD written = 7;
    EXPECT_FALSE(win::WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(win::SetEndOfFile(file));
    win::CloseHandle(file);
    EXPECT_EQ(Read("in"), "abc");

    file = Open("in", win::GENERIC_WRITE, win::OPEN_EXISTING);
    char buffer[4];
    win::DWORD read = 9;
    EXPECT_FALSE(win::ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(read, 0u);
    win::CloseHandle(file);

    file = win::CreateFileW(u"/dev/full", win::GENERIC_WRITE, win::FILE_SHARE_READ |
                            win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    EXPECT_FALSE(win::WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_DISK_FULL);
    win::CloseHandle(file);
}

TEST_F(FilesTest, InjectedWriteFaultIsAShortWrite) {
    host::ClearFaults();
    HANDLE file = Open("out", win::GENERIC_WRITE, win::CREATE_NEW);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    host::InjectFault(host::Call::WriteFile, win::ERROR_DISK_FULL, 1);
    win::DWORD written = 0;
    EXPECT_TRUE(win::WriteFile(file, "0123", 4, &written, nullptr));
    EXPECT_FALSE(win::WriteFile(file, "456789", 6, &written, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_DISK_FULL);
    EXPECT_EQ(written, 3u);
    win::CloseHandle(file);
    EXPECT_EQ(Read("out"), "0123456");

    host::InjectFault(host::Call::CreateFile, win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenError("other", win::GENERIC_WRITE, win::CREATE_NEW), win::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Exists("other"));
}

TEST_F(FilesTest, DeleteFileErrors) {
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
    Write("readonly", "x");
    ASSERT_EQ(chmod(Path("readonly").c_str(), 0444), 0);
    ASSERT_EQ(symlink(Path("nowhere").c_str(), Path("dangling").c_str()), 0);
    struct Case {
        const char* name;
        win::DWORD error;
    };
    const Case cases[] = {
        {"missing", win::ERROR_FILE_NOT_FOUND},  {"no/such", win::ERROR_PATH_NOT_FOUND},
        {"folder", win::ERROR_ACCESS_DENIED},    {"readonly", win::ERROR_ACCESS_DENIED},
        {"dangling", 0},
    };
    for (const Case& c : cases) {
        win::SetLastError(0);
        EXPECT_EQ(win::DeleteFileW(WidePath(c.name).c_str()) != 0, c.error == 0) << c.name;
        EXPECT_EQ(win::GetLastError(), c.error) << c.name;
    }
    EXPECT_FALSE(Exists("dangling"));
}

TEST_F(FilesTest, MoveFileReplacesOnlyWhenAsked) {
    Write("a", "A");
    Write("b", "B");
    EXPECT_FALSE(win::MoveFileExW(WidePath("a").c_str(), WidePath("b").c_str(), 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Read("b"), "B");

    EXPECT_TRUE(win::MoveFileExW(WidePath("a").c_str(), WidePath("b").c_str(),
                                 win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Read("b"), "A");
    EXPECT_FALSE(Exists("a"));

    EXPECT_TRUE(win::MoveFileExW(WidePath("b").c_str(), WidePath("c").c_str(), 0));
    EXPECT_FALSE(win::MoveFileExW(WidePath("b").c_str(), WidePath("d").c_str(), 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(win::MoveFileExW(WidePath("c").c_str(), WidePath("no/d").c_str(), 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Read("c"), "A");
}

TEST(GenRandom, FillsTheBufferOrFailsWhenInjected) {
    host::ClearFaults();
    unsigned char a[64] = {};
    unsigned char b[64] = {};
    ASSERT_TRUE(win::GenRandom(a, sizeof a));
    ASSERT_TRUE(win::GenRandom(b, sizeof b));
    EXPECT_NE(std::string(a, a + 64), std::string(b, b + 64));
    host::InjectFault(host::Call::GenRandom, 31);
    EXPECT_FALSE(win::GenRandom(a, sizeof a));
    EXPECT_EQ(win::GetLastError(), 31u);
}

} // namespace
