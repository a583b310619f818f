// Names of streams inside a Windows Installer storage.
#pragma once

#include <string>
#include <string_view>

namespace patchgen {

// Packs a table or stream name the way the Windows Installer stores it: pairs of characters from
// [0-9A-Za-z._] become one code point in 0x3800..0x47FF, a lone one becomes 0x4800 + its value,
// anything else passes through. Table streams start with 0x4840. Throws std::invalid_argument for
// a name whose encoding would not fit a compound-file entry (31 UTF-16 units).
std::u16string EncodeStreamName(std::string_view name, bool isTable);

// The UTF-8 form of a UTF-16 name (libgsf takes entry names in UTF-8).
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace patchgen
