// Linux errno values as the Windows error codes that the same failure gives there.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace host {

constexpr win::DWORD kErrorTooManyOpenFiles = 4;
constexpr win::DWORD kErrorNotSameDevice = 17;
constexpr win::DWORD kErrorGenFailure = 31;
constexpr win::DWORD kErrorInvalidName = 123;
constexpr win::DWORD kErrorNegativeSeek = 131;
constexpr win::DWORD kErrorFilenameTooLong = 206;
constexpr win::DWORD kErrorCantResolveFilename = 1921;

// For a failed open, rename or unlink of `path`: a missing file is 2 when its folder exists and
// 3 when the folder does not.
win::DWORD ErrorForPath(int error, const std::string& path);
// For a failed write: 112 when the disk is full, else 29.
win::DWORD ErrorForWrite(int error);

} // namespace host
