#include "msi_name.h"

#include <stdexcept>

namespace patchgen {
namespace {

constexpr char16_t kTablePrefix = 0x4840;
constexpr char16_t kSingleBase = 0x4800;
constexpr char16_t kPairBase = 0x3800;
constexpr unsigned kPairShift = 6;
// A compound-file entry name holds 32 UTF-16 units including its terminator.
constexpr std::size_t kMaxEntryUnits = 31;

// The 6-bit value of a character that the packing accepts, or -1.
int PackedValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    if (c == '.') return 62;
    if (c == '_') return 63;
    return -1;
}

}  // namespace

std::u16string EncodeStreamName(std::string_view name, bool isTable) {
    std::u16string out;
    if (isTable) out.push_back(kTablePrefix);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) throw std::invalid_argument("stream name '" + std::string(name) + "' is not ASCII");
        const int first = PackedValue(name[i]);
        if (first < 0) {
            out.push_back(static_cast<char16_t>(c));
            continue;
        }
        const int second = i + 1 < name.size() ? PackedValue(name[i + 1]) : -1;
        if (second >= 0) {
            out.push_back(static_cast<char16_t>(kPairBase + first + (second << kPairShift)));
            ++i;
        } else {
            out.push_back(static_cast<char16_t>(kSingleBase + first));
        }
    }
    if (out.size() > kMaxEntryUnits)
        throw std::invalid_argument("stream name '" + std::string(name) + "' is too long once encoded");
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace patchgen
