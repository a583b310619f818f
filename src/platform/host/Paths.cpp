// GetTempPathW and GetFullPathNameW over Linux paths ('/' separators), with the Windows
// buffer rules: the length without the NUL on success, the size needed with the NUL when the
// buffer is too small (nothing written then), 0 on failure.
#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/ErrnoMap.h"
#include "platform/host/Faults.h"

namespace {

constexpr const char* kTempVariables[] = {"TMP", "TEMP", "TMPDIR"};
constexpr const char* kDefaultTemp = "/tmp/";
constexpr size_t kMaxCurrentDirectory = 4096;

// Makes a path absolute against the current directory and collapses "." and ".." in its text
// (".." at the root stays at the root). A trailing '/' is kept. Empty when there is no
// current directory.
std::string Absolute(const std::string& path) {
    std::string whole = path;
    if (whole.empty() || whole.front() != '/') {
        char current[kMaxCurrentDirectory];
        if (getcwd(current, sizeof current) == nullptr)
            return std::string();
        whole = std::string(current) + "/" + whole;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= whole.size()) {
        size_t end = whole.find('/', start);
        if (end == std::string::npos)
            end = whole.size();
        const std::string part = whole.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    if (result.empty() || whole.back() == '/')
        result += "/";
    return result;
}

win::DWORD CopyOut(const WString& text, win::DWORD bufferLength, win::WCHAR* buffer) {
    if (text.size() + 1 > bufferLength)
        return static_cast<win::DWORD>(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return static_cast<win::DWORD>(text.size());
}

win::DWORD Fail(win::DWORD error) {
    win::SetLastError(error);
    return 0;
}

} // namespace

namespace win {

DWORD GetTempPathW(DWORD bufferLength, WCHAR* buffer) {
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::GetTempPath, injected))
        return Fail(injected);
    if (buffer == nullptr && bufferLength != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string folder = kDefaultTemp;
    for (const char* variable : kTempVariables) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            folder = value;
            break;
        }
    }
    folder = Absolute(folder);
    if (folder.empty())
        return Fail(host::ErrorForPath(errno, "."));
    if (folder.back() != '/')
        folder += '/';
    return CopyOut(FromUtf8(folder), bufferLength, buffer);
}

DWORD GetFullPathNameW(const WCHAR* path, DWORD bufferLength, WCHAR* buffer, WCHAR** filePart) {
    if (path == nullptr || (buffer == nullptr && bufferLength != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    if (*path == 0)
        return Fail(host::kErrorInvalidName);
    const std::string full = Absolute(ToUtf8(path));
    if (full.empty())
        return Fail(host::ErrorForPath(errno, "."));
    const WString text = FromUtf8(full);
    const DWORD result = CopyOut(text, bufferLength, buffer);
    if (filePart != nullptr && result == text.size()) {
        const size_t slash = text.find_last_of(u'/');
        *filePart = slash + 1 < text.size() ? buffer + slash + 1 : nullptr;
    }
    return result;
}

} // namespace win
