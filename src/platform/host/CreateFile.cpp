// CreateFileW over open(2), with Windows dispositions, errors and share modes (ShareLocks.h).
//
// Descriptors are opened read-write when the file allows it, whatever access was asked for:
// the share-mode guard needs a writable descriptor to be exclusive, and the access the caller
// asked for is kept in the handle and checked by each call. A file without any write
// permission bit behaves like a Windows read-only file: opening it for writing, or with
// CREATE_ALWAYS, fails with ERROR_ACCESS_DENIED (also for root).
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/ErrnoMap.h"
#include "platform/host/Faults.h"
#include "platform/host/FileHandle.h"
#include "platform/host/ShareLocks.h"

namespace {

constexpr mode_t kNewFileMode = 0666; // less the umask, as for any new file
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr int kCommonFlags = O_CLOEXEC | O_NOCTTY;

win::HANDLE Fail(win::DWORD error) {
    win::SetLastError(error);
    return win::INVALID_HANDLE_VALUE;
}

unsigned RightsOf(win::DWORD access) {
    unsigned rights = 0;
    if ((access & win::GENERIC_READ) != 0)
        rights |= host::kRightRead;
    if ((access & win::GENERIC_WRITE) != 0)
        rights |= host::kRightWrite;
    if ((access & win::DELETE) != 0)
        rights |= host::kRightDelete;
    return rights;
}

bool FallsBackToNarrowerMode(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY ||
           error == EISDIR;
}

// Opens an existing name (following links); read-write when possible, else what was asked.
int OpenExisting(const std::string& path, win::DWORD access, int extraFlags, bool& writable) {
    writable = true;
    int fd = open(path.c_str(), O_RDWR | kCommonFlags | extraFlags, kNewFileMode);
    if (fd >= 0 || !FallsBackToNarrowerMode(errno))
        return fd;
    const int firstError = errno;
    const bool wantsRead = (access & win::GENERIC_READ) != 0;
    const bool wantsWrite = (access & win::GENERIC_WRITE) != 0;
    if (wantsRead && wantsWrite) {
        errno = firstError;
        return -1;
    }
    writable = wantsWrite;
    return open(path.c_str(), (wantsWrite ? O_WRONLY : O_RDONLY) | kCommonFlags | extraFlags,
                kNewFileMode);
}

struct Opened {
    int fd = -1;
    bool writable = false;
    bool existed = false;
};

// Opens per the disposition; on failure returns fd -1 with errno set.
Opened OpenForDisposition(const std::string& path, win::DWORD access, win::DWORD disposition) {
    Opened opened;
    if (disposition == win::OPEN_EXISTING) {
        opened.fd = OpenExisting(path, access, 0, opened.writable);
        opened.existed = true;
        return opened;
    }
    // CREATE_NEW, OPEN_ALWAYS, CREATE_ALWAYS: an exclusive create first, which never follows a
    // link, so an existing name of any kind (also a dangling link) is seen as existing.
    opened.fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kCommonFlags, kNewFileMode);
    opened.writable = true;
    if (opened.fd >= 0 || errno != EEXIST || disposition == win::CREATE_NEW)
        return opened;
    opened.existed = true;
    // O_CREAT without O_EXCL: a link whose target has gone is followed and the target made.
    opened.fd = OpenExisting(path, access, O_CREAT, opened.writable);
    return opened;
}

} // namespace

namespace win {

HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD shareMode, void*, DWORD disposition,
                   DWORD, HANDLE) {
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::CreateFile, injected))
        return Fail(injected);
    if (path == nullptr || disposition < CREATE_NEW || disposition > OPEN_ALWAYS ||
        (shareMode & ~host::kAllRights) != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string name = ToUtf8(path);
    if (name.empty())
        return Fail(ERROR_PATH_NOT_FOUND);

    const Opened opened = OpenForDisposition(name, access, disposition);
    if (opened.fd < 0)
        return Fail(host::ErrorForPath(errno, name));
    struct stat info {};
    DWORD error = ERROR_SUCCESS;
    if (fstat(opened.fd, &info) != 0)
        error = host::ErrorForPath(errno, name);
    else if (S_ISDIR(info.st_mode))
        error = ERROR_ACCESS_DENIED;
    else if (opened.existed && (info.st_mode & kAnyWriteBit) == 0 &&
             ((access & GENERIC_WRITE) != 0 || disposition == CREATE_ALWAYS))
        error = ERROR_ACCESS_DENIED;

    const unsigned has = RightsOf(access);
    const unsigned denies = host::kAllRights & ~shareMode;
    if (error == ERROR_SUCCESS) {
        host::ShareGuard guard(opened.fd, opened.writable);
        if (host::OthersDeny(opened.fd, has) || host::OthersHave(opened.fd, denies))
            error = ERROR_SHARING_VIOLATION;
        else if (!host::TakeShareLocks(opened.fd, has, denies))
            error = host::kErrorGenFailure;
        // Only once sharing allows it may CREATE_ALWAYS destroy the old contents.
        else if (disposition == CREATE_ALWAYS && opened.existed && ftruncate(opened.fd, 0) != 0)
            error = host::ErrorForPath(errno, name);
    }
    if (error != ERROR_SUCCESS) {
        close(opened.fd);
        return Fail(error);
    }

    if (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS)
        SetLastError(opened.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    auto* file = new host::FileObject{opened.fd, access, name};
    return host::RegisterFile(file);
}

} // namespace win
