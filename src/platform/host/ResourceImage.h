// Reading a .res image as `windres -O res` writes it: the resources of one module.
//
// The image is a sequence of entries, each starting on a DWORD boundary:
//   DataSize u32, HeaderSize u32,
//   TYPE, NAME: each 0xFFFF then a u16 id, or a NUL-terminated UTF-16 string,
//   padding to a DWORD boundary,
//   DataVersion u32, MemoryFlags u16, LanguageId u16, Version u32, Characteristics u32,
//   then DataSize bytes of data (at entry start + HeaderSize), padded to a DWORD boundary.
// The first entry is an empty 32-byte one (DataSize 0, type and name id 0) that marks the file
// as a 32-bit resource file; it is not a resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace host {

// A type or name as the image holds it: an id, or a text kept as written.
struct ResourceKey {
    bool isId = true;
    win::WORD id = 0;
    WString text;
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    win::LANGID language = 0;
    const std::uint8_t* data = nullptr; // points into the image
    std::uint32_t size = 0;
    size_t offset = 0; // of the entry in the image, for messages
};

// Reads every entry of the image; the entries point into it. False, with what is wrong and at
// which offset in `error`, when the image is damaged.
bool ParseResourceImage(const std::uint8_t* image, size_t size, std::vector<ResourceEntry>& entries,
                        std::string& error);

} // namespace host
