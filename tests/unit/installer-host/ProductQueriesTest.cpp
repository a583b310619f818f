// MsiQueryProductStateW and MsiGetProductInfoW on products registered by register-product from
// the wixl-built sample products.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/wait.h>

#include "TestPackages.h"
#include "platform/host/InstallerErrors.h"

using namespace win;

namespace {

constexpr const char16_t* kStudio = u"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}";
constexpr const char16_t* kReader = u"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}";
constexpr const char16_t* kOther = u"{0B1D2C3E-4F50-4617-8A9B-ACBDCEDF0001}";
constexpr DWORD kInfoBuffer = 1024; // what the product queries pass

// Runs register-product with `arguments` on the test's registry; its exit code.
int RegisterProduct(const std::string& registry, const std::string& arguments) {
    const std::string command = std::string("'") + SP_REGISTER_PRODUCT + "' --registry '" +
                                registry + "' " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Package(const std::string& stem) {
    return std::string("'") + SP_TEST_PRODUCTS_DIR + "/" + stem + ".msi'";
}

struct Info {
    UINT result;
    WString value;
};

Info ProductInfo(const char16_t* product, const char16_t* property) {
    std::vector<WCHAR> buffer(kInfoBuffer, u'#');
    DWORD length = kInfoBuffer;
    const UINT result = MsiGetProductInfoW(product, property, buffer.data(), &length);
    return {result, result == ERROR_SUCCESS ? WString(buffer.data()) : WString()};
}

class ProductQueries : public ::testing::Test {
  protected:
    testpkg::SimulatedMachine machine_;
};

TEST_F(ProductQueries, RegisteredProductsAnswerInTheirLanguage) {
    ASSERT_EQ(RegisterProduct(machine_.registry(), Package("studio-1041-70611")), 0);
    ASSERT_EQ(RegisterProduct(machine_.registry(), Package("reader-1043-70435")), 0);
    ASSERT_EQ(RegisterProduct(machine_.registry(), "--state 1 " + Package("other-1033-10000")), 0);
    struct Case {
        const char16_t* product;
        INSTALLSTATE state;
        WString name, language, version;
    };
    const Case cases[] = {
        {kStudio, INSTALLSTATE_DEFAULT, u"Tessivar Studio", u"1041", u"7.0.61.1"},
        {kReader, INSTALLSTATE_DEFAULT, u"Tessivar Reader", u"1043", u"7.0.43.5"},
        {kOther, INSTALLSTATE_ADVERTISED, u"Unrelated Tool", u"1033", u"1.0.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.product));
        EXPECT_EQ(MsiQueryProductStateW(c.product), c.state);
        const Info name = ProductInfo(c.product, u"ProductName");
        const Info language = ProductInfo(c.product, u"Language");
        const Info version = ProductInfo(c.product, u"VersionString");
        EXPECT_EQ(name.result, ERROR_SUCCESS);
        EXPECT_EQ(name.value, c.name);
        EXPECT_EQ(language.value, c.language);
        EXPECT_EQ(version.value, c.version);
    }
}

TEST_F(ProductQueries, ReinstallReplacesAndRemoveForgets) {
    ASSERT_EQ(RegisterProduct(machine_.registry(), Package("studio-1041-70611")), 0);
    ASSERT_EQ(RegisterProduct(machine_.registry(), Package("studio-1049-71006")), 0);
    EXPECT_EQ(ProductInfo(kStudio, u"Language").value, u"1049");
    EXPECT_EQ(ProductInfo(kStudio, u"VersionString").value, u"7.1.0.6");

    ASSERT_EQ(RegisterProduct(machine_.registry(), "--remove '" + ToUtf8(kStudio) + "'"), 0);
    EXPECT_EQ(MsiQueryProductStateW(kStudio), INSTALLSTATE_UNKNOWN);
    EXPECT_EQ(ProductInfo(kStudio, u"ProductName").result, ERROR_UNKNOWN_PRODUCT);
}

TEST_F(ProductQueries, ToolRejectsWhatItCannotRegister) {
    testpkg::WriteBytes(machine_.file("junk.msi"), {'n', 'o', 't'});
    EXPECT_EQ(RegisterProduct(machine_.registry(), "'" + machine_.file("junk.msi") + "'"), 1);
    EXPECT_EQ(RegisterProduct(machine_.registry(), "'" + std::string(SP_SAMPLE_PATCH) + "'"), 1);
    EXPECT_EQ(RegisterProduct(machine_.registry(), "--remove '" + ToUtf8(kStudio) + "'"), 1);
    EXPECT_EQ(RegisterProduct(machine_.registry(), "--state x " + Package("studio-1041-70611")), 2);
    EXPECT_EQ(RegisterProduct(machine_.registry(), ""), 2);
}

TEST_F(ProductQueries, UnknownProductsAndProperties) {
    ASSERT_EQ(RegisterProduct(machine_.registry(), Package("studio-1041-70611")), 0);
    EXPECT_EQ(MsiQueryProductStateW(kReader), INSTALLSTATE_UNKNOWN);
    EXPECT_EQ(MsiQueryProductStateW(u"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};"),
              host::kInstallStateInvalidArg);
    EXPECT_EQ(MsiQueryProductStateW(u""), host::kInstallStateInvalidArg);
    EXPECT_EQ(ProductInfo(kReader, u"ProductName").result, ERROR_UNKNOWN_PRODUCT);
    EXPECT_EQ(ProductInfo(kStudio, u"Publisher").result, ERROR_UNKNOWN_PROPERTY);
    EXPECT_EQ(ProductInfo(kStudio, u"State").result, ERROR_UNKNOWN_PROPERTY);
}

TEST_F(ProductQueries, ValueLengthFollowsTheInstallerConvention) {
    std::ofstream(machine_.registry())
        << "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}]\nProductName=" << std::string(1023, 'n')
        << "\nVersionString=" << std::string(1024, 'v') << "\n";
    const Info whole = ProductInfo(kStudio, u"ProductName");
    EXPECT_EQ(whole.result, ERROR_SUCCESS);
    EXPECT_EQ(whole.value.size(), 1023u);

    std::vector<WCHAR> buffer(kInfoBuffer + 2, u'#');
    DWORD length = kInfoBuffer;
    EXPECT_EQ(MsiGetProductInfoW(kStudio, u"VersionString", buffer.data(), &length),
              ERROR_MORE_DATA);
    EXPECT_EQ(length, 1024u);
    EXPECT_EQ(WString(buffer.data()), WString(1023, u'v')); // cut, terminated, inside the buffer
    EXPECT_EQ(buffer[kInfoBuffer], u'#');

    length = 0;
    EXPECT_EQ(MsiGetProductInfoW(kStudio, u"VersionString", nullptr, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, 1024u);
}

TEST_F(ProductQueries, DamagedRegistryIsNoProduct) {
    std::ofstream(machine_.registry()) << "ProductName=outside any section\n";
    EXPECT_EQ(MsiQueryProductStateW(kStudio), INSTALLSTATE_UNKNOWN);
    EXPECT_EQ(ProductInfo(kStudio, u"ProductName").result, host::kErrorBadConfiguration);
}

} // namespace
