#include "apply/Decimal.h"

namespace {

bool IsWhiteSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

} // namespace

std::int32_t ParseDecimal(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - u'0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}
