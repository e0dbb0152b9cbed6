#include "platform/windows/win_text_file.h"

#include <windows.h>

#include <QDir>
#include <string>

#include "platform/file_failure.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

std::wstring Native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// Owns a file handle and closes it on every path out.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
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
    if (path.isEmpty() || path.contains(QChar(0))) {
        throw Failure(ErrorNumber::BadFileName, path);
    }
    Handle file(OpenForAppend(Native(path)));
    if (!file.valid()) {
        throw FileFailure(static_cast<int>(GetLastError()), path);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw Failure(ErrorNumber::PathFileAccess, path);
    }
    std::string bytes;
    if (NeedsLineBreakFirst(file.get())) {
        bytes += "\r\n";
    }
    bytes += line;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
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
    const DWORD attributes = GetFileAttributesW(Native(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WindowsTextFile::isFile(const QString& path) const {
    const DWORD attributes = GetFileAttributesW(Native(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void WindowsTextFile::createFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        throw Failure(ErrorNumber::PathNotFound, folder);
    }
}

}  // namespace platform
