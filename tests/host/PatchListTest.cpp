#include <gtest/gtest.h>

#include <sys/stat.h>

#include "HostRun.h"
#include "platform/Platform.h"

namespace {

const std::string kBlock = SimulatedMachine::Read(SP_PATCH_INFO);
const std::string kEntry = "*****\r\n" + kBlock + "\r\n";

TEST(PatchList, DefaultNameComesFromTheFirstTargetCode) {
    SimulatedMachine machine;
    const RunResult run = machine.run({"/p"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()),
              std::vector<std::string>{"patchlist8B4D.txt"});
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/patchlist8B4D.txt"), kEntry);
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

TEST(PatchList, WithoutAReadablePackageTheNameIsPatchlistTxt) {
    SimulatedMachine machine;
    machine.setEnv("SP_HOST_FAULT", "MsiGetSummaryInformation:0:1620");
    EXPECT_EQ(machine.run({"/p"}).exitCode, 0);
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()),
              std::vector<std::string>{"patchlist.txt"});
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

TEST(PatchList, EntriesAccumulateAfterWhatTheFileHolds) {
    SimulatedMachine machine;
    const std::string list = machine.workDir() + "/list.txt";
    SimulatedMachine::Write(list, "earlier entry without line end");
    EXPECT_EQ(machine.run({"/p", "list.txt"}).exitCode, 0);
    EXPECT_EQ(machine.run({"/p", "list.txt"}).exitCode, 0);
    EXPECT_EQ(SimulatedMachine::Read(list), "earlier entry without line end" + kEntry + kEntry);
}

TEST(PatchList, AFailedWriteLeavesTheFileExactlyAsBefore) {
    for (const char* fault : {"WriteFile:0:112", "WriteFile:1:112", "WriteFile:2:29"}) {
        SimulatedMachine machine;
        const std::string list = machine.workDir() + "/list.txt";
        const std::string before = "*****\r\nProductCode={other}\r\n\r\n";
        SimulatedMachine::Write(list, before);
        machine.setEnv("SP_HOST_FAULT", fault);
        const RunResult run = machine.run({"/p", "list.txt"});
        EXPECT_EQ(run.exitCode, 1603) << fault;
        EXPECT_TRUE(run.boxes.empty()) << fault;
        EXPECT_EQ(SimulatedMachine::Read(list), before) << fault;
    }
}

TEST(PatchList, AFileThatCannotBeOpenedGetsMessage310) {
    SimulatedMachine machine;
    mkdir((machine.workDir() + "/folder").c_str(), 0700);
    const std::string readonly = machine.workDir() + "/readonly.txt";
    SimulatedMachine::Write(readonly, "keep");
    chmod(readonly.c_str(), 0444);
    for (const char* name : {"folder", "readonly.txt", "missing/list.txt"}) {
        const RunResult run = machine.run({"/p", name});
        EXPECT_EQ(run.exitCode, 1603) << name;
        ASSERT_EQ(run.boxes.size(), 1u) << name;
        EXPECT_EQ(run.boxes[0].flags, 0x50010u);
        EXPECT_NE(run.boxes[0].text.find("patch list"), std::string::npos);
    }
    EXPECT_EQ(SimulatedMachine::Read(readonly), "keep");
}

TEST(PatchList, AFileAnotherRunHoldsOpenIsLeftAlone) {
    SimulatedMachine machine;
    const std::string list = machine.workDir() + "/list.txt";
    SimulatedMachine::Write(list, "held");
    const WString path = FromUtf8(list);
    win::HANDLE held = win::CreateFileW(path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                        win::FILE_SHARE_READ, nullptr, win::OPEN_EXISTING,
                                        win::FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, win::INVALID_HANDLE_VALUE);
    const RunResult run = machine.run({"/p", "list.txt", "/q"});
    win::CloseHandle(held);
    EXPECT_EQ(run.exitCode, 1603);
    EXPECT_TRUE(run.boxes.empty()); // quiet
    EXPECT_EQ(SimulatedMachine::Read(list), "held");
}

} // namespace
