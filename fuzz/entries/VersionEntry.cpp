#include "FuzzEntries.h"
#include "FuzzInput.h"
#include "apply/CandidateWalk.h"
#include "apply/ProductVersion.h"

namespace fuzz {
namespace {

ProductVersion VersionAt(const std::uint8_t* data) {
    return {U16At(data, 0), U16At(data, 2), U16At(data, 4), U16At(data, 6)};
}

std::string Text(const ProductVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.build) + "." + std::to_string(v.revision);
}

// The walk as its contract states it: entries end in ',', the first entry equal to the
// installed version wins, an entry equal to the target version before that stops the walk.
CandidateMatch Expected(WString list, const ProductVersion& installed,
                        const ProductVersion& target) {
    for (;;) {
        const std::size_t comma = list.find(u',');
        if (comma == WString::npos)
            return CandidateMatch::None;
        const ProductVersion candidate = ::ParseVersion(list.substr(0, comma));
        if (candidate == installed)
            return CandidateMatch::Candidate;
        if (candidate == target)
            return CandidateMatch::TargetReached;
        list.erase(0, comma + 1);
    }
}

} // namespace

std::string ParseVersion(const std::uint8_t* data, std::size_t size) {
    (void)::ParseVersion(Utf16Of(data, size));
    if (size < 9)
        return {};
    // A version written out in full, with either separator, reads back as itself.
    const ProductVersion written = VersionAt(data);
    const std::uint8_t separators = data[8];
    const std::string parts[4] = {std::to_string(written.major), std::to_string(written.minor),
                                  std::to_string(written.build), std::to_string(written.revision)};
    WString text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            text += (separators >> i) & 1 ? u',' : u'.';
        text += FromUtf8(parts[i]);
    }
    if (::ParseVersion(text) != written)
        return ToUtf8(text) + " does not read back as " + Text(written);
    return {};
}

std::string CandidateWalk(const std::uint8_t* data, std::size_t size) {
    if (size < 16)
        return {};
    const ProductVersion installed = VersionAt(data);
    const ProductVersion target = VersionAt(data + 8);
    const WString list = Utf16Of(data + 16, size - 16);
    const CandidateMatch got = WalkCandidates(list, installed, target);
    const CandidateMatch want = Expected(list, installed, target);
    if (got != want)
        return "WalkCandidates gives " + std::to_string(static_cast<int>(got)) + ", the list says " +
               std::to_string(static_cast<int>(want)) + " (installed " + Text(installed) +
               ", target " + Text(target) + ", list " + ToUtf8(list) + ")";
    return {};
}

} // namespace fuzz
