// The one wide-string type of the program: UTF-16 in both builds. Conversions to UTF-8 are for
// the edges that print text or touch Linux paths.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace win {
using WCHAR = char16_t;
} // namespace win

using WString = std::u16string;

// Lossless for valid UTF-16; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
WString FromUtf8(std::string_view text);
// Decimal text of a number, as "%d"/"%u" print it.
WString ToDecimal(long long value);
