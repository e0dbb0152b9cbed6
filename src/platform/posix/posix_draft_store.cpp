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
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/xdg_folder.h"

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// A plain file of ours, opened without following a link and without waiting on a FIFO.
bool IsOwnFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

}  // namespace

QString DraftFolderPath(const QString& xdgStateHome, const QString& home) {
    return common::XdgProgramFolder(xdgStateHome, home, u".local/state"_s);
}

PosixDraftStore::PosixDraftStore(const QString& folder) {
    if (folder.isEmpty()) {
        return;
    }
    const QByteArray path = QFile::encodeName(folder);
    MakeFolders(path, 0700, false);  // the state folder is private
    Descriptor fd(OpenRetrying(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        return;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || st.st_uid != ::geteuid() ||
        ((st.st_mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0)) {
        return;
    }
    folder_ = std::move(fd);
}

PosixDraftStore::~PosixDraftStore() = default;

QByteArray PosixDraftStore::name(const char* suffix) const {
    return slot_.toLatin1() + suffix;
}

QStringList PosixDraftStore::draftSlots() const {
    if (!usable()) {
        return {};
    }
    Descriptor fd(::dup(folder_.get()));
    DIR* dir = fd.valid() ? ::fdopendir(fd.get()) : nullptr;
    if (dir == nullptr) {
        return {};
    }
    fd.release();  // the folder stream has it now, and closedir closes it
    ::rewinddir(dir);
    std::vector<std::pair<timespec, QString>> found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString file = QString::fromLatin1(entry->d_name);
        if (!file.endsWith(u".txt"_s) || !IsDraftSlot(file.chopped(4))) {
            continue;
        }
        struct stat st {};
        if (::fstatat(folder_.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
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
    if (!usable() || lock_.valid() || !IsDraftSlot(slot)) {
        return false;
    }
    const QByteArray lockName = slot.toLatin1() + ".lock";
    Descriptor fd(OpenRetrying(folder_.get(), lockName.constData(),
                               O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!fd.valid() || !IsOwnFile(fd.get()) || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    lock_ = std::move(fd);
    slot_ = slot;
    return true;
}

DraftBytes PosixDraftStore::read(qint64 maxBytes) {
    return readFile(".txt", maxBytes);
}

DraftBytes PosixDraftStore::readFile(const char* suffix, qint64 maxBytes) {
    if (!lock_.valid()) {
        return {};
    }
    const Descriptor fd(OpenRetrying(folder_.get(), name(suffix).constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return {errno == ENOENT ? DraftBytes::State::None : DraftBytes::State::Unreadable, {}};
    }
    struct stat st {};
    if (!IsOwnFile(fd.get()) || ::fstat(fd.get(), &st) != 0 || st.st_size > maxBytes) {
        return {DraftBytes::State::Unreadable, {}};
    }
    // A file that grew while being read is not the one measured.
    const std::optional<ReadBytes> read = ReadAll(fd.get(), st.st_size);
    if (!read || read->more || read->bytes.size() != st.st_size) {
        return {DraftBytes::State::Unreadable, {}};
    }
    return {DraftBytes::State::Read, read->bytes};
}

bool PosixDraftStore::setAside() {
    if (!lock_.valid()) {
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
        int done = ::renameat2(folder_.get(), name(".txt").constData(), folder_.get(),
                               to.constData(), RENAME_NOREPLACE);
        if (done != 0 && errno == EINVAL) {  // a file system without RENAME_NOREPLACE
            if (::faccessat(folder_.get(), to.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) {
                continue;
            }
            done =
                ::renameat(folder_.get(), name(".txt").constData(), folder_.get(), to.constData());
        }
        if (done == 0) {
            ::fsync(folder_.get());
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
    if (!lock_.valid()) {
        return false;
    }
    const QByteArray temp = name(".tmp");
    Descriptor fd(OpenRetrying(folder_.get(), temp.constData(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                               0600));
    if (!fd.valid()) {
        return false;
    }
    // A temporary file left by an earlier run of this slot may carry other permissions.
    const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const bool written = IsOwnFile(fd.get()) && ::fchmod(fd.get(), 0600) == 0 &&
                         WriteAll(fd.get(), all) == all.size() && ::fsync(fd.get()) == 0;
    const bool closed = fd.close() == 0;
    if (!written || !closed ||
        ::renameat(folder_.get(), temp.constData(), folder_.get(), name(suffix).constData()) != 0) {
        ::unlinkat(folder_.get(), temp.constData(), 0);  // the file before stays as it was
        return false;
    }
    return ::fsync(folder_.get()) == 0;
}

bool PosixDraftStore::unlink(const char* suffix) {
    if (!lock_.valid()) {
        return false;
    }
    if (::unlinkat(folder_.get(), name(suffix).constData(), 0) != 0) {
        return errno == ENOENT;
    }
    return ::fsync(folder_.get()) == 0;
}

// The draft goes before its mark: a mark alone is dropped at the next start, while a draft
// alone would come back.
bool PosixDraftStore::remove() {
    if (!lock_.valid()) {
        return false;
    }
    ::unlinkat(folder_.get(), name(".tmp").constData(), 0);
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
