// The executable's own module: the .res image that the build links into it. Kept in a file of
// its own so that only programs that carry the image (and ask for it) need its symbols.
#include <cstdio>
#include <mutex>

#include "platform/host/HostPlatform.h"
#include "platform/host/Module.h"

extern "C" const unsigned char sp_resource_image[];
extern "C" const unsigned char sp_resource_image_end[];

namespace host {

win::HMODULE MainModule() {
    static std::once_flag once;
    static win::HMODULE module = nullptr;
    std::call_once(once, [] {
        std::string error;
        const auto size = static_cast<size_t>(sp_resource_image_end - sp_resource_image);
        module = MakeModule(sp_resource_image, size, {}, &error);
        if (module == nullptr)
            std::fprintf(stderr, "the executable's own resources: %s\n", error.c_str());
        SetDefaultModule(module);
    });
    return module;
}

} // namespace host
