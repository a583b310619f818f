// Cabinets for the files that the patch replaces, made by gcab.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "string_pool.h"

namespace patchgen {

// A cabinet holding one file named `member` (the File table key, as the installer looks files up
// by key) with `content`, dated `unixTime` so that the cabinet is the same from one run to the
// next. Runs the gcab program `gcab`; throws std::runtime_error with what failed.
Bytes MakeCabinet(const std::string& gcab, const std::string& member, const std::string& content,
                  std::int64_t unixTime);

// The four parts of the file hash that MsiFileHash records (the MD5 digest as four little-endian
// 32-bit words, as MsiGetFileHash reports them).
std::array<std::int32_t, 4> FileHashParts(const std::string& content);

}  // namespace patchgen
