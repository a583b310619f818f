#include "platform/host/MsiPropertySet.h"

#include <cstring>
#include <vector>

#include <glib.h>

#include "platform/ByteReader.h"

namespace host {
namespace {

constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint8_t kFmtidSummaryInformation[16] = {
    0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::size_t kClassIdSize = 16;
constexpr std::size_t kSetHeaderSize = 28; // byte order, version, system, class id, set count
constexpr int kCodepageUtf8 = 65001;
constexpr int kCodepageDefault = 1252; // what an installer package without property 1 uses

struct RawString {
    win::UINT pid;
    std::string bytes;
};

// Converts one string value of the stream; bytes the code page cannot convert become U+FFFD.
WString DecodeString(const std::string& bytes, int codepage) {
    if (codepage == kCodepageUtf8)
        return FromUtf8(bytes);
    const std::string charset = "CP" + std::to_string(codepage);
    gsize written = 0;
    gchar* utf8 = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8",
                            charset.c_str(), nullptr, &written, nullptr);
    if (utf8 != nullptr) {
        WString text = FromUtf8(std::string_view(utf8, written));
        g_free(utf8);
        return text;
    }
    WString text;
    for (unsigned char c : bytes)
        text += c < 0x80 ? static_cast<char16_t>(c) : u'\uFFFD';
    return text;
}

bool Fail(std::string& error, const std::string& what) {
    error = "summary information: " + what;
    return false;
}

bool ReadValue(ByteReader& section, win::UINT pid, SummaryProperty& property,
               std::vector<RawString>& strings, std::string& error) {
    const std::string where = "property " + std::to_string(pid);
    std::uint16_t type = 0;
    std::uint16_t padding = 0;
    if (!section.readU16(type, "property type") || !section.readU16(padding, "property type"))
        return Fail(error, where + ": " + section.error());
    std::uint32_t value = 0;
    switch (type) {
    case kVtI2:
        if (!section.readU32(value, "2-byte integer"))
            return Fail(error, where + ": " + section.error());
        property.intValue = static_cast<std::int16_t>(value & 0xFFFF);
        break;
    case kVtI4:
        if (!section.readU32(value, "4-byte integer"))
            return Fail(error, where + ": " + section.error());
        property.intValue = static_cast<std::int32_t>(value);
        break;
    case kVtFiletime:
        if (!section.readU32(property.fileTime.dwLowDateTime, "file time") ||
            !section.readU32(property.fileTime.dwHighDateTime, "file time"))
            return Fail(error, where + ": " + section.error());
        break;
    case kVtLpstr: {
        std::uint32_t size = 0;
        const std::uint8_t* bytes = nullptr;
        if (!section.readU32(size, "string length") ||
            !section.readBytes(size, bytes, "string value"))
            return Fail(error, where + ": " + section.error());
        // The length counts the terminator; the value ends at the first NUL.
        const void* nul = std::memchr(bytes, 0, size);
        const std::size_t length =
            nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes)
                           : size;
        strings.push_back({pid, std::string(reinterpret_cast<const char*>(bytes), length)});
        break;
    }
    default:
        return Fail(error, where + ": unsupported type " + std::to_string(type));
    }
    property.type = type;
    return true;
}

} // namespace

WString SummaryInformation::text(win::UINT pid) const {
    const auto found = properties.find(pid);
    return found != properties.end() && found->second.type == kVtLpstr ? found->second.text
                                                                       : WString();
}

bool ParseSummaryInformation(const std::uint8_t* data, std::size_t size, SummaryInformation& out,
                             std::string& error) {
    ByteReader stream(data, size);
    std::uint16_t byteOrder = 0;
    std::uint32_t setCount = 0;
    const std::uint8_t* fmtid = nullptr;
    std::uint32_t sectionOffset = 0;
    if (!stream.readU16(byteOrder, "byte order") ||
        !stream.skip(kSetHeaderSize - 2 - 4, "property set header") ||
        !stream.readU32(setCount, "property set count") ||
        !stream.readBytes(kClassIdSize, fmtid, "format id") ||
        !stream.readU32(sectionOffset, "section offset"))
        return Fail(error, stream.error());
    if (byteOrder != kByteOrderMark)
        return Fail(error, "byte order mark " + std::to_string(byteOrder) + " at offset 0");
    if (setCount < 1)
        return Fail(error, "no property set");
    if (std::memcmp(fmtid, kFmtidSummaryInformation, kClassIdSize) != 0)
        return Fail(error, "format id at offset " + std::to_string(kSetHeaderSize) +
                               " is not that of summary information");
    if (sectionOffset > size)
        return Fail(error, "section offset " + std::to_string(sectionOffset) + " past the end (" +
                               std::to_string(size) + " bytes)");

    // Offsets inside the section count from its start, and nothing may lie past its end.
    ByteReader sectionHeader(data + sectionOffset, size - sectionOffset);
    std::uint32_t sectionSize = 0;
    std::uint32_t propertyCount = 0;
    if (!sectionHeader.readU32(sectionSize, "section size") ||
        !sectionHeader.readU32(propertyCount, "property count"))
        return Fail(error,
                    "section at " + std::to_string(sectionOffset) + ": " + sectionHeader.error());
    if (sectionSize > sectionHeader.size())
        return Fail(error, "section at " + std::to_string(sectionOffset) + " claims " +
                               std::to_string(sectionSize) + " bytes, " +
                               std::to_string(sectionHeader.size()) + " left");

    SummaryInformation result;
    std::vector<RawString> strings;
    ByteReader index(data + sectionOffset, sectionSize);
    index.skip(8, "section header");
    // Each entry takes 8 bytes, so the reads below end the loop at the section's end.
    for (std::uint32_t i = 0; i < propertyCount; ++i) {
        std::uint32_t pid = 0;
        std::uint32_t valueOffset = 0;
        if (!index.readU32(pid, "property id") || !index.readU32(valueOffset, "property offset"))
            return Fail(error, "property index entry " + std::to_string(i) + ": " + index.error());
        ByteReader value(data + sectionOffset, sectionSize);
        if (!value.skip(valueOffset, "property value"))
            return Fail(error, "property " + std::to_string(pid) + ": " + value.error());
        SummaryProperty property;
        if (!ReadValue(value, pid, property, strings, error))
            return false;
        result.properties[pid] = property;
    }

    int codepage = kCodepageDefault;
    const auto cp = result.properties.find(kPidCodepage);
    if (cp != result.properties.end() && cp->second.type == kVtI2 && cp->second.intValue != 0)
        codepage = static_cast<std::uint16_t>(cp->second.intValue);
    for (const RawString& raw : strings)
        result.properties[raw.pid].text = DecodeString(raw.bytes, codepage);
    out = std::move(result);
    return true;
}

} // namespace host
