#include "platform/host/ExecutableBytes.h"

#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>

namespace host {

namespace {

struct Search {
    std::uintptr_t begin;
    std::uintptr_t end;
    bool found = false;
    off_t offset = 0;
};

// The first object that dl_iterate_phdr reports is the executable itself.
int InspectExecutable(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD)
            continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        // Only the part of the segment that the file holds.
        if (search->begin >= start && search->end <= start + segment.p_filesz) {
            search->found = true;
            search->offset = static_cast<off_t>(segment.p_offset + (search->begin - start));
        }
    }
    return 1; // the executable only
}

int ExecutableFile() {
    static std::once_flag once;
    static int fd = -1;
    std::call_once(once, [] { fd = open("/proc/self/exe", O_RDONLY | O_CLOEXEC); });
    return fd;
}

} // namespace

bool FindInExecutableFile(const void* data, size_t size, int& fd, off_t& offset) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    if (begin + size < begin)
        return false;
    Search search{begin, begin + size};
    dl_iterate_phdr(InspectExecutable, &search);
    if (!search.found)
        return false;
    fd = ExecutableFile();
    offset = search.offset;
    return fd >= 0;
}

} // namespace host
