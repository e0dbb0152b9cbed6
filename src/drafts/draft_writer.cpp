#include "drafts/draft_writer.h"

#include <QtGlobal>

#include "drafts/draft_text.h"
#include "platform/draft_store.h"
#include "storage/note_record.h"

namespace drafts {

DraftWriter::DraftWriter(platform::DraftStore& store) : store_(store), thread_([this] { run(); }) {}

DraftWriter::~DraftWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void DraftWriter::keep(std::function<QString()> note) {
    post({false, std::move(note)});
}

void DraftWriter::discard() {
    post({true, {}});
}

void DraftWriter::post(Job job) {
    {
        std::lock_guard lock(mutex_);
        next_ = std::move(job);
    }
    changed_.notify_all();
}

void DraftWriter::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !next_ && !busy_; });
}

void DraftWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return next_ || stopping_; });
        if (!next_) {
            return;  // stopping, and nothing left to do
        }
        Job job = std::move(*next_);
        next_.reset();
        busy_ = true;
        lock.unlock();

        const QString note = job.remove ? QString() : job.note();
        bool done = true;
        if (!storage::IsOnlySpaces(storage::FlattenNote(note))) {
            done = store_.write(EncodeDraft(note));
            mayExist_ = true;
        } else if (mayExist_) {
            done = store_.remove();
            mayExist_ = !done;
        }
        if (!done && !warned_) {
            warned_ = true;
            qWarning("Lexbin: the unsaved note could not be kept as a draft");
        }

        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace drafts
