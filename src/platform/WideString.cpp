#include "platform/WideString.h"

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WString FromUtf8(std::string_view text) {
    WString out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t c = 0xFFFD;
        size_t need = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, need = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, need = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, need = 3;
        }
        size_t used = 1;
        if (need != 0) {
            bool ok = true;
            for (size_t k = 1; ok && k <= need; ++k) {
                if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                    ok = false;
                else
                    c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            }
            if (ok) {
                used = need + 1;
                const std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
                if (c < minimum[need] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                    c = 0xFFFD;
            } else {
                c = 0xFFFD;
            }
        }
        i += used;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

WString ToDecimal(long long value) {
    const std::string digits = std::to_string(value);
    return WString(digits.begin(), digits.end());
}
