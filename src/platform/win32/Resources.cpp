#include "platform/win32/WindowsApi.h"

// The seam's name, not the ANSI/Unicode macro of windows.h.
#undef EnumResourceLanguages

namespace win {

namespace {

// The pointer form that the resource functions take for an integer id or a text name.
LPCWSTR Name(const ResourceName& name) {
    return name.isId() ? MAKEINTRESOURCEW(name.id()) : Wide(name.text().c_str());
}

BOOL CALLBACK CollectLanguage(::HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
    return TRUE;
}

} // namespace

std::vector<LANGID> EnumResourceLanguages(HMODULE module, const ResourceName& type,
                                          const ResourceName& name) {
    std::vector<LANGID> languages;
    ::EnumResourceLanguagesW(reinterpret_cast<::HMODULE>(module), Name(type), Name(name),
                             CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

HRSRC FindResourceExW(HMODULE module, const ResourceName& type, const ResourceName& name,
                      LANGID language) {
    return reinterpret_cast<HRSRC>(
        ::FindResourceExW(reinterpret_cast<::HMODULE>(module), Name(type), Name(name), language));
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    return ::SizeofResource(reinterpret_cast<::HMODULE>(module),
                            reinterpret_cast<::HRSRC>(resource));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return reinterpret_cast<HGLOBAL>(::LoadResource(reinterpret_cast<::HMODULE>(module),
                                                    reinterpret_cast<::HRSRC>(resource)));
}

const void* LockResource(HGLOBAL data) {
    return ::LockResource(reinterpret_cast<::HGLOBAL>(data));
}

} // namespace win
