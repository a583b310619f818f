// patch-info: what the launcher needs to know of a patch package, read the way the installer
// stand-in reads it, or why the package is not a patch.
//
//   patch-info PACKAGE.msp
//
// prints "patch-code {...}" and "targets {...};{...}" and exits 0; exits 1 with a message on
// standard error when the package cannot be opened or is not a patch, 2 for a wrong command line.
#include <cstdio>
#include <string>

#include "platform/host/InstallerPatchPackage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: patch-info PACKAGE.msp\n");
        return 2;
    }
    host::PatchPackage patch;
    std::string error;
    const win::UINT result = host::ReadPatchPackage(argv[1], patch, error);
    if (result != 0) {
        std::fprintf(stderr, "%s: not a patch package (%u): %s\n", argv[1], result, error.c_str());
        return 1;
    }
    std::string targets;
    for (const std::string& code : patch.targets)
        targets += (targets.empty() ? "" : ";") + code;
    if (patch.targets.empty() || patch.patchCode.empty()) {
        std::fprintf(stderr, "%s: the patch names no %s\n", argv[1],
                     patch.targets.empty() ? "target product" : "patch code");
        return 1;
    }
    std::printf("patch-code %s\ntargets %s\n", patch.patchCode.c_str(), targets.c_str());
    return 0;
}
