/* A console probe of the Windows Installer's view of products and patches, for the patch oracle.
 * Output goes to a file (Wine's output is never read through a pipe).
 *   probe OUT product CODE...      state, version, name, language and applied patches of each product
 *   probe OUT suminfo PACKAGE      targets (PID 7), transforms (PID 8) and patch code (PID 9)
 *   probe OUT apply CODE PACKAGE   applies PACKAGE to CODE as the launcher does, prints the result
 */
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <stdio.h>
#include <wchar.h>

#define PROBE_TEXT 1024

static FILE *out;

static void put(const wchar_t *label, const wchar_t *value)
{
    char utf8[PROBE_TEXT * 3];
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(out, "%ls=%s\n", label, utf8);
}

static void product_property(const wchar_t *code, const wchar_t *property)
{
    wchar_t value[PROBE_TEXT];
    DWORD size = PROBE_TEXT;
    UINT r = MsiGetProductInfoW(code, property, value, &size);
    if (r == ERROR_SUCCESS) put(property, value);
    else fprintf(out, "%ls=<error %u>\n", property, r);
}

static void probe_product(const wchar_t *code)
{
    DWORD i;
    put(L"product", code);
    fprintf(out, "state=%d\n", (int)MsiQueryProductStateW(code));
    product_property(code, INSTALLPROPERTY_VERSIONSTRING);
    product_property(code, INSTALLPROPERTY_PRODUCTNAME);
    product_property(code, INSTALLPROPERTY_LANGUAGE);
    for (i = 0; i < 64; i++) {
        wchar_t patch[39], transforms[PROBE_TEXT], state[PROBE_TEXT];
        DWORD size = PROBE_TEXT, stateSize = PROBE_TEXT;
        UINT r = MsiEnumPatchesW(code, i, patch, transforms, &size);
        if (r != ERROR_SUCCESS) break;
        put(L"patch", patch);
        put(L"patch.transforms", transforms);
        if (MsiGetPatchInfoExW(patch, code, NULL, MSIINSTALLCONTEXT_MACHINE, INSTALLPROPERTY_PATCHSTATE,
                               state, &stateSize) == ERROR_SUCCESS)
            put(L"patch.state", state);
    }
    fprintf(out, "patches=%lu\n", (unsigned long)i);
}

static void summary_string(MSIHANDLE si, UINT pid, const wchar_t *label)
{
    wchar_t value[PROBE_TEXT];
    DWORD size = PROBE_TEXT;
    UINT type = 0;
    INT number = 0;
    FILETIME ft;
    UINT r = MsiSummaryInfoGetPropertyW(si, pid, &type, &number, &ft, value, &size);
    if (r != ERROR_SUCCESS) fprintf(out, "%ls=<error %u>\n", label, r);
    else if (type == VT_LPSTR) put(label, value);
    else fprintf(out, "%ls=<type %u>\n", label, type);
}

static int probe_summary(const wchar_t *package)
{
    MSIHANDLE si = 0;
    UINT r = MsiGetSummaryInformationW(0, package, 0, &si);
    fprintf(out, "suminfo=%u\n", r);
    if (r != ERROR_SUCCESS) return 1;
    summary_string(si, 7, L"template");
    summary_string(si, 8, L"transforms");
    summary_string(si, 9, L"revision");
    MsiCloseHandle(si);
    return 0;
}

static int apply(const wchar_t *code, const wchar_t *package)
{
    wchar_t command[PROBE_TEXT];
    UINT r;
    _snwprintf(command, PROBE_TEXT, L"PATCH=\"%ls\"", package);
    command[PROBE_TEXT - 1] = 0;
    MsiSetInternalUI(INSTALLUILEVEL_NONE, NULL);
    r = MsiConfigureProductExW(code, 0, INSTALLSTATE_DEFAULT, command);
    put(L"apply", code);
    fprintf(out, "result=%u\n", r);
    return 0;
}

int wmain(int argc, wchar_t **argv)
{
    int i, rc = 0;
    if (argc < 4) {
        fprintf(stderr, "usage: probe OUT product CODE... | OUT suminfo PACKAGE | OUT apply CODE PACKAGE\n");
        return 2;
    }
    out = _wfopen(argv[1], L"a");
    if (!out) return 3;
    if (!wcscmp(argv[2], L"product")) {
        for (i = 3; i < argc; i++) probe_product(argv[i]);
    } else if (!wcscmp(argv[2], L"suminfo")) {
        rc = probe_summary(argv[3]);
    } else if (!wcscmp(argv[2], L"apply") && argc == 5) {
        rc = apply(argv[3], argv[4]);
    } else {
        rc = 2;
    }
    fclose(out);
    return rc;
}
