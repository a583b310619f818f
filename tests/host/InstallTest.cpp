// Default runs through the simulated machine: one row per outcome of a run, with products
// registered from real packages in several languages.
#include <gtest/gtest.h>

#include "Catalogue.h"
#include "HostRun.h"
#include "platform/host/InstallerRequestLog.h"

namespace {

const std::string kStudio = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}";
const std::string kReader = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}";
constexpr unsigned kError = 0x50010;
constexpr unsigned kInformation = 0x50040;

struct Product {
    std::string stem;
    std::vector<std::string> options; // for register-product, e.g. {"--result", "3010"}
};

struct ExpectedBox {
    unsigned id;
    unsigned table; // the language whose table words it
    std::string name; // the product name, or the error number for 300
};

struct Row {
    const char* what;
    std::vector<Product> products;
    std::vector<std::string> arguments;
    std::string userLocale;
    std::vector<ExpectedBox> boxes;
    std::vector<std::string> requests; // product codes asked to take the patch, in order
    int exitCode;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.what; }

unsigned CaptionOf(unsigned id) {
    return id == 301 ? 312 : id == 306 ? 313 : 311;
}

class InstallOutcome : public ::testing::TestWithParam<Row> {};

TEST_P(InstallOutcome, ShowsRequestsAndExits) {
    const Row& row = GetParam();
    SimulatedMachine machine;
    for (const Product& p : row.products)
        machine.registerProduct(SampleProduct(p.stem), p.options);
    if (!row.userLocale.empty())
        machine.setEnv("SP_HOST_USER_LOCALE", row.userLocale);

    const RunResult run = machine.run(row.arguments);
    EXPECT_EQ(run.exitCode, row.exitCode);

    ASSERT_EQ(run.boxes.size(), row.boxes.size());
    for (size_t i = 0; i < row.boxes.size(); ++i) {
        const ExpectedBox& want = row.boxes[i];
        const Box& got = run.boxes[i];
        const int error = want.id == 300 ? std::stoi(want.name) : 0;
        EXPECT_EQ(got.text, MessageText(want.table, want.id, want.name, error)) << "box " << i;
        EXPECT_EQ(got.caption, TableText(want.table, CaptionOf(want.id))) << "box " << i;
        EXPECT_EQ(got.flags, want.id == 301 ? kInformation : kError) << "box " << i;
    }

    std::vector<host::InstallerRequest> requests;
    std::string error;
    ASSERT_TRUE(host::ReadInstallerRequests(machine.registry(), requests, error)) << error;
    ASSERT_EQ(requests.size(), row.requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].product, row.requests[i]);
        EXPECT_EQ(requests[i].installLevel, 0);
        EXPECT_EQ(requests[i].installState, 5);
        const std::string& commandLine = requests[i].commandLine;
        const std::string prefix = "PATCH=\"" + machine.tempDir() + "/MSP";
        EXPECT_EQ(commandLine.rfind(prefix, 0), 0u) << commandLine;
        EXPECT_EQ(commandLine.back(), '"') << commandLine;
    }
    // On every path the temporary copy is gone when the run ends.
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

const Row kRows[] = {
    {"no product at all", {}, {}, "", {{307, 1033, ""}}, {}, 1642},
    {"only a product the patch does not target", {{"other-1033-10000", {}}}, {}, "",
     {{307, 1033, ""}}, {}, 1642},
    {"candidate version, Japanese", {{"studio-1041-70611", {}}}, {}, "",
     {{301, 1041, "Tessivar Studio"}}, {kStudio}, 0},
    {"two candidates, each in its language", {{"studio-1031-70433", {}}, {"reader-1033-71005", {}}},
     {}, "", {{301, 1031, "Tessivar Studio"}, {301, 1033, "Tessivar Reader"}}, {kStudio, kReader}, 0},
    {"a language without a table falls back to English", {{"reader-1043-70435", {}}}, {}, "",
     {{301, 1033, "Tessivar Reader"}}, {kReader}, 0},
    {"version not supported, Russian", {{"studio-1049-71006", {}}}, {}, "",
     {{308, 1049, "Tessivar Studio"}}, {}, 1642},
    {"up to date: one box under the user's locale", {{"studio-1043-72002", {}}}, {}, "1041",
     {{306, 1041, "Tessivar Studio"}}, {}, 0},
    {"up to date and candidate: no 306", {{"studio-1043-72002", {}}, {"reader-1033-71005", {}}}, {},
     "", {{301, 1033, "Tessivar Reader"}}, {kReader}, 0},
    {"restart required is a success", {{"studio-1041-70611", {"--result", "3010"}}}, {}, "",
     {{301, 1041, "Tessivar Studio"}}, {kStudio}, 3010},
    {"restart initiated is a success", {{"studio-1041-70611", {"--result", "1641"}}}, {}, "",
     {{301, 1041, "Tessivar Studio"}}, {kStudio}, 1641},
    {"installer busy", {{"studio-1041-70611", {"--result", "1618"}}}, {}, "",
     {{300, 1041, "1618"}}, {kStudio}, 1618},
    {"a failure outranks an unsupported version",
     {{"studio-1049-71006", {}}, {"reader-1033-71005", {"--result", "1603"}}}, {}, "",
     {{308, 1049, "Tessivar Studio"}, {300, 1033, "1603"}}, {kReader}, 1603},
    {"an unsupported version outranks a restart",
     {{"studio-1049-71006", {}}, {"reader-1043-70435", {"--result", "3010"}}}, {}, "",
     {{308, 1049, "Tessivar Studio"}, {301, 1033, "Tessivar Reader"}}, {kReader}, 1642},
    {"advertised counts as present", {{"studio-1041-70611", {"--state", "1"}}}, {}, "",
     {{301, 1041, "Tessivar Studio"}}, {kStudio}, 0},
    {"absent state is not present", {{"studio-1041-70611", {"--state", "2"}}}, {}, "",
     {{307, 1033, ""}}, {}, 1642},
    {"quiet: the same requests, no box", {{"studio-1041-70611", {}}, {"reader-1043-70435", {}}},
     {"/q"}, "", {}, {kStudio, kReader}, 0},
    {"quiet: an unsupported version still sets the exit code", {{"studio-1049-71006", {}}},
     {"/q"}, "", {}, {}, 1642},
};

INSTANTIATE_TEST_SUITE_P(Rows, InstallOutcome, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(Install, FailuresBeforeTheProductLoopShowMessage300) {
    for (const char* fault : {"CreateFile:0:5", "WriteFile:0:112", "GetTempPath:0:5",
                              "MsiGetSummaryInformation:0:1620", "FindResource:0:1814"}) {
        SimulatedMachine machine;
        machine.registerProduct(SampleProduct("studio-1041-70611"));
        machine.setEnv("SP_HOST_FAULT", fault);
        const RunResult run = machine.run({});
        EXPECT_EQ(run.exitCode, 1603) << fault;
        ASSERT_EQ(run.boxes.size(), 1u) << fault;
        EXPECT_EQ(run.boxes[0].caption, TableText(1033, 311)) << fault;
        EXPECT_EQ(run.boxes[0].text.rfind(MessageText(1033, 300).substr(0, 40), 0), 0u) << fault;
        EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty()) << fault;
    }
}

} // namespace
