// Every step that can fail, made to fail in turn: the message shown, the exit code, and what is
// left on disk (no temporary copy, no partial file, no incomplete patch-list entry).
#include <gtest/gtest.h>

#include <algorithm>

#include "HostRun.h"

namespace {

const std::string kOld = "the old contents\r\n";

struct FaultRow {
    std::vector<std::string> arguments;
    const char* fault; // SP_HOST_FAULT: call:skip:error
    int exitCode;
    std::vector<std::string> boxStart; // each box's text begins with this (empty: any)
    // The work folder afterwards: file name -> contents ("*" for the package, "?" any).
    std::vector<std::pair<std::string, std::string>> files;
};

void PrintTo(const FaultRow& row, std::ostream* os) {
    for (const auto& a : row.arguments)
        *os << a << " ";
    *os << "with " << row.fault;
}

class FailingStep : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FailingStep, ReportsAndLeavesNothingBehind) {
    const FaultRow& row = GetParam();
    SimulatedMachine machine;
    machine.registerProduct(SampleProduct("studio-1041-70611"));
    SimulatedMachine::Write(machine.workDir() + "/out.msp", kOld);
    SimulatedMachine::Write(machine.workDir() + "/list.txt", kOld);
    machine.setEnv("SP_HOST_FAULT", row.fault);
    machine.setEnv("SP_HOST_USER_LOCALE", "1033");

    const RunResult run = machine.run(row.arguments);
    EXPECT_EQ(run.exitCode, row.exitCode);
    ASSERT_EQ(run.boxes.size(), row.boxStart.size());
    for (size_t i = 0; i < run.boxes.size(); ++i)
        EXPECT_EQ(run.boxes[i].text.rfind(row.boxStart[i], 0), 0u) << run.boxes[i].text;

    std::vector<std::string> names;
    for (const auto& [name, contents] : row.files) {
        names.push_back(name);
        const std::string actual = SimulatedMachine::Read(machine.workDir() + "/" + name);
        if (contents == "*") {
            EXPECT_EQ(actual, SimulatedMachine::Read(SP_PATCH_PACKAGE)) << name;
        } else if (contents != "?") {
            EXPECT_EQ(actual, contents) << name;
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()), names);
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

const std::string kFailed = "A problem prevented";
const std::string kNoList = "You must supply a patch list";
const std::pair<std::string, std::string> kOldOut{"out.msp", kOld};
const std::pair<std::string, std::string> kOldList{"list.txt", kOld};

const FaultRow kFaultRows[] = {
    // Extraction to a named file: nothing shown, the old file stays as it was.
    {{"/e", "out.msp"}, "FindResource:0:1814", 1603, {}, {kOldOut, kOldList}},
    {{"/e", "out.msp"}, "LoadResource:0:1812", 1603, {}, {kOldOut, kOldList}},
    {{"/e", "out.msp"}, "LockResource:0:1812", 1603, {}, {kOldOut, kOldList}},
    {{"/e", "out.msp"}, "CreateFile:0:5", 1603, {}, {kOldOut, kOldList}},
    {{"/e", "out.msp"}, "WriteFile:0:112", 1603, {}, {kOldOut, kOldList}},
    {{"/e", "out.msp"}, "MoveFile:0:5", 1603, {}, {kOldOut, kOldList}},
    // The patch list: the file is as it was, whichever write fails.
    {{"/p", "list.txt"}, "CreateFile:0:32", 1603, {kNoList}, {kOldOut, kOldList}},
    {{"/p", "list.txt"}, "WriteFile:0:112", 1603, {}, {kOldOut, kOldList}},
    {{"/p", "list.txt"}, "WriteFile:1:112", 1603, {}, {kOldOut, kOldList}},
    {{"/p", "list.txt"}, "WriteFile:2:112", 1603, {}, {kOldOut, kOldList}},
    {{"/p", "list.txt"}, "SetFilePointer:0:87", 1603, {}, {kOldOut, kOldList}},
    // The default name needs the target list; without it the name is patchlist.txt.
    {{"/p"}, "CreateFile:0:5", 0, {}, {kOldOut, kOldList, {"patchlist.txt", "?"}}},
    {{"/p"}, "WriteFile:0:112", 0, {}, {kOldOut, kOldList, {"patchlist.txt", "?"}}},
    {{"/p"}, "MsiGetSummaryInformation:0:1620", 0, {}, {kOldOut, kOldList, {"patchlist.txt", "?"}}},
    {{"/p"}, "MsiSummaryInfoGetProperty:0:1627", 0, {}, {kOldOut, kOldList, {"patchlist.txt", "?"}}},
    // The target list: an empty box, and the copy is gone.
    {{"/i"}, "CreateFile:0:5", 1603, {""}, {kOldOut, kOldList}},
    {{"/i"}, "WriteFile:0:112", 1603, {""}, {kOldOut, kOldList}},
    {{"/i"}, "MsiGetSummaryInformation:0:1620", 1603, {""}, {kOldOut, kOldList}},
    {{"/i"}, "MsiSummaryInfoGetProperty:0:1627", 1603, {""}, {kOldOut, kOldList}},
    // A default run: message 300 before the product loop, or for the failed request.
    {{}, "GetTempPath:0:5", 1603, {kFailed}, {kOldOut, kOldList}},
    {{}, "CreateFile:0:5", 1603, {kFailed}, {kOldOut, kOldList}},
    {{}, "WriteFile:0:112", 1603, {kFailed}, {kOldOut, kOldList}},
    {{}, "FindResource:0:1814", 1603, {kFailed}, {kOldOut, kOldList}},
    {{}, "MsiGetSummaryInformation:0:1620", 1603, {kFailed}, {kOldOut, kOldList}},
    {{}, "MsiSummaryInfoGetProperty:0:1627", 1603, {kFailed}, {kOldOut, kOldList}},
};

INSTANTIATE_TEST_SUITE_P(Steps, FailingStep, ::testing::ValuesIn(kFaultRows));

} // namespace
