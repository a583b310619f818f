// The only way into the Windows headers. The seam comes first, so that the macros of
// windows.h (ERROR_SUCCESS, MB_OK, ...) are defined only after its constants have been read.
#pragma once

#include "platform/Platform.h"

#include <windows.h>

#include <shellapi.h>

namespace win {

inline LPCWSTR Wide(const WCHAR* text) { return reinterpret_cast<LPCWSTR>(text); }
inline LPWSTR Wide(WCHAR* text) { return reinterpret_cast<LPWSTR>(text); }

} // namespace win
