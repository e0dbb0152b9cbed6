#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace platform {

// A slot is a number without leading zeros, of at most six digits; nothing else in the
// folder of drafts is a draft.
inline bool IsDraftSlot(const QString& name) {
    if (name.isEmpty() || name.size() > 6 || name.front() == u'0') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// What a read of a draft found.
struct DraftBytes {
    enum class State { None, Read, Unreadable };
    State state = State::None;
    QByteArray bytes;  // when Read
};

// The folder of drafts: the note of each running instance that is not stored yet. Each
// instance owns one slot for its run: a lock file, held until it ends, and the draft beside
// it. Everything that touches a draft acts on the slot this store holds, and only after it
// took that slot's lock: a draft of another running instance is never read or changed.
class DraftStore {
public:
    virtual ~DraftStore() = default;
    // Whether the folder can hold drafts; when not, every call below finds or does nothing.
    virtual bool usable() const = 0;
    // The slots that hold a draft, the oldest draft first.
    virtual QStringList draftSlots() const = 0;
    // Takes the lock of `slot` (a number: "1", "2", …) for this run, making its
    // lock file if needed; false when another instance holds it or it cannot be taken. Once
    // one is taken, no other is.
    virtual bool take(const QString& slot) = 0;
    // The held slot's draft; Unreadable for something that is not a plain file or holds
    // more than `maxBytes`.
    virtual DraftBytes read(qint64 maxBytes) = 0;
    // Renames the held slot's draft out of the way, under a name no slot uses; never deletes.
    virtual bool setAside() = 0;
    // Replaces the held slot's draft with `bytes`, on the disk when this returns. May run on
    // another thread than the calls above (never at the same time as them).
    virtual bool write(const QByteArray& bytes) = 0;
    // Removes the held slot's draft (none is fine), then its store mark.
    virtual bool remove() = 0;

    // The store mark: written, on the disk when this returns, just before the draft's note
    // is appended to the data file, and saying where its record goes; it lets the next start
    // tell a draft whose note reached the data file from one whose store was cut short. It
    // belongs to the draft beside it: write() removes it before it puts a new draft there.
    virtual bool writeMark(const QByteArray& bytes) = 0;
    virtual DraftBytes readMark(qint64 maxBytes) = 0;
    virtual bool removeMark() = 0;
};

}  // namespace platform
