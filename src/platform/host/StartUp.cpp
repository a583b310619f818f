// Process start-up calls that have nothing to do on Linux.
#include "platform/Platform.h"

namespace win {

// The host build loads no DLLs; the search order it would restrict does not exist.
BOOL SetDefaultDllDirectories(DWORD) { return 1; }

} // namespace win
