#include "platform/host/InstallerCommandLine.h"

namespace host {
namespace {

// The Windows command-line limit, and more settings than any real command line carries.
constexpr std::size_t kMaxCommandLineLength = 32767;
constexpr std::size_t kMaxProperties = 256;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameCharacter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'.';
}

} // namespace

const WString* InstallerProperties::find(const WString& name) const {
    const WString* value = nullptr;
    for (const auto& [key, setting] : values) {
        if (key == name)
            value = &setting;
    }
    return value;
}

bool ParseInstallerCommandLine(const WString& commandLine, InstallerProperties& properties,
                               std::string& error) {
    if (commandLine.size() > kMaxCommandLineLength) {
        error = "command line of " + std::to_string(commandLine.size()) +
                " characters, more than " + std::to_string(kMaxCommandLineLength);
        return false;
    }
    InstallerProperties result;
    const std::size_t size = commandLine.size();
    std::size_t i = 0;
    while (true) {
        while (i < size && IsBlank(commandLine[i]))
            ++i;
        if (i == size)
            break;
        const std::size_t nameStart = i;
        while (i < size && IsNameCharacter(commandLine[i]))
            ++i;
        if (i == nameStart || i == size || commandLine[i] != u'=') {
            error = "command line, character " + std::to_string(i) + ": expected NAME=value";
            return false;
        }
        WString name = commandLine.substr(nameStart, i - nameStart);
        ++i; // '='
        WString value;
        if (i < size && commandLine[i] == u'"') {
            const std::size_t quote = i++;
            bool closed = false;
            while (i < size && !closed) {
                if (commandLine[i] != u'"') {
                    value += commandLine[i++];
                } else if (i + 1 < size && commandLine[i + 1] == u'"') {
                    value += u'"';
                    i += 2;
                } else {
                    closed = true;
                    ++i;
                }
            }
            if (!closed) {
                error =
                    "command line, character " + std::to_string(quote) + ": quote without its end";
                return false;
            }
            if (i < size && !IsBlank(commandLine[i])) {
                error = "command line, character " + std::to_string(i) +
                        ": text right after a closing quote";
                return false;
            }
        } else {
            while (i < size && !IsBlank(commandLine[i]))
                value += commandLine[i++];
        }
        if (result.values.size() >= kMaxProperties) {
            error = "command line sets more than " + std::to_string(kMaxProperties) + " properties";
            return false;
        }
        result.values.emplace_back(std::move(name), std::move(value));
    }
    properties = std::move(result);
    return true;
}

} // namespace host
