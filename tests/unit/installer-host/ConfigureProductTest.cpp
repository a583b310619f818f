// MsiConfigureProductExW: the checks before patching, scripted results, and what a successful
// request records for the product.
#include <gtest/gtest.h>

#include <fstream>

#include "TestPackages.h"
#include "platform/host/Faults.h"
#include "platform/host/InstallerErrors.h"
#include "platform/host/InstallerRequestLog.h"
#include "platform/host/ProductRegistry.h"

using namespace win;
using testpkg::Text;

namespace {

constexpr const char* kStudio = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}";
constexpr const char* kReader = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}";
constexpr const char* kOther = "{0B1D2C3E-4F50-4617-8A9B-ACBDCEDF0001}";
constexpr const char* kUpgrade = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A60}";
constexpr const char* kPatchCode = "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}";
constexpr const char* kOldPatch = "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0701}";

// A patch for Studio and Reader with one transform (and its "#" twin) from Studio 7.0.61.1 to
// 7.2.0.2; Reader has no transform of its own.
void WritePatch(const std::string& path) {
    const std::string transformCodes =
        std::string(kStudio) + "7.0.61.1;" + kStudio + "7.2.0.2;" + kUpgrade;
    const auto transformSummary = testpkg::SummaryStream({Text(9, transformCodes)});
    testpkg::WriteCompoundFile(
        path, host::kPatchPackageClassId,
        testpkg::SummaryStream({Text(PID_TEMPLATE, std::string(kStudio) + ";" + kReader),
                                Text(8, ":Studio70611;:#Studio70611"),
                                Text(9, std::string(kPatchCode) + kOldPatch)}),
        {{"Studio70611", transformSummary}, {"#Studio70611", transformSummary}});
}

struct Case {
    const char* name;
    const char* product;
    const char* patchFile; // in the machine's directory; "sample" for the sample package
    UINT expected;
    bool recorded;       // the patch code is in Patches afterwards
    const char* version; // VersionString afterwards
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class ConfigureMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        WritePatch(machine_.file("patch.msp"));
        testpkg::WriteBytes(machine_.file("text.msp"), {'n', 'o', 't', ' ', 'O', 'L', 'E'});
        testpkg::WriteCompoundFile(machine_.file("database-class.msp"), testpkg::kDatabaseClassId,
                                   testpkg::SummaryStream({Text(PID_TEMPLATE, kStudio)}));
        testpkg::WriteCompoundFile(machine_.file("no-code.msp"), host::kPatchPackageClassId,
                                   testpkg::SummaryStream({Text(PID_TEMPLATE, kStudio)}));
        testpkg::WriteCompoundFile(machine_.file("lost-transform.msp"), host::kPatchPackageClassId,
                                   testpkg::SummaryStream({Text(PID_TEMPLATE, kStudio),
                                                           Text(8, ":Gone"), Text(9, kPatchCode)}));
        std::ofstream(machine_.registry())
            << "[" << kStudio << "]\nProductName=Tessivar Studio\nLanguage=1041\n"
            << "VersionString=7.0.61.1\nState=5\nPatches=" << kOldPatch << "\n"
            << "[" << kReader << "]\nVersionString=7.0.43.5\nState=5\n"
            << "[" << kOther << "]\nVersionString=1.0.0.0\nState=5\n"
            << "[{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A63}]\nVersionString=7.0.61.1\nState=2\n";
    }

    void Set(const char* product, const char* key, int value) {
        host::ProductRegistry registry;
        std::string error;
        ASSERT_TRUE(host::LoadProductRegistry(machine_.registry(), registry, error)) << error;
        registry.find(product)->set(key, std::to_string(value));
        ASSERT_TRUE(host::SaveProductRegistry(machine_.registry(), registry, error)) << error;
    }

    host::ProductRecord Product(const char* code) {
        host::ProductRegistry registry;
        std::string error;
        EXPECT_TRUE(host::LoadProductRegistry(machine_.registry(), registry, error)) << error;
        const host::ProductRecord* record = registry.find(code);
        return record != nullptr ? *record : host::ProductRecord();
    }

    UINT Configure(const char* product, const std::string& commandLine) {
        return MsiConfigureProductExW(FromUtf8(product).c_str(), INSTALLLEVEL_DEFAULT,
                                      INSTALLSTATE_DEFAULT, FromUtf8(commandLine).c_str());
    }

    std::vector<host::InstallerRequest> Requests() {
        std::vector<host::InstallerRequest> requests;
        std::string error;
        EXPECT_TRUE(host::ReadInstallerRequests(machine_.registry(), requests, error)) << error;
        return requests;
    }

    testpkg::SimulatedMachine machine_;
};

class ConfigureProduct : public ConfigureMachine, public ::testing::WithParamInterface<Case> {};

