// Injected failures of host platform calls, for tests of what the program does when a call
// fails. Each host implementation of a call asks TakeFault first and, when a fault is due,
// fails with its error instead of doing the work (WriteFile: writes half the bytes first).
//
// Faults come from tests (InjectFault) or, for a whole process, from the environment variable
// SP_HOST_FAULT read once at the first call: "<call name>:<skip>:<error>[,...]", for example
// "CreateFile:1:5,WriteFile:0:112" (second CreateFile fails with 5, first WriteFile with 112).
// A malformed entry is reported on standard error and ignored.
#pragma once

#include <optional>
#include <string_view>

#include "platform/Platform.h"

namespace host {

enum class Call {
    GetTempPath,
    CreateFile,
    WriteFile,
    SetFilePointer,
    SetEndOfFile,
    MoveFile,
    DeleteFile,
    FindResource,
    LoadResource,
    LockResource,
    GenRandom,
    MsiGetSummaryInformation,
    MsiSummaryInfoGetProperty,
    MsiConfigureProduct,
};

// The name used in SP_HOST_FAULT: the enumerator's own name ("CreateFile").
std::string_view CallName(Call call);
std::optional<Call> CallFromName(std::string_view name);

// Makes the (skip+1)-th next call of this kind fail with `error`, once.
void InjectFault(Call call, win::DWORD error, int skip = 0);
// Forgets every pending fault, those from SP_HOST_FAULT included.
void ClearFaults();
// Counts one call of this kind; true (and the error) when this call is to fail.
bool TakeFault(Call call, win::DWORD& error);

} // namespace host
