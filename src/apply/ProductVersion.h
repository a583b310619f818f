#pragma once

#include <cstdint>

#include "platform/WideString.h"

// A product version: four 16-bit parts, compared only for equality.
struct ProductVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;

    bool operator==(const ProductVersion& other) const {
        return major == other.major && minor == other.minor && build == other.build &&
               revision == other.revision;
    }
    bool operator!=(const ProductVersion& other) const { return !(*this == other); }
};

// Parts separated by '.' or ','. A part is the decimal value at its start, modulo 65536. The
// part after the last separator is taken only as the fourth part, so "7.2" is 7.0.0.0 and a
// text without a separator is 0.0.0.0.
ProductVersion ParseVersion(WString text);
