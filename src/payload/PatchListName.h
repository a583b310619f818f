#pragma once

#include <optional>

#include "platform/WideString.h"

// The default patch-list file name, from the patch's target list: "patchlist" + the (at most
// four) characters after the first "-" of what follows the first ":" (or the first four when
// there is no "-") + ".txt"; "patchlist.txt" when the target list could not be had.
WString DefaultPatchListName(const std::optional<WString>& targets);
