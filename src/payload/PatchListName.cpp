#include "payload/PatchListName.h"

WString DefaultPatchListName(const std::optional<WString>& targets) {
    constexpr size_t kTaken = 4;
    if (!targets)
        return u"patchlist.txt";
    WString text = *targets;
    const size_t colon = text.find(u':');
    if (colon != WString::npos)
        text.erase(0, colon + 1);
    const size_t dash = text.find(u'-');
    const WString taken = dash == WString::npos ? text.substr(0, kTaken)
                                                : text.substr(dash + 1, kTaken);
    return u"patchlist" + taken + u".txt";
}
