// MsiGetSummaryInformationW, MsiSummaryInfoGetPropertyW and MsiCloseHandle of the host build:
// the summary information is read from the package file itself when the handle is opened.
#include "platform/Platform.h"

#include "platform/host/Faults.h"
#include "platform/host/InstallerDiagnostics.h"
#include "platform/host/InstallerErrors.h"
#include "platform/host/MsiCompoundFile.h"
#include "platform/host/MsiHandleTable.h"
#include "platform/host/MsiTextOut.h"

namespace win {

UINT MsiGetSummaryInformationW(MSIHANDLE database, const WCHAR* packagePath, UINT updateCount,
                               MSIHANDLE* summary) {
    if (DWORD fault = 0; host::TakeFault(host::Call::MsiGetSummaryInformation, fault))
        return fault;
    (void)updateCount; // the stand-in never writes summary information
    if (summary == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (database != 0) // the stand-in opens no databases, so no database handle is valid
        return ERROR_INVALID_HANDLE;
    if (packagePath == nullptr || packagePath[0] == u'\0')
        return ERROR_INVALID_PARAMETER;

    host::CompoundFile file;
    std::string error;
    if (!file.open(ToUtf8(packagePath), error)) {
        host::ReportInstallerProblem(error);
        return host::kErrorOpenFailed;
    }
    auto info = std::make_shared<host::SummaryInformation>();
    if (!file.readSummary(*info, error)) {
        host::ReportInstallerProblem(error);
        return host::kErrorInstallPackageInvalid;
    }
    const MSIHANDLE handle = host::OpenSummaryHandle(std::move(info));
    if (handle == 0)
        return ERROR_NOT_ENOUGH_MEMORY;
    *summary = handle;
    return ERROR_SUCCESS;
}

UINT MsiSummaryInfoGetPropertyW(MSIHANDLE summary, UINT property, UINT* dataType, int* intValue,
                                FILETIME* fileTime, WCHAR* buffer, DWORD* length) {
    if (DWORD fault = 0; host::TakeFault(host::Call::MsiSummaryInfoGetProperty, fault))
        return fault;
    const auto info = host::FindSummaryHandle(summary);
    if (info == nullptr)
        return ERROR_INVALID_HANDLE;
    if (property >= host::kPidLimit)
        return ERROR_UNKNOWN_PROPERTY;

    host::SummaryProperty value;
    const auto found = info->properties.find(property);
    if (found != info->properties.end())
        value = found->second;
    if (dataType != nullptr)
        *dataType = value.type;
    switch (value.type) {
    case host::kVtI2:
    case host::kVtI4:
        if (intValue != nullptr)
            *intValue = value.intValue;
        return ERROR_SUCCESS;
    case host::kVtFiletime:
        if (fileTime != nullptr)
            *fileTime = value.fileTime;
        return ERROR_SUCCESS;
    default: // a string, or a property the package does not hold: an empty string
        return host::CopyTextOut(value.text, buffer, length);
    }
}

UINT MsiCloseHandle(MSIHANDLE handle) {
    if (handle == 0)
        return ERROR_SUCCESS;
    return host::CloseSummaryHandle(handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace win
