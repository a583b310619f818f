// The summary information of a Windows Installer package: one property set stream
// ("\005SummaryInformation") in the OLE property set format, decoded into typed values.
//
// Packages come from outside, so the stream is parsed with bounds on every read; a damaged
// stream is rejected with a message that says what was being read and at which offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "platform/Platform.h"

namespace host {

// Property types as the installer reports them (VARENUM values).
constexpr win::UINT kVtEmpty = 0;
constexpr win::UINT kVtI2 = 2;
constexpr win::UINT kVtI4 = 3;
constexpr win::UINT kVtLpstr = 30;
constexpr win::UINT kVtFiletime = 64;

// Summary properties of installer packages that the stand-in itself reads.
constexpr win::UINT kPidCodepage = 1;
constexpr win::UINT kPidTemplate = 7;
constexpr win::UINT kPidLastAuthor = 8; // a patch's transforms, ":Name;:Name"
constexpr win::UINT kPidRevision = 9;   // a patch's code; a transform's product codes and versions
// The installer knows property ids below this one; the others are unknown properties.
constexpr win::UINT kPidLimit = 20;

struct SummaryProperty {
    win::UINT type = kVtEmpty;
    int intValue = 0;
    win::FILETIME fileTime{};
    WString text;
};

struct SummaryInformation {
    std::map<win::UINT, SummaryProperty> properties;

    // The text of a string property, empty when the package does not hold it.
    WString text(win::UINT pid) const;
};

// Decodes a whole summary information stream. Strings are converted from the stream's code
// page (property 1) to UTF-16. Returns false with `error` set when the stream is damaged.
bool ParseSummaryInformation(const std::uint8_t* data, std::size_t size, SummaryInformation& out,
                             std::string& error);

} // namespace host
