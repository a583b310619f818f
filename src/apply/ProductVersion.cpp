#include "apply/ProductVersion.h"

#include <algorithm>

#include "apply/Decimal.h"

namespace {

std::uint16_t Part(std::u16string_view text) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(ParseDecimal(text)) & 0xFFFF);
}

// Takes the text before the first '.', and drops it with the '.'; false when there is none.
bool TakePart(WString& text, std::uint16_t& part) {
    const size_t dot = text.find(u'.');
    if (dot == WString::npos)
        return false;
    part = Part(std::u16string_view(text).substr(0, dot));
    text.erase(0, dot + 1);
    return true;
}

} // namespace

ProductVersion ParseVersion(WString text) {
    std::replace(text.begin(), text.end(), u',', u'.');
    ProductVersion version;
    if (!TakePart(text, version.major) || !TakePart(text, version.minor) ||
        !TakePart(text, version.build))
        return version;
    version.revision = Part(text);
    return version;
}
