#include <gtest/gtest.h>

#include <sys/stat.h>

#include "HostRun.h"

namespace {

const std::string kPackage = SimulatedMachine::Read(SP_PATCH_PACKAGE);

TEST(Extract, WritesThePackageByteForByte) {
    SimulatedMachine machine;
    const RunResult run = machine.run({"/e", "out.msp"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/out.msp"), kPackage);
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()), std::vector<std::string>{"out.msp"});
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

TEST(Extract, ReplacesAnExistingFileWhole) {
    SimulatedMachine machine;
    SimulatedMachine::Write(machine.workDir() + "/out.msp", std::string(1 << 16, 'x'));
    EXPECT_EQ(machine.run({"/e", "out.msp"}).exitCode, 0);
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/out.msp"), kPackage);
}

TEST(Extract, AFailedWriteLeavesTheTargetAsItWasAndNoPartialFile) {
    for (const char* fault : {"WriteFile:0:112", "MoveFile:0:5", "CreateFile:0:5"}) {
        SimulatedMachine machine;
        const std::string old = "the administrator's good package";
        SimulatedMachine::Write(machine.workDir() + "/out.msp", old);
        machine.setEnv("SP_HOST_FAULT", fault);
        const RunResult run = machine.run({"/e", "out.msp"});
        EXPECT_EQ(run.exitCode, 1603) << fault;
        EXPECT_TRUE(run.boxes.empty()) << fault;
        EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/out.msp"), old) << fault;
        EXPECT_EQ(SimulatedMachine::List(machine.workDir()), std::vector<std::string>{"out.msp"})
            << fault;
    }
}

TEST(Extract, UnwritableTargetsFailWithoutABox) {
    SimulatedMachine machine;
    mkdir((machine.workDir() + "/folder").c_str(), 0700);
    SimulatedMachine::Write(machine.workDir() + "/readonly.msp", "keep");
    chmod((machine.workDir() + "/readonly.msp").c_str(), 0444);
    for (const char* target : {"folder", "missing/out.msp", "readonly.msp"}) {
        const RunResult run = machine.run({"/e", target});
        EXPECT_EQ(run.exitCode, 1603) << target;
        EXPECT_TRUE(run.boxes.empty()) << target;
    }
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/readonly.msp"), "keep");
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()),
              (std::vector<std::string>{"folder", "readonly.msp"}));
    EXPECT_TRUE(SimulatedMachine::List(machine.workDir() + "/folder").empty());
}

TEST(Extract, WithoutANameLeavesAFreshTemporaryCopyEachTime) {
    SimulatedMachine machine;
    EXPECT_EQ(machine.run({"/e"}).exitCode, 0);
    EXPECT_EQ(machine.run({"/E"}).exitCode, 0);
    const auto copies = SimulatedMachine::List(machine.tempDir());
    ASSERT_EQ(copies.size(), 2u);
    for (const std::string& name : copies) {
        EXPECT_EQ(name.rfind("MSP", 0), 0u) << name;
        EXPECT_EQ(SimulatedMachine::Read(machine.tempDir() + "/" + name), kPackage);
    }
}

TEST(Modes, RunInTheirFixedOrderWhateverTheSwitchOrder) {
    SimulatedMachine machine;
    RunResult run = machine.run({"/e", "a.msp", "/e", "b.msp"});
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()), std::vector<std::string>{"b.msp"});

    run = machine.run({"/i", "/e", "c.msp"});
    EXPECT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(SimulatedMachine::List(machine.workDir()), std::vector<std::string>{"b.msp"});

    run = machine.run({"/e", "d.msp", "/i", "/q"});
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, "List of Products");
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/d.msp"), kPackage);

    run = machine.run({"/p", "list.txt", "/e", "e.msp"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(SimulatedMachine::Read(machine.workDir() + "/e.msp"), kPackage);
    EXPECT_FALSE(SimulatedMachine::Read(machine.workDir() + "/list.txt").empty());
    EXPECT_TRUE(SimulatedMachine::List(machine.tempDir()).empty());
}

TEST(Modes, UnknownArgumentsInstall) {
    SimulatedMachine machine; // no products: a default run ends with message 307
    for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"/x"}, {"-q"}}) {
        const RunResult run = machine.run(arguments);
        EXPECT_EQ(run.exitCode, 1642);
        EXPECT_EQ(run.boxes.size(), 1u);
    }
    const RunResult quiet = machine.run({"/Q"});
    EXPECT_EQ(quiet.exitCode, 1642);
    EXPECT_TRUE(quiet.boxes.empty());
}

} // namespace
