#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "drafts/slot_choice.h"
#include "storage/data_file.h"

namespace platform {
class DraftStore;
class TextFile;
}  // namespace platform

namespace drafts {

class DraftWriter;

// When a draft is written: kDelayMs after the first change since the last write, and never
// sooner than kIntervalMs after it. Further changes do not put the write off (typing on
// without a pause still leaves a draft every second). Times in milliseconds on one clock.
class WriteThrottle {
public:
    static constexpr qint64 kDelayMs = 500;
    static constexpr qint64 kIntervalMs = 1000;

    // A change at `now`: when the write that takes it is due; nothing when one is already due.
    std::optional<qint64> changed(qint64 now);
    // The note was taken for a write at `now`: changes from here on need another.
    void wrote(qint64 now);
    // The draft was dropped: nothing is due.
    void cancel() { due_ = false; }
    bool due() const { return due_; }

private:
    bool due_ = false;
    std::optional<qint64> last_;
};

// Keeps the note of the box in this run's draft until it is stored or dropped. `takeNote`
// runs on this thread when a write is due and should be cheap (a copy of the text); what it
// returns puts the note together on the writer's thread.
//
// As the watch of the box's stores it makes sure that a stored note never comes back: before
// the append, the draft holds the note and a store mark says where its record goes; once the
// record is on the disk, draft and mark go at once, before the box is emptied. A start that
// finds a draft with a mark drops it only when `dataFile` holds that very record there.
class DraftKeeper final : public QObject, public storage::StoreWatch {
    Q_OBJECT

public:
    using NoteSource = std::function<std::function<QString()>()>;
    DraftKeeper(std::unique_ptr<platform::DraftStore> store, const platform::TextFile& dataFile,
                NoteSource takeNote, QObject* parent = nullptr);
    ~DraftKeeper() override;

    // Once, first: takes this run's slot and gives its draft's note. Without a slot (drafts
    // off, or a draft that could not be set aside) every call below does nothing.
    Adopted adopt(qsizetype maxCharacters);

    // The note changed: the draft follows, throttled.
    void changed();
    // A moment the note may be lost (the window lost the focus, was minimized): a change
    // not written yet is written now.
    void writeNow();
    // The run may end: the note is written, and this returns once it is on the disk.
    void keepAndWait();
    // The note is stored or dropped by the user: the draft goes now (after a store, only
    // once the store has reached the disk).
    void discard();
    // The same, returning once the draft is gone.
    void discardAndWait();

    // The process ends without the orderly close (the display went away, a fatal error): the
    // draft is made to hold the box's note now, on this thread, and the writer does nothing
    // more. It waits only for a write in hand, never for one queued. Once; and nothing once
    // finish() was called.
    void keepOnExit();
    // The run's end is settled (the note kept or dropped): keepOnExit does nothing.
    void finish() { finished_ = true; }

    void appending(const QString& path, std::string_view bytes) override;
    void appended(bool stored) override;

private:
    void write();

    std::unique_ptr<platform::DraftStore> store_;
    const platform::TextFile& dataFile_;
    NoteSource takeNote_;
    std::unique_ptr<DraftWriter> writer_;  // only with a slot
    WriteThrottle throttle_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool storing_ = false;  // the writer is held for a store
    bool finished_ = false;
};

}  // namespace drafts
