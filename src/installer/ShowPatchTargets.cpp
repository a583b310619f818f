#include "installer/ShowPatchTargets.h"

#include "installer/PatchTargets.h"
#include "payload/TemporaryPackage.h"

bool ShowPatchTargets() {
    TemporaryPackage copy;
    WString targets;
    const bool read = copy.written() && GetPatchTargets(copy.path(), targets);
    win::MessageBoxW(nullptr, targets.c_str(), u"List of Products",
                     win::MB_OK | win::MB_SETFOREGROUND | win::MB_TOPMOST);
    return read;
}
