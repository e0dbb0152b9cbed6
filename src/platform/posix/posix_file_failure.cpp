#include <cerrno>

#include "platform/file_failure.h"

namespace platform {

errors::Failure FileFailure(int systemError, const QString& path) {
    using errors::ErrorNumber;
    ErrorNumber number = ErrorNumber::PathFileAccess;
    switch (systemError) {
        case ENOENT:
        case ENOTDIR:
            number = ErrorNumber::PathNotFound;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            number = ErrorNumber::PermissionDenied;
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            number = ErrorNumber::DiskFull;
            break;
        case EIO:
            number = ErrorNumber::DeviceIO;
            break;
        case ENAMETOOLONG:
            number = ErrorNumber::BadFileName;
            break;
        case ENOMEM:
            number = ErrorNumber::OutOfMemory;
            break;
        default:  // EISDIR, ELOOP, ENXIO, ...
            number = ErrorNumber::PathFileAccess;
            break;
    }
    return errors::Failure(number, path);
}

}  // namespace platform
