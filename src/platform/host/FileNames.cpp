// DeleteFileW and MoveFileExW: unlink and rename, refused (ERROR_SHARING_VIOLATION) while a
// handle on the file is open without FILE_SHARE_DELETE, as Windows does (ShareLocks.h).
// A file without any write permission bit is read-only, as in CreateFile.cpp: it can be
// neither deleted nor replaced (ERROR_ACCESS_DENIED).
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/ErrnoMap.h"
#include "platform/host/Faults.h"
#include "platform/host/ShareLocks.h"

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

win::BOOL Fail(win::DWORD error) {
    win::SetLastError(error);
    return 0;
}

// A descriptor of a regular file (not following a last link) to look at its share locks;
// -1 when there is none to look at (a link, or a file this process may not open).
class LockProbe {
  public:
    explicit LockProbe(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        writable_ = fd_ >= 0;
        if (fd_ < 0)
            fd_ = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    }
    ~LockProbe() {
        if (fd_ >= 0)
            close(fd_);
    }
    LockProbe(const LockProbe&) = delete;
    LockProbe& operator=(const LockProbe&) = delete;
    int fd() const { return fd_; }
    bool writable() const { return writable_; }

  private:
    int fd_ = -1;
    bool writable_ = false;
};

// What stops the name from being deleted or replaced, as a Windows error; 0 for nothing.
win::DWORD DeleteBlocker(const struct stat& info, const LockProbe& probe,
                         win::DWORD sharingError) {
    if (S_ISDIR(info.st_mode))
        return win::ERROR_ACCESS_DENIED;
    if (!S_ISREG(info.st_mode))
        return win::ERROR_SUCCESS; // a link is removed itself, whatever it points to
    if ((info.st_mode & kAnyWriteBit) == 0)
        return win::ERROR_ACCESS_DENIED;
    if (probe.fd() >= 0 && host::OthersDeny(probe.fd(), host::kRightDelete))
        return sharingError;
    return win::ERROR_SUCCESS;
}

void SyncFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

namespace win {

BOOL DeleteFileW(const WCHAR* path) {
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::DeleteFile, injected))
        return Fail(injected);
    if (path == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string name = ToUtf8(path);
    struct stat info {};
    if (name.empty() || lstat(name.c_str(), &info) != 0)
        return Fail(name.empty() ? ERROR_PATH_NOT_FOUND : host::ErrorForPath(errno, name));

    const LockProbe probe(S_ISREG(info.st_mode) ? name : std::string());
    // Held across the unlink so that no handle without delete sharing opens in between.
    const host::ShareGuard guard(probe.fd(), probe.writable());
    if (const DWORD blocker = DeleteBlocker(info, probe, ERROR_SHARING_VIOLATION))
        return Fail(blocker);
    if (unlink(name.c_str()) != 0)
        return Fail(host::ErrorForPath(errno, name));
    return 1;
}

BOOL MoveFileExW(const WCHAR* from, const WCHAR* to, DWORD flags) {
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::MoveFile, injected))
        return Fail(injected);
    if (from == nullptr || to == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string source = ToUtf8(from);
    const std::string target = ToUtf8(to);
    struct stat info {};
    if (source.empty() || lstat(source.c_str(), &info) != 0)
        return Fail(source.empty() ? ERROR_PATH_NOT_FOUND : host::ErrorForPath(errno, source));

    const LockProbe sourceProbe(S_ISREG(info.st_mode) ? source : std::string());
    const host::ShareGuard sourceGuard(sourceProbe.fd(), sourceProbe.writable());
    if (sourceProbe.fd() >= 0 && host::OthersDeny(sourceProbe.fd(), host::kRightDelete))
        return Fail(ERROR_SHARING_VIOLATION);

    const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
    struct stat targetInfo {};
    const bool targetExists = lstat(target.c_str(), &targetInfo) == 0;
    if (targetExists && !replace)
        return Fail(ERROR_ALREADY_EXISTS);
    // The target is looked at without its guard: holding two guards could deadlock against a
    // move the other way round (OFD locks have no deadlock detection).
    const bool sameFile = targetExists && targetInfo.st_dev == info.st_dev &&
                          targetInfo.st_ino == info.st_ino;
    if (targetExists && !sameFile) {
        const LockProbe targetProbe(S_ISREG(targetInfo.st_mode) ? target : std::string());
        if (const DWORD blocker = DeleteBlocker(targetInfo, targetProbe, ERROR_ACCESS_DENIED))
            return Fail(blocker);
    }

    // Without replacing, the kernel refuses an existing target itself, atomically; a file
    // system that cannot do that falls back on the check above.
    int result = renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(),
                           replace ? 0 : RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL && !replace)
        result = rename(source.c_str(), target.c_str());
    if (result != 0) {
        const int error = errno;
        if (error == EEXIST)
            return Fail(ERROR_ALREADY_EXISTS);
        return Fail(host::ErrorForPath(error, error == ENOENT ? target : source));
    }
    if ((flags & MOVEFILE_WRITE_THROUGH) != 0) {
        SyncFolderOf(target);
        SyncFolderOf(source);
    }
    return 1;
}

} // namespace win
