#include "platform/host/Module.h"

#include <memory>
#include <mutex>

#include "platform/host/HostPlatform.h"

namespace host {
namespace {

struct Modules {
    std::mutex mutex;
    std::vector<std::unique_ptr<win::ModuleTag>> all;
    win::HMODULE defaultModule = nullptr;
};

Modules& Registry() {
    static Modules modules;
    return modules;
}

} // namespace

win::HMODULE MakeModule(const std::uint8_t* image, size_t size, std::vector<std::uint8_t> owned,
                        std::string* error) {
    auto module = std::make_unique<win::ModuleTag>();
    module->ownedImage = std::move(owned);
    if (!module->ownedImage.empty()) {
        image = module->ownedImage.data();
        size = module->ownedImage.size();
    }
    std::vector<ResourceEntry> entries;
    std::string problem;
    if (!ParseResourceImage(image, size, entries, problem)) {
        if (error != nullptr)
            *error = problem;
        return nullptr;
    }
    module->resources.reserve(entries.size());
    for (const ResourceEntry& entry : entries)
        module->resources.push_back({entry, {entry.data}});

    Modules& modules = Registry();
    std::lock_guard<std::mutex> lock(modules.mutex);
    modules.all.push_back(std::move(module));
    return modules.all.back().get();
}

win::HMODULE DefaultModule() {
    Modules& modules = Registry();
    std::lock_guard<std::mutex> lock(modules.mutex);
    return modules.defaultModule;
}

void SetDefaultModule(win::HMODULE module) {
    Modules& modules = Registry();
    std::lock_guard<std::mutex> lock(modules.mutex);
    modules.defaultModule = module;
}

win::HMODULE LoadModuleImage(std::vector<std::uint8_t> image, std::string* error) {
    if (image.empty()) {
        if (error != nullptr)
            *error = "resource image: empty";
        return nullptr;
    }
    return MakeModule(nullptr, 0, std::move(image), error);
}

} // namespace host
