#include "platform/host/InstallerPatchPackage.h"

#include <string_view>

#include "platform/host/MsiCompoundFile.h"
#include "platform/host/ProductCode.h"

namespace host {
namespace {

// More transforms than a patch for any product family carries.
constexpr std::size_t kMaxTransforms = 256;

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (true) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

// "{code}version": a product code followed by the rest of the text.
bool SplitCodeAndVersion(const std::string& text, std::string& code, std::string& version) {
    if (text.size() < kProductCodeLength || !IsProductCode(text.substr(0, kProductCodeLength)))
        return false;
    code = text.substr(0, kProductCodeLength);
    version = text.substr(kProductCodeLength);
    return true;
}

} // namespace

bool PatchPackage::targetsProduct(const std::string& productCode) const {
    for (const std::string& target : targets) {
        if (SameProductCode(target, productCode))
            return true;
    }
    return false;
}

const std::string* PatchPackage::newVersionFor(const std::string& productCode) const {
    for (const PatchTransform& transform : transforms) {
        if (SameProductCode(transform.oldProductCode, productCode))
            return &transform.newVersion;
    }
    return nullptr;
}

win::UINT ReadPatchPackage(const std::string& path, PatchPackage& patch, std::string& error) {
    CompoundFile file;
    if (!file.open(path, error))
        return win::ERROR_PATCH_PACKAGE_OPEN_FAILED;
    if (file.classId() != kPatchPackageClassId) {
        error = path + ": root storage is not of the patch package class";
        return win::ERROR_PATCH_PACKAGE_INVALID;
    }
    SummaryInformation summary;
    if (!file.readSummary(summary, error))
        return win::ERROR_PATCH_PACKAGE_INVALID;

    PatchPackage result;
    const std::string revision = ToUtf8(summary.text(kPidRevision));
    if (revision.size() < kProductCodeLength ||
        !IsProductCode(revision.substr(0, kProductCodeLength))) {
        error = path + ": summary property 9 \"" + revision + "\" does not start with a patch code";
        return win::ERROR_PATCH_PACKAGE_INVALID;
    }
    result.patchCode = revision.substr(0, kProductCodeLength);
    result.targets = Split(ToUtf8(summary.text(kPidTemplate)), ';');

    const std::string transformList = ToUtf8(summary.text(kPidLastAuthor));
    const std::vector<std::string> transformNames =
        transformList.empty() ? std::vector<std::string>() : Split(transformList, ';');
    if (transformNames.size() > kMaxTransforms) {
        error = path + ": " + std::to_string(transformNames.size()) + " transforms, more than " +
                std::to_string(kMaxTransforms);
        return win::ERROR_PATCH_PACKAGE_INVALID;
    }
    for (const std::string& entry : transformNames) {
        // An embedded transform is named ":Name", the sub-storage "Name".
        if (entry.size() < 2 || entry[0] != ':') {
            error = path + ": transform \"" + entry + "\" in summary property 8 is not :Name";
            return win::ERROR_PATCH_PACKAGE_INVALID;
        }
        PatchTransform transform;
        transform.name = entry.substr(1);
        SummaryInformation transformSummary;
        bool found = false;
        if (!file.readSubStorageSummary(transform.name, transformSummary, found, error))
            return win::ERROR_PATCH_PACKAGE_INVALID;
        if (!found) {
            error = path + ": transform " + transform.name + " has no sub-storage";
            return win::ERROR_PATCH_PACKAGE_INVALID;
        }
        const std::string codes = ToUtf8(transformSummary.text(kPidRevision));
        const std::vector<std::string> parts = Split(codes, ';');
        if (parts.size() < 2 ||
            !SplitCodeAndVersion(parts[0], transform.oldProductCode, transform.oldVersion) ||
            !SplitCodeAndVersion(parts[1], transform.newProductCode, transform.newVersion)) {
            error = path + ":" + transform.name + ": summary property 9 \"" + codes +
                    "\" is not {code}version;{code}version;{code}";
            return win::ERROR_PATCH_PACKAGE_INVALID;
        }
        result.transforms.push_back(std::move(transform));
    }
    patch = std::move(result);
    return win::ERROR_SUCCESS;
}

} // namespace host
