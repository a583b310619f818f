#include "messages/ResourceLanguage.h"

#include <algorithm>

namespace {

constexpr win::LANGID kEnglishUnitedStates = 0x0409;
constexpr win::WORD kLangChinese = 0x04;
constexpr win::LANGID kChineseTraditionalTaiwan = 0x0404;
constexpr win::LANGID kChineseSimplifiedPrc = 0x0804;

// Chinese tables differ by script, not by region: pick the table written in the script of
// the wanted locale.
win::LANGID ChineseTableFor(win::LANGID wanted) {
    switch (wanted) {
    case 0x0C04: // Hong Kong SAR
    case 0x1404: // Macao SAR
    case 0x7C04: // Traditional
    case 0x0404: // Taiwan
        return kChineseTraditionalTaiwan;
    default: // PRC, Singapore (0x1004), Simplified (0x0004)
        return kChineseSimplifiedPrc;
    }
}

bool Has(const std::vector<win::LANGID>& available, win::LANGID lang) {
    return std::find(available.begin(), available.end(), lang) != available.end();
}

} // namespace

std::optional<win::LANGID> ChooseResourceLanguage(const std::vector<win::LANGID>& available,
                                                  win::LANGID wanted) {
    if (available.empty())
        return std::nullopt;
    if (Has(available, wanted))
        return wanted;
    const win::WORD primary = win::PRIMARYLANGID(wanted);
    if (primary == kLangChinese && Has(available, ChineseTableFor(wanted)))
        return ChineseTableFor(wanted);
    for (win::LANGID lang : available) {
        if (win::PRIMARYLANGID(lang) == primary)
            return lang;
    }
    if (Has(available, kEnglishUnitedStates))
        return kEnglishUnitedStates;
    return available.front();
}

win::HRSRC FindResourceForThread(win::HMODULE module, const win::ResourceName& type,
                                 const win::ResourceName& name) {
    const std::vector<win::LANGID> available = win::EnumResourceLanguages(module, type, name);
    const auto lang =
        ChooseResourceLanguage(available, win::LANGIDFROMLCID(win::GetThreadLocale()));
    if (!lang) {
        win::SetLastError(win::ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return win::FindResourceExW(module, type, name, *lang);
}

LoadedResource LoadResourceForThread(win::HMODULE module, const win::ResourceName& type,
                                     const win::ResourceName& name) {
    LoadedResource result;
    win::HRSRC found = FindResourceForThread(module, type, name);
    if (found == nullptr)
        return result;
    result.status = ResourceStatus::Unreadable;
    const win::DWORD size = win::SizeofResource(module, found);
    if (size == 0)
        return result;
    win::HGLOBAL loaded = win::LoadResource(module, found);
    if (loaded == nullptr)
        return result;
    const void* data = win::LockResource(loaded);
    if (data == nullptr)
        return result;
    return LoadedResource{ResourceStatus::Loaded, data, size};
}
