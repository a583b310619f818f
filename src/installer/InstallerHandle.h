// The owner of one Windows Installer handle: closes it with MsiCloseHandle when it goes out of
// scope, also while an exception passes, so it is closed exactly once on every path.
#pragma once

#include "platform/Platform.h"

class InstallerHandle {
  public:
    explicit InstallerHandle(win::MSIHANDLE handle) : handle_(handle) {}
    ~InstallerHandle() {
        if (handle_ != 0)
            win::MsiCloseHandle(handle_);
    }
    InstallerHandle(const InstallerHandle&) = delete;
    InstallerHandle& operator=(const InstallerHandle&) = delete;

    win::MSIHANDLE get() const { return handle_; }

  private:
    win::MSIHANDLE handle_;
};
