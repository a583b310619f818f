#include <memory>
#include <vector>

#include "FuzzEntries.h"
#include "FuzzInput.h"
#include "launcher/CommandLine.h"
#include "launcher/ProcessState.h"
#include "platform/host/HostPlatform.h"

namespace fuzz {
namespace {

struct ArgvDeleter {
    void operator()(win::WCHAR** argv) const { win::LocalFree(argv); }
};

bool Split(const WString& line, std::vector<WString>& arguments, std::string& problem) {
    int count = -1;
    std::unique_ptr<win::WCHAR*, ArgvDeleter> argv(win::CommandLineToArgvW(line.c_str(), &count));
    arguments.clear();
    if (!argv)
        return false;
    if (count < 0) {
        problem = "CommandLineToArgvW gives a negative count";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (argv.get()[i] == nullptr) {
            problem = "CommandLineToArgvW gives a null argument before the end";
            return false;
        }
        arguments.emplace_back(argv.get()[i]);
    }
    if (argv.get()[count] != nullptr) {
        problem = "CommandLineToArgvW's vector does not end in a null pointer";
        return false;
    }
    return true;
}

bool IsSwitch(const WString& argument, char16_t letter) {
    return argument.size() == 2 && argument[0] == u'/' &&
           (argument[1] == letter || argument[1] == letter - 32);
}

} // namespace

std::string CommandLineSplit(const std::uint8_t* data, std::size_t size) {
    const WString line = UpToNul(Utf16Of(data, size));
    std::vector<WString> arguments;
    std::string problem;
    if (!Split(line, arguments, problem))
        return problem;
    if (arguments.size() < 2)
        return {};
    // What the splitter gave must come back unchanged through QuoteArgument.
    WString requoted = u"servicepack";
    for (std::size_t i = 1; i < arguments.size(); ++i)
        requoted += u' ' + host::QuoteArgument(arguments[i]);
    std::vector<WString> again;
    if (!Split(requoted, again, problem))
        return problem.empty() ? "CommandLineToArgvW fails on a quoted command line" : problem;
    if (again.size() != arguments.size())
        return "a quoted argument splits into a different number of arguments";
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (again[i] != arguments[i])
            return "argument " + std::to_string(i) + " changes through QuoteArgument: " +
                   ToUtf8(arguments[i]) + " became " + ToUtf8(again[i]);
    }
    return {};
}

std::string ParseCommandLine(const std::uint8_t* data, std::size_t size) {
    // argv[0] is the program's own name, which Windows quotes by rules of its own.
    std::vector<std::string> arguments{"servicepack"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0)
        arguments.push_back(current);

    // What the launcher should make of them, read straight from the arguments.
    bool quiet = false, extract = false, patchList = false, list = false;
    WString extractPath, patchListPath;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const WString argument = FromUtf8(arguments[i]);
        if (IsSwitch(argument, u'q')) {
            quiet = true;
        } else if (IsSwitch(argument, u'e')) {
            extract = true;
            if (i + 1 < arguments.size())
                extractPath = FromUtf8(arguments[++i]);
        } else if (IsSwitch(argument, u'p')) {
            patchList = true;
            if (i + 1 < arguments.size())
                patchListPath = FromUtf8(arguments[++i]);
        } else if (IsSwitch(argument, u'i')) {
            list = true;
            break;
        }
    }

    // A process parses once, from the zero state; the fuzzer's process parses every input.
    g_quiet = g_modeExtract = g_modePatchList = g_modeListProducts = false;
    g_modeInstall = false;
    host::SetCommandLineArguments(arguments);
    ::ParseCommandLine();

    if (g_quiet != quiet || g_modeExtract != extract || g_modePatchList != patchList ||
        g_modeListProducts != list)
        return "the switches read differ from the arguments given";
    if (g_modeInstall != !(extract || patchList || list))
        return "install mode is not exactly the absence of /e, /p and /i";
    if (g_extractPath != extractPath || g_patchListPath != patchListPath)
        return "a path read differs from the argument given: " + ToUtf8(g_extractPath) + " / " +
               ToUtf8(g_patchListPath);
    return {};
}

} // namespace fuzz
