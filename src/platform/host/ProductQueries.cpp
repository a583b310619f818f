// MsiQueryProductStateW and MsiGetProductInfoW of the host build, answered from the product
// registry of the simulated machine (ProductRegistry.h).
#include "platform/Platform.h"

#include <string>

#include "platform/host/InstallerDiagnostics.h"
#include "platform/host/InstallerErrors.h"
#include "platform/host/MsiTextOut.h"
#include "platform/host/ProductCode.h"
#include "platform/host/ProductRegistry.h"

namespace {

// Keys of the registry that are the machine's bookkeeping, not properties of the product.
bool IsBookkeepingKey(const std::string& key) {
    return key == host::kRegistryState || key == host::kRegistryPatches ||
           key == host::kRegistryConfigureResult;
}

// The registry, valid until the next call; nullptr (after a message) when it cannot be read.
const host::ProductRegistry* LoadRegistry() {
    std::string error;
    const host::ProductRegistry* registry =
        host::CachedProductRegistry(host::ProductRegistryPath(), error);
    if (registry == nullptr)
        host::ReportInstallerProblem(error);
    return registry;
}

} // namespace

namespace win {

INSTALLSTATE MsiQueryProductStateW(const WCHAR* product) {
    if (product == nullptr || !host::IsProductCode(std::u16string_view(product)))
        return host::kInstallStateInvalidArg;
    const host::ProductRegistry* registry = LoadRegistry();
    if (registry == nullptr)
        return INSTALLSTATE_UNKNOWN;
    const host::ProductRecord* record = registry->find(ToUtf8(product));
    return record != nullptr ? record->state() : INSTALLSTATE_UNKNOWN;
}

UINT MsiGetProductInfoW(const WCHAR* product, const WCHAR* property, WCHAR* buffer, DWORD* length) {
    if (product == nullptr || property == nullptr ||
        !host::IsProductCode(std::u16string_view(product)))
        return ERROR_INVALID_PARAMETER;
    const host::ProductRegistry* registry = LoadRegistry();
    if (registry == nullptr)
        return host::kErrorBadConfiguration;
    const host::ProductRecord* record = registry->find(ToUtf8(product));
    if (record == nullptr)
        return ERROR_UNKNOWN_PRODUCT;
    const std::string key = ToUtf8(property);
    const std::string* value = IsBookkeepingKey(key) ? nullptr : record->find(key);
    if (value == nullptr)
        return ERROR_UNKNOWN_PROPERTY;
    return host::CopyTextOut(FromUtf8(*value), buffer, length);
}

} // namespace win
