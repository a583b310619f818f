#include "launcher/ExitCode.h"

#include "apply/InstallPatch.h"

namespace {

int Severity(win::DWORD code) {
    switch (code) {
    case win::ERROR_SUCCESS:
        return 0;
    case win::ERROR_SUCCESS_REBOOT_REQUIRED:
        return 1;
    case win::ERROR_SUCCESS_REBOOT_INITIATED:
        return 2;
    case win::ERROR_PATCH_TARGET_NOT_FOUND:
        return 3;
    default:
        return 4;
    }
}

} // namespace

void ExitCode::Record(win::DWORD code) {
    // Strictly more serious only: among failures the first one stands.
    if (Severity(code) > Severity(value_))
        value_ = code;
}

win::DWORD InstallExitCode(const InstallReport& report) {
    ExitCode code;
    if (report.failedBeforeLoop)
        code.Record(win::ERROR_INSTALL_FAILURE);
    if (report.noTargetPresent || report.unsupportedVersion)
        code.Record(win::ERROR_PATCH_TARGET_NOT_FOUND);
    for (win::UINT result : report.installerResults)
        code.Record(result);
    return code.value();
}
