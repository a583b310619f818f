#pragma once

#include "platform/Platform.h"

// The summary information of the package at `path` (absolute or relative), or 0 when the
// installer cannot open it.
win::MSIHANDLE OpenPatchSummary(const WString& path);

// Reads the patch's target product codes (summary property 7, the template: codes separated by
// ";") into `targets`, unchanged unless the read succeeds.
bool GetPatchTargets(const WString& path, WString& targets);
