#include "messages/LoadResString.h"

#include "messages/ResourceLanguage.h"
#include "messages/StringTable.h"

int LoadResString(win::HINSTANCE module, win::UINT id, WString& text, int capacity) {
    text.clear();
    if (capacity <= 0)
        return 0;
    const LoadedResource block = LoadResourceForThread(
        module, win::RT_STRING, static_cast<win::WORD>(StringBlockOf(id)));
    if (block.status != ResourceStatus::Loaded)
        return 0;
    std::optional<std::u16string> entry =
        ReadStringTableEntry(block.data, block.size, StringIndexOf(id));
    if (!entry)
        return 0;
    const size_t room = static_cast<size_t>(capacity) - 1;
    text = entry->substr(0, room);
    // The entry ends at its first NUL, as it would in a buffer.
    text = text.substr(0, text.find(u'\0'));
    return static_cast<int>(text.size());
}
