// The process command line, made as Windows would hand it over: one UTF-16 line in which each
// recorded argument is quoted so that CommandLineToArgvW splits it back unchanged.
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';
constexpr const char* kOwnCommandLine = "/proc/self/cmdline";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool HasBlank(const WString& text) {
    for (char16_t c : text) {
        if (IsBlank(c))
            return true;
    }
    return false;
}

// The program name is split without backslash processing: bare up to the first blank, or in
// quotes up to the next quote. A name with both a blank and a quote cannot be given back; its
// quotes are dropped (no Windows path contains one).
WString QuoteProgramName(const WString& name) {
    if (!name.empty() && !HasBlank(name) && name.front() != kQuote)
        return name;
    WString quoted(1, kQuote);
    for (char16_t c : name) {
        if (c != kQuote)
            quoted += c;
    }
    quoted += kQuote;
    return quoted;
}

std::vector<std::string> OwnArguments() {
    std::ifstream in(kOwnCommandLine, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        arguments.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

struct CommandLineState {
    std::mutex mutex;
    bool made = false;
    WString line;
};

CommandLineState& State() {
    static CommandLineState state;
    return state;
}

WString MakeCommandLine(const std::vector<std::string>& arguments) {
    WString line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const WString argument = FromUtf8(arguments[i]);
        if (i == 0) {
            line += QuoteProgramName(argument);
        } else {
            line += u' ';
            line += host::QuoteArgument(argument);
        }
    }
    return line;
}

} // namespace

namespace host {

WString QuoteArgument(const WString& argument) {
    bool plain = !argument.empty();
    for (char16_t c : argument) {
        if (IsBlank(c) || c == kQuote || c == u'\n' || c == u'\v')
            plain = false;
    }
    if (plain)
        return argument;
    // Backslashes are literal unless a quote follows them: double those before a quote (the
    // argument's own or the closing one), and escape the argument's own quotes.
    WString quoted(1, kQuote);
    size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == kBackslash) {
            ++backslashes;
            continue;
        }
        if (c == kQuote) {
            quoted.append(backslashes * 2 + 1, kBackslash);
        } else {
            quoted.append(backslashes, kBackslash);
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, kBackslash);
    quoted += kQuote;
    return quoted;
}

void SetCommandLineArguments(const std::vector<std::string>& arguments) {
    CommandLineState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.line = MakeCommandLine(arguments);
    state.made = true;
}

} // namespace host

namespace win {

const WCHAR* GetCommandLineW() {
    CommandLineState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.made) {
        state.line = MakeCommandLine(OwnArguments());
        state.made = true;
    }
    return state.line.c_str();
}

} // namespace win
