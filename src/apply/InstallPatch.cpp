#include "apply/InstallPatch.h"

#include "apply/CandidateWalk.h"
#include "apply/Decimal.h"
#include "apply/ProductEntry.h"
#include "apply/ProductVersion.h"
#include "installer/PatchTargets.h"
#include "installer/ProductQueries.h"
#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/LoadResString.h"
#include "messages/ShowMessage.h"
#include "payload/TemporaryPackage.h"

namespace {

constexpr int kStringCapacity = 256;

// Step outcome of one product.
enum class Handled { Next, StopRun };

void CollectPresentProducts(const ProductEntry& prototypeIn) {
    ProductEntry prototype = prototypeIn;
    size_t p = prototype.productCode.find(u';');
    // An empty code (";" first) ends the walk.
    while (p != WString::npos && p > 0) {
        auto entry = std::make_unique<ProductEntry>(prototype);
        entry->productCode = prototype.productCode.substr(0, p);
        if (IsProductPresent(entry->productCode)) {
            entry->installedVersion = GetProductVersion(entry->productCode);
            GetProductNameAndLanguage(entry->productCode, entry->productName, entry->language);
            g_products.push_back(std::move(entry));
        }
        prototype.productCode.erase(0, p + 1);
        p = prototype.productCode.find(u';');
    }
}

void ApplyPatch(ProductEntry& entry, const WString& packagePath, InstallReport& report) {
    // Built to fit whatever the path's length: a request cut short would name another file.
    entry.commandLine = u"PATCH=\"" + packagePath + u"\"";
    const win::UINT result =
        win::MsiConfigureProductExW(entry.productCode.c_str(), win::INSTALLLEVEL_DEFAULT,
                                    win::INSTALLSTATE_DEFAULT, entry.commandLine.c_str());
    report.installerResults.push_back(result);
    // A restart still needed (3010) or already started (1641) means the patch is installed;
    // the exit code carries the restart.
    if (result == win::ERROR_SUCCESS || result == win::ERROR_SUCCESS_REBOOT_REQUIRED ||
        result == win::ERROR_SUCCESS_REBOOT_INITIATED) {
        ShowMessage(IDS_INSTALL_SUCCEEDED);
    } else {
        win::SetLastError(result);
        ShowMessage(IDS_INSTALL_FAILED);
    }
}

Handled HandleByCandidates(ProductEntry& entry, const ProductVersion& installed,
                           const ProductVersion& target, const WString& packagePath,
                           InstallReport& report) {
    switch (WalkCandidates(entry.candidateVersions, installed, target)) {
    case CandidateMatch::Candidate:
        ApplyPatch(entry, packagePath, report);
        return Handled::Next;
    case CandidateMatch::TargetReached:
        ShowMessage(IDS_ALREADY_UP_TO_DATE);
        return Handled::StopRun;
    case CandidateMatch::None:
        break;
    }
    report.unsupportedVersion = true;
    ShowMessage(IDS_VERSION_NOT_SUPPORTED);
    return Handled::Next;
}

} // namespace

InstallReport InstallPatch() {
    InstallReport report;
    TemporaryPackage copy;
    if (!copy.written()) {
        report.failedBeforeLoop = true;
        ShowMessage(IDS_INSTALL_FAILED);
        return report;
    }

    ProductEntry prototype;
    if (LoadResString(g_hInstance, IDS_TARGET_VERSION, prototype.targetVersion,
                      kStringCapacity) == 0 ||
        LoadResString(g_hInstance, IDS_CANDIDATE_VERSIONS, prototype.candidateVersions,
                      kStringCapacity) == 0) {
        report.failedBeforeLoop = true;
        ShowMessage(IDS_INSTALL_FAILED);
        return report;
    }

    WString targets;
    if (!GetPatchTargets(copy.path(), targets)) {
        report.failedBeforeLoop = true;
        ShowMessage(IDS_INSTALL_FAILED);
        return report;
    }
    prototype.productCode = targets + u";";
    CollectPresentProducts(prototype);
    if (g_products.empty()) {
        report.noTargetPresent = true;
        ShowMessage(IDS_PRODUCT_NOT_FOUND);
        return report;
    }

    size_t upToDate = 0;
    for (const auto& entry : g_products) {
        g_messageProductName = entry->productName;
        // A language that names no locale leaves the thread's locale as it was.
        win::SetThreadLocale(static_cast<win::LCID>(ParseDecimal(entry->language)));
        const ProductVersion installed = ParseVersion(entry->installedVersion);
        const ProductVersion target = ParseVersion(entry->targetVersion);
        if (installed == target) {
            ++upToDate;
            continue;
        }
        if (HandleByCandidates(*entry, installed, target, copy.path(), report) == Handled::StopRun)
            return report;
    }
    if (upToDate == g_products.size()) {
        win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
        ShowMessage(IDS_ALREADY_UP_TO_DATE);
    }
    report.completed = true;
    return report;
}
