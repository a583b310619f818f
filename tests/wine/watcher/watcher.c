/* Runs a program and observes its message boxes the way a person would: each box of the
 * child process is recorded (caption, text, icon, buttons, topmost), optionally held open
 * until the test side has taken a screenshot, then dismissed with OK. The child's exit code
 * ends the record.
 *
 * usage: watcher.exe [--result FILE] [--handshake DIR] [--timeout SECONDS] -- PROGRAM [ARGS...]
 *
 * Result file (UTF-8), one line per box, fields separated by TAB:
 *   BOX <n> <icon> <topmost 0|1> <buttons, joined by '|'> <caption> <text>
 * then one line "EXIT <code>" or "TIMEOUT". Text fields escape '\\', TAB, LF and CR as
 * \\, \t, \n and \r so that one box stays one line.
 *
 * Handshake: after box n is recorded the watcher writes DIR\shown-<n> (holding the box's
 * screen rectangle "left top right bottom") and waits until DIR\go-<n> exists before it
 * presses OK.
 */
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#define MAX_BOXES 64

static FILE *g_result;

static void Fail(const char *what)
{
    fprintf(stderr, "watcher: %s (error %lu)\n", what, GetLastError());
    exit(2);
}

/* Appends a UTF-16 string to the result as escaped UTF-8. */
static void PutText(const wchar_t *s)
{
    for (; *s; ++s) {
        switch (*s) {
        case L'\\': fputs("\\\\", g_result); continue;
        case L'\t': fputs("\\t", g_result); continue;
        case L'\n': fputs("\\n", g_result); continue;
        case L'\r': fputs("\\r", g_result); continue;
        default: break;
        }
        char buf[8];
        int len = 1;
        if (*s >= 0xD800 && *s <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF)
            len = 2;
        int n = WideCharToMultiByte(CP_UTF8, 0, s, len, buf, sizeof buf, NULL, NULL);
        fwrite(buf, 1, (size_t)n, g_result);
        s += len - 1;
    }
}

static wchar_t *WindowText(HWND hwnd)
{
    int len = GetWindowTextLengthW(hwnd);
    wchar_t *buf = calloc((size_t)len + 2, sizeof(wchar_t));
    if (!buf)
        Fail("out of memory");
    /* WM_GETTEXT works across processes for any window, unlike GetWindowText on controls. */
    SendMessageTimeoutW(hwnd, WM_GETTEXT, (WPARAM)len + 1, (LPARAM)buf, SMTO_BLOCK, 5000, NULL);
    return buf;
}

/* Compares an icon shown by another process with a system icon through its pixels: icon
 * handles are not shared between processes under every platform, pixels are. Only the
 * pixels that the system icon's mask marks as opaque are compared. Returns the share of
 * matching pixels in percent, or -1 when nothing could be read. */