TEST_P(ConfigureProduct, ChecksThenRecords) {
    const Case& c = GetParam();
    const std::string patchPath = std::string(c.patchFile) == "sample"
                                      ? std::string(SP_SAMPLE_PATCH)
                                      : machine_.file(c.patchFile);
    const std::string commandLine = "PATCH=\"" + patchPath + "\"";
    EXPECT_EQ(Configure(c.product, commandLine), c.expected);

    const host::ProductRecord after = Product(c.product);
    const std::string* patches = after.find(host::kRegistryPatches);
    const bool recorded = patches != nullptr && patches->find(kPatchCode) != std::string::npos;
    EXPECT_EQ(recorded, c.recorded);
    if (c.version != nullptr) {
        ASSERT_NE(after.find(host::kRegistryVersionString), nullptr);
        EXPECT_EQ(*after.find(host::kRegistryVersionString), c.version);
    }

    const std::vector<host::InstallerRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].product, c.product);
    EXPECT_EQ(requests[0].commandLine, commandLine);
    EXPECT_EQ(requests[0].installLevel, INSTALLLEVEL_DEFAULT);
    EXPECT_EQ(requests[0].installState, INSTALLSTATE_DEFAULT);
    EXPECT_EQ(requests[0].result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ConfigureProduct,
    ::testing::Values(
        Case{"UnknownProduct", "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A69}", "patch.msp", 1605, false,
             nullptr},
        Case{"AbsentProduct", "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A63}", "patch.msp", 1605, false,
             "7.0.61.1"},
        Case{"MissingPackage", kStudio, "absent.msp", 1635, false, "7.0.61.1"},
        Case{"NotACompoundFile", kStudio, "text.msp", 1635, false, "7.0.61.1"},
        Case{"DatabaseNotPatch", kStudio, "database-class.msp", 1636, false, "7.0.61.1"},
        Case{"SamplePatchUpdatesStudio", kStudio, "sample", 0, true, "7.2.0.2"},
        Case{"PatchWithoutCode", kStudio, "no-code.msp", 1636, false, "7.0.61.1"},
        Case{"TransformStorageMissing", kStudio, "lost-transform.msp", 1636, false, "7.0.61.1"},
        Case{"ProductNotTargeted", kOther, "patch.msp", 1642, false, "1.0.0.0"},
        Case{"AppliedWithTransformVersion", kStudio, "patch.msp", 0, true, "7.2.0.2"},
        Case{"AppliedWithoutTransformKeepsVersion", kReader, "patch.msp", 0, true, "7.0.43.5"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// A scripted result is returned after the checks; the success codes still record the patch.
class ScriptedResult : public ConfigureMachine,
                       public ::testing::WithParamInterface<std::pair<UINT, bool>> {};

TEST_P(ScriptedResult, IsReturnedAndRecordedOnlyForSuccess) {
    const auto [result, recorded] = GetParam();
    Set(kStudio, host::kRegistryConfigureResult, static_cast<int>(result));
    EXPECT_EQ(Configure(kOther, "PATCH=\"" + machine_.file("patch.msp") + "\""), 1642u);
    EXPECT_EQ(Configure(kStudio, "PATCH=\"" + machine_.file("text.msp") + "\""), 1635u);
    EXPECT_EQ(Configure(kStudio, "PATCH=\"" + machine_.file("patch.msp") + "\""), result);
    const host::ProductRecord studio = Product(kStudio);
    ASSERT_NE(studio.find(host::kRegistryPatches), nullptr);
    EXPECT_EQ(studio.find(host::kRegistryPatches)->find(kPatchCode) != std::string::npos, recorded);
    EXPECT_EQ(*studio.find(host::kRegistryVersionString), recorded ? "7.2.0.2" : "7.0.61.1");
    EXPECT_EQ(Requests().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Results, ScriptedResult,
                         ::testing::Values(std::pair{1603u, false}, std::pair{1618u, false},
                                           std::pair{3010u, true}, std::pair{1641u, true}));

TEST_F(ConfigureMachine, SecondApplicationKeepsOneRecordOfThePatch) {
    const std::string commandLine = "PATCH=\"" + machine_.file("patch.msp") + "\"";
    EXPECT_EQ(Configure(kStudio, commandLine), 0u);
    EXPECT_EQ(Configure(kStudio, commandLine), 0u);
    const host::ProductRecord studio = Product(kStudio);
    ASSERT_NE(studio.find(host::kRegistryPatches), nullptr);
    EXPECT_EQ(*studio.find(host::kRegistryPatches), std::string(kOldPatch) + ";" + kPatchCode);
}

TEST_F(ConfigureMachine, AdvertisedProductIsPatchedAndInstalled) {
    Set(kStudio, host::kRegistryState, INSTALLSTATE_ADVERTISED);
    EXPECT_EQ(Configure(kStudio, "PATCH=\"" + machine_.file("patch.msp") + "\""), 0u);
    const host::ProductRecord studio = Product(kStudio);
    EXPECT_EQ(studio.state(), INSTALLSTATE_DEFAULT);
    ASSERT_NE(studio.find(host::kRegistryVersionString), nullptr);
    EXPECT_EQ(*studio.find(host::kRegistryVersionString), "7.2.0.2");
}

TEST_F(ConfigureMachine, RequestsItCannotTakeAreRefusedAndLogged) {
    EXPECT_EQ(Configure(kStudio, "PATCH=\"unterminated"), host::kErrorInvalidCommandLine);
    EXPECT_EQ(Configure("not a code", "PATCH=x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MsiConfigureProductExW(FromUtf8(kStudio).c_str(), INSTALLLEVEL_DEFAULT,
                                     INSTALLSTATE_ABSENT, u"PATCH=x"),
              ERROR_INVALID_PARAMETER);
    host::InjectFault(host::Call::MsiConfigureProduct, ERROR_INSTALL_ALREADY_RUNNING);
    EXPECT_EQ(Configure(kStudio, "PATCH=\"" + machine_.file("patch.msp") + "\""),
              ERROR_INSTALL_ALREADY_RUNNING);
    host::ClearFaults();
    const std::vector<host::InstallerRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 3u); // an injected fault never reaches the installer
    EXPECT_EQ(requests[0].commandLine, "PATCH=\"unterminated");
    EXPECT_EQ(requests[2].installState, INSTALLSTATE_ABSENT);
    const host::ProductRecord studio = Product(kStudio);
    ASSERT_NE(studio.find(host::kRegistryVersionString), nullptr);
    EXPECT_EQ(*studio.find(host::kRegistryVersionString), "7.0.61.1");
}

} // namespace
