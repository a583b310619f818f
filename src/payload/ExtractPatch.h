#pragma once

#include "payload/FileHandle.h"

// Writes the patch package that the executable carries to `path`, byte for byte.
// - A path given: the package is written beside it and replaces it only once whole, so a failed
//   extraction leaves the old file as it was and no partial file behind.
// - An empty path: a fresh temporary file "MSP….tmp" is created in the temporary directory and
//   its name stored into `path` (it stays empty when no name could be had). The file is left for
//   the caller to delete.
// Returns true when the whole package has been written. Shows nothing.
bool ExtractPatch(WString& path);

// As above for an empty path, and `guard` then holds the copy open so that nobody can change,
// replace or delete it (others may read it) until the guard is closed. A copy that others
// changed before the guard took hold is rejected.
bool ExtractPatch(WString& path, FileHandle& guard);
