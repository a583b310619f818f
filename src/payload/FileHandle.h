// The one owner of an open file handle: closed when it goes out of scope, on every path.
#pragma once

#include <utility>

#include "platform/Platform.h"

class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(win::HANDLE handle) : handle_(handle) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Invalid());
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != Invalid(); }
    win::HANDLE get() const { return handle_; }

    // Closes now; reports whether the close succeeded (a deferred write error shows here).
    bool reset() {
        if (!valid())
            return true;
        const bool closed = win::CloseHandle(std::exchange(handle_, Invalid())) != 0;
        return closed;
    }

  private:
    static win::HANDLE Invalid() { return win::INVALID_HANDLE_VALUE; }
    win::HANDLE handle_ = Invalid();
};
