#pragma once

#include "platform/Platform.h"

// Loads the string-table entry `id` of the module, in the language the thread locale selects,
// into `text` (replacing it), at most capacity - 1 characters, as LoadStringW does with a
// buffer of `capacity` characters. Returns the number of characters loaded; 0 (and an empty
// text) when the module holds no such entry.
int LoadResString(win::HINSTANCE module, win::UINT id, WString& text, int capacity);
