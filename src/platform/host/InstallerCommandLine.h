// The property settings of an installer command line: NAME=value, NAME="value with blanks",
// with "" inside quotes for one literal quote, separated by blanks.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/WideString.h"

namespace host {

struct InstallerProperties {
    std::vector<std::pair<WString, WString>> values; // in command-line order

    // The last setting of `name` (names are case-sensitive); null when it is not set.
    const WString* find(const WString& name) const;
};

// False with `error` set for a malformed or overlong command line.
bool ParseInstallerCommandLine(const WString& commandLine, InstallerProperties& properties,
                               std::string& error);

} // namespace host
