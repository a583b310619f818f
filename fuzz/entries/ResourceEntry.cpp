#include <set>
#include <tuple>
#include <vector>

#include "FuzzEntries.h"
#include "messages/LoadResString.h"
#include "messages/StringTable.h"
#include "platform/host/Module.h"
#include "platform/host/ResourceImage.h"

namespace fuzz {
namespace {

// Enough to reach every kind of lookup; more only slows the fuzzer down (each lookup is a scan).
constexpr std::size_t kMaxResourcesTried = 64;

// A text key that a ResourceName cannot ask for: empty (an empty text is id 0) or "#<digits>"
// (read as that id, as Windows does). The resource is there, but nobody can look it up.
bool Unreachable(const host::ResourceKey& key) {
    if (key.isId)
        return false;
    if (key.text.empty())
        return true;
    if (key.text[0] != u'#' || key.text.size() < 2 || key.text.size() > 6)
        return false;
    unsigned value = 0;
    for (std::size_t i = 1; i < key.text.size(); ++i) {
        if (key.text[i] < u'0' || key.text[i] > u'9')
            return false;
        value = value * 10 + (key.text[i] - u'0');
    }
    return value <= 0xFFFF;
}

win::ResourceName NameOf(const host::ResourceKey& key) {
    if (key.isId)
        return win::ResourceName(key.id);
    return win::ResourceName(key.text.c_str());
}

std::string TryResource(win::HMODULE module, const host::ResourceEntry& entry) {
    const win::ResourceName type = NameOf(entry.type);
    const win::ResourceName name = NameOf(entry.name);
    const std::vector<win::LANGID> languages = win::EnumResourceLanguages(module, type, name);
    if (languages.empty())
        return "EnumResourceLanguages lists no language for a resource the image holds";
    for (const win::LANGID language : languages) {
        win::HRSRC resource = win::FindResourceExW(module, type, name, language);
        if (resource == nullptr)
            return "FindResourceExW misses a language that EnumResourceLanguages listed";
        const win::DWORD size = win::SizeofResource(module, resource);
        win::HGLOBAL loaded = win::LoadResource(module, resource);
        if (loaded == nullptr)
            return "LoadResource fails on a found resource";
        const void* bytes = win::LockResource(loaded);
        if (bytes == nullptr && size != 0)
            return "LockResource yields nothing for a resource with data";
        // Touch every byte, so that a size beyond the data is a sanitizer report.
        volatile unsigned sum = 0;
        for (win::DWORD i = 0; i < size; ++i)
            sum = sum + static_cast<const std::uint8_t*>(bytes)[i];
        if (type.isId() && type.id() == win::RT_STRING) {
            for (unsigned index = 0; index <= 16; ++index)
                (void)ReadStringTableEntry(bytes, size, index);
        }
    }
    return {};
}

} // namespace

std::string ResourceImage(const std::uint8_t* data, std::size_t size) {
    std::vector<host::ResourceEntry> entries;
    std::string error;
    if (!host::ParseResourceImage(data, size, entries, error))
        return error.empty() ? "a rejected image without a reason" : std::string();

    for (const host::ResourceEntry& entry : entries) {
        if (entry.size != 0 && (entry.data < data || entry.data + entry.size > data + size))
            return "an entry's data lies outside the image";
    }
    // The module that LoadModuleImage makes, but owned here: the stand-in keeps every module it
    // makes until the process ends, which a fuzzer's millions of inputs cannot afford.
    win::ModuleTag module;
    for (const host::ResourceEntry& entry : entries)
        module.resources.push_back({entry, {entry.data}});

    std::set<std::tuple<bool, win::WORD, WString, bool, win::WORD, WString>> tried;
    for (const host::ResourceEntry& entry : entries) {
        if (tried.size() >= kMaxResourcesTried)
            break;
        if (Unreachable(entry.type) || Unreachable(entry.name))
            continue;
        if (!tried.insert({entry.type.isId, entry.type.id, entry.type.text, entry.name.isId,
                           entry.name.id, entry.name.text})
                 .second)
            continue;
        if (std::string problem = TryResource(&module, entry); !problem.empty())
            return problem;
    }
    // The messages as the product loads them, in the language the thread locale selects.
    for (const win::UINT id : {300u, 301u, 306u, 309u, 311u, 700u, 900u}) {
        WString text;
        const int loaded = LoadResString(&module, id, text, 256);
        if (loaded < 0 || loaded > 255 || text.size() != static_cast<std::size_t>(loaded))
            return "LoadResString returns a count that is not the text's length";
    }
    return {};
}

} // namespace fuzz
