// The stand-in installer's handles: 32-bit values, never 0, each naming one open summary
// information until it is closed.
#pragma once

#include <memory>

#include "platform/host/MsiPropertySet.h"

namespace host {

// 0 when no handle is free.
win::MSIHANDLE OpenSummaryHandle(std::shared_ptr<const SummaryInformation> summary);
// Null for a handle that is not open.
std::shared_ptr<const SummaryInformation> FindSummaryHandle(win::MSIHANDLE handle);
// False for a handle that is not open.
bool CloseSummaryHandle(win::MSIHANDLE handle);

} // namespace host
