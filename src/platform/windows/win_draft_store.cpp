#include "platform/windows/win_draft_store.h"

#include <windows.h>

#include <QDateTime>
#include <QDir>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qtcore/qt_application.h"

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// Opened without following a link in its place, for a look at what it is.
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

bool IsPlain(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool IsPlain(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           IsPlain(info);
}

bool WriteAllBytes(HANDLE file, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.constData() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

// The same folder the data file's default place is taken from (QtApplication::userDataFolder).
QString DraftFolderPath() {
    const QString data = QtApplication().userDataFolder();
    return data.isEmpty() ? QString() : data + u"\\drafts"_s;
}

WindowsDraftStore::WindowsDraftStore(const QString& folder) {
    if (folder.isEmpty() || folder.contains(QChar(0))) {
        return;
    }
    path_ = NativePath(QDir::cleanPath(folder));
    QDir().mkpath(folder);
    // Held without FILE_SHARE_DELETE: while this run lasts, the folder cannot be renamed or
    // put out of the way for a junction, so every path below names the folder looked at here.
    Handle handle(CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, kNoFollow,
                              nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return;
    }
    folder_ = std::move(handle);
}

std::wstring WindowsDraftStore::path(const QString& name) const {
    return path_ + L'\\' + name.toStdWString();
}

std::wstring WindowsDraftStore::slotPath(const wchar_t* suffix) const {
    return path(slot_) + suffix;
}

QStringList WindowsDraftStore::draftSlots() const {
    if (!usable()) {
        return {};
    }
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileExW((path_ + L"\\*").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::vector<std::pair<quint64, QString>> found;
    do {
        const QString file = QString::fromWCharArray(entry.cFileName);
        if (file.endsWith(u".txt"_s, Qt::CaseInsensitive) && IsDraftSlot(file.chopped(4))) {
            const quint64 written = (quint64{entry.ftLastWriteTime.dwHighDateTime} << 32) |
                                    entry.ftLastWriteTime.dwLowDateTime;
            found.emplace_back(written, file.chopped(4));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.toInt() < b.second.toInt();
    });
    QStringList slots;
    for (const auto& [time, slot] : found) {
        slots.append(slot);
    }
    return slots;
}

// A handle that shares nothing: a second instance cannot open the lock file at all.
bool WindowsDraftStore::take(const QString& slot) {
    if (!usable() || lock_.valid() || !IsDraftSlot(slot)) {
        return false;
    }
    Handle lock(CreateFileW(path(slot + u".lock"_s).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | kNoFollow, nullptr));
    if (!lock.valid() || !IsPlain(lock.get())) {
        return false;
    }
    lock_ = std::move(lock);
    slot_ = slot;
    return true;
}

DraftBytes WindowsDraftStore::read(qint64 maxBytes) {
    return readFile(L".txt", maxBytes);
}

DraftBytes WindowsDraftStore::readFile(const wchar_t* suffix, qint64 maxBytes) {
    if (!lock_.valid()) {
        return {};
    }
    const Handle file(CreateFileW(slotPath(suffix).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, kNoFollow, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return {
            error == ERROR_FILE_NOT_FOUND ? DraftBytes::State::None : DraftBytes::State::Unreadable,
            {}};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &info) || !IsPlain(info)) {
        return {DraftBytes::State::Unreadable, {}};
    }
    const qint64 size =
        static_cast<qint64>((quint64{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
    if (size > maxBytes || size >= (qint64{1} << 31)) {
        return {DraftBytes::State::Unreadable, {}};
    }
    // One byte more than measured: a file that grew while being read is not the one measured.
    QByteArray bytes(static_cast<qsizetype>(size) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    DWORD read = 0;
    while (done < bytes.size() &&
           ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                    nullptr) &&
           read > 0) {
        done += read;
    }
    if (done != size) {
        return {DraftBytes::State::Unreadable, {}};
    }
    bytes.truncate(done);
    return {DraftBytes::State::Read, bytes};
}

bool WindowsDraftStore::setAside() {
    if (!lock_.valid()) {
        return false;
    }
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    for (int n = 0; n < 100; ++n) {
        QString target = u"unreadable-"_s + slot_ + u'-' + stamp;
        if (n > 0) {
            target += u'-' + QString::number(n);
        }
        // Without MOVEFILE_REPLACE_EXISTING: never over an earlier set-aside draft.
        if (MoveFileExW(slotPath(L".txt").c_str(), path(target + u".txt"_s).c_str(),
                        MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

bool WindowsDraftStore::write(const QByteArray& bytes) {
    // A mark left by a store that failed belongs to the draft before; never to this one.
    return (!markMayExist_ || removeMark()) && replace(L".txt", bytes);
}

bool WindowsDraftStore::replace(const wchar_t* suffix, const QByteArray& bytes) {
    if (!lock_.valid()) {
        return false;
    }
    const std::wstring temp = slotPath(L".tmp");
    // One left by an earlier run goes first (a link in its place too, never what it points
    // to): CREATE_NEW writes only into a file made here.
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one too
    DeleteFileW(temp.c_str());
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    const bool written = WriteAllBytes(file.get(), bytes) && FlushFileBuffers(file.get());
    const bool closed = file.close();
    if (!written || !closed ||
        !MoveFileExW(temp.c_str(), slotPath(suffix).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());  // the file before stays as it was
        return false;
    }
    return true;
}

bool WindowsDraftStore::removeFile(const wchar_t* suffix) {
    if (!lock_.valid()) {
        return false;
    }
    return DeleteFileW(slotPath(suffix).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The draft goes before its mark: a mark alone is dropped at the next start, while a draft
// alone would come back.
bool WindowsDraftStore::remove() {
    if (!lock_.valid()) {
        return false;
    }
    DeleteFileW(slotPath(L".tmp").c_str());
    return removeFile(L".txt") && (!markMayExist_ || removeMark());
}

bool WindowsDraftStore::writeMark(const QByteArray& bytes) {
    markMayExist_ = true;
    return replace(L".stored", bytes);
}

DraftBytes WindowsDraftStore::readMark(qint64 maxBytes) {
    return readFile(L".stored", maxBytes);
}

bool WindowsDraftStore::removeMark() {
    const bool removed = removeFile(L".stored");
    markMayExist_ = !removed;
    return removed;
}

}  // namespace platform
