// Resource lookup in a module's .res image, as the Windows loader does it: types and names by
// id or by text (case-insensitive; "#123" names id 123), languages exactly as asked.
#include <optional>

#include "platform/Platform.h"
#include "platform/host/Faults.h"
#include "platform/host/Module.h"

namespace {

constexpr win::WORD kMaxId = 0xFFFF;

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }

// A text that Windows reads as an integer id: "#" and decimal digits up to 65535.
std::optional<win::WORD> NumberName(const WString& text) {
    if (text.size() < 2 || text.size() > 6 || text[0] != u'#')
        return std::nullopt;
    unsigned value = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(text[i] - u'0');
    }
    if (value > kMaxId)
        return std::nullopt;
    return static_cast<win::WORD>(value);
}

bool SameText(const WString& a, const WString& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

bool Matches(const host::ResourceKey& key, const win::ResourceName& wanted) {
    std::optional<win::WORD> id;
    if (wanted.isId())
        id = wanted.id();
    else
        id = NumberName(wanted.text());
    if (id)
        return key.isId && key.id == *id;
    return !key.isId && SameText(key.text, wanted.text());
}

win::HMODULE Resolve(win::HMODULE module) {
    return module != nullptr ? module : host::DefaultModule();
}

// Finds the entry; on failure says which part was missing (1812 for no module at all).
win::ResourceTag* Find(win::HMODULE module, const win::ResourceName& type,
                       const win::ResourceName& name, const win::LANGID* language,
                       win::DWORD& error) {
    module = Resolve(module);
    if (module == nullptr) {
        error = win::ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    error = win::ERROR_RESOURCE_TYPE_NOT_FOUND;
    for (win::ResourceTag& resource : module->resources) {
        if (!Matches(resource.entry.type, type))
            continue;
        if (error == win::ERROR_RESOURCE_TYPE_NOT_FOUND)
            error = win::ERROR_RESOURCE_NAME_NOT_FOUND;
        if (!Matches(resource.entry.name, name))
            continue;
        error = win::ERROR_RESOURCE_LANG_NOT_FOUND;
        if (language == nullptr || resource.entry.language == *language)
            return &resource;
    }
    return nullptr;
}

bool Owns(win::HMODULE module, const win::ResourceTag* resource) {
    module = Resolve(module);
    if (module == nullptr || resource == nullptr || module->resources.empty())
        return false;
    const win::ResourceTag* first = module->resources.data();
    return resource >= first && resource < first + module->resources.size();
}

} // namespace

namespace win {

std::vector<LANGID> EnumResourceLanguages(HMODULE module, const ResourceName& type,
                                          const ResourceName& name) {
    std::vector<LANGID> languages;
    DWORD error = ERROR_SUCCESS;
    if (Find(module, type, name, nullptr, error) == nullptr) {
        SetLastError(error);
        return languages;
    }
    for (const ResourceTag& resource : Resolve(module)->resources) {
        if (Matches(resource.entry.type, type) && Matches(resource.entry.name, name))
            languages.push_back(resource.entry.language);
    }
    return languages;
}

HRSRC FindResourceExW(HMODULE module, const ResourceName& type, const ResourceName& name,
                      LANGID language) {
    DWORD error = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::FindResource, error)) {
        SetLastError(error);
        return nullptr;
    }
    ResourceTag* resource = Find(module, type, name, &language, error);
    if (resource == nullptr)
        SetLastError(error);
    return resource;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    if (!Owns(module, resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return resource->entry.size;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    DWORD error = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::LoadResource, error)) {
        SetLastError(error);
        return nullptr;
    }
    if (!Owns(module, resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &resource->loaded;
}

const void* LockResource(HGLOBAL data) {
    DWORD error = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::LockResource, error)) {
        SetLastError(error);
        return nullptr;
    }
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return data->bytes;
}

} // namespace win
