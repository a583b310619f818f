// The string pool of a Windows Installer storage (_StringPool and _StringData).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace patchgen {

using Bytes = std::vector<std::uint8_t>;

// Strings are numbered from 1 in the order they are first interned; id 0 is the null string.
// Every Intern counts one reference, as the pool records how many table cells use a string.
class StringPool {
public:
    explicit StringPool(std::uint16_t codepage) : codepage_(codepage) {}

    // Throws std::invalid_argument for an empty string (a cell holds id 0 for that) or for more
    // strings than a two-byte reference can name.
    std::uint16_t Intern(std::string_view text);

    // _StringPool: the codepage, then (length, references) for each string, all little-endian.
    Bytes PoolStream() const;
    // _StringData: the strings one after the other, without separators.
    Bytes DataStream() const;

private:
    struct Entry {
        std::string text;
        std::uint16_t references;
    };
    std::uint16_t codepage_;
    std::vector<Entry> entries_;
};

void PutU16(Bytes& out, std::uint16_t value);
void PutU32(Bytes& out, std::uint32_t value);

}  // namespace patchgen
