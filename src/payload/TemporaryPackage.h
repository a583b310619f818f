// A temporary copy of the patch package for the Windows Installer to read, owned by the mode
// that asked for it: protected against change while it lives, deleted when it goes out of
// scope, on every path.
#pragma once

#include "payload/FileHandle.h"

class TemporaryPackage {
  public:
    // Writes the copy; written() tells whether that worked. path() holds the name whenever one
    // was had, also after a failure.
    TemporaryPackage();
    ~TemporaryPackage();
    TemporaryPackage(const TemporaryPackage&) = delete;
    TemporaryPackage& operator=(const TemporaryPackage&) = delete;

    bool written() const { return written_; }
    const WString& path() const { return path_; }

  private:
    WString path_;
    FileHandle guard_;
    bool written_ = false;
};
