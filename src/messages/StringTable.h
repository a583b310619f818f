// Reading one entry of a string-table block: sixteen entries, each a 16-bit little-endian count
// of UTF-16 code units followed by that many code units. The block comes from the resource
// section, so every read is bounds-checked.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The resource name of the block that holds an id, and the entry's place in it.
inline unsigned StringBlockOf(unsigned id) { return id / 16 + 1; }
inline unsigned StringIndexOf(unsigned id) { return id % 16; }

// The entry at `index` (0..15) of the block, or nothing when the block is too short for it.
// An absent id is an entry of count 0, which yields an empty string.
std::optional<std::u16string> ReadStringTableEntry(const void* block, size_t size,
                                                   unsigned index);
