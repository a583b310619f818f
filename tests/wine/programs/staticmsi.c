/* Imports msi.dll the careless way, statically, to show that the planted-DLL test catches
 * a launcher that does so. */
#ifndef UNICODE
#define UNICODE
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <msi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR cmdLine, int show)
{
    (void)instance; (void)previous; (void)cmdLine; (void)show;
    return MsiQueryProductStateW(L"{00000000-0000-0000-0000-000000000000}") == INSTALLSTATE_DEFAULT;
}
