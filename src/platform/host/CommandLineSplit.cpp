// CommandLineToArgvW: the Windows rules for splitting a command line.
//
//  - The program name comes first: in quotes, everything up to the next quote; otherwise
//    everything up to the first blank (space or tab). No backslash processing. The next
//    argument starts right after it, once blanks are skipped.
//  - Then blanks separate arguments, outside quotes.
//  - 2n backslashes and a quote: n backslashes, and the quote toggles quoting.
//  - 2n+1 backslashes and a quote: n backslashes and a literal quote.
//  - Backslashes not followed by a quote are literal.
//  - Inside quotes, a doubled quote "" gives a literal quote and ends the quoting (what
//    Windows' own CommandLineToArgvW does; the C runtime since 2008 stays in quotes instead).
//  - An empty command line gives one argument, the program's path.
// The result is one block: the pointer vector (with a null after the last), then the strings.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/Platform.h"

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';
constexpr const char* kOwnExecutable = "/proc/self/exe";
constexpr size_t kMaxPathBytes = 4096;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

WString ProgramPath() {
    char path[kMaxPathBytes];
    const ssize_t length = readlink(kOwnExecutable, path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path)
        return WString();
    return FromUtf8(std::string(path, static_cast<size_t>(length)));
}

std::vector<WString> Split(std::u16string_view line) {
    std::vector<WString> arguments;
    size_t i = 0;
    const size_t end = line.size();

    WString program;
    if (i < end && line[i] == kQuote) {
        for (++i; i < end && line[i] != kQuote; ++i)
            program += line[i];
        if (i < end)
            ++i; // the closing quote
    } else {
        for (; i < end && !IsBlank(line[i]); ++i)
            program += line[i];
    }
    arguments.push_back(program);

    while (i < end) {
        while (i < end && IsBlank(line[i]))
            ++i;
        if (i == end)
            break;
        WString argument;
        bool quoted = false;
        while (i < end && (quoted || !IsBlank(line[i]))) {
            if (line[i] == kBackslash) {
                size_t backslashes = 0;
                while (i < end && line[i] == kBackslash) {
                    ++backslashes;
                    ++i;
                }
                if (i < end && line[i] == kQuote) {
                    argument.append(backslashes / 2, kBackslash);
                    if (backslashes % 2 == 1) {
                        argument += kQuote;
                        ++i;
                    }
                    // An even count leaves the quote for the next round, as a delimiter.
                } else {
                    argument.append(backslashes, kBackslash);
                }
            } else if (line[i] == kQuote) {
                if (quoted && i + 1 < end && line[i + 1] == kQuote) {
                    argument += kQuote;
                    quoted = false;
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += line[i];
                ++i;
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

} // namespace

namespace win {

WCHAR** CommandLineToArgvW(const WCHAR* commandLine, int* argc) {
    if (commandLine == nullptr || argc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::u16string_view line(commandLine);
    const std::vector<WString> arguments =
        line.empty() ? std::vector<WString>{ProgramPath()} : Split(line);
    if (arguments.size() > static_cast<size_t>(INT_MAX)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    const size_t vectorBytes = (arguments.size() + 1) * sizeof(WCHAR*);
    size_t textUnits = 0;
    for (const WString& argument : arguments)
        textUnits += argument.size() + 1;
    void* block = std::malloc(vectorBytes + textUnits * sizeof(WCHAR));
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto** vector = static_cast<WCHAR**>(block);
    auto* text = reinterpret_cast<WCHAR*>(static_cast<char*>(block) + vectorBytes);
    for (size_t k = 0; k < arguments.size(); ++k) {
        vector[k] = text;
        std::memcpy(text, arguments[k].data(), arguments[k].size() * sizeof(WCHAR));
        text += arguments[k].size();
        *text++ = 0;
    }
    vector[arguments.size()] = nullptr;
    *argc = static_cast<int>(arguments.size());
    return vector;
}

void* LocalFree(void* block) {
    std::free(block);
    return nullptr;
}

} // namespace win
