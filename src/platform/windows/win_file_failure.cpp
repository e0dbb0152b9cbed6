#include <windows.h>

#include "platform/file_failure.h"

namespace platform {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's winerror.h lacks.
constexpr DWORD kDiskQuotaExceeded = 1295;

}  // namespace

errors::Failure FileFailure(int systemError, const QString& path) {
    using errors::ErrorNumber;
    ErrorNumber number = ErrorNumber::PathFileAccess;
    switch (static_cast<DWORD>(systemError)) {
        // As ENOENT and ENOTDIR on Linux: the append creates the file, so only its folder
        // can be missing.
        case ERROR_FILE_NOT_FOUND:
        case ERROR_DIRECTORY:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            number = ErrorNumber::PathNotFound;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            number = ErrorNumber::PermissionDenied;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded:
        case ERROR_FILE_TOO_LARGE:
            number = ErrorNumber::DiskFull;
            break;
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_GEN_FAILURE:
            number = ErrorNumber::DeviceIO;
            break;
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_PATHNAME:
            number = ErrorNumber::BadFileName;
            break;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            number = ErrorNumber::OutOfMemory;
            break;
        default:
            break;
    }
    return errors::Failure(number, path);
}

}  // namespace platform
