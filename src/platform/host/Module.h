// A module of the stand-in: a parsed .res image and the resources in it. HMODULE, HRSRC and
// HGLOBAL point at these objects; they live until the process ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/ResourceImage.h"

namespace win {

struct ResourceDataTag {
    const void* bytes = nullptr;
};

struct ResourceTag {
    host::ResourceEntry entry;
    ResourceDataTag loaded;
};

struct ModuleTag {
    std::vector<std::uint8_t> ownedImage; // empty when the image belongs to someone else
    std::vector<ResourceTag> resources;
};

} // namespace win

namespace host {

// Parses an image that stays where it is (the executable's own) or that the module keeps.
win::HMODULE MakeModule(const std::uint8_t* image, size_t size, std::vector<std::uint8_t> owned,
                        std::string* error);
// The module a null HMODULE stands for; nullptr until MainModule() has made it.
win::HMODULE DefaultModule();
void SetDefaultModule(win::HMODULE module);

} // namespace host
