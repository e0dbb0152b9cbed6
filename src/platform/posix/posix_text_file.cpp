#include "platform/posix/posix_text_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "platform/file_failure.h"
#include "platform/posix/posix_append_marker.h"
#include "platform/posix/posix_io.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// O_NONBLOCK: a device that does not drain (a terminal nobody reads) must not freeze the
// window; regular files ignore the flag.
constexpr int kAppendFlags = O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr std::chrono::seconds kDeviceWait{3};

// Opens for appending; creates the file when missing but never follows a dangling symbolic
// link (O_EXCL refuses any link), so nothing is ever written somewhere the user did not see.
// A file it creates is the user's alone (0600) whatever the umask, for notes are private; one
// that exists keeps its mode, so a file shared on purpose stays shared.
int OpenForAppend(const QString& path, const QByteArray& native, int access, bool& created) {
    const int flags = access | kAppendFlags;
    int fd = OpenRetrying(native.constData(), flags);
    if (fd >= 0 || errno != ENOENT) {
        return fd;
    }
    fd = OpenRetrying(native.constData(), flags | O_CREAT | O_EXCL, 0600);
    created = fd >= 0;
    if (fd >= 0 || errno != EEXIST) {
        return fd;
    }
    // Either another program created the file just now, or the path is a dangling link.
    fd = OpenRetrying(native.constData(), flags);
    if (fd < 0 && errno == ENOENT) {
        throw Failure(ErrorNumber::FileNotFound, path);
    }
    return fd;
}

// Read access is only for the look at the last byte; a file the user may write but not
// read is appended to all the same.
int OpenForAppend(const QString& path, const QByteArray& native, bool& created) {
    const int fd = OpenForAppend(path, native, O_RDWR, created);
    return fd < 0 && errno == EACCES ? OpenForAppend(path, native, O_WRONLY, created) : fd;
}

// A new directory entry is on the disk only once its folder is synced (SyncParentFolder).
void SyncFolderOf(const QByteArray& native, const QString& path) {
    if (const int error = SyncParentFolder(native); error != 0) {
        throw FileFailure(error, path);
    }
}

// Another Lexbin appending to the same file holds this lock from its look at the last byte
// until it closes the file, so neither sees the other's record half-landed. Waits a little for it,
// then goes on without (and without taking anything back): a program that holds the lock for
// long must not freeze the window.
bool LockBriefly(int fd) {
    using namespace std::chrono_literals;
    const auto giveUp = std::chrono::steady_clock::now() + 2s;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Whether the file's last byte is something other than a line feed. Only that one byte is
// ever read; a write-only descriptor cannot look and says no.
bool EndsOpen(int fd, off_t size) {
    char last = 0;
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

// The kernel copies a write into the file page by page and may stop between two pages when
// the process is killed; a write within one page lands whole or not at all.
bool SpansPages(off_t start, std::size_t length) {
    static const long page = ::sysconf(_SC_PAGESIZE);
    return length > 0 && start / page != (start + static_cast<off_t>(length) - 1) / page;
}

// Writes all of `bytes` to a device, waiting for it to take them until `giveUp` at the
// latest; by then part of them may have gone out.
void WriteToDevice(int fd, std::string_view bytes, std::chrono::steady_clock::time_point giveUp,
                   const QString& path) {
    using namespace std::chrono;
    for (;;) {
        bytes.remove_prefix(WriteAll(fd, bytes));
        if (bytes.empty()) {
            return;
        }
        if (errno != EAGAIN && errno != 0) {
            throw FileFailure(errno, path);
        }
        const auto left = duration_cast<milliseconds>(giveUp - steady_clock::now()).count();
        if (left <= 0) {
            throw Failure(ErrorNumber::DeviceIO, path);
        }
        pollfd ready{fd, POLLOUT, 0};
        ::poll(&ready, 1, static_cast<int>(left));
    }
}

// After a partial write, takes the partial record back out, unless someone appended since.
void UndoPartialWrite(int fd, ssize_t written) {
    struct stat info {};
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= written && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == end) {
        [[maybe_unused]] const int ignored = ::ftruncate(fd, end - written);
    }
}

}  // namespace

