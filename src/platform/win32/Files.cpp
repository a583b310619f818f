#include "platform/win32/WindowsApi.h"

namespace win {

DWORD GetTempPathW(DWORD bufferLength, WCHAR* buffer) {
    return ::GetTempPathW(bufferLength, Wide(buffer));
}

DWORD GetFullPathNameW(const WCHAR* path, DWORD bufferLength, WCHAR* buffer, WCHAR** filePart) {
    return ::GetFullPathNameW(Wide(path), bufferLength, Wide(buffer),
                              reinterpret_cast<LPWSTR*>(filePart));
}

HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    return ::CreateFileW(Wide(path), access, shareMode,
                         static_cast<LPSECURITY_ATTRIBUTES>(security), disposition,
                         flagsAndAttributes, templateFile);
}

BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped) {
    ::DWORD done = 0;
    const BOOL ok = ::WriteFile(file, data, size, &done, static_cast<LPOVERLAPPED>(overlapped));
    if (written != nullptr)
        *written = done;
    return ok;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, void* overlapped) {
    ::DWORD done = 0;
    const BOOL ok = ::ReadFile(file, buffer, size, &done, static_cast<LPOVERLAPPED>(overlapped));
    if (read != nullptr)
        *read = done;
    return ok;
}

BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, LONGLONG* newPosition, DWORD method) {
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER position;
    position.QuadPart = 0;
    const BOOL ok = ::SetFilePointerEx(file, move, &position, method);
    if (ok && newPosition != nullptr)
        *newPosition = position.QuadPart;
    return ok;
}

BOOL SetEndOfFile(HANDLE file) { return ::SetEndOfFile(file); }
BOOL FlushFileBuffers(HANDLE file) { return ::FlushFileBuffers(file); }
BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }
BOOL DeleteFileW(const WCHAR* path) { return ::DeleteFileW(Wide(path)); }

BOOL MoveFileExW(const WCHAR* from, const WCHAR* to, DWORD flags) {
    return ::MoveFileExW(Wide(from), Wide(to), flags);
}

} // namespace win
