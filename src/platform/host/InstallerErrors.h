// Windows error codes that only the stand-in installer reports (winerror.h values); the ones
// that callers above the seam know are in platform/Platform.h.
#pragma once

#include "platform/Platform.h"

namespace host {

constexpr win::UINT kErrorOpenFailed = 110;               // ERROR_OPEN_FAILED
constexpr win::UINT kErrorBadConfiguration = 1610;        // ERROR_BAD_CONFIGURATION
constexpr win::UINT kErrorInstallPackageInvalid = 1620;   // ERROR_INSTALL_PACKAGE_INVALID
constexpr win::UINT kErrorInvalidCommandLine = 1639;      // ERROR_INVALID_COMMAND_LINE
constexpr win::INSTALLSTATE kInstallStateInvalidArg = -2; // INSTALLSTATE_INVALIDARG

} // namespace host
