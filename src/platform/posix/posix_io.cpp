#include "platform/posix/posix_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace platform {

Descriptor::Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

Descriptor::~Descriptor() {
    close();
}

int Descriptor::close() {
    if (fd_ < 0) {
        return -1;
    }
    return ::close(std::exchange(fd_, -1));
}

int OpenRetrying(const char* path, int flags, mode_t mode) {
    return OpenRetrying(AT_FDCWD, path, flags, mode);
}

int OpenRetrying(int folder, const char* path, int flags, mode_t mode) {
    int fd;
    do {
        fd = ::openat(folder, path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::size_t WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            if (wrote == 0) {
                errno = 0;
            }
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return done;
}

std::optional<ReadBytes> ReadAll(int fd, qint64 limit, qint64 offset) {
    constexpr qint64 kChunk = 65536;
    ReadBytes read;
    qint64 got = 0;
    for (;;) {
        // One byte past the limit tells whether the file goes on.
        const qint64 want = std::min(limit + 1 - got, kChunk);
        read.bytes.resize(static_cast<qsizetype>(got + want));
        char* into = read.bytes.data() + got;
        const ssize_t n = offset < 0 ? ::read(fd, into, static_cast<size_t>(want))
                                     : ::pread(fd, into, static_cast<size_t>(want),
                                               static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        got += n;
        if (got > limit) {
            read.more = true;
            got = limit;
            break;
        }
    }
    read.bytes.resize(static_cast<qsizetype>(got));
    return read;
}

int SyncParentFolder(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(slash == 0 ? 1 : slash);
    Descriptor fd(OpenRetrying(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        return 0;
    }
    const int error = ::fsync(fd.get()) == 0 ? 0 : errno;
    return error == EINVAL ? 0 : error;  // EINVAL: a file system that cannot sync folders
}

int MakeFolders(const QByteArray& path, mode_t mode, bool syncEach) {
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), mode) == 0) {
            if (syncEach) {
                if (const int error = SyncParentFolder(part); error != 0) {
                    return error;
                }
            }
        } else if (errno != EEXIST) {
            break;
        }
        if (slash < 0) {
            break;
        }
    }
    return 0;
}

}  // namespace platform
