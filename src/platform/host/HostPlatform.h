// What the host stand-in offers beyond the Windows calls: the entry's set-up, and what tests
// need to run code against other resource images and to see the message boxes it showed.
// Product code never includes this header; only platform/host/, its main() and tests do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/Faults.h"

namespace host {

// --- Modules --------------------------------------------------------------------------------
// The executable's own module: the .res image linked into it (symbols sp_resource_image and
// sp_resource_image_end). Parsed on the first call; nullptr, after a message on standard error,
// when the image is damaged. A null module in a resource call means this module.
win::HMODULE MainModule();
// A module made from a .res image of the caller's (as `windres -O res` writes it). nullptr, with
// what is wrong and where in *error, when the image is damaged. The module lives until the
// process ends.
win::HMODULE LoadModuleImage(std::vector<std::uint8_t> image, std::string* error);

// --- Command line ---------------------------------------------------------------------------
// The arguments GetCommandLineW is made from (argv[0] first, UTF-8). Until this is called they
// are the process's own, from /proc/self/cmdline.
void SetCommandLineArguments(const std::vector<std::string>& arguments);
// One argument quoted so that CommandLineToArgvW gives it back unchanged (not for argv[0]).
WString QuoteArgument(const WString& argument);

// --- Message boxes --------------------------------------------------------------------------
struct MessageBoxRecord {
    WString caption;
    WString text;
    win::UINT flags = 0;
    win::LCID threadLocale = 0; // the calling thread's locale when the box was shown
};
// Every box shown in this process since the last ClearMessageBoxes, oldest first.
std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// Prints "exit code: N" to standard error and appends the exit record to the transcript.
void RecordExitCode(int exitCode);

// --- Locale ---------------------------------------------------------------------------------
// 1033, or the decimal value of SP_HOST_USER_LOCALE.
win::LCID UserDefaultLocale();

} // namespace host
