#include "platform/host/Faults.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace host {
namespace {

struct NamedCall {
    Call call;
    std::string_view name;
};

constexpr std::array<NamedCall, 14> kCallNames = {{
    {Call::GetTempPath, "GetTempPath"},
    {Call::CreateFile, "CreateFile"},
    {Call::WriteFile, "WriteFile"},
    {Call::SetFilePointer, "SetFilePointer"},
    {Call::SetEndOfFile, "SetEndOfFile"},
    {Call::MoveFile, "MoveFile"},
    {Call::DeleteFile, "DeleteFile"},
    {Call::FindResource, "FindResource"},
    {Call::LoadResource, "LoadResource"},
    {Call::LockResource, "LockResource"},
    {Call::GenRandom, "GenRandom"},
    {Call::MsiGetSummaryInformation, "MsiGetSummaryInformation"},
    {Call::MsiSummaryInfoGetProperty, "MsiSummaryInfoGetProperty"},
    {Call::MsiConfigureProduct, "MsiConfigureProduct"},
}};

constexpr const char* kEnvironmentVariable = "SP_HOST_FAULT";

struct PendingFault {
    Call call;
    int callsToSkip;
    win::DWORD error;
};

struct FaultState {
    std::mutex mutex;
    bool environmentRead = false;
    std::vector<PendingFault> pending;
};

FaultState& State() {
    static FaultState state;
    return state;
}

bool ParseNumber(std::string_view text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 10)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= limit;
}

// One entry "<name>:<skip>:<error>"; false with a reason when it is malformed.
bool ParseEntry(std::string_view entry, PendingFault& fault, std::string& reason) {
    const size_t first = entry.find(':');
    const size_t second = first == std::string_view::npos ? first : entry.find(':', first + 1);
    if (second == std::string_view::npos) {
        reason = "expected <call name>:<skip>:<error>";
        return false;
    }
    const auto call = CallFromName(entry.substr(0, first));
    if (!call) {
        reason = "unknown call name";
        return false;
    }
    unsigned long long skip = 0;
    unsigned long long error = 0;
    if (!ParseNumber(entry.substr(first + 1, second - first - 1), 1000000, skip)) {
        reason = "skip is not a decimal number up to 1000000";
        return false;
    }
    if (!ParseNumber(entry.substr(second + 1), 0xFFFFFFFFull, error)) {
        reason = "error is not a decimal number";
        return false;
    }
    fault = {*call, static_cast<int>(skip), static_cast<win::DWORD>(error)};
    return true;
}

// Called with the state locked.
void ReadEnvironmentOnce(FaultState& state) {
    if (state.environmentRead)
        return;
    state.environmentRead = true;
    const char* value = std::getenv(kEnvironmentVariable);
    if (value == nullptr)
        return;
    const std::string_view text(value);
    size_t start = 0;
    for (int index = 1; start <= text.size(); ++index) {
        size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view entry = text.substr(start, end - start);
        PendingFault fault{};
        std::string reason;
        if (ParseEntry(entry, fault, reason)) {
            state.pending.push_back(fault);
        } else {
            std::fprintf(stderr, "%s: entry %d \"%.*s\" ignored: %s\n", kEnvironmentVariable,
                         index, static_cast<int>(entry.size()), entry.data(), reason.c_str());
        }
        start = end + 1;
    }
}

} // namespace

std::string_view CallName(Call call) {
    for (const auto& named : kCallNames) {
        if (named.call == call)
            return named.name;
    }
    return "?";
}

std::optional<Call> CallFromName(std::string_view name) {
    for (const auto& named : kCallNames) {
        if (named.name == name)
            return named.call;
    }
    return std::nullopt;
}

void InjectFault(Call call, win::DWORD error, int skip) {
    FaultState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    ReadEnvironmentOnce(state);
    state.pending.push_back({call, skip < 0 ? 0 : skip, error});
}

void ClearFaults() {
    FaultState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.environmentRead = true;
    state.pending.clear();
}

bool TakeFault(Call call, win::DWORD& error) {
    FaultState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    ReadEnvironmentOnce(state);
    // Every pending fault of this kind counts the call; the first one that is due fires.
    bool fired = false;
    for (auto it = state.pending.begin(); it != state.pending.end();) {
        if (it->call != call) {
            ++it;
        } else if (it->callsToSkip > 0) {
            --it->callsToSkip;
            ++it;
        } else if (!fired) {
            fired = true;
            error = it->error;
            it = state.pending.erase(it);
        } else {
            ++it;
        }
    }
    return fired;
}

} // namespace host
