// The sample service pack: its release values and the patch package built from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "string_pool.h"

namespace patchgen {

// One product that the patch brings to the target version.
struct TargetProduct {
    std::string productCode;
    std::string name;
    // Sub-storage holding the product's changes; "#" + it holds the patch's own media.
    std::string transform;
    // Stream of the patch root holding the product's replaced files.
    std::string cabinet;
    // Media row that the patch adds; distinct from the product's own rows.
    int diskId;
};

struct PatchRelease {
    std::string patchCode;
    std::string title;
    std::string description;
    std::string manufacturer;
    std::string upgradeCode;
    std::string targetVersion;
    // Versions the patch is built for, the launcher's candidate list, in ascending order.
    std::vector<std::string> candidateVersions;
    std::vector<TargetProduct> targets;
    // Where administrators publish the launcher and its readme (the description block).
    std::string fileLocation;
    std::string descriptionLocation;
    // Every date the package carries, so that one run's output equals the next one's.
    std::int64_t unixTime;
};

// Tessivar 7.2 Service Pack 2.
PatchRelease SampleRelease();
// Another patch, for other products and versions: what a later release of the launcher carries.
PatchRelease SecondRelease();

// The readme that the patch installs into a product, as the sample products name theirs.
std::string ReadmeContent(const TargetProduct& product, const std::string& version);

// The patch package file. `gcab` is the gcab program that makes the cabinets.
Bytes BuildPatchPackage(const PatchRelease& release, const std::string& gcab);

// Description block 206: eight CR LF lines, PatchSize being `packageSize`.
std::string PatchInfoText(const PatchRelease& release, std::uint64_t packageSize);

}  // namespace patchgen
