#pragma once

#include <cstdint>
#include <string_view>

// The decimal value at the start of a text as the C runtime reads it: leading white space
// skipped, an optional sign, digits up to the first other character (0 when there are none),
// accumulated in 32-bit arithmetic that wraps around.
std::int32_t ParseDecimal(std::u16string_view text);
