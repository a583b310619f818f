// The log of the configure requests that the stand-in installer received, so that tests can
// check which products were asked to take which patch. One line per request, appended beside
// the product registry in "<registry>.requests":
//
//     <result> TAB <product code> TAB <install level> TAB <install state> TAB <command line>
//
// with backslash, tab, CR and LF in the command line written as \\, \t, \r and \n.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace host {

struct InstallerRequest {
    win::UINT result = 0;
    std::string product;
    int installLevel = 0;
    int installState = 0;
    std::string commandLine; // UTF-8
};

std::string InstallerRequestLogPath(const std::string& registryPath);
bool AppendInstallerRequest(const std::string& registryPath, const InstallerRequest& request,
                            std::string& error);
// A missing log holds no requests.
bool ReadInstallerRequests(const std::string& registryPath, std::vector<InstallerRequest>& requests,
                           std::string& error);

} // namespace host
