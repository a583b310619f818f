#pragma once

#include <vector>

#include "platform/Platform.h"

// What a default run did, for the exit code.
struct InstallReport {
    bool completed = false;         // the product loop ran to its end
    bool failedBeforeLoop = false;  // message 300 before any product was examined
    bool noTargetPresent = false;   // message 307
    bool unsupportedVersion = false; // message 308 for at least one product
    std::vector<win::UINT> installerResults; // each installation request's result, in order
};

// The default run: extracts the package to a temporary copy, finds the present target products,
// applies the patch to each one at a candidate version and reports every outcome in the
// product's language. The copy is deleted on every path.
InstallReport InstallPatch();
