#pragma once

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
    // Returns once everything asked for so far is done.
    void wait();

private:
    struct Job {
        bool remove = false;
        std::function<QString()> note;
    };
    void post(Job job);
    void run();

    platform::DraftStore& store_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> next_;
    bool busy_ = false;
    bool stopping_ = false;
    bool mayExist_ = true;  // worker thread only: a draft may be on the disk
    bool warned_ = false;   // worker thread only
    std::thread thread_;
};

}  // namespace drafts
