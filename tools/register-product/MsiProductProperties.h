// The properties of an installer package (.msi) that installing it records for the product,
// read from the package's Property table with libmsi.
#pragma once

#include <string>

struct MsiProductProperties {
    std::string productCode;
    std::string productName;
    std::string productLanguage;
    std::string productVersion;
};

// False with `error` set when the package cannot be opened or lacks one of the four.
bool ReadMsiProductProperties(const std::string& path, MsiProductProperties& properties,
                              std::string& error);
