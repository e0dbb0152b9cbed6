#include "platform/windows/win_text_file.h"

#include <windows.h>

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <string>

#include "platform/file_failure.h"
#include "platform/windows/win_handle.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// Whether a folder or file name in `path` is longer than any Windows file system keeps (255
// UTF-16 units); Windows reports such a path as not found, Linux as a bad name.
bool HasOverlongName(const QString& path) {
    const QStringList names = QDir::fromNativeSeparators(path).split(u'/');
    return std::any_of(names.begin(), names.end(),
                       [](const QString& name) { return name.size() > 255; });
}

// Instances take turns at the end of a data file: each holds a lock on one byte far beyond
// any real file's end (so no write of a record is ever blocked by it) from the look at the
// last byte until its record is on the disk. Windows appends each FILE_APPEND_DATA write
// whole on its own; Wine writes at an end it looked up before, so two instances could each
// write over the other's record without the lock. Released when the handle closes, by a
// killed instance too. Without it (a file system that has no locks) the record is written
// all the same.
class AppendLock {
public:
    explicit AppendLock(HANDLE file) : file_(file) {
        range_.Offset = 0xfffffffe;
        range_.OffsetHigh = 0x7fffffff;
        locked_ = LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range_) != 0;
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;
    ~AppendLock() {
        if (locked_) {
            UnlockFileEx(file_, 0, 1, 0, &range_);
        }
    }

private:
    HANDLE file_;
    OVERLAPPED range_{};
    bool locked_ = false;
};

HANDLE Open(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of the file, whoever
// else appends at the same time. Read access is only for the look at the last byte; a file
// the user may write but not read is appended to all the same.
HANDLE OpenForAppend(const std::wstring& path) {
    const HANDLE file = Open(path, FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        return Open(path, FILE_APPEND_DATA | SYNCHRONIZE);
    }
    return file;
}

// A file whose last byte is not a line feed gets a CR LF first, so the new line never runs
// on from a last line that was edited by hand. Only that one byte is ever read.
bool NeedsLineBreakFirst(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart == 0) {
        return false;
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((size.QuadPart - 1) & 0xffffffff);
    at.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
    char last = 0;
    DWORD read = 0;
    return ReadFile(file, &last, 1, &read, &at) && read == 1 && last != '\n';
}

}  // namespace

void WindowsTextFile::appendLine(const QString& path, std::string_view line) {
    if (path.isEmpty() || path.contains(QChar(0)) || HasOverlongName(path)) {
        throw Failure(ErrorNumber::BadFileName, path);
    }
    const std::wstring native = NativePath(path);
    Handle file(OpenForAppend(native));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        // A folder refuses like a read-only file on Windows; on Linux it is no file at all.
        const DWORD attributes = GetFileAttributesW(native.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            throw Failure(ErrorNumber::PathFileAccess, path);
        }
        throw FileFailure(static_cast<int>(error), path);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw Failure(ErrorNumber::PathFileAccess, path);
    }
    const AppendLock lock(file.get());
    std::string bytes;
    if (NeedsLineBreakFirst(file.get())) {
        bytes += "\r\n";
    }
    bytes += line;
    DWORD written = 0;
    // The end of the file as it is when the write happens (OVERLAPPED at 0xffffffff twice),
    // not where the look at the last byte left the file pointer.
    OVERLAPPED atTheEnd{};
    atTheEnd.Offset = 0xffffffff;
    atTheEnd.OffsetHigh = 0xffffffff;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   &atTheEnd)) {
        throw FileFailure(static_cast<int>(GetLastError()), path);
    }
    if (written != bytes.size()) {
        throw Failure(ErrorNumber::DiskFull, path);
    }
    if (!FlushFileBuffers(file.get())) {
        throw FileFailure(static_cast<int>(GetLastError()), path);
    }
    if (!file.close()) {
        throw FileFailure(static_cast<int>(GetLastError()), path);
    }
}

// Access rights on Windows live in ACLs that a simple check cannot read, and trying to create
// a file would leave traces in the program's folder. A data file beside the program is taken
// as the user's choice (a portable copy); who else may write there is not checked.
bool WindowsTextFile::isPrivateFolder(const QString& folder) const {
    const DWORD attributes = GetFileAttributesW(NativePath(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WindowsTextFile::isFile(const QString& path) const {
    const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void WindowsTextFile::createFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        throw Failure(ErrorNumber::PathNotFound, folder);
    }
}

namespace {

QByteArray Identity(const BY_HANDLE_FILE_INFORMATION& info) {
    const quint64 index = (quint64{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return QByteArray::number(static_cast<qulonglong>(info.dwVolumeSerialNumber)) + ':' +
           QByteArray::number(static_cast<qulonglong>(index));
}

// A file on the disk opened for reading (links followed, as the append follows them), and
// what it is; none for a folder, a device or a pipe.
Handle OpenPlain(const QString& path, BY_HANDLE_FILE_INFORMATION& info) {
    if (path.isEmpty() || path.contains(QChar(0))) {
        return Handle();
    }
    Handle file(CreateFileW(NativePath(path).c_str(), FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() && (GetFileType(file.get()) != FILE_TYPE_DISK ||
                         !GetFileInformationByHandle(file.get(), &info) ||
                         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return Handle();
    }
    return file;
}

qint64 SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return static_cast<qint64>((quint64{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
}

}  // namespace

std::optional<TextFile::End> WindowsTextFile::endOf(const QString& path) const {
    BY_HANDLE_FILE_INFORMATION info{};
    const Handle file = OpenPlain(path, info);
    if (!file.valid()) {
        const DWORD error = GetLastError();
        // Not there yet, and no dangling link in its place either: the append creates it.
        if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && !path.isEmpty() &&
            GetFileAttributesW(NativePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
            return End{};
        }
        return std::nullopt;
    }
    return End{Identity(info), SizeOf(info), NeedsLineBreakFirst(file.get())};
}

std::optional<QByteArray> WindowsTextFile::readAt(const QString& path, const QByteArray& identity,
                                                  qint64 offset, qint64 length) const {
    BY_HANDLE_FILE_INFORMATION info{};
    const Handle file = OpenPlain(path, info);
    if (!file.valid() || !(identity.isEmpty() || identity == Identity(info)) || offset < 0 ||
        length < 0 || length > SizeOf(info) - offset || length >= (qint64{1} << 31)) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const qint64 at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xffffffff);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(length - done), &read,
                      &where) ||
            read == 0) {
            return std::nullopt;
        }
        done += read;
    }
    return bytes;
}

}  // namespace platform
