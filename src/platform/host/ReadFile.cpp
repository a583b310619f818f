// ReadFile: up to `size` bytes from the file position, as many as there are.
#include <cerrno>
#include <unistd.h>

#include "platform/host/ErrnoMap.h"
#include "platform/host/FileHandle.h"

namespace win {

namespace {
constexpr DWORD ERROR_READ_FAULT_VALUE = 30; // ERROR_READ_FAULT
constexpr int kMaxInterruptions = 100;
} // namespace

// Reads up to `size` bytes at the file position; 0 bytes read at the end of the file is a
// success, as on Windows.
BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read, void* overlapped) {
    if (read != nullptr)
        *read = 0;
    host::FileObject* file = host::LookUpFile(handle);
    if (file == nullptr)
        return 0;
    if (overlapped != nullptr || (buffer == nullptr && size != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((file->access & GENERIC_READ) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    int interruptions = 0;
    while (done < size) {
        const ssize_t n = ::read(file->fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR && ++interruptions < kMaxInterruptions)
            continue;
        if (n < 0) {
            SetLastError(errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT_VALUE);
            return 0;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    if (read != nullptr)
        *read = static_cast<DWORD>(done);
    return 1;
}

} // namespace win