static int IconMatch(HWND control, HICON reference)
{
    ICONINFO info;
    if (!GetIconInfo(reference, &info))
        return -1;
    int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    HDC screen = GetDC(NULL);
    HDC ref = CreateCompatibleDC(screen), mask = CreateCompatibleDC(screen);
    HBITMAP refBmp = CreateCompatibleBitmap(screen, w, h);
    HBITMAP maskBmp = CreateCompatibleBitmap(screen, w, h);
    SelectObject(ref, refBmp);
    SelectObject(mask, maskBmp);
    RECT all = {0, 0, w, h};
    FillRect(mask, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawIconEx(mask, 0, 0, reference, w, h, 0, NULL, DI_MASK);
    FillRect(ref, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    DrawIconEx(ref, 0, 0, reference, w, h, 0, NULL, DI_NORMAL);

    /* Read what is on the screen where the control is, as a person sees it: a window's own DC
     * is not readable from another process everywhere, the screen is. */
    RECT at;
    GetWindowRect(control, &at);
    HDC shown = GetDC(NULL);
    int opaque = 0, same = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (GetPixel(mask, x, y) != RGB(0, 0, 0))
                continue; /* transparent in the reference */
            ++opaque;
            COLORREF a = GetPixel(ref, x, y), b = GetPixel(shown, at.left + x, at.top + y);
            int d = abs((int)GetRValue(a) - GetRValue(b)) + abs((int)GetGValue(a) - GetGValue(b)) +
                    abs((int)GetBValue(a) - GetBValue(b));
            if (d < 48)
                ++same;
        }
    ReleaseDC(NULL, shown);
    DeleteDC(ref);
    DeleteDC(mask);
    DeleteObject(refBmp);
    DeleteObject(maskBmp);
    ReleaseDC(NULL, screen);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return opaque ? same * 100 / opaque : -1;
}

struct Children {
    HWND icon;           /* visible static control with SS_ICON that holds an icon */
    HWND text;           /* the message text: static control 0xFFFF */
    HWND buttons[8];
    int buttonCount;
};

static BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    struct Children *c = (struct Children *)param;
    wchar_t cls[64];
    if (!GetClassNameW(hwnd, cls, 64))
        return TRUE;
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        return TRUE;
    if (_wcsicmp(cls, L"Static") == 0) {
        if (GetDlgCtrlID(hwnd) == 0xFFFF)
            c->text = hwnd;
        else if ((style & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 0;
            SendMessageTimeoutW(hwnd, STM_GETICON, 0, 0, SMTO_BLOCK, 5000, &icon);
            if (icon)
                c->icon = hwnd;
        }
    } else if (_wcsicmp(cls, L"Button") == 0 && c->buttonCount < 8) {
        c->buttons[c->buttonCount++] = hwnd;
    }
    return TRUE;
}

static const char *IconName(HWND control)
{
    static const struct { LPCWSTR id; const char *name; } known[] = {
        {IDI_ERROR, "error"}, {IDI_INFORMATION, "information"},
        {IDI_WARNING, "warning"}, {IDI_QUESTION, "question"},
    };
    if (!control)
        return "none";
    int best = -1;
    const char *name = "other";
    for (size_t i = 0; i < sizeof known / sizeof known[0]; ++i) {
        int m = IconMatch(control, LoadIconW(NULL, known[i].id));
        if (m > best) {
            best = m;
            name = known[i].name;
        }
    }
    return best >= 90 ? name : "other";
}

struct Search {
    DWORD pid;
    HWND found;
    HWND seen[MAX_BOXES];
    int seenCount;
};

static BOOL CALLBACK FindBox(HWND hwnd, LPARAM param)
{
    struct Search *s = (struct Search *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t cls[16];
    if (!GetClassNameW(hwnd, cls, 16) || wcscmp(cls, L"#32770") != 0)
        return TRUE;
    for (int i = 0; i < s->seenCount; ++i)
        if (s->seen[i] == hwnd)
            return TRUE;
    s->found = hwnd;
    return FALSE;
}

static void WriteMarker(const wchar_t *path, const char *content)
{
    FILE *f = _wfopen(path, L"wb");
    if (!f)
        Fail("cannot write the handshake marker");
    fputs(content, f);
    fclose(f);
}

static void Record(int n, HWND box)
{
    struct Children c;
    memset(&c, 0, sizeof c);
    EnumChildWindows(box, CollectChild, (LPARAM)&c);
    LONG ex = GetWindowLongW(box, GWL_EXSTYLE);
    fprintf(g_result, "BOX\t%d\t%s\t%d\t", n, IconName(c.icon), (ex & WS_EX_TOPMOST) ? 1 : 0);
    for (int i = 0; i < c.buttonCount; ++i) {
        wchar_t *t = WindowText(c.buttons[i]);
        if (i)
            fputc('|', g_result);
        PutText(t);
        free(t);
    }
    fputc('\t', g_result);
    wchar_t *caption = WindowText(box);
    PutText(caption);
    free(caption);
    fputc('\t', g_result);
    if (c.text) {
        wchar_t *text = WindowText(c.text);
        PutText(text);
        free(text);
    }
    fputc('\n', g_result);
    fflush(g_result);
}

/* Quotes one argument by the rules that CommandLineToArgvW reverses. */
static void AppendArg(wchar_t *out, size_t cap, const wchar_t *arg)
{
    size_t len = wcslen(out);
    if (len)
        out[len++] = L' ';
    int quote = !*arg || wcspbrk(arg, L" \t\"") != NULL;
    if (quote)
        out[len++] = L'"';
    for (const wchar_t *p = arg;; ++p) {
        size_t slashes = 0;
        while (*p == L'\\') {
            ++slashes;
            ++p;
        }
        if (len + 2 * slashes + 4 >= cap)
            Fail("command line too long");
        if (!*p) {
            for (size_t i = 0; i < (quote ? 2 * slashes : slashes); ++i)
                out[len++] = L'\\';
            break;
        }
        for (size_t i = 0; i < (*p == L'"' ? 2 * slashes + 1 : slashes); ++i)
            out[len++] = L'\\';
        out[len++] = *p;
    }
    if (quote)
        out[len++] = L'"';
    out[len] = 0;
}

int main(void)
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t *resultPath = NULL, *handshake = NULL;
    DWORD timeoutMs = 180000;
    int i = 1;
    for (; i < argc; ++i) {
        if (wcscmp(argv[i], L"--") == 0) {
            ++i;
            break;
        } else if (wcscmp(argv[i], L"--result") == 0 && i + 1 < argc) {
            resultPath = argv[++i];
        } else if (wcscmp(argv[i], L"--handshake") == 0 && i + 1 < argc) {
            handshake = argv[++i];
        } else if (wcscmp(argv[i], L"--timeout") == 0 && i + 1 < argc) {
            timeoutMs = (DWORD)wcstoul(argv[++i], NULL, 10) * 1000;
        } else {
            fprintf(stderr, "watcher: unknown option\n");
            return 2;
        }
    }
    if (i >= argc) {
        fprintf(stderr, "usage: watcher.exe [--result FILE] [--handshake DIR] [--timeout S] -- PROGRAM [ARGS...]\n");
        return 2;
    }
    g_result = resultPath ? _wfopen(resultPath, L"wb") : stdout;
    if (!g_result)
        Fail("cannot open the result file");

    static wchar_t cmd[32768];
    for (int k = i; k < argc; ++k)
        AppendArg(cmd, sizeof cmd / sizeof cmd[0], argv[k]);

    STARTUPINFOW si;
    PROCESS_INFORMATION pi;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (!CreateProcessW(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fprintf(g_result, "START-FAILED\t%lu\n", GetLastError());
        fclose(g_result);
        return 2;
    }

    struct Search s;
    memset(&s, 0, sizeof s);
    s.pid = pi.dwProcessId;
    DWORD start = GetTickCount();
    int timedOut = 0;
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeoutMs) {
            timedOut = 1;
            break;
        }
        s.found = NULL;
        EnumWindows(FindBox, (LPARAM)&s);
        if (!s.found)
            continue;
        HWND box = s.found;
        /* Let the box finish laying itself out and painting before it is read. */
        Sleep(300);
        if (!IsWindow(box))
            continue;
        if (s.seenCount < MAX_BOXES)
            s.seen[s.seenCount++] = box;
        int n = s.seenCount;
        Record(n, box);
        if (handshake) {
            wchar_t shown[MAX_PATH], go[MAX_PATH];
            RECT r;
            char rect[64];
            GetWindowRect(box, &r);
            snprintf(rect, sizeof rect, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            _snwprintf(shown, MAX_PATH, L"%ls\\shown-%d", handshake, n);
            _snwprintf(go, MAX_PATH, L"%ls\\go-%d", handshake, n);
            WriteMarker(shown, rect);
            while (GetFileAttributesW(go) == INVALID_FILE_ATTRIBUTES) {
                if (GetTickCount() - start > timeoutMs)
                    break;
                Sleep(50);
            }
        }
        HWND ok = GetDlgItem(box, IDOK);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)ok);
        for (int k = 0; k < 100 && IsWindow(box) && IsWindowVisible(box); ++k)
            Sleep(50);
    }
    if (timedOut) {
        TerminateProcess(pi.hProcess, 259);
        fprintf(g_result, "TIMEOUT\n");
    } else {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        fprintf(g_result, "EXIT\t%lu\n", code);
    }
    fclose(g_result);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    LocalFree(argv);
    return timedOut ? 3 : 0;
}
