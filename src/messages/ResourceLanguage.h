// The one rule that picks the language of a resource. Current Windows looks resources up by
// the thread's UI language and ignores SetThreadLocale, so both builds choose explicitly: the
// thread locale's language; else a table of the same primary language (Chinese by script);
// else English (United States); else the first entry present.
#pragma once

#include <optional>
#include <vector>

#include "platform/Platform.h"

std::optional<win::LANGID> ChooseResourceLanguage(const std::vector<win::LANGID>& available,
                                                  win::LANGID wanted);

// The resource in the language that the calling thread's locale selects, or nullptr (with the
// platform's last error) when the module has no such resource in any language.
win::HRSRC FindResourceForThread(win::HMODULE module, const win::ResourceName& type,
                                 const win::ResourceName& name);

// Finds, sizes, loads and locks a resource for the thread. A resource that is found but has
// size 0, or cannot be loaded or locked, is unreadable.
enum class ResourceStatus { Loaded, NotFound, Unreadable };
struct LoadedResource {
    ResourceStatus status = ResourceStatus::NotFound;
    const void* data = nullptr;
    win::DWORD size = 0;
};
LoadedResource LoadResourceForThread(win::HMODULE module, const win::ResourceName& type,
                                     const win::ResourceName& name);
