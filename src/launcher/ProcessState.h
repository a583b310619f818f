// The process-wide state: written while the command line is parsed and the modes run, read by
// every layer (the module handle for resource lookups, quiet mode and the product name for
// messages). Single-threaded, so no locking.
#pragma once

#include "platform/Platform.h"

extern win::HINSTANCE g_hInstance;
extern bool g_quiet;
extern bool g_modeInstall;
extern bool g_modeExtract;
extern bool g_modePatchList;
extern bool g_modeListProducts;
extern WString g_extractPath;
extern WString g_patchListPath;
extern WString g_messageProductName;
