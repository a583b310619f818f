// register-product: installs a product on the simulated machine of the host build, the way
// "msiexec /i PACKAGE.msi" would, by recording it in the product registry.
//
//   register-product [--registry FILE] [--state N] [--result N] PACKAGE.msi
//   register-product [--registry FILE] --remove CODE
//
// --registry names the registry (default: $SP_HOST_PRODUCTS, else the one under $HOME);
// --state sets the install state (default 5, installed); --result scripts what
// MsiConfigureProductExW returns for the product. Registering a product again replaces its
// record. Exit code 0 on success, 1 on failure, 2 for a wrong command line.
#include <cstdio>
#include <string>
#include <string_view>

#include "MsiProductProperties.h"
#include "platform/host/ProductCode.h"
#include "platform/host/ProductRegistry.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kUsage =
    "usage: register-product [--registry FILE] [--state N] [--result N] PACKAGE.msi\n"
    "       register-product [--registry FILE] --remove CODE\n";

struct Options {
    std::string registry;
    std::string state = std::to_string(host::kRegistryDefaultState);
    std::string result;
    std::string remove;
    std::string package;
};

bool IsNumber(std::string_view text) {
    if (text.empty() || text.size() > 10)
        return false;
    for (std::size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return text != "-";
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takesValue =
            arg == "--registry" || arg == "--state" || arg == "--result" || arg == "--remove";
        if (takesValue && i + 1 == argc) {
            std::fprintf(stderr, "register-product: %s needs a value\n", argv[i]);
            return false;
        }
        if (arg == "--registry") {
            options.registry = argv[++i];
        } else if (arg == "--state" || arg == "--result") {
            std::string& target = arg == "--state" ? options.state : options.result;
            target = argv[++i];
            if (!IsNumber(target)) {
                std::fprintf(stderr, "register-product: %s %s is not a number\n", argv[i - 1],
                             argv[i]);
                return false;
            }
        } else if (arg == "--remove") {
            options.remove = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "register-product: unknown option %s\n", argv[i]);
            return false;
        } else if (options.package.empty()) {
            options.package = argv[i];
        } else {
            std::fprintf(stderr, "register-product: more than one package\n");
            return false;
        }
    }
    if (options.remove.empty() == options.package.empty()) {
        std::fprintf(stderr, "register-product: give either a package or --remove CODE\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string registryPath =
        options.registry.empty() ? host::ProductRegistryPath() : options.registry;

    host::ProductRecord record;
    std::string error;
    if (!options.package.empty()) {
        MsiProductProperties package;
        if (!ReadMsiProductProperties(options.package, package, error)) {
            std::fprintf(stderr, "register-product: %s\n", error.c_str());
            return kExitFailure;
        }
        if (!host::IsProductCode(package.productCode)) {
            std::fprintf(stderr, "register-product: %s: ProductCode \"%s\" is not a product code\n",
                         options.package.c_str(), package.productCode.c_str());
            return kExitFailure;
        }
        record.code = package.productCode;
        record.set(host::kRegistryProductName, package.productName);
        record.set(host::kRegistryLanguage, package.productLanguage);
        record.set(host::kRegistryVersionString, package.productVersion);
        record.set(host::kRegistryState, options.state);
        if (!options.result.empty())
            record.set(host::kRegistryConfigureResult, options.result);
    }

    host::ProductRegistryLock lock;
    host::ProductRegistry registry;
    if (!lock.acquire(registryPath, error) ||
        !host::LoadProductRegistry(registryPath, registry, error)) {
        std::fprintf(stderr, "register-product: %s\n", error.c_str());
        return kExitFailure;
    }
    if (!options.remove.empty()) {
        if (!registry.remove(options.remove)) {
            std::fprintf(stderr, "register-product: %s: no product %s\n", registryPath.c_str(),
                         options.remove.c_str());
            return kExitFailure;
        }
    } else {
        registry.put(record);
    }
    if (!host::SaveProductRegistry(registryPath, registry, error)) {
        std::fprintf(stderr, "register-product: %s\n", error.c_str());
        return kExitFailure;
    }
    return kExitSuccess;
}
