// Puts a message's one argument into its text. The catalogue's texts hold at most one "%d" or
// one "%s"; the formatter sizes its output to fit, so a product name of any length is shown
// whole (wsprintfW stops at 1024 characters).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/WideString.h"

struct MessageArgument {
    std::optional<std::int32_t> number; // for "%d", printed as signed decimal
    std::optional<std::u16string_view> text; // for "%s"
};

// "%d" and "%s" take the argument of their kind (a conversion whose argument is absent is
// copied as it stands); "%%" yields "%"; any other '%' is copied as it stands.
WString FormatMessageText(std::u16string_view format, const MessageArgument& argument);
