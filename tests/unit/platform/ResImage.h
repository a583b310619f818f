// Building .res images byte by byte, for tests that need an image windres would not write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ResBytes {
    std::vector<std::uint8_t> bytes;

    ResBytes& u16(std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    ResBytes& u32(std::uint32_t v) { return u16(static_cast<std::uint16_t>(v)).u16(v >> 16); }
    ResBytes& text(const std::u16string& s) { // NUL-terminated UTF-16
        for (char16_t c : s)
            u16(c);
        return u16(0);
    }
    ResBytes& raw(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ResBytes& pad() {
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
        return *this;
    }
    // The empty 32-byte entry that opens every image.
    ResBytes& emptyEntry() {
        u32(0).u32(32);            // DataSize, HeaderSize
        u16(0xFFFF).u16(0);        // TYPE id 0
        u16(0xFFFF).u16(0);        // NAME id 0
        u32(0).u16(0).u16(0);      // DataVersion, MemoryFlags, LanguageId
        return u32(0).u32(0);      // Version, Characteristics
    }
    // The fixed fields after TYPE, NAME and their padding.
    ResBytes& fixedFields(std::uint16_t language) {
        u32(0).u16(0x1030).u16(language);
        return u32(0).u32(0);
    }
};
