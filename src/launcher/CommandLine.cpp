#include "launcher/CommandLine.h"

#include <memory>

#include "launcher/ProcessState.h"

namespace {

// A switch matches only the whole argument, regardless of the case of ASCII letters.
bool IsSwitch(const win::WCHAR* argument, char16_t letter) {
    if (argument[0] != u'/' || argument[1] == u'\0' || argument[2] != u'\0')
        return false;
    const char16_t c = argument[1];
    const char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    return lower == letter;
}

struct ArgvDeleter {
    void operator()(win::WCHAR** argv) const { win::LocalFree(argv); }
};

} // namespace

bool ParseCommandLine() {
    int count = 0;
    std::unique_ptr<win::WCHAR*, ArgvDeleter> argv(
        win::CommandLineToArgvW(win::GetCommandLineW(), &count));
    if (!argv)
        count = 0;

    g_quiet = false;
    g_modeExtract = false;
    g_modePatchList = false;
    g_extractPath.clear();
    g_patchListPath.clear();
    g_modeInstall = true;

    // A failure inside the scan (no memory for a path) ends it; what was set stays.
    try {
        for (int i = 1; i < count; ++i) {
            const win::WCHAR* argument = argv.get()[i];
            if (IsSwitch(argument, u'q')) {
                g_quiet = true;
            } else if (IsSwitch(argument, u'e')) {
                g_modeExtract = true;
                g_modeInstall = false;
                if (i + 1 < count)
                    g_extractPath = argv.get()[++i];
            } else if (IsSwitch(argument, u'p')) {
                g_modePatchList = true;
                g_modeInstall = false;
                if (i + 1 < count)
                    g_patchListPath = argv.get()[++i];
            } else if (IsSwitch(argument, u'i')) {
                g_modeListProducts = true;
                g_modeInstall = false;
                break;
            }
        }
    } catch (...) {
    }
    return true;
}
