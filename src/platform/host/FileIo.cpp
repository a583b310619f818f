// Calls on an open file handle: writing, moving the position, cutting, flushing, closing.
#include <cerrno>
#include <climits>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/host/ErrnoMap.h"
#include "platform/host/ExecutableBytes.h"
#include "platform/host/Faults.h"
#include "platform/host/FileHandle.h"

namespace {

constexpr int kMaxInterruptions = 100;

win::BOOL Fail(win::DWORD error) {
    win::SetLastError(error);
    return 0;
}

// Writes all of it or fails; `done` counts what reached the file either way.
bool WriteAll(int fd, const unsigned char* data, size_t size, size_t& done, int& error) {
    done = 0;
    int interruptions = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR && ++interruptions < kMaxInterruptions) {
            continue;
        } else {
            error = n == 0 ? EIO : errno;
            return false;
        }
    }
    return true;
}

// Bytes of the executable itself (the patch package) are copied from its file by the kernel:
// as fast as cp, and nothing of the package is paged into memory. `done` counts what was
// copied; false when the kernel cannot copy between these files, so the caller writes the rest.
constexpr size_t kKernelCopyThreshold = 1 << 20;

bool CopyFromExecutable(int fd, const unsigned char* data, size_t size, size_t& done) {
    done = 0;
    int source = -1;
    off_t offset = 0;
    if (size < kKernelCopyThreshold || !host::FindInExecutableFile(data, size, source, offset))
        return false;
    while (done < size) {
        const ssize_t n = copy_file_range(source, &offset, fd, nullptr, size - done, 0);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

namespace win {

BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written, void* overlapped) {
    if (written != nullptr)
        *written = 0;
    host::FileObject* file = host::LookUpFile(handle);
    if (file == nullptr)
        return 0;
    if (overlapped != nullptr || (data == nullptr && size != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    if ((file->access & GENERIC_WRITE) == 0)
        return Fail(ERROR_ACCESS_DENIED);

    const auto* bytes = static_cast<const unsigned char*>(data);
    DWORD injected = ERROR_SUCCESS;
    const bool faulty = host::TakeFault(host::Call::WriteFile, injected);
    // An injected fault is a short write: half of it reaches the file, then the failure.
    const size_t wanted = faulty ? size / 2 : size;
    size_t copied = 0;
    size_t done = 0;
    int error = 0;
    bool ok = CopyFromExecutable(file->fd, bytes, wanted, copied);
    if (!ok) {
        ok = WriteAll(file->fd, bytes + copied, wanted - copied, done, error);
        done += copied;
    } else {
        done = copied;
    }
    if (written != nullptr)
        *written = static_cast<DWORD>(done);
    if (!ok)
        return Fail(host::ErrorForWrite(error));
    if (faulty)
        return Fail(injected);
    return 1;
}

BOOL SetFilePointerEx(HANDLE handle, LONGLONG distance, LONGLONG* newPosition, DWORD method) {
    host::FileObject* file = host::LookUpFile(handle);
    if (file == nullptr)
        return 0;
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::SetFilePointer, injected))
        return Fail(injected);
    int whence = SEEK_SET;
    switch (method) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    const off_t position = lseek(file->fd, static_cast<off_t>(distance), whence);
    if (position < 0)
        return Fail(errno == EINVAL ? host::kErrorNegativeSeek : host::kErrorGenFailure);
    if (newPosition != nullptr)
        *newPosition = position;
    return 1;
}

BOOL SetEndOfFile(HANDLE handle) {
    host::FileObject* file = host::LookUpFile(handle);
    if (file == nullptr)
        return 0;
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::SetEndOfFile, injected))
        return Fail(injected);
    if ((file->access & GENERIC_WRITE) == 0)
        return Fail(ERROR_ACCESS_DENIED);
    const off_t position = lseek(file->fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->fd, position) != 0)
        return Fail(host::ErrorForWrite(errno));
    return 1;
}

BOOL FlushFileBuffers(HANDLE handle) {
    host::FileObject* file = host::LookUpFile(handle);
    if (file == nullptr)
        return 0;
    if ((file->access & GENERIC_WRITE) == 0)
        return Fail(ERROR_ACCESS_DENIED);
    if (fsync(file->fd) != 0)
        return Fail(host::ErrorForWrite(errno));
    return 1;
}

BOOL CloseHandle(HANDLE handle) {
    host::FileObject* file = host::UnregisterFile(handle);
    if (file == nullptr)
        return 0;
    // Closing the descriptor also drops its share-mode locks.
    close(file->fd);
    delete file;
    return 1;
}

} // namespace win
