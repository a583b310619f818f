#include "platform/host/ProductCode.h"

namespace host {
namespace {

constexpr std::size_t kDashPositions[] = {9, 14, 19, 24};

template <typename Char> bool IsCode(std::basic_string_view<Char> text) {
    if (text.size() != kProductCodeLength || text.front() != '{' || text.back() != '}')
        return false;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const Char c = text[i];
        bool dash = false;
        for (std::size_t position : kDashPositions)
            dash = dash || i == position;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (dash ? c != '-' : !hex)
            return false;
    }
    return true;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool IsProductCode(std::string_view text) {
    return IsCode(text);
}
bool IsProductCode(std::u16string_view text) {
    return IsCode(text);
}

bool SameProductCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    }
    return true;
}

} // namespace host
