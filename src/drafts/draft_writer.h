#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {
class DraftStore;
}

namespace drafts {

// Writes drafts on a thread of its own, so that encoding and syncing a long note never holds
// up the window. Only the latest wish counts: a job not started yet is replaced by the next,
// and jobs run in the order given, so a removal asked for after a write is never undone by
// that write. A failed write is left at that: the draft is a safety net, and the note is
// still in the box.
class DraftWriter {
public:
    explicit DraftWriter(platform::DraftStore& store);
    ~DraftWriter();  // does what is queued first
    DraftWriter(const DraftWriter&) = delete;
    DraftWriter& operator=(const DraftWriter&) = delete;

    // The draft is to hold what `note` gives, called on the writer's thread; a blank note (as
    // a store counts blank) leaves none.
    void keep(std::function<QString()> note);
    // The draft is to go.
    void discard();
    // Returns once everything asked for so far is done (held: once no job is in hand).
    void wait();

    // Holds the writer: it starts no job until resume(), and the one waiting is dropped (the
    // holder keeps the note itself). Returns once a job in hand is done, so that the holder
    // may use the store: then keepHeld and removeHeld act at once, on the caller's thread.
    void hold();
    // The draft holds `note` (none for a blank one); nothing is written when it does already.
    void keepHeld(const QString& note);
    // The draft goes (with its store mark); false when it could not be removed.
    bool removeHeld();
    void resume();

private:
    struct Job {
        bool remove = false;
        std::function<QString()> note;
    };
    void post(Job job);
    void run();
    bool apply(const QString& note);

    platform::DraftStore& store_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> next_;
    bool busy_ = false;
    bool stopping_ = false;
    bool held_ = false;
    // The worker's, or the holder's while it holds the writer:
    bool mayExist_ = true;  // a draft may be on the disk
    QByteArray written_;    // the digest of the note the draft holds, empty when unknown
    bool warned_ = false;
    std::thread thread_;
};

}  // namespace drafts
