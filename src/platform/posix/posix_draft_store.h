#pragma once

#include <QString>

#include "platform/draft_store.h"
#include "platform/posix/posix_io.h"

namespace platform {

// $XDG_STATE_HOME/Lexbin when the variable holds an absolute path, else ~/.local/state/Lexbin
// below `home`; empty when neither is known.
QString DraftFolderPath(const QString& xdgStateHome, const QString& home);

// Drafts in a folder of the user's own (made 0700): `<slot>.lock` held with flock for the
// run, `<slot>.txt` written to `<slot>.tmp`, synced and renamed over it, then the folder
// synced; the store mark is `<slot>.stored`, written the same way. A folder that is not the user's
// own (another's, a link, a file) is not used.
class PosixDraftStore final : public DraftStore {
public:
    explicit PosixDraftStore(const QString& folder);
    ~PosixDraftStore() override;
    PosixDraftStore(const PosixDraftStore&) = delete;
    PosixDraftStore& operator=(const PosixDraftStore&) = delete;

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
    QByteArray name(const char* suffix) const;
    bool replace(const char* suffix, const QByteArray& bytes);
    DraftBytes readFile(const char* suffix, qint64 maxBytes);
    bool unlink(const char* suffix);

    Descriptor folder_;
    Descriptor lock_;  // closing it releases the lock; the lock file stays for the next run
    QString slot_;
    bool markMayExist_ = true;  // until a removal proved there is none
};

}  // namespace platform
