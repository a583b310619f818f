#include "platform/host/ErrnoMap.h"

#include <cerrno>
#include <sys/stat.h>

namespace host {
namespace {

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

win::DWORD ErrorForPath(int error, const std::string& path) {
    switch (error) {
    case ENOENT:
        return IsDirectory(ParentOf(path)) ? win::ERROR_FILE_NOT_FOUND : win::ERROR_PATH_NOT_FOUND;
    case ENOTDIR: return win::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case ENOTEMPTY: return win::ERROR_ACCESS_DENIED;
    case EEXIST: return win::ERROR_FILE_EXISTS;
    case EBUSY: return win::ERROR_SHARING_VIOLATION;
    case ELOOP: return kErrorCantResolveFilename;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT: return win::ERROR_DISK_FULL;
    case ENOMEM: return win::ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return kErrorNotSameDevice;
    default: return kErrorGenFailure;
    }
}

win::DWORD ErrorForWrite(int error) {
    return error == ENOSPC || error == EDQUOT ? win::ERROR_DISK_FULL : win::ERROR_WRITE_FAULT;
}

} // namespace host
