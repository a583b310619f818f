// The entry function that the runtime calls, defined by the launcher: on Windows the C runtime's
// start-up code, on the host platform/host's main().
#pragma once

#include "platform/Platform.h"

#if defined(_WIN32)
#define WINAPI __stdcall
#else
#define WINAPI
#endif

extern "C" int WINAPI WinMain(win::HINSTANCE instance, win::HINSTANCE previous, char* commandLine,
                              int showCommand);
