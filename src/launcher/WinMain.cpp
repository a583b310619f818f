#include "apply/InstallPatch.h"
#include "apply/ProductEntry.h"
#include "installer/ShowPatchTargets.h"
#include "launcher/CommandLine.h"
#include "launcher/ExitCode.h"
#include "launcher/ProcessState.h"
#include "payload/ExtractPatch.h"
#include "payload/WritePatchList.h"
#include "platform/Entry.h"

extern "C" int WINAPI WinMain(win::HINSTANCE instance, win::HINSTANCE, char*, int) {
    g_hInstance = instance;
    // Before anything can load a DLL: never from the folder that holds the executable.
    win::SetDefaultDllDirectories(win::LOAD_LIBRARY_SEARCH_SYSTEM32);
    ParseCommandLine();

    ExitCode exitCode;
    if (g_modeInstall) {
        exitCode.Record(InstallExitCode(InstallPatch()));
    } else {
        if (g_modeExtract)
            exitCode.Record(ExtractPatch(g_extractPath) ? win::ERROR_SUCCESS
                                                        : win::ERROR_INSTALL_FAILURE);
        if (g_modePatchList)
            exitCode.Record(WritePatchList(g_patchListPath).entriesAppended > 0
                                ? win::ERROR_SUCCESS
                                : win::ERROR_INSTALL_FAILURE);
        if (g_modeListProducts)
            exitCode.Record(ShowPatchTargets() ? win::ERROR_SUCCESS : win::ERROR_INSTALL_FAILURE);
    }
    g_products.clear();
    return static_cast<int>(exitCode.value());
}
