// The six Windows Installer functions, from msi.dll in the system folder, bound by ordinal.
// msi.dll is not one of the DLLs that Windows always takes from the system folder: imported
// statically it would be looked for first beside the executable, where a planted copy would
// run with the user's rights. So it is loaded by full path, and the program imports nothing
// from it.
#include "platform/win32/WindowsApi.h"

#include <vector>

namespace win {

namespace {

using GetSummaryInformationFn = ::UINT(WINAPI*)(::DWORD, LPCWSTR, ::UINT, ::DWORD*);
using SummaryInfoGetPropertyFn = ::UINT(WINAPI*)(::DWORD, ::UINT, ::UINT*, ::INT*, ::FILETIME*,
                                                 LPWSTR, ::DWORD*);
using CloseHandleFn = ::UINT(WINAPI*)(::DWORD);
using QueryProductStateFn = ::INT(WINAPI*)(LPCWSTR);
using GetProductInfoFn = ::UINT(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, ::DWORD*);
using ConfigureProductExFn = ::UINT(WINAPI*)(LPCWSTR, ::INT, ::INT, LPCWSTR);

struct Installer {
    GetSummaryInformationFn getSummaryInformation = nullptr;
    SummaryInfoGetPropertyFn summaryInfoGetProperty = nullptr;
    CloseHandleFn closeHandle = nullptr;
    QueryProductStateFn queryProductState = nullptr;
    GetProductInfoFn getProductInfo = nullptr;
    ConfigureProductExFn configureProductEx = nullptr;
    bool loaded = false;
};

// The ordinal of each function, checked against its exported name: a DLL whose ordinals meant
// other functions would be called with the wrong arguments.
template <typename Fn> bool Bind(::HMODULE dll, WORD ordinal, const char* name, Fn& function) {
    FARPROC byOrdinal = ::GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
    if (byOrdinal == nullptr || byOrdinal != ::GetProcAddress(dll, name))
        return false;
    function = reinterpret_cast<Fn>(reinterpret_cast<void*>(byOrdinal));
    return true;
}

Installer Load() {
    Installer installer;
    std::vector<wchar_t> folder(MAX_PATH + 1);
    const ::UINT length = ::GetSystemDirectoryW(folder.data(), MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return installer;
    const std::wstring path = std::wstring(folder.data(), length) + L"\\msi.dll";
    // msi.dll's own dependencies are then looked for beside it, in the system folder.
    ::HMODULE dll = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (dll == nullptr)
        return installer;
    installer.loaded =
        Bind(dll, 78, "MsiGetSummaryInformationW", installer.getSummaryInformation) &&
        Bind(dll, 150, "MsiSummaryInfoGetPropertyW", installer.summaryInfoGetProperty) &&
        Bind(dll, 8, "MsiCloseHandle", installer.closeHandle) &&
        Bind(dll, 113, "MsiQueryProductStateW", installer.queryProductState) &&
        Bind(dll, 70, "MsiGetProductInfoW", installer.getProductInfo) &&
        Bind(dll, 190, "MsiConfigureProductExW", installer.configureProductEx);
    return installer;
}

const Installer& TheInstaller() {
    static const Installer installer = Load();
    return installer;
}

} // namespace

UINT MsiGetSummaryInformationW(MSIHANDLE database, const WCHAR* packagePath, UINT updateCount,
                               MSIHANDLE* summary) {
    const Installer& msi = TheInstaller();
    if (!msi.loaded)
        return ERROR_INSTALL_SERVICE_FAILURE;
    ::DWORD handle = *summary;
    const UINT result = msi.getSummaryInformation(database, Wide(packagePath), updateCount, &handle);
    *summary = handle;
    return result;
}

UINT MsiSummaryInfoGetPropertyW(MSIHANDLE summary, UINT property, UINT* dataType, int* intValue,
                                FILETIME* fileTime, WCHAR* buffer, DWORD* length) {
    const Installer& msi = TheInstaller();
    if (!msi.loaded)
        return ERROR_INSTALL_SERVICE_FAILURE;
    ::FILETIME time{};
    ::DWORD room = *length;
    ::UINT type = 0;
    ::INT value = 0;
    const UINT result =
        msi.summaryInfoGetProperty(summary, property, &type, &value, &time, Wide(buffer), &room);
    *length = room;
    *dataType = type;
    *intValue = value;
    fileTime->dwLowDateTime = time.dwLowDateTime;
    fileTime->dwHighDateTime = time.dwHighDateTime;
    return result;
}

UINT MsiCloseHandle(MSIHANDLE handle) {
    const Installer& msi = TheInstaller();
    return msi.loaded ? msi.closeHandle(handle) : ERROR_INVALID_HANDLE;
}

INSTALLSTATE MsiQueryProductStateW(const WCHAR* product) {
    const Installer& msi = TheInstaller();
    return msi.loaded ? msi.queryProductState(Wide(product)) : INSTALLSTATE_UNKNOWN;
}

UINT MsiGetProductInfoW(const WCHAR* product, const WCHAR* property, WCHAR* buffer,
                        DWORD* length) {
    const Installer& msi = TheInstaller();
    if (!msi.loaded)
        return ERROR_INSTALL_SERVICE_FAILURE;
    ::DWORD room = *length;
    const UINT result = msi.getProductInfo(Wide(product), Wide(property), Wide(buffer), &room);
    *length = room;
    return result;
}

UINT MsiConfigureProductExW(const WCHAR* product, int installLevel, INSTALLSTATE installState,
                            const WCHAR* commandLine) {
    const Installer& msi = TheInstaller();
    if (!msi.loaded)
        return ERROR_INSTALL_SERVICE_FAILURE;
    return msi.configureProductEx(Wide(product), installLevel, installState, Wide(commandLine));
}

} // namespace win
