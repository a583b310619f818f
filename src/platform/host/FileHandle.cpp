#include "platform/host/FileHandle.h"

#include <mutex>
#include <unordered_set>

namespace host {
namespace {

struct FileTable {
    std::mutex mutex;
    std::unordered_set<FileObject*> live;
};

FileTable& Table() {
    static FileTable table;
    return table;
}

} // namespace

win::HANDLE RegisterFile(FileObject* file) {
    FileTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.live.insert(file);
    return file;
}

FileObject* LookUpFile(win::HANDLE handle) {
    FileTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto* file = static_cast<FileObject*>(handle);
    if (table.live.count(file) == 0) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return file;
}

FileObject* UnregisterFile(win::HANDLE handle) {
    FileTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto* file = static_cast<FileObject*>(handle);
    if (table.live.erase(file) == 0) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return file;
}

} // namespace host
