// The object behind a file HANDLE of the stand-in, and the table of live ones, so that a
// closed or made-up handle fails with ERROR_INVALID_HANDLE instead of touching memory.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace host {

struct FileObject {
    int fd = -1;
    win::DWORD access = 0; // GENERIC_READ, GENERIC_WRITE, DELETE as asked
    std::string path;      // as opened, for messages
};

win::HANDLE RegisterFile(FileObject* file);
// The live object, or nullptr (and ERROR_INVALID_HANDLE set) for any other value.
FileObject* LookUpFile(win::HANDLE handle);
// Removes it from the table; the caller closes and deletes it.
FileObject* UnregisterFile(win::HANDLE handle);

} // namespace host
