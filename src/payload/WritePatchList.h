#pragma once

#include "platform/WideString.h"

struct PatchListReport {
    bool opened = false;     // false only when the file could not be opened (message 310)
    int entriesAppended = 0; // complete entries added to the file
};

// Appends every patch description block ("TXT" 206, 207, ... up to the first missing id) to the
// patch-list file, each as "*****" CR LF, the block, CR LF. An empty path gets the default name
// derived from the patch's target list. Each entry is appended whole or not at all.
PatchListReport WritePatchList(WString& path);
