// Runs the host executable as a process against a simulated machine of the test's own: its own
// temporary directory, product registry, transcript and current directory.
#pragma once

#include <map>
#include <string>
#include <vector>

struct Box {
    unsigned flags = 0;
    unsigned locale = 0;
    std::string caption; // UTF-8, unescaped
    std::string text;
};

struct RunResult {
    int exitCode = -1; // the full code from the transcript
    std::vector<Box> boxes;
};

class SimulatedMachine {
  public:
    SimulatedMachine();
    ~SimulatedMachine();

    const std::string& root() const { return root_; }
    std::string tempDir() const { return root_ + "/tmp"; }
    std::string workDir() const { return root_ + "/work"; }
    std::string registry() const { return root_ + "/products.ini"; }

    // Extra environment for the next runs (e.g. SP_HOST_FAULT, SP_HOST_USER_LOCALE).
    void setEnv(const std::string& name, const std::string& value) { env_[name] = value; }
    void clearEnv(const std::string& name) { env_.erase(name); }

    RunResult run(const std::vector<std::string>& arguments);
    // Registers a product from a .msi with the register-product tool.
    void registerProduct(const std::string& msi, const std::vector<std::string>& options = {});

    // Names of the files in a directory (not recursive), sorted.
    static std::vector<std::string> List(const std::string& dir);
    static std::string Read(const std::string& path);
    static void Write(const std::string& path, const std::string& bytes);

  private:
    std::string root_;
    std::map<std::string, std::string> env_;
    int runs_ = 0;
};

// A sample product, built with the tests from the product fixtures.
std::string SampleProduct(const std::string& stem);
