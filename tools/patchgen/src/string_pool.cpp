#include "string_pool.h"

#include <limits>
#include <stdexcept>

namespace patchgen {
namespace {

// Two-byte references reach 0xFFFF; longer pools need the three-byte form, which we never write.
constexpr std::size_t kMaxStrings = 0xFFFF;
// A pool entry carries the length in 16 bits; longer strings take a two-entry form we never write.
constexpr std::size_t kMaxStringLength = 0xFFFF;

}  // namespace

void PutU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t StringPool::Intern(std::string_view text) {
    if (text.empty()) throw std::invalid_argument("string pool: an empty string is stored as id 0, not interned");
    if (text.size() > kMaxStringLength)
        throw std::invalid_argument("string pool: string of " + std::to_string(text.size()) + " bytes is too long");
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].text == text) {
            if (entries_[i].references == std::numeric_limits<std::uint16_t>::max())
                throw std::invalid_argument("string pool: too many references to '" + std::string(text) + "'");
            ++entries_[i].references;
            return static_cast<std::uint16_t>(i + 1);
        }
    }
    if (entries_.size() >= kMaxStrings) throw std::invalid_argument("string pool: too many strings");
    entries_.push_back({std::string(text), 1});
    return static_cast<std::uint16_t>(entries_.size());
}

Bytes StringPool::PoolStream() const {
    Bytes out;
    PutU32(out, codepage_);
    for (const Entry& e : entries_) {
        PutU16(out, static_cast<std::uint16_t>(e.text.size()));
        PutU16(out, e.references);
    }
    return out;
}

Bytes StringPool::DataStream() const {
    Bytes out;
    for (const Entry& e : entries_) out.insert(out.end(), e.text.begin(), e.text.end());
    return out;
}

}  // namespace patchgen
