// The one owner of an open file handle: closed when it goes out of scope, on every path; and
// the two helpers every writer of a file needs.
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

// One write request of all the bytes; true only when every byte was written.
inline bool WriteWhole(const FileHandle& file, const void* data, win::DWORD size) {
    win::DWORD written = 0;
    return win::WriteFile(file.get(), data, size, &written, nullptr) != 0 && written == size;
}

// Cleanup after a failure must not change the error that the caller may report: keeps the
// thread's last-error value of its construction and puts it back when it goes out of scope.
class LastErrorKeeper {
  public:
    LastErrorKeeper() : error_(win::GetLastError()) {}
    ~LastErrorKeeper() { win::SetLastError(error_); }
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

  private:
    win::DWORD error_;
};
