#pragma once

#include <QString>
#include <string>

#include "platform/draft_store.h"
#include "platform/windows/win_handle.h"

namespace platform {

// %LOCALAPPDATA%\Lexbin\drafts: beside the notes' default folder, apart from the notes.
QString DraftFolderPath();

// Drafts in a folder of the user's profile, kept private by the profile's own ACL:
// `<slot>.lock` held for the run by a handle that shares nothing (the system closes it when
// the process dies, however it dies); `<slot>.txt` and the store mark `<slot>.stored` are
// written to `<slot>.tmp`, flushed, and moved over the old one in one step. A folder that is
// a reparse point (a junction, a link) or no folder at all is not used.
class WindowsDraftStore final : public DraftStore {
public:
    explicit WindowsDraftStore(const QString& folder);
    WindowsDraftStore(const WindowsDraftStore&) = delete;
    WindowsDraftStore& operator=(const WindowsDraftStore&) = delete;

    bool usable() const override { return folder_.valid(); }
    QStringList draftSlots() const override;
    bool take(const QString& slot) override;
    DraftBytes read(qint64 maxBytes) override;
    bool setAside() override;
    bool write(const QByteArray& bytes) override;
    bool remove() override;
    bool writeMark(const QByteArray& bytes) override;
    DraftBytes readMark(qint64 maxBytes) override;
    bool removeMark() override;

private:
    std::wstring path(const QString& name) const;
    std::wstring slotPath(const wchar_t* suffix) const;
    bool replace(const wchar_t* suffix, const QByteArray& bytes);
    DraftBytes readFile(const wchar_t* suffix, qint64 maxBytes);
    bool removeFile(const wchar_t* suffix);

    std::wstring path_;  // the folder, without a backslash at its end
    Handle folder_;      // held open for the run: the folder cannot be moved or replaced
    Handle lock_;        // closing it frees the slot; the lock file stays for the next run
    QString slot_;
    bool markMayExist_ = true;  // until a removal proved there is none
};

}  // namespace platform
