#include "platform/host/MsiHandleTable.h"

#include <map>
#include <mutex>

namespace host {
namespace {

// A process that leaks this many handles has a bug worth failing for.
constexpr std::size_t kMaxOpenHandles = 1 << 16;

struct HandleTable {
    std::mutex lock;
    std::map<win::MSIHANDLE, std::shared_ptr<const SummaryInformation>> open;
    win::MSIHANDLE next = 1;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

} // namespace

win::MSIHANDLE OpenSummaryHandle(std::shared_ptr<const SummaryInformation> summary) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    if (table.open.size() >= kMaxOpenHandles)
        return 0;
    // Values are not reused soon, so a stale handle is unknown rather than someone else's.
    while (table.next == 0 || table.open.count(table.next) != 0)
        ++table.next;
    const win::MSIHANDLE handle = table.next++;
    table.open.emplace(handle, std::move(summary));
    return handle;
}

std::shared_ptr<const SummaryInformation> FindSummaryHandle(win::MSIHANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.open.find(handle);
    return found != table.open.end() ? found->second : nullptr;
}

bool CloseSummaryHandle(win::MSIHANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return table.open.erase(handle) != 0;
}

} // namespace host
