/* A planted msi.dll: when any process loads it, it leaves a marker file beside itself.
 * It exports the installer functions a static importer would bind to, so that such an
 * importer starts and the marker proves the load. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <wchar.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 32];
    DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\')
        --n;
    wcscpy(path + n, L"planted-msi-loaded.txt");
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    return TRUE;
}

__declspec(dllexport) UINT WINAPI MsiGetProductInfoW(LPCWSTR product, LPCWSTR property, LPWSTR value, LPDWORD size)
{
    (void)product; (void)property; (void)value; (void)size;
    return 1605; /* ERROR_UNKNOWN_PRODUCT */
}

__declspec(dllexport) UINT WINAPI MsiQueryProductStateW(LPCWSTR product)
{
    (void)product;
    return (UINT)-1;
}
