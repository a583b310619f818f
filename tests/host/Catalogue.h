// The texts a run is expected to show, read from the same resource image the executable
// carries, so the tests follow the tables instead of copying them.
#pragma once

#include <string>

#include "launcher/ProcessState.h"
#include "messages/FormatMessageText.h"
#include "messages/LoadResString.h"
#include "platform/host/HostPlatform.h"

inline std::string TableText(unsigned locale, unsigned id) {
    g_hInstance = host::MainModule();
    win::SetThreadLocale(locale);
    WString text;
    LoadResString(g_hInstance, id, text, 256);
    win::SetThreadLocale(win::LOCALE_USER_DEFAULT);
    return ToUtf8(text);
}

// Message `id` as the locale's table words it, with its argument put in.
inline std::string MessageText(unsigned locale, unsigned id, const std::string& name = "",
                               int error = 0) {
    const WString format = FromUtf8(TableText(locale, id));
    const WString wideName = FromUtf8(name);
    MessageArgument argument;
    if (id == 300)
        argument.number = error;
    else
        argument.text = wideName;
    return ToUtf8(FormatMessageText(format, argument));
}
