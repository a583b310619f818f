#pragma once

#include "platform/Platform.h"

// Shows catalogue message `id` in a box, in the language of the thread locale, with its
// caption, icon and argument: the thread's last-error value for 300, g_messageProductName for
// 301, 306 and 308. Does nothing at all in quiet mode.
void ShowMessage(win::UINT id);
