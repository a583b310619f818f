#include <gtest/gtest.h>

#include "HostRun.h"

namespace {

const char kTargets[] = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}";

TEST(TargetList, ShownInOneBoxAlsoWhenQuiet) {
    SimulatedMachine machine;
    machine.setEnv("SP_HOST_USER_LOCALE", "1041");
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"/i"}, {"/q", "/i"}}) {
        const RunResult run = machine.run(arguments);
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, "List of Products");
        EXPECT_EQ(run.boxes[0].text, kTargets);
        EXPECT_EQ(run.boxes[0].flags, 0x50000u);
    }
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

TEST(TargetList, AnUnreadableListShowsAnEmptyBox) {
    for (const char* fault : {"MsiGetSummaryInformation:0:1620", "CreateFile:0:5",
                              "MsiSummaryInfoGetProperty:0:1627"}) {
        SimulatedMachine machine;
        machine.setEnv("SP_HOST_FAULT", fault);
        const RunResult run = machine.run({"/i"});
        EXPECT_EQ(run.exitCode, 1603) << fault;
        ASSERT_EQ(run.boxes.size(), 1u) << fault;
        EXPECT_EQ(run.boxes[0].text, "") << fault;
        EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty()) << fault;
    }
}

} // namespace
