// The few Windows calls this program makes, and nothing else.
//
// Everything above src/platform/ calls the platform through this header only. The win32 build
// implements it over the real API (platform/win32/); the host build over a stand-in of our own
// (platform/host/). Names, argument order, constants and results follow the Windows functions
// they stand for, with two deliberate differences:
//   - text is char16_t (UTF-16 in both builds; wchar_t is 4 bytes on Linux);
//   - a resource type or name is a ResourceName value instead of a MAKEINTRESOURCE pointer.
// Nothing in this header says which build it is. The win32 files include it before windows.h
// (platform/win32/WindowsApi.h), whose macros then shadow these constants there only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WideString.h"

namespace win {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using ULONG = std::uint32_t;
using BOOL = int;
using LANGID = std::uint16_t;
using LCID = std::uint32_t;
using LONGLONG = std::int64_t;
using MSIHANDLE = std::uint32_t;
using INSTALLSTATE = int;

struct ModuleTag;
using HMODULE = ModuleTag*;
using HINSTANCE = HMODULE;
struct ResourceTag;
using HRSRC = ResourceTag*;
struct ResourceDataTag;
using HGLOBAL = ResourceDataTag*;
struct WindowTag;
using HWND = WindowTag*;
using HANDLE = void*;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t(0));

// --- Error codes (winerror.h values) --------------------------------------------------------
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_UNKNOWN_PROPERTY = 1608;
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
constexpr DWORD ERROR_INSTALL_SERVICE_FAILURE = 1601;
constexpr DWORD ERROR_INSTALL_FAILURE = 1603;
constexpr DWORD ERROR_UNKNOWN_PRODUCT = 1605;
constexpr DWORD ERROR_INSTALL_ALREADY_RUNNING = 1618;
constexpr DWORD ERROR_PATCH_PACKAGE_OPEN_FAILED = 1635;
constexpr DWORD ERROR_PATCH_PACKAGE_INVALID = 1636;
constexpr DWORD ERROR_SUCCESS_REBOOT_INITIATED = 1641;
constexpr DWORD ERROR_PATCH_TARGET_NOT_FOUND = 1642;
constexpr DWORD ERROR_SUCCESS_REBOOT_REQUIRED = 3010;

// --- Last error and thread locale -----------------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD error);

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
LCID GetThreadLocale();
// Fails (FALSE, locale unchanged) for a value that names no locale.
BOOL SetThreadLocale(LCID locale);

inline LANGID LANGIDFROMLCID(LCID lcid) { return static_cast<LANGID>(lcid & 0xFFFF); }
inline WORD PRIMARYLANGID(LANGID lang) { return static_cast<WORD>(lang & 0x3FF); }
inline WORD SUBLANGID(LANGID lang) { return static_cast<WORD>(lang >> 10); }

// --- Process start-up -----------------------------------------------------------------------
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;
// Restricts where the process loads DLLs from. Called first thing in WinMain.
BOOL SetDefaultDllDirectories(DWORD flags);

// --- Command line ---------------------------------------------------------------------------
const WCHAR* GetCommandLineW();
// Splits by the Windows rules; the vector and its strings are one block, released with
// LocalFree. Returns nullptr (and sets the last error) on failure.
WCHAR** CommandLineToArgvW(const WCHAR* commandLine, int* argc);
void* LocalFree(void* block);

// --- Resources ------------------------------------------------------------------------------
// A resource type or name: an integer id (what MAKEINTRESOURCE makes) or a text.
class ResourceName {
  public:
    ResourceName(WORD id) : id_(id) {}
    ResourceName(const WCHAR* text) : text_(text) {}
    bool isId() const { return text_.empty(); }
    WORD id() const { return id_; }
    const WString& text() const { return text_; }

  private:
    WORD id_ = 0;
    WString text_;
};

constexpr WORD RT_STRING = 6;

// The languages in which the module holds the resource, in the module's own order (empty when
// it holds no such resource). The choice among them is made by the caller.
std::vector<LANGID> EnumResourceLanguages(HMODULE module, const ResourceName& type,
                                          const ResourceName& name);
HRSRC FindResourceExW(HMODULE module, const ResourceName& type, const ResourceName& name,
                      LANGID language);
DWORD SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);

// --- Message box ----------------------------------------------------------------------------
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT flags);

// --- Files ----------------------------------------------------------------------------------
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD DELETE = 0x00010000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

DWORD GetTempPathW(DWORD bufferLength, WCHAR* buffer);
DWORD GetFullPathNameW(const WCHAR* path, DWORD bufferLength, WCHAR* buffer, WCHAR** filePart);
// CREATE_NEW never follows a link: an existing name of any kind fails with ERROR_FILE_EXISTS.
HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, void* overlapped);
BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, LONGLONG* newPosition, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL CloseHandle(HANDLE handle);
BOOL DeleteFileW(const WCHAR* path);
BOOL MoveFileExW(const WCHAR* from, const WCHAR* to, DWORD flags);

// Fills the buffer with cryptographically random bytes (BCryptGenRandom with the system RNG).
BOOL GenRandom(void* buffer, ULONG size);

// --- Windows Installer (msi.dll, six functions) ---------------------------------------------
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
constexpr INSTALLSTATE INSTALLSTATE_UNKNOWN = -1;
constexpr INSTALLSTATE INSTALLSTATE_ADVERTISED = 1;
constexpr INSTALLSTATE INSTALLSTATE_ABSENT = 2;
constexpr INSTALLSTATE INSTALLSTATE_DEFAULT = 5;
constexpr int INSTALLLEVEL_DEFAULT = 0;
constexpr UINT PID_TEMPLATE = 7;

UINT MsiGetSummaryInformationW(MSIHANDLE database, const WCHAR* packagePath, UINT updateCount,
                               MSIHANDLE* summary);
UINT MsiSummaryInfoGetPropertyW(MSIHANDLE summary, UINT property, UINT* dataType, int* intValue,
                                FILETIME* fileTime, WCHAR* buffer, DWORD* length);
UINT MsiCloseHandle(MSIHANDLE handle);
INSTALLSTATE MsiQueryProductStateW(const WCHAR* product);
UINT MsiGetProductInfoW(const WCHAR* product, const WCHAR* property, WCHAR* buffer,
                        DWORD* length);
UINT MsiConfigureProductExW(const WCHAR* product, int installLevel, INSTALLSTATE installState,
                            const WCHAR* commandLine);

} // namespace win
