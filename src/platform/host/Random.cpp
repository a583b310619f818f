// GenRandom: the kernel's random bytes (getrandom), as BCryptGenRandom gives the system RNG's.
#include <cerrno>
#include <sys/random.h>

#include "platform/Platform.h"
#include "platform/host/ErrnoMap.h"
#include "platform/host/Faults.h"

namespace {
constexpr int kMaxInterruptions = 100;
} // namespace

namespace win {

BOOL GenRandom(void* buffer, ULONG size) {
    DWORD injected = ERROR_SUCCESS;
    if (host::TakeFault(host::Call::GenRandom, injected)) {
        SetLastError(injected);
        return 0;
    }
    if (buffer == nullptr && size != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    int interruptions = 0;
    while (done < size) {
        const ssize_t n = getrandom(bytes + done, size - done, 0);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR && ++interruptions < kMaxInterruptions) {
            continue;
        } else {
            SetLastError(host::kErrorGenFailure);
            return 0;
        }
    }
    return 1;
}

} // namespace win
