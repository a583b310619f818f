#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "platform/Platform.h"

namespace {

using win::HANDLE;

constexpr win::DWORD R = win::GENERIC_READ;
constexpr win::DWORD W = win::GENERIC_WRITE;
constexpr win::DWORD D = win::DELETE;
constexpr win::DWORD SR = win::FILE_SHARE_READ;
constexpr win::DWORD SW = win::FILE_SHARE_WRITE;
constexpr win::DWORD SD = win::FILE_SHARE_DELETE;

class ShareModeTest : public TempFolderTest {
  protected:
    HANDLE Open(win::DWORD access, win::DWORD share, win::DWORD disposition = win::OPEN_EXISTING) {
        return win::CreateFileW(WidePath("list.txt").c_str(), access, share, nullptr, disposition,
                                win::FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // 0 when the second open succeeds beside the first, else its error.
    win::DWORD SecondOpen(win::DWORD access, win::DWORD share,
                          win::DWORD disposition = win::OPEN_EXISTING) {
        const HANDLE file = Open(access, share, disposition);
        if (file == win::INVALID_HANDLE_VALUE)
            return win::GetLastError();
        win::CloseHandle(file);
        return 0;
    }
};

TEST_F(ShareModeTest, SecondHandleMustFitTheFirst) {
    struct Case {
        win::DWORD firstAccess, firstShare, secondAccess, secondShare;
        bool opens;
    };
    const Case cases[] = {
        {R, SR, R, SR, true},
        {R, SR, W, SR | SW, false},          // the first denies writing
        {W, SR | SW, R, SR, false},          // the second denies the first's writing
        {R, SR | SW, W, SR | SW, true},
        {W, 0, R, SR | SW | SD, false},      // the first denies everything
        {R, SR | SW | SD, D, SR | SW | SD, true},
        {R, SR | SW, D, SR | SW | SD, false}, // the first denies deleting
        {D, SR | SW | SD, R, SR | SW, false}, // the second denies the first's delete access
        {0, 0, R, SR | SW | SD, false},       // no access still denies
        {0, SR | SW | SD, W, 0, true},
    };
    for (const Case& c : cases) {
        Write("list.txt", "x");
        const HANDLE first = Open(c.firstAccess, c.firstShare);
        ASSERT_NE(first, win::INVALID_HANDLE_VALUE);
        const win::DWORD error = SecondOpen(c.secondAccess, c.secondShare);
        EXPECT_EQ(error, c.opens ? 0u : win::ERROR_SHARING_VIOLATION)
            << std::hex << c.firstAccess << "/" << c.firstShare << " then " << c.secondAccess
            << "/" << c.secondShare;
        win::CloseHandle(first);
        EXPECT_EQ(SecondOpen(c.secondAccess, c.secondShare), 0u) << "free once closed";
    }
}

TEST_F(ShareModeTest, CreateAlwaysChecksSharingBeforeTruncating) {
    Write("list.txt", "precious");
    const HANDLE reader = Open(R, SR);
    ASSERT_NE(reader, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(SecondOpen(W, SR, win::CREATE_ALWAYS), win::ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Read("list.txt"), "precious");
    win::CloseHandle(reader);
}

TEST_F(ShareModeTest, DeleteAndMoveWaitForDeleteSharing) {
    Write("list.txt", "x");
    const HANDLE file = Open(R, SR | SW);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    EXPECT_FALSE(win::DeleteFileW(WidePath("list.txt").c_str()));
    EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(win::MoveFileExW(WidePath("list.txt").c_str(), WidePath("moved").c_str(), 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(Exists("list.txt"));
    win::CloseHandle(file);

    const HANDLE sharing = Open(R, SR | SW | SD);
    ASSERT_NE(sharing, win::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(win::DeleteFileW(WidePath("list.txt").c_str()));
    EXPECT_FALSE(Exists("list.txt"));
    win::CloseHandle(sharing);
}

// Runs `body` in a child process and gives back its exit status (the body's result).
int InChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ShareModeTest, HandlesConflictAcrossProcesses) {
    Write("list.txt", "x");
    // This process writes the list and lets others read it only.
    const HANDLE writer = Open(W, SR, win::OPEN_ALWAYS);
    ASSERT_NE(writer, win::INVALID_HANDLE_VALUE);
    const auto childOpen = [this](win::DWORD access, win::DWORD share) {
        return InChild([=] { return static_cast<int>(SecondOpen(access, share)); });
    };
    EXPECT_EQ(childOpen(W, SR), static_cast<int>(win::ERROR_SHARING_VIOLATION));
    EXPECT_EQ(childOpen(R, SR), static_cast<int>(win::ERROR_SHARING_VIOLATION))
        << "the child denies the writing this process does";
    EXPECT_EQ(childOpen(R, SR | SW), 0);
    EXPECT_EQ(InChild([this] { return win::DeleteFileW(WidePath("list.txt").c_str()) ? 0 : 1; }),
              1);
    win::CloseHandle(writer);
    EXPECT_EQ(childOpen(W, SR), 0);

    // A child that dies holding a handle leaves nothing behind.
    EXPECT_EQ(InChild([this] { return Open(W, 0) == win::INVALID_HANDLE_VALUE ? 1 : 0; }), 0);
    EXPECT_EQ(SecondOpen(W, 0), 0u);
}

} // namespace
