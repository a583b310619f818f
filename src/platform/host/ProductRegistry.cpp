#include "platform/host/ProductRegistry.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unordered_set>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/host/ProductCode.h"

namespace host {
namespace {

constexpr const char* kRegistryEnvironment = "SP_HOST_PRODUCTS";
constexpr const char* kDefaultRelativePath = "/.local/state/servicepack-host/products.ini";
constexpr std::size_t kMaxRegistryBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = 4096;
constexpr std::size_t kMaxProducts = 10000;
constexpr std::size_t kMaxKeysPerProduct = 64;
constexpr const char* kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool ParseInteger(std::string_view text, long long& value) {
    if (text.empty() || text.size() > 11)
        return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return false;
    long long number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    value = text[0] == '-' ? -number : number;
    return true;
}

// Product codes compare without regard to case.
std::string NormalizedCode(std::string_view code) {
    std::string upper(code);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsKey(std::string_view key) {
    if (key.empty())
        return false;
    for (char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool MakeParentDirectories(const std::string& path, std::string& error) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string directory = path.substr(0, slash);
        struct stat info;
        if (mkdir(directory.c_str(), 0755) != 0 &&
            !(stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
            error = SystemError("cannot create directory", directory);
            return false;
        }
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A value must stay on its line and keep its blanks' meaning through a trim.
std::string OneLine(const std::string& value) {
    std::string line = value;
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return std::string(Trim(line));
}

} // namespace

const std::string* ProductRecord::find(std::string_view key) const {
    for (const auto& [name, value] : values) {
        if (name == key)
            return &value;
    }
    return nullptr;
}

void ProductRecord::set(std::string_view key, std::string value) {
    for (auto& [name, old] : values) {
        if (name == key) {
            old = std::move(value);
            return;
        }
    }
    values.emplace_back(std::string(key), std::move(value));
}

int ProductRecord::state() const {
    const std::string* text = find(kRegistryState);
    long long value = kRegistryDefaultState;
    if (text != nullptr)
        ParseInteger(*text, value); // checked when the registry was read
    return static_cast<int>(value);
}

bool ProductRecord::configureResult(unsigned& result) const {
    const std::string* text = find(kRegistryConfigureResult);
    long long value = 0;
    if (text == nullptr || !ParseInteger(*text, value))
        return false;
    result = static_cast<unsigned>(value);
    return true;
}

ProductRecord* ProductRegistry::find(std::string_view code) {
    for (ProductRecord& record : products) {
        if (SameProductCode(record.code, code))
            return &record;
    }
    return nullptr;
}

const ProductRecord* ProductRegistry::find(std::string_view code) const {
    return const_cast<ProductRegistry*>(this)->find(code);
}

void ProductRegistry::put(ProductRecord record) {
    if (ProductRecord* old = find(record.code))
        *old = std::move(record);
    else
        products.push_back(std::move(record));
}

bool ProductRegistry::remove(std::string_view code) {
    for (auto it = products.begin(); it != products.end(); ++it) {
        if (SameProductCode(it->code, code)) {
            products.erase(it);
            return true;
        }
    }
    return false;
}

std::string ProductRegistryPath() {
    if (const char* path = std::getenv(kRegistryEnvironment); path != nullptr && path[0] != '\0')
        return path;
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return std::string(home) + kDefaultRelativePath;
    return {};
}

bool ParseProductRegistry(std::string_view text, const std::string& where,
                          ProductRegistry& registry, std::string& error) {
    std::unordered_set<std::string> seen;
    ProductRegistry result;
    ProductRecord* current = nullptr;
    std::size_t lineNumber = 0;
    auto fail = [&](const std::string& what) {
        error = where + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    if (text.size() > kMaxRegistryBytes) {
        error = where + ": " + std::to_string(text.size()) + " bytes, more than " +
                std::to_string(kMaxRegistryBytes);
        return false;
    }
    if (text.find('\0') != std::string_view::npos) {
        error = where + ": holds a NUL byte at offset " + std::to_string(text.find('\0'));
        return false;
    }
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() > kMaxLineBytes)
            return fail("line longer than " + std::to_string(kMaxLineBytes) + " bytes");
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']')
                return fail("section header without ']'");
            const std::string_view code = Trim(line.substr(1, line.size() - 2));
            if (!IsProductCode(code))
                return fail("section \"" + std::string(code) + "\" is not a product code");
            // A set, not a search of the list: registries of thousands of products parse in
            // linear time.
            if (!seen.insert(NormalizedCode(code)).second)
                return fail("product " + std::string(code) + " listed twice");
            if (result.products.size() >= kMaxProducts)
                return fail("more than " + std::to_string(kMaxProducts) + " products");
            result.products.push_back({std::string(code), {}});
            current = &result.products.back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail("neither a section header nor a key=value line");
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (current == nullptr)
            return fail("key before the first product section");
        if (!IsKey(key))
            return fail("key \"" + std::string(key) + "\" is not a name");
        if (current->find(key) != nullptr)
            return fail("key " + std::string(key) + " given twice");
        if (current->values.size() >= kMaxKeysPerProduct)
            return fail("more than " + std::to_string(kMaxKeysPerProduct) + " keys in a product");
        long long number = 0;
        if ((key == kRegistryState || key == kRegistryConfigureResult) &&
            !ParseInteger(value, number))
            return fail(std::string(key) + " \"" + std::string(value) + "\" is not a number");
        current->values.emplace_back(std::string(key), std::string(value));
    }
    registry = std::move(result);
    return true;
}

std::string FormatProductRegistry(const ProductRegistry& registry) {
    std::ostringstream out;
    out << "; Products of the simulated machine of the host build: one [product code] section\n"
           "; each, with ProductName, Language, VersionString, State, Patches, ConfigureResult.\n";
    for (const ProductRecord& record : registry.products) {
        out << "\n[" << record.code << "]\n";
        for (const auto& [key, value] : record.values)
            out << key << '=' << OneLine(value) << '\n';
    }
    return out.str();
}

namespace {

struct RegistryCache {
    bool valid = false;
    std::string path;
    struct stat file {};
    ProductRegistry registry;
};

RegistryCache& Cache() {
    static RegistryCache cache;
    return cache;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

void Remember(const std::string& path, const ProductRegistry& registry) {
    RegistryCache& cache = Cache();
    cache.valid = stat(path.c_str(), &cache.file) == 0;
    cache.path = path;
    if (&registry != &cache.registry)
        cache.registry = registry;
}

} // namespace

const ProductRegistry* CachedProductRegistry(const std::string& path, std::string& error) {
    RegistryCache& cache = Cache();
    struct stat now;
    if (cache.valid && cache.path == path && stat(path.c_str(), &now) == 0 &&
        SameFile(now, cache.file))
        return &cache.registry;
    cache.valid = false;
    if (!LoadProductRegistry(path, cache.registry, error))
        return nullptr;
    Remember(path, cache.registry);
    return &cache.registry;
}

bool LoadProductRegistry(const std::string& path, ProductRegistry& registry, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            registry = ProductRegistry();
            return true;
        }
        error = SystemError("cannot read product registry", path);
        return false;
    }
    // One byte more than allowed, so that a longer file is noticed and not cut.
    std::string text(kMaxRegistryBytes + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const ssize_t n = read(fd, text.data() + size, text.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = SystemError("cannot read product registry", path);
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    close(fd);
    text.resize(size);
    return ParseProductRegistry(text, path, registry, error);
}

bool SaveProductRegistry(const std::string& path, const ProductRegistry& registry,
                         std::string& error) {
    if (!MakeParentDirectories(path, error))
        return false;
    const std::string temporary = path + ".tmp-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = SystemError("cannot create", temporary);
        return false;
    }
    const bool written = WriteAll(fd, FormatProductRegistry(registry)) && fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        errno = written ? errno : writeErrno;
        error = SystemError("cannot write", temporary);
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot rename " + temporary + " to", path);
        unlink(temporary.c_str());
        return false;
    }
    Remember(path, registry);
    return true;
}

ProductRegistryLock::~ProductRegistryLock() {
    if (fd_ >= 0)
        close(fd_); // releases the flock
}

bool ProductRegistryLock::acquire(const std::string& registryPath, std::string& error) {
    if (registryPath.empty()) {
        error = std::string("no product registry: neither ") + kRegistryEnvironment +
                " nor HOME is set";
        return false;
    }
    if (!MakeParentDirectories(registryPath, error))
        return false;
    const std::string lockPath = registryPath + ".lock";
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error = SystemError("cannot open", lockPath);
        return false;
    }
    int result;
    do {
        result = flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        error = SystemError("cannot lock", lockPath);
        return false;
    }
    return true;
}

} // namespace host
