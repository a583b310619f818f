// MsiQueryProductStateW and MsiGetProductInfoW of the host build, answered from the product
// registry of the simulated machine (ProductRegistry.h).
#include "platform/Platform.h"

#include <sys/stat.h>

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

// The registry as last read, and which file that was. A run asks about every target product,
// several times each; the file is read again only when it changed (every write replaces it,
// so a new inode or time shows it).
struct CachedRegistry {
    bool valid = false;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    host::ProductRegistry registry;
};

bool SameFile(const CachedRegistry& cache, const std::string& path, const struct stat& st) {
    return cache.valid && cache.path == path && cache.device == st.st_dev &&
           cache.inode == st.st_ino && cache.size == st.st_size &&
           cache.modified.tv_sec == st.st_mtim.tv_sec && cache.modified.tv_nsec == st.st_mtim.tv_nsec;
}

// The registry, valid until the next call; nullptr (after a message) when it cannot be read.
const host::ProductRegistry* LoadRegistry() {
    static CachedRegistry cache;
    const std::string path = host::ProductRegistryPath();
    struct stat st;
    const bool exists = stat(path.c_str(), &st) == 0;
    if (exists && SameFile(cache, path, st))
        return &cache.registry;
    std::string error;
    cache.valid = false;
    if (!host::LoadProductRegistry(path, cache.registry, error)) {
        host::ReportInstallerProblem(error);
        return nullptr;
    }
    if (exists) {
        cache.valid = true;
        cache.path = path;
        cache.device = st.st_dev;
        cache.inode = st.st_ino;
        cache.size = st.st_size;
        cache.modified = st.st_mtim;
    }
    return &cache.registry;
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
