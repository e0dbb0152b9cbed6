#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

// The small POSIX kit every POSIX file of the program uses: one owning descriptor, one
// write of all bytes, one bounded read, one folder maker.
namespace platform {

// Owns a file descriptor and closes it on every path out.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept;
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and returns close()'s result (a failed close may mean the data did not
    // land); -1 when there was nothing to close.
    int close();
    // Gives the descriptor up to a new owner (fdopendir, say) without closing it.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

// open() or, with a folder descriptor, openat(), again when a signal interrupted it.
int OpenRetrying(const char* path, int flags, mode_t mode = 0);
int OpenRetrying(int folder, const char* path, int flags, mode_t mode = 0);

// Writes `bytes` to `fd`, again after a signal and after a short write, until all are out or
// a write fails. Returns how many went out; fewer than all when a write failed (errno tells
// why; 0 for a write that took nothing, or EAGAIN from a descriptor that does not block).
std::size_t WriteAll(int fd, std::string_view bytes);

// What ReadAll read: the bytes, and whether the file went on past the limit.
struct ReadBytes {
    QByteArray bytes;
    bool more = false;
};

// Reads `fd` to its end, again after a signal, but no more than `limit` bytes: from where it
// stands, or with `offset` (0 or more) from there without moving it. Nothing when a read
// fails (errno tells why).
std::optional<ReadBytes> ReadAll(int fd, qint64 limit, qint64 offset = -1);

// Syncs the folder that holds `path`, so that a new entry in it is on the disk: without
// this, a power cut could take a first note away with its file or folder. A folder we may
// write to but not read cannot be opened to sync; then the entry is left to the file system,
// as on one that cannot sync folders. Returns 0 or the errno of a failed sync.
int SyncParentFolder(const QByteArray& path);

// Creates the folder `path` and its missing parents, one level at a time, each with `mode`
// (a folder that exists keeps its own); with `syncEach`, each one made is synced into its
// parent. Stops at the first level that can be neither made nor found. Returns 0 or the errno
// of a failed sync; whether `path` is a folder now is for the caller to look.
int MakeFolders(const QByteArray& path, mode_t mode, bool syncEach);

}  // namespace platform
