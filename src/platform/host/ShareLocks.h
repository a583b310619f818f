// Windows share modes, across processes, with open-file-description locks on the file itself.
//
// Every handle holds shared (read) locks on single bytes far beyond any real file size:
//   kGuard          taken exclusively, briefly, while a handle checks and takes its locks
//   has read        while it has GENERIC_READ       denies read   unless FILE_SHARE_READ
//   has write       while it has GENERIC_WRITE      denies write  unless FILE_SHARE_WRITE
//   has delete      while it has DELETE             denies delete unless FILE_SHARE_DELETE
// An open fails with ERROR_SHARING_VIOLATION when another handle denies an access it asks for,
// or has an access that it denies. OFD locks belong to one open file description, so handles
// conflict the same way within a process and between processes, and are released when the
// handle's descriptor is closed (also when the process dies). DeleteFileW and MoveFileExW look
// at the "denies delete" byte the same way before they unlink or rename.
//
// The check and the taking happen under the guard byte, exclusively (F_OFD_SETLKW), so two
// opens never both pass. A descriptor that cannot be opened for writing (a read-only file) can
// only take the guard shared; such opens are atomic against writers but not against each other.
#pragma once

#include "platform/Platform.h"

namespace host {

// Rights as FILE_SHARE_* bits: what a handle has, or what it denies to others.
constexpr unsigned kRightRead = win::FILE_SHARE_READ;
constexpr unsigned kRightWrite = win::FILE_SHARE_WRITE;
constexpr unsigned kRightDelete = win::FILE_SHARE_DELETE;
constexpr unsigned kAllRights = kRightRead | kRightWrite | kRightDelete;

// Holds the guard byte of one file for as long as it lives.
class ShareGuard {
  public:
    ShareGuard(int fd, bool writable);
    ~ShareGuard();
    ShareGuard(const ShareGuard&) = delete;
    ShareGuard& operator=(const ShareGuard&) = delete;
    bool held() const { return held_; }

  private:
    int fd_;
    bool held_ = false;
};

// Whether another handle on the file denies one of `rights`.
bool OthersDeny(int fd, unsigned rights);
// Whether another handle on the file has one of `rights`.
bool OthersHave(int fd, unsigned rights);
// Takes this handle's locks; false (with errno) when the system refused one.
bool TakeShareLocks(int fd, unsigned has, unsigned denies);

} // namespace host
