#include "HostRun.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace {

int Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          const std::string& cwd) {
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size()) {
            const char c = field[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

} // namespace

SimulatedMachine::SimulatedMachine() {
    char pattern[] = "/tmp/sp-machine-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    mkdir(tempDir().c_str(), 0700);
    mkdir(workDir().c_str(), 0700);
    env_["TMP"] = tempDir() + "/";
    env_["SP_HOST_PRODUCTS"] = registry();
}

SimulatedMachine::~SimulatedMachine() {
    if (std::getenv("SP_KEEP_MACHINE") == nullptr)
        std::system(("rm -rf '" + root_ + "'").c_str());
}

RunResult SimulatedMachine::run(const std::vector<std::string>& arguments) {
    // Named by process too: runs may be started from forked test processes at once.
    const std::string transcript = root_ + "/transcript-" + std::to_string(getpid()) + "-" +
                                   std::to_string(++runs_) + ".txt";
    std::map<std::string, std::string> env = env_;
    env["SP_HOST_TRANSCRIPT"] = transcript;
    std::vector<std::string> argv = {SP_HOST_EXECUTABLE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const int status = Spawn(argv, env, workDir());

    RunResult result;
    std::ifstream in(transcript);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = Split(line);
        if (fields.size() == 5 && fields[0] == "box") {
            Box box;
            box.flags = static_cast<unsigned>(std::stoul(fields[1], nullptr, 16));
            box.locale = static_cast<unsigned>(std::stoul(fields[2]));
            box.caption = Unescape(fields[3]);
            box.text = Unescape(fields[4]);
            result.boxes.push_back(box);
        } else if (fields.size() == 2 && fields[0] == "exit") {
            result.exitCode = std::stoi(fields[1]);
        }
    }
    if (result.exitCode >= 0 && (result.exitCode & 0xFF) != status)
        throw std::runtime_error("exit status disagrees with the transcript");
    if (result.exitCode < 0)
        result.exitCode = 1000 + status; // crashed or never reached the end
    return result;
}

void SimulatedMachine::registerProduct(const std::string& msi,
                                       const std::vector<std::string>& options) {
    std::vector<std::string> argv = {SP_REGISTER_PRODUCT, "--registry", registry()};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(msi);
    if (Spawn(argv, {}, "") != 0)
        throw std::runtime_error("register-product failed for " + msi);
}

std::vector<std::string> SimulatedMachine::List(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SimulatedMachine::Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void SimulatedMachine::Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string SampleProduct(const std::string& stem) {
    return std::string(SP_SAMPLE_PRODUCTS) + "/" + stem + ".msi";
}
