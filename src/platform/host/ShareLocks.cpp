#include "platform/host/ShareLocks.h"

#include <cerrno>
#include <fcntl.h>

namespace host {
namespace {

constexpr off_t kLockBase = 0x7FFFFFFF00000000LL;
constexpr off_t kGuard = kLockBase;
constexpr off_t kHasBase = kLockBase + 1;    // + 0 read, + 1 write, + 2 delete
constexpr off_t kDeniesBase = kLockBase + 4; // + 0 read, + 1 write, + 2 delete
constexpr int kMaxInterruptions = 100;

struct RightByte {
    unsigned right;
    off_t offset;
};
constexpr RightByte kRights[] = {{kRightRead, 0}, {kRightWrite, 1}, {kRightDelete, 2}};

struct flock ByteLock(short type, off_t offset) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    lock.l_pid = 0; // required for OFD locks
    return lock;
}

// Whether a descriptor other than this one holds a lock on the byte.
bool HeldByOthers(int fd, off_t offset) {
    struct flock lock = ByteLock(F_WRLCK, offset);
    if (fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return false;
    return lock.l_type != F_UNLCK;
}

bool AnyHeld(int fd, unsigned rights, off_t base) {
    for (const RightByte& r : kRights) {
        if ((rights & r.right) != 0 && HeldByOthers(fd, base + r.offset))
            return true;
    }
    return false;
}

bool Lock(int fd, off_t offset) {
    struct flock lock = ByteLock(F_RDLCK, offset);
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

} // namespace

ShareGuard::ShareGuard(int fd, bool writable) : fd_(fd) {
    struct flock lock = ByteLock(writable ? F_WRLCK : F_RDLCK, kGuard);
    for (int attempt = 0; attempt < kMaxInterruptions && !held_; ++attempt) {
        if (fcntl(fd_, F_OFD_SETLKW, &lock) == 0)
            held_ = true;
        else if (errno != EINTR)
            break;
    }
}

ShareGuard::~ShareGuard() {
    if (!held_)
        return;
    struct flock lock = ByteLock(F_UNLCK, kGuard);
    fcntl(fd_, F_OFD_SETLK, &lock);
}

bool OthersDeny(int fd, unsigned rights) { return AnyHeld(fd, rights, kDeniesBase); }

bool OthersHave(int fd, unsigned rights) { return AnyHeld(fd, rights, kHasBase); }

bool TakeShareLocks(int fd, unsigned has, unsigned denies) {
    for (const RightByte& r : kRights) {
        if ((has & r.right) != 0 && !Lock(fd, kHasBase + r.offset))
            return false;
        if ((denies & r.right) != 0 && !Lock(fd, kDeniesBase + r.offset))
            return false;
    }
    return true;
}

} // namespace host
