// Per-thread state of the stand-in: the last-error value and the thread locale.
//
// The user's default locale is 1033, or the decimal value of SP_HOST_USER_LOCALE, read when it
// is needed so that a test can set it before it starts a thread. A thread starts at it.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

namespace {

constexpr win::LCID kDefaultUserLocale = 1033;
constexpr const char* kUserLocaleVariable = "SP_HOST_USER_LOCALE";
// An LCID holds a language id (bits 0-15) and a sort id (bits 16-19); nothing above.
constexpr win::LCID kLocaleValidBits = 0x000FFFFF;

bool IsLocale(win::LCID locale) {
    return win::LANGIDFROMLCID(locale) != 0 && (locale & ~kLocaleValidBits) == 0;
}

struct ThreadState {
    win::DWORD lastError = win::ERROR_SUCCESS;
    win::LCID locale = host::UserDefaultLocale();
};

ThreadState& Current() {
    thread_local ThreadState state;
    return state;
}

} // namespace

namespace host {

win::LCID UserDefaultLocale() {
    const char* value = std::getenv(kUserLocaleVariable);
    if (value == nullptr)
        return kDefaultUserLocale;
    const std::string_view text(value);
    unsigned long long locale = 0;
    bool valid = !text.empty() && text.size() <= 10;
    for (char c : text) {
        if (c < '0' || c > '9')
            valid = false;
        else
            locale = locale * 10 + static_cast<unsigned>(c - '0');
    }
    if (!valid || locale > 0xFFFFFFFFull || !IsLocale(static_cast<win::LCID>(locale))) {
        std::fprintf(stderr, "%s=\"%s\" is not a locale id; using %u\n", kUserLocaleVariable,
                     value, static_cast<unsigned>(kDefaultUserLocale));
        return kDefaultUserLocale;
    }
    return static_cast<win::LCID>(locale);
}

} // namespace host

namespace win {

DWORD GetLastError() { return Current().lastError; }

void SetLastError(DWORD error) { Current().lastError = error; }

LCID GetThreadLocale() { return Current().locale; }

BOOL SetThreadLocale(LCID locale) {
    if (locale == LOCALE_USER_DEFAULT) {
        Current().locale = host::UserDefaultLocale();
        return 1;
    }
    if (!IsLocale(locale)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Current().locale = locale;
    return 1;
}

} // namespace win
