// The product registry file: its parser's errors, a round trip, and concurrent writers.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "TestPackages.h"
#include "platform/host/InstallerRequestLog.h"
#include "platform/host/ProductRegistry.h"

namespace {

constexpr const char* kCode = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}";

TEST(ProductRegistryParse, RejectsDamageWithItsLine) {
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"key before section", "State=5\n", "reg:1: key before the first product section"},
        {"section not a code", "[Studio]\n", "reg:1: section \"Studio\" is not a product code"},
        {"unclosed section", "; c\n[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}\n",
         "reg:2: section header without ']'"},
        {"same product twice",
         "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\n[{6f3c2a10-8b4d-4e21-9a7c-1d2e3f405a61}]\n",
         "reg:2: product {6f3c2a10-8b4d-4e21-9a7c-1d2e3f405a61} listed twice"},
        {"state not a number", "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\nState=five\n",
         "reg:2: State \"five\" is not a number"},
        {"line without =", "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\nState\n",
         "reg:2: neither a section header nor a key=value line"},
        {"key twice", "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\nLanguage=1\nLanguage=2\n",
         "reg:3: key Language given twice"},
        {"overlong line",
         "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\nProductName=" + std::string(5000, 'x') + "\n",
         "reg:2: line longer than 4096 bytes"},
        {"NUL byte", std::string("[x]\0\n", 5), "reg: holds a NUL byte at offset 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::ProductRegistry registry;
        std::string error;
        EXPECT_FALSE(host::ParseProductRegistry(c.text, "reg", registry, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(ProductRegistryParse, FormatThenParseGivesTheSameProducts) {
    host::ProductRegistry registry;
    host::ProductRecord record{kCode, {}};
    record.set(host::kRegistryProductName, "Tessivar Studio");
    record.set(host::kRegistryLanguage, "1041");
    record.set(host::kRegistryState, "1");
    record.set(host::kRegistryConfigureResult, "3010");
    registry.put(record);
    const std::string text = "; written by hand\r\n" + host::FormatProductRegistry(registry);

    host::ProductRegistry parsed;
    std::string error;
    ASSERT_TRUE(host::ParseProductRegistry(text, "reg", parsed, error)) << error;
    ASSERT_EQ(parsed.products.size(), 1u);
    EXPECT_EQ(parsed.products[0].values, record.values);
    EXPECT_EQ(parsed.products[0].state(), 1);
    unsigned result = 0;
    EXPECT_TRUE(parsed.products[0].configureResult(result));
    EXPECT_EQ(result, 3010u);
}

// Two processes change the registry and log requests at the same time; no change is lost.
TEST(ProductRegistryConcurrency, TwoProcessesLoseNoUpdate) {
    testpkg::TempDir dir;
    const std::string path = dir.file("products.ini");
    constexpr int kUpdatesPerProcess = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] != 0)
            continue;
        bool ok = true;
        for (int i = 0; i < kUpdatesPerProcess && ok; ++i) {
            char code[64];
            std::snprintf(code, sizeof code, "{00000000-0000-0000-0000-%06d%06d}", child, i);
            host::ProductRegistryLock lock;
            host::ProductRegistry registry;
            std::string error;
            ok = lock.acquire(path, error) && host::LoadProductRegistry(path, registry, error);
            host::ProductRecord record{code, {}};
            record.set(host::kRegistryVersionString, std::to_string(i));
            registry.put(record);
            ok = ok && host::SaveProductRegistry(path, registry, error) &&
                 host::AppendInstallerRequest(path, {0, code, 0, 5, "PATCH=\"x\""}, error);
        }
        _exit(ok ? 0 : 1);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    host::ProductRegistry registry;
    std::vector<host::InstallerRequest> requests;
    std::string error;
    ASSERT_TRUE(host::LoadProductRegistry(path, registry, error)) << error;
    ASSERT_TRUE(host::ReadInstallerRequests(path, requests, error)) << error;
    EXPECT_EQ(registry.products.size(), 2u * kUpdatesPerProcess);
    EXPECT_EQ(requests.size(), 2u * kUpdatesPerProcess);
}

} // namespace
