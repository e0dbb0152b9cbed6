#include "platform/posix/posix_draft_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// A slot is a number without leading zeros; nothing else in the folder is a draft.
bool IsSlot(const QString& name) {
    if (name.isEmpty() || name.size() > 6 || name.front() == u'0') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The folder and its missing parents, each made 0700 (the state folder is private).
void MakeFolders(const QByteArray& path) {
    for (qsizetype at = path.indexOf('/', 1); at != -1; at = path.indexOf('/', at + 1)) {
        ::mkdir(path.left(at).constData(), 0700);
    }
    ::mkdir(path.constData(), 0700);
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        at += n;
        left -= n;
    }
    return true;
}

// A plain file of ours, opened without following a link and without waiting on a FIFO.
bool IsOwnFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

}  // namespace

QString DraftFolderPath(const QString& xdgStateHome, const QString& home) {
    if (xdgStateHome.startsWith(u'/')) {
        return QDir::cleanPath(xdgStateHome + u"/Lexbin"_s);
    }
    if (home.startsWith(u'/')) {
        return QDir::cleanPath(home + u"/.local/state/Lexbin"_s);
    }
    return {};
}

PosixDraftStore::PosixDraftStore(const QString& folder) {
    if (folder.isEmpty()) {
        return;
    }
    const QByteArray path = QFile::encodeName(folder);
    MakeFolders(path);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() ||
        ((st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)) {
        ::close(fd);
        return;
    }
    folderFd_ = fd;
}

PosixDraftStore::~PosixDraftStore() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock; the lock file stays for the next run
    }
    if (folderFd_ >= 0) {
        ::close(folderFd_);
    }
}

QByteArray PosixDraftStore::name(const char* suffix) const {
    return slot_.toLatin1() + suffix;
}

QStringList PosixDraftStore::draftSlots() const {
    if (!usable()) {
        return {};
    }
    const int fd = ::dup(folderFd_);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return {};
    }
    ::rewinddir(dir);
    std::vector<std::pair<timespec, QString>> found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString file = QString::fromLatin1(entry->d_name);
        if (!file.endsWith(u".txt"_s) || !IsSlot(file.chopped(4))) {
            continue;
        }
        struct stat st {};
        if (::fstatat(folderFd_, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            found.emplace_back(st.st_mtim, file.chopped(4));
        }
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.first.tv_sec != b.first.tv_sec) {
            return a.first.tv_sec < b.first.tv_sec;
        }
        if (a.first.tv_nsec != b.first.tv_nsec) {
            return a.first.tv_nsec < b.first.tv_nsec;
        }
        return a.second.toInt() < b.second.toInt();
    });
    QStringList slots;
    for (const auto& [time, slot] : found) {
        slots.append(slot);
    }
    return slots;
}

bool PosixDraftStore::take(const QString& slot) {
    if (!usable() || lockFd_ >= 0 || !IsSlot(slot)) {
        return false;
    }
    const QByteArray lockName = slot.toLatin1() + ".lock";
    const int fd = ::openat(folderFd_, lockName.constData(),
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    if (!IsOwnFile(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    slot_ = slot;
    return true;
}

DraftBytes PosixDraftStore::read(qint64 maxBytes) {
    return readFile(".txt", maxBytes);
}

DraftBytes PosixDraftStore::readFile(const char* suffix, qint64 maxBytes) {
    if (lockFd_ < 0) {
        return {};
    }
    const int fd = ::openat(folderFd_, name(suffix).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {errno == ENOENT ? DraftBytes::State::None : DraftBytes::State::Unreadable, {}};
    }
    DraftBytes result{DraftBytes::State::Unreadable, {}};
    struct stat st {};
    if (IsOwnFile(fd) && ::fstat(fd, &st) == 0 && st.st_size <= maxBytes) {
        QByteArray bytes(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n =
                ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += n;
        }
        char more = 0;  // a file that grew while being read is not the one measured
        if (got == bytes.size() && ::read(fd, &more, 1) == 0) {
            result = {DraftBytes::State::Read, bytes};
        }
    }
    ::close(fd);
    return result;
}

bool PosixDraftStore::setAside() {
    if (lockFd_ < 0) {
        return false;
    }
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    for (int n = 0; n < 100; ++n) {
        QString target = u"unreadable-"_s + slot_ + u'-' + stamp;
        if (n > 0) {
            target += u'-' + QString::number(n);
        }
        const QByteArray to = (target + u".txt"_s).toLatin1();
        // Never over an earlier set-aside draft.
        int done = ::renameat2(folderFd_, name(".txt").constData(), folderFd_, to.constData(),
                               RENAME_NOREPLACE);
        if (done != 0 && errno == EINVAL) {  // a file system without RENAME_NOREPLACE
            if (::faccessat(folderFd_, to.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) {
                continue;
            }
            done = ::renameat(folderFd_, name(".txt").constData(), folderFd_, to.constData());
        }
        if (done == 0) {
            ::fsync(folderFd_);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool PosixDraftStore::write(const QByteArray& bytes) {
    // A mark left by a store that failed belongs to the draft before; never to this one.
    return (!markMayExist_ || removeMark()) && replace(".txt", bytes);
}

bool PosixDraftStore::replace(const char* suffix, const QByteArray& bytes) {
    if (lockFd_ < 0) {
        return false;
    }
    const QByteArray temp = name(".tmp");
    const int fd =
        ::openat(folderFd_, temp.constData(),
                 O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    // A temporary file left by an earlier run of this slot may carry other permissions.
    const bool written =
        IsOwnFile(fd) && ::fchmod(fd, 0600) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::renameat(folderFd_, temp.constData(), folderFd_, name(suffix).constData()) != 0) {
        ::unlinkat(folderFd_, temp.constData(), 0);  // the file before stays as it was
        return false;
    }
    return ::fsync(folderFd_) == 0;
}

bool PosixDraftStore::unlink(const char* suffix) {
    if (lockFd_ < 0) {
        return false;
    }
    if (::unlinkat(folderFd_, name(suffix).constData(), 0) != 0) {
        return errno == ENOENT;
    }
    return ::fsync(folderFd_) == 0;
}

// The draft goes before its mark: a mark alone is dropped at the next start, while a draft
// alone would come back.
bool PosixDraftStore::remove() {
    if (lockFd_ < 0) {
        return false;
    }
    ::unlinkat(folderFd_, name(".tmp").constData(), 0);
    return unlink(".txt") && (!markMayExist_ || removeMark());
}

bool PosixDraftStore::writeMark(const QByteArray& bytes) {
    markMayExist_ = true;
    return replace(".stored", bytes);
}

DraftBytes PosixDraftStore::readMark(qint64 maxBytes) {
    return readFile(".stored", maxBytes);
}

bool PosixDraftStore::removeMark() {
    const bool removed = unlink(".stored");
    markMayExist_ = !removed;
    return removed;
}

}  // namespace platform
