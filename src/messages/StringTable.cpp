#include "messages/StringTable.h"

#include "platform/ByteReader.h"

std::optional<std::u16string> ReadStringTableEntry(const void* block, size_t size,
                                                   unsigned index) {
    constexpr unsigned kEntriesPerBlock = 16;
    if (index >= kEntriesPerBlock)
        return std::nullopt;
    ByteReader reader(block, size);
    for (unsigned i = 0;; ++i) {
        std::uint16_t count = 0;
        if (!reader.readU16(count, "string-table entry length"))
            return std::nullopt;
        const std::uint8_t* units = nullptr;
        if (!reader.readBytes(size_t{count} * 2, units, "string-table entry text"))
            return std::nullopt;
        if (i == index) {
            std::u16string text(count, u'\0');
            for (size_t k = 0; k < count; ++k)
                text[k] = static_cast<char16_t>(units[2 * k] | (units[2 * k + 1] << 8));
            return text;
        }
    }
}
