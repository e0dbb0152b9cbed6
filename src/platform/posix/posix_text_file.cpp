#include "posix_text_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/file_failure.h"
#include "posix_append_marker.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

constexpr int kAppendFlags = O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens for appending; creates the file when missing but never follows a dangling symbolic
// link (O_EXCL refuses any link), so nothing is ever written somewhere the user did not see.
int OpenForAppend(const QString& path, const QByteArray& native, int access) {
    const int flags = access | kAppendFlags;
    int fd = OpenRetrying(native.constData(), flags);
    if (fd >= 0 || errno != ENOENT) {
        return fd;
    }
    fd = OpenRetrying(native.constData(), flags | O_CREAT | O_EXCL, 0666);
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
int OpenForAppend(const QString& path, const QByteArray& native) {
    const int fd = OpenForAppend(path, native, O_RDWR);
    return fd < 0 && errno == EACCES ? OpenForAppend(path, native, O_WRONLY) : fd;
}

// Owns a descriptor and closes it on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and reports the result (a failed close may mean the data did not land).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

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
    const QByteArray native = QFile::encodeName(path);
    Descriptor file(OpenForAppend(path, native));
    if (file.get() < 0) {
        throw FileFailure(errno, path);
    }
    const bool locked = LockBriefly(file.get());
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throw FileFailure(errno, path);
    }
    const bool regular = S_ISREG(info.st_mode);
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISDIR(info.st_mode)) {
        throw Failure(ErrorNumber::PathFileAccess, path);
    }
    if (!regular) {
        // A device: back to blocking writes (regular files ignore the flag).
        ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    }

    // A file that does not end in a line feed was either cut short by a killed store, whose
    // partial record is taken back, or edited by hand: then the new line starts with a CR LF,
    // so that it never runs on from the user's last line.
    bool endsOpen = regular && EndsOpen(file.get(), info.st_size);
    if (endsOpen && locked) {
        TakeBackInterruptedAppend(file.get(), info.st_size);
        endsOpen = EndsOpen(file.get(), info.st_size);
    }
    std::string bytes;
    if (endsOpen) {
        bytes.reserve(line.size() + 2);
        bytes += "\r\n";
    }
    bytes += line;

    // One write: O_APPEND makes it land whole at the end, even with another writer.
    const bool mark = regular && locked && SpansPages(info.st_size, bytes.size());
    if (mark) {
        MarkAppend(file.get(), info.st_size, bytes.size());
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
    if (mark) {
        UnmarkAppend(file.get());
    }
    if (regular && ::fdatasync(file.get()) != 0) {
        throw FileFailure(errno, path);
    }
    if (file.close() != 0 && errno != EINTR) {
        throw FileFailure(errno, path);
    }
}

bool PosixTextFile::isWritableFolder(const QString& folder) const {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

void PosixTextFile::createFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        throw Failure(ErrorNumber::PathNotFound, folder);
    }
}

}  // namespace platform
