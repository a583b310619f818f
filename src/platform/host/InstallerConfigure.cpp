// MsiConfigureProductExW of the host build: makes the checks a real installer makes before it
// patches a product, then records the patch in the product registry of the simulated machine
// (or returns the product's scripted result). Every request is appended to the request log.
#include "platform/Platform.h"

#include "platform/host/Faults.h"
#include "platform/host/InstallerCommandLine.h"
#include "platform/host/InstallerDiagnostics.h"
#include "platform/host/InstallerErrors.h"
#include "platform/host/InstallerPatchPackage.h"
#include "platform/host/InstallerRequestLog.h"
#include "platform/host/ProductCode.h"
#include "platform/host/ProductRegistry.h"

namespace {

constexpr const char16_t* kPatchProperty = u"PATCH";

// Results by which the installer says that it applied the patch.
bool MeansApplied(win::UINT result) {
    return result == win::ERROR_SUCCESS || result == win::ERROR_SUCCESS_REBOOT_REQUIRED ||
           result == win::ERROR_SUCCESS_REBOOT_INITIATED;
}

void RecordPatch(host::ProductRecord& record, const host::PatchPackage& patch) {
    const std::string* patches = record.find(host::kRegistryPatches);
    std::string list = patches != nullptr ? *patches : std::string();
    bool present = false;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        present =
            present || host::SameProductCode(list.substr(start, end - start), patch.patchCode);
        start = end + 1;
    }
    if (!present)
        record.set(host::kRegistryPatches,
                   list.empty() ? patch.patchCode : list + ";" + patch.patchCode);
    if (const std::string* version = patch.newVersionFor(record.code))
        record.set(host::kRegistryVersionString, *version);
    record.set(host::kRegistryState, std::to_string(win::INSTALLSTATE_DEFAULT));
}

// Called with the registry locked; `error` explains a failure for the diagnostic line.
win::UINT Configure(const std::string& registryPath, const win::WCHAR* product,
                    win::INSTALLSTATE installState, const win::WCHAR* commandLine,
                    std::string& error) {
    if (product == nullptr || !host::IsProductCode(std::u16string_view(product)))
        return win::ERROR_INVALID_PARAMETER;
    if (installState != win::INSTALLSTATE_DEFAULT) {
        error = "install state " + std::to_string(installState) +
                ": the stand-in installer only reconfigures to the default state";
        return win::ERROR_INVALID_PARAMETER;
    }
    const host::ProductRegistry* current = host::CachedProductRegistry(registryPath, error);
    if (current == nullptr)
        return host::kErrorBadConfiguration;
    const host::ProductRecord* record = current->find(ToUtf8(product));
    // An advertised product is known to the installer: configuring it installs it.
    if (record == nullptr || (record->state() != win::INSTALLSTATE_DEFAULT &&
                              record->state() != win::INSTALLSTATE_ADVERTISED))
        return win::ERROR_UNKNOWN_PRODUCT;

    host::InstallerProperties properties;
    if (!host::ParseInstallerCommandLine(commandLine != nullptr ? commandLine : u"", properties,
                                         error))
        return host::kErrorInvalidCommandLine;
    unsigned scripted = 0;
    const bool hasScript = record->configureResult(scripted);
    const WString* patchPath = properties.find(kPatchProperty);
    if (patchPath == nullptr) // nothing to apply: a plain reconfiguration
        return hasScript ? scripted : win::ERROR_SUCCESS;

    host::PatchPackage patch;
    if (const win::UINT result = host::ReadPatchPackage(ToUtf8(*patchPath), patch, error))
        return result;
    if (!patch.targetsProduct(record->code))
        return win::ERROR_PATCH_TARGET_NOT_FOUND;
    if (hasScript && !MeansApplied(scripted))
        return scripted;

    host::ProductRegistry registry = *current;
    RecordPatch(*registry.find(record->code), patch);
    if (!host::SaveProductRegistry(registryPath, registry, error))
        return win::ERROR_INSTALL_FAILURE;
    return hasScript ? scripted : win::ERROR_SUCCESS;
}

} // namespace

namespace win {

UINT MsiConfigureProductExW(const WCHAR* product, int installLevel, INSTALLSTATE installState,
                            const WCHAR* commandLine) {
    if (DWORD fault = 0; host::TakeFault(host::Call::MsiConfigureProduct, fault))
        return fault;
    const std::string registryPath = host::ProductRegistryPath();
    std::string error;
    host::ProductRegistryLock lock;
    if (!lock.acquire(registryPath, error)) {
        host::ReportInstallerProblem(error);
        return ERROR_INSTALL_SERVICE_FAILURE;
    }
    host::InstallerRequest request;
    request.product = product != nullptr ? ToUtf8(product) : std::string();
    request.installLevel = installLevel;
    request.installState = installState;
    request.commandLine = commandLine != nullptr ? ToUtf8(commandLine) : std::string();
    request.result = Configure(registryPath, product, installState, commandLine, error);
    if (!error.empty())
        host::ReportInstallerProblem(error);
    if (!host::AppendInstallerRequest(registryPath, request, error))
        host::ReportInstallerProblem(error);
    return request.result;
}

} // namespace win
