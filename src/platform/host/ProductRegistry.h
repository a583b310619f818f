// The product registry of the simulated machine: what the stand-in installer knows about the
// products "installed" on it. A UTF-8 text file, one section per product:
//
//     ; comment lines start with ';' or '#'
//     [{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]    the product code
//     ProductName=Tessivar Studio                 answered by MsiGetProductInfoW
//     Language=1041                               answered by MsiGetProductInfoW
//     VersionString=7.0.61.1                      answered by MsiGetProductInfoW
//     State=5                                     MsiQueryProductStateW: 5 installed, 1
//                                                 advertised, 2 absent... (5 when missing)
//     Patches={A7D35B0E-...};{...}                codes of the applied patches, ';'-separated
//     ConfigureResult=1603                        optional: MsiConfigureProductExW returns this
//                                                 (0, 3010 and 1641 still record the patch)
//
// MsiConfigureProductExW patches products in state 5 or 1 (an advertised product becomes
// installed, state 5); for any other state it answers 1605 like for an unknown product.
//
// Any other key is a product property that MsiGetProductInfoW answers as well. Keys and values
// are trimmed of blanks; lines end in LF or CR LF. Where the file lives: $SP_HOST_PRODUCTS, else
// $HOME/.local/state/servicepack-host/products.ini. A missing file is a machine without
// products. Beside it, "<file>.lock" serialises writers and "<file>.requests" logs the
// configure requests (InstallerRequestLog.h). The file is replaced atomically on every change.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

constexpr const char* kRegistryProductName = "ProductName";
constexpr const char* kRegistryLanguage = "Language";
constexpr const char* kRegistryVersionString = "VersionString";
constexpr const char* kRegistryState = "State";
constexpr const char* kRegistryPatches = "Patches";
constexpr const char* kRegistryConfigureResult = "ConfigureResult";
constexpr int kRegistryDefaultState = 5;

struct ProductRecord {
    std::string code;
    std::vector<std::pair<std::string, std::string>> values; // in file order

    const std::string* find(std::string_view key) const;
    void set(std::string_view key, std::string value);
    int state() const;
    // False when the product has no scripted result.
    bool configureResult(unsigned& result) const;
};

struct ProductRegistry {
    std::vector<ProductRecord> products;

    ProductRecord* find(std::string_view code);
    const ProductRecord* find(std::string_view code) const;
    // Adds the product, or replaces the record of the same code in place.
    void put(ProductRecord record);
    bool remove(std::string_view code);
};

// $SP_HOST_PRODUCTS, else the default under $HOME; empty when neither is set.
std::string ProductRegistryPath();

// `where` names the text in error messages ("file:line: what").
bool ParseProductRegistry(std::string_view text, const std::string& where,
                          ProductRegistry& registry, std::string& error);
std::string FormatProductRegistry(const ProductRegistry& registry);

// The registry at `path` as this process last read or saved it, read again only when the file
// changed (every save replaces the file, so a new inode or time shows it): a run asks about
// every target product several times. Valid until the next call or save; nullptr, with
// `error`, when the file cannot be read.
const ProductRegistry* CachedProductRegistry(const std::string& path, std::string& error);

bool LoadProductRegistry(const std::string& path, ProductRegistry& registry, std::string& error);
// Writes a temporary file beside `path` and renames it over `path`; hold the lock.
bool SaveProductRegistry(const std::string& path, const ProductRegistry& registry,
                         std::string& error);

// Holds the registry's lock (flock on "<path>.lock") for a read-change-write.
class ProductRegistryLock {
  public:
    ProductRegistryLock() = default;
    ~ProductRegistryLock();
    ProductRegistryLock(const ProductRegistryLock&) = delete;
    ProductRegistryLock& operator=(const ProductRegistryLock&) = delete;

    // Waits for the lock; creates the registry's directory when it does not exist.
    bool acquire(const std::string& registryPath, std::string& error);

  private:
    int fd_ = -1;
};

} // namespace host
