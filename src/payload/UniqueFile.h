// Creating a file under a fresh name in a directory, in one step. Choosing a free name first
// and creating the file later would let anyone who can write to the directory plant a file or
// a link at that name in between; CREATE_NEW fails on any existing name, links included.
#pragma once

#include "payload/FileHandle.h"

// Creates "<directory><prefix><8 hex digits>.tmp", trying other names on collision. On success
// `path` holds the name; on failure it is left empty and the last error says why.
FileHandle CreateUniqueFile(const WString& directory, const WString& prefix, win::DWORD access,
                            win::DWORD shareMode, win::DWORD attributes, WString& path);
