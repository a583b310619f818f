#include "installer/PatchTargets.h"

#include <algorithm>
#include <vector>

#include "installer/InstallerHandle.h"

namespace {

constexpr win::DWORD kFirstReadLength = 2048;

} // namespace

win::MSIHANDLE OpenPatchSummary(const WString& path) {
    // Sized to fit: a path cut short would name another file.
    const win::DWORD needed = win::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return 0;
    std::vector<win::WCHAR> full(needed);
    const win::DWORD length = win::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return 0;
    win::MSIHANDLE summary = 0;
    if (win::MsiGetSummaryInformationW(0, full.data(), 0, &summary) != win::ERROR_SUCCESS)
        return 0;
    return summary;
}

bool GetPatchTargets(const WString& path, WString& targets) {
    InstallerHandle summary(OpenPatchSummary(path));
    if (summary.get() == 0)
        return false;

    win::UINT dataType = 0;
    int intValue = 0;
    win::FILETIME fileTime{};
    std::vector<win::WCHAR> buffer(kFirstReadLength);
    win::DWORD length = kFirstReadLength;
    win::UINT result = win::MsiSummaryInfoGetPropertyW(summary.get(), win::PID_TEMPLATE, &dataType,
                                                       &intValue, &fileTime, buffer.data(), &length);
    if (result == win::ERROR_MORE_DATA) {
        // One second read at the size the installer reported, the terminator added.
        const win::DWORD size = length + 1;
        buffer.assign(size, u'\0');
        length = size;
        result = win::MsiSummaryInfoGetPropertyW(summary.get(), win::PID_TEMPLATE, &dataType,
                                                 &intValue, &fileTime, buffer.data(), &length);
    }
    if (result != win::ERROR_SUCCESS)
        return false;
    // Up to the first NUL, and never past the buffer should an installer leave none.
    const auto end = std::find(buffer.begin(), buffer.end(), u'\0');
    targets.assign(buffer.begin(), end);
    return true;
}
