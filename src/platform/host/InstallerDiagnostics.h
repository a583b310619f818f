// Damaged input (a package, the product registry) makes the stand-in installer fail like the
// real one, with a Windows error code; the line on stderr says what was wrong and where.
#pragma once

#include <cstdio>
#include <string>

namespace host {

inline void ReportInstallerProblem(const std::string& what) {
    std::fprintf(stderr, "host installer: %s\n", what.c_str());
}

} // namespace host
