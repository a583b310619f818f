#include "payload/UniqueFile.h"

#include <cstdint>

namespace {

constexpr int kAttempts = 64;

WString RandomSuffix() {
    std::uint32_t value = 0;
    win::GenRandom(&value, sizeof value);
    static const char16_t kHex[] = u"0123456789ABCDEF";
    WString suffix(8, u'0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        suffix[static_cast<size_t>(i)] = kHex[value & 0xF];
    return suffix;
}

} // namespace

FileHandle CreateUniqueFile(const WString& directory, const WString& prefix, win::DWORD access,
                            win::DWORD shareMode, win::DWORD attributes, WString& path) {
    path.clear();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const WString candidate = directory + prefix + RandomSuffix() + u".tmp";
        win::HANDLE handle =
            win::CreateFileW(candidate.c_str(), access, shareMode, nullptr, win::CREATE_NEW,
                             attributes, nullptr);
        if (handle != win::INVALID_HANDLE_VALUE) {
            path = candidate;
            return FileHandle(handle);
        }
        const win::DWORD error = win::GetLastError();
        if (error != win::ERROR_FILE_EXISTS && error != win::ERROR_ALREADY_EXISTS)
            return FileHandle();
    }
    win::SetLastError(win::ERROR_FILE_EXISTS);
    return FileHandle();
}
