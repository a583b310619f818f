// What the stand-in installer reads from a patch package before it applies it: the patch's
// code, its target products, and for each of its transforms the product version it moves from
// and to.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace host {

// A transform's summary property 9: "{old product code}old version;{new product code}new
// version;{upgrade code}".
struct PatchTransform {
    std::string name;
    std::string oldProductCode;
    std::string oldVersion;
    std::string newProductCode;
    std::string newVersion;
};

struct PatchPackage {
    std::string patchCode;                  // the first code of summary property 9
    std::vector<std::string> targets;       // summary property 7, split on ';'
    std::vector<PatchTransform> transforms; // in the order of summary property 8

    bool targetsProduct(const std::string& productCode) const;
    // The version that the first transform from `productCode` gives it; null when none does.
    const std::string* newVersionFor(const std::string& productCode) const;
};

// 0; 1635 (ERROR_PATCH_PACKAGE_OPEN_FAILED) when the file is no compound file; 1636
// (ERROR_PATCH_PACKAGE_INVALID) when it is not a patch or is damaged. `error` says why.
win::UINT ReadPatchPackage(const std::string& path, PatchPackage& patch, std::string& error);

} // namespace host