void PosixTextFile::appendLine(const QString& path, std::string_view line) {
    if (path.isEmpty() || path.contains(QChar(0))) {
        throw Failure(ErrorNumber::BadFileName, path);
    }
    const auto giveUp = std::chrono::steady_clock::now() + kDeviceWait;
    const QByteArray native = QFile::encodeName(path);
    bool created = false;
    Descriptor file(OpenForAppend(path, native, created));
    if (file.get() < 0) {
        throw FileFailure(errno, path);
    }
    const bool locked = LockBriefly(file.get());
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throw FileFailure(errno, path);
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISDIR(info.st_mode)) {
        throw Failure(ErrorNumber::PathFileAccess, path);
    }
    if (!S_ISREG(info.st_mode)) {
        WriteToDevice(file.get(), line, giveUp, path);
        if (file.close() != 0 && errno != EINTR) {
            throw FileFailure(errno, path);
        }
        return;
    }

    // A file that does not end in a line feed was either cut short by a killed store, whose
    // partial record is taken back, or edited by hand: then the new line starts with a CR LF,
    // so that it never runs on from the user's last line.
    if (locked) {
        TakeBackInterruptedAppend(file.get(), info);
    }
    std::string bytes;
    if (EndsOpen(file.get(), info.st_size)) {
        bytes.reserve(line.size() + 2);
        bytes += "\r\n";
    }
    const off_t recordStart = info.st_size + static_cast<off_t>(bytes.size());
    bytes += line;

    // One write: O_APPEND makes it land whole at the end, even with another writer.
    std::optional<AppendMark> mark;
    if (locked && SpansPages(info.st_size, bytes.size())) {
        mark.emplace(file.get(), info, recordStart, line);
    }
    ssize_t written;
    do {
        written = ::write(file.get(), bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        throw FileFailure(errno, path);
    }
    if (static_cast<size_t>(written) != bytes.size()) {
        UndoPartialWrite(file.get(), written);
        throw Failure(ErrorNumber::DiskFull, path);
    }
    mark.reset();
    if (::fdatasync(file.get()) != 0) {
        throw FileFailure(errno, path);
    }
    if (created) {
        SyncFolderOf(native, path);
    }
    if (file.close() != 0 && errno != EINTR) {
        throw FileFailure(errno, path);
    }
}

bool IsPrivateFolder(const FolderFacts& folder) {
    const auto in = [&](const QByteArray& system) {
        return folder.path == system || folder.path.startsWith(QByteArray(system + '/'));
    };
    const bool systemFolder =
        folder.path == "/" || in("/usr") || in("/bin") || in("/sbin") || in("/opt");
    return folder.writable && folder.owner == folder.user &&
           (folder.mode & (S_IWGRP | S_IWOTH)) == 0 && !systemFolder;
}

bool PosixTextFile::isPrivateFolder(const QString& folder) const {
    char* resolved = ::realpath(QFile::encodeName(folder).constData(), nullptr);
    if (resolved == nullptr) {
        return false;
    }
    FolderFacts facts;
    facts.path = resolved;
    std::free(resolved);
    struct stat info {};
    if (::stat(facts.path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    facts.owner = info.st_uid;
    facts.mode = info.st_mode;
    facts.user = ::geteuid();
    facts.writable = ::faccessat(AT_FDCWD, facts.path.constData(), W_OK | X_OK, AT_EACCESS) == 0;
    return IsPrivateFolder(facts);
}

bool PosixTextFile::isFile(const QString& path) const {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// One level at a time, so that each folder made is synced into its parent. Each folder made
// is the user's alone (0700), as the data file is; one that exists keeps its mode.
void PosixTextFile::createFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(QDir::cleanPath(folder));
    struct stat info {};
    if (::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return;
    }
    if (const int error = MakeFolders(native, 0700, true); error != 0) {
        throw FileFailure(error, folder);
    }
    if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw Failure(ErrorNumber::PathNotFound, folder);
    }
}

namespace {

QByteArray Identity(const struct stat& info) {
    return QByteArray::number(static_cast<qulonglong>(info.st_dev)) + ':' +
           QByteArray::number(static_cast<qulonglong>(info.st_ino));
}

// A plain file opened for reading, without waiting on a FIFO; none for anything else.
Descriptor OpenPlain(const QString& path, struct stat& info) {
    if (path.isEmpty() || path.contains(QChar(0))) {
        return Descriptor();
    }
    Descriptor fd(
        OpenRetrying(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.valid() && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        return Descriptor();
    }
    return fd;
}

}  // namespace

std::optional<TextFile::End> PosixTextFile::endOf(const QString& path) const {
    struct stat info {};
    const Descriptor fd = OpenPlain(path, info);
    if (!fd.valid()) {
        if (errno == ENOENT && !path.isEmpty() &&
            ::lstat(QFile::encodeName(path).constData(), &info) != 0) {
            return End{};  // not there yet: the append creates it
        }
        return std::nullopt;
    }
    return End{Identity(info), info.st_size, EndsOpen(fd.get(), info.st_size)};
}

std::optional<QByteArray> PosixTextFile::readAt(const QString& path, const QByteArray& identity,
                                                qint64 offset, qint64 length) const {
    struct stat info {};
    const Descriptor fd = OpenPlain(path, info);
    if (!fd.valid() || !(identity.isEmpty() || identity == Identity(info)) || offset < 0 ||
        length < 0 || length > info.st_size - offset || length >= (qint64{1} << 31)) {
        return std::nullopt;
    }
    std::optional<ReadBytes> read = ReadAll(fd.get(), length, offset);
    if (!read || read->bytes.size() != length) {
        return std::nullopt;
    }
    return std::move(read->bytes);
}

}  // namespace platform
