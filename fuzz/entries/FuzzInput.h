// Turning fuzz bytes into the values the readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/WideString.h"

namespace fuzz {

// Little-endian byte pairs; an odd last byte is dropped.
inline WString Utf16Of(const std::uint8_t* data, std::size_t size) {
    WString text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

// The text up to its first NUL, as a C string hands it over.
inline WString UpToNul(WString text) {
    const std::size_t nul = text.find(u'\0');
    if (nul != WString::npos)
        text.resize(nul);
    return text;
}

inline std::uint16_t U16At(const std::uint8_t* data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

} // namespace fuzz
