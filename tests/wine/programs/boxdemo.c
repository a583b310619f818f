/* Shows the kinds of boxes the launcher shows, so that the watcher can be proven on a
 * program whose boxes are known: texts in several scripts with line feeds, the error and
 * information icons, no icon, topmost and not. Exits with the code given as its argument. */
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR cmdLine, int show)
{
    (void)instance;
    (void)previous;
    (void)cmdLine;
    (void)show;
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    int code = argc > 1 ? _wtoi(argv[1]) : 0;
    MessageBoxW(NULL, L"\u554f\u984c\u304c\u767a\u751f\u3057\u307e\u3057\u305f\u3002 \n\n Error Code: -5",
                L"Installation Error", MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
    MessageBoxW(NULL, L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043b\u0435\u043d\u043e: Tessivar Studio",
                L"Installation Successful", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    MessageBoxW(NULL, L"{A};{B}", L"List of Products", MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
    /* Every platform raises a system-modal box above all others: proof that the watcher
     * sees topmost windows even where MB_TOPMOST alone is not honoured. */
    MessageBoxW(NULL, L"system modal", L"Topmost", MB_OK | MB_SYSTEMMODAL);
    LocalFree(argv);
    return code;
}
