#include "drafts/draft_writer.h"

#include <QCryptographicHash>
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
    changed_.wait(lock, [this] { return (!next_ || held_) && !busy_; });
}

void DraftWriter::hold() {
    std::unique_lock lock(mutex_);
    held_ = true;
    next_.reset();
    changed_.wait(lock, [this] { return !busy_; });
}

void DraftWriter::resume() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    changed_.notify_all();
}

namespace {

QByteArray Digest(const QString& note) {
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(note.utf16()), note.size() * 2),
        QCryptographicHash::Sha1);
}

}  // namespace

void DraftWriter::keepHeld(const QString& note) {
    if (written_.isEmpty() || written_ != Digest(note)) {
        apply(note);
    }
}

bool DraftWriter::removeHeld() {
    const bool done = store_.remove();
    mayExist_ = !done;
    written_ = done ? Digest(QString()) : QByteArray();
    return done;
}

bool DraftWriter::apply(const QString& note) {
    bool done = true;
    written_.clear();
    if (!storage::IsOnlySpaces(storage::FlattenNote(note))) {
        done = store_.write(EncodeDraft(note));
        mayExist_ = true;
    } else if (mayExist_) {
        done = store_.remove();
        mayExist_ = !done;
    }
    if (done) {
        written_ = Digest(note);
    }
    if (!done && !warned_) {
        warned_ = true;
        qWarning("Lexbin: the unsaved note could not be kept as a draft");
    }
    return done;
}

void DraftWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return (next_ && !held_) || stopping_; });
        if (!next_ || held_) {
            return;  // stopping, and nothing left to do (or held for good)
        }
        Job job = std::move(*next_);
        next_.reset();
        busy_ = true;
        lock.unlock();

        apply(job.remove ? QString() : job.note());

        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace drafts
