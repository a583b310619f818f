#include "platform/host/ResourceImage.h"

#include "platform/ByteReader.h"

namespace host {
namespace {

constexpr size_t kEntryAlignment = 4;
constexpr win::WORD kIdMarker = 0xFFFF;
// DataSize, HeaderSize, the shortest TYPE and NAME (two ids), and the fixed fields after them.
constexpr std::uint32_t kSizeFields = 8;
constexpr std::uint32_t kFixedFieldsAfterNames = 16;
constexpr std::uint32_t kMinimumHeaderSize = kSizeFields + 4 + 4 + kFixedFieldsAfterNames;
constexpr std::uint32_t kEmptyEntryHeaderSize = 32;

std::string At(const char* what, size_t index, size_t offset) {
    return std::string("resource image: ") + what + " " + std::to_string(index) + " at offset " +
           std::to_string(offset) + ": ";
}

// A TYPE or NAME field; the text form may not run past the end of the header.
bool ReadKey(ByteReader& reader, size_t headerEnd, ResourceKey& key, const char* what,
             std::string& problem) {
    std::uint16_t first = 0;
    if (!reader.readU16(first, what))
        return false;
    if (first == kIdMarker) {
        key.isId = true;
        return reader.readU16(key.id, what);
    }
    key.isId = false;
    key.text.clear();
    for (std::uint16_t unit = first; unit != 0;) {
        key.text += static_cast<char16_t>(unit);
        if (reader.offset() >= headerEnd || !reader.readU16(unit, what)) {
            problem = std::string(what) + " has no terminating NUL before the end of the header "
                                          "at offset " +
                      std::to_string(headerEnd);
            return false;
        }
    }
    return true;
}

// Reads the entry at the reader's position; `problem` is set for damage that ByteReader does
// not see itself.
bool ReadEntry(ByteReader& reader, ResourceEntry& entry, std::string& problem) {
    entry.offset = reader.offset();
    std::uint32_t dataSize = 0;
    std::uint32_t headerSize = 0;
    if (!reader.readU32(dataSize, "DataSize") || !reader.readU32(headerSize, "HeaderSize"))
        return false;
    if (headerSize < kMinimumHeaderSize) {
        problem = "HeaderSize " + std::to_string(headerSize) + " is below the minimum " +
                  std::to_string(kMinimumHeaderSize);
        return false;
    }
    if (headerSize - kSizeFields > reader.remaining()) {
        problem = "HeaderSize " + std::to_string(headerSize) + " runs past the end of the image (" +
                  std::to_string(reader.remaining() + kSizeFields) + " bytes left)";
        return false;
    }
    const size_t headerEnd = entry.offset + headerSize;
    if (!ReadKey(reader, headerEnd, entry.type, "TYPE", problem) ||
        !ReadKey(reader, headerEnd, entry.name, "NAME", problem) ||
        !reader.alignTo(kEntryAlignment, "padding after NAME"))
        return false;
    std::uint32_t dataVersion = 0;
    std::uint16_t memoryFlags = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    if (!reader.readU32(dataVersion, "DataVersion") ||
        !reader.readU16(memoryFlags, "MemoryFlags") ||
        !reader.readU16(entry.language, "LanguageId") || !reader.readU32(version, "Version") ||
        !reader.readU32(characteristics, "Characteristics"))
        return false;
    if (reader.offset() > headerEnd) {
        problem = "header fields end at offset " + std::to_string(reader.offset()) +
                  ", past HeaderSize " + std::to_string(headerSize);
        return false;
    }
    if (!reader.skip(headerEnd - reader.offset(), "rest of the header") ||
        !reader.readBytes(dataSize, entry.data, "data"))
        return false;
    entry.size = dataSize;
    return reader.alignTo(kEntryAlignment, "padding after the data");
}

bool IsEmptyFirstEntry(const ResourceEntry& entry, const ByteReader& reader) {
    return entry.size == 0 && entry.type.isId && entry.type.id == 0 && entry.name.isId &&
           entry.name.id == 0 && reader.offset() == kEmptyEntryHeaderSize;
}

} // namespace

bool ParseResourceImage(const std::uint8_t* image, size_t size, std::vector<ResourceEntry>& entries,
                        std::string& error) {
    entries.clear();
    ByteReader reader(image, size);
    // Every entry takes at least kMinimumHeaderSize bytes, so this ends within size/32 rounds.
    for (size_t index = 0; index == 0 || !reader.atEnd(); ++index) {
        ResourceEntry entry;
        std::string problem;
        if (!ReadEntry(reader, entry, problem)) {
            error = At("entry", index, entry.offset) + (problem.empty() ? reader.error() : problem);
            entries.clear();
            return false;
        }
        if (index == 0) {
            if (!IsEmptyFirstEntry(entry, reader)) {
                error = At("entry", index, entry.offset) +
                        "not a 32-bit resource file: the first entry is not the empty 32-byte one";
                return false;
            }
            continue;
        }
        entries.push_back(entry);
    }
    return true;
}

} // namespace host
