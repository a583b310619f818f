#include "platform/win32/WindowsApi.h"

#include <ntsecapi.h>

namespace win {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD error) { ::SetLastError(error); }

LCID GetThreadLocale() { return ::GetThreadLocale(); }
BOOL SetThreadLocale(LCID locale) { return ::SetThreadLocale(locale); }

BOOL SetDefaultDllDirectories(DWORD flags) {
    // Looked up rather than imported: Windows 7 has it only with an update, and an import the
    // loader cannot resolve would stop the program from starting at all.
    using Function = BOOL(WINAPI*)(DWORD);
    ::HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto function = reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (function != nullptr && function(flags))
        return 1;
    // Without it, at least take the current directory out of the search.
    return ::SetDllDirectoryW(L"");
}

const WCHAR* GetCommandLineW() { return reinterpret_cast<const WCHAR*>(::GetCommandLineW()); }

WCHAR** CommandLineToArgvW(const WCHAR* commandLine, int* argc) {
    return reinterpret_cast<WCHAR**>(::CommandLineToArgvW(Wide(commandLine), argc));
}

void* LocalFree(void* block) { return ::LocalFree(block); }

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT flags) {
    return ::MessageBoxW(reinterpret_cast<::HWND>(owner), Wide(text), Wide(caption), flags);
}

BOOL GenRandom(void* buffer, ULONG size) {
    // RtlGenRandom, exported by advapi32 (a known DLL, always loaded from the system folder).
    return ::RtlGenRandom(buffer, size) ? 1 : 0;
}

} // namespace win
