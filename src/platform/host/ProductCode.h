// Product, patch and upgrade codes as the installer writes them: a GUID in braces,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", compared without regard to the case of its digits.
#pragma once

#include <cstddef>
#include <string_view>

namespace host {

constexpr std::size_t kProductCodeLength = 38;

bool IsProductCode(std::string_view text);
bool IsProductCode(std::u16string_view text);
bool SameProductCode(std::string_view a, std::string_view b);

} // namespace host
