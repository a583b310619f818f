// Where bytes of the running executable lie in its file. The patch package is part of the
// executable; a write of it can then be a file-to-file copy in the kernel instead of paging
// the whole package into memory through the mapping.
#pragma once

#include <cstddef>
#include <sys/types.h>

namespace host {

// The executable file (opened once, read-only) and the offset in it of `data`, when all `size`
// bytes lie in one file-backed segment of the executable; false otherwise.
bool FindInExecutableFile(const void* data, size_t size, int& fd, off_t& offset);

} // namespace host
