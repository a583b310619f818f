#include "launcher/ProcessState.h"

win::HINSTANCE g_hInstance = nullptr;
bool g_quiet = false;
bool g_modeInstall = false;
bool g_modeExtract = false;
bool g_modePatchList = false;
bool g_modeListProducts = false;
WString g_extractPath;
WString g_patchListPath;
WString g_messageProductName;
