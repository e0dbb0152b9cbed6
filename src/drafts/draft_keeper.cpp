#include "drafts/draft_keeper.h"

#include <algorithm>

#include "drafts/draft_writer.h"
#include "drafts/store_mark.h"
#include "platform/draft_store.h"

namespace drafts {

std::optional<qint64> WriteThrottle::changed(qint64 now) {
    if (due_) {
        return std::nullopt;
    }
    due_ = true;
    return last_ ? std::max(now + kDelayMs, *last_ + kIntervalMs) : now + kDelayMs;
}

void WriteThrottle::wrote(qint64 now) {
    due_ = false;
    last_ = now;
}

DraftKeeper::DraftKeeper(std::unique_ptr<platform::DraftStore> store,
                         const platform::TextFile& dataFile, NoteSource takeNote, QObject* parent)
    : QObject(parent),
      store_(std::move(store)),
      dataFile_(dataFile),
      takeNote_(std::move(takeNote)) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DraftKeeper::write);
}

// The writer finishes its last job before the store (and the slot's lock) goes.
DraftKeeper::~DraftKeeper() = default;

Adopted DraftKeeper::adopt(qsizetype maxCharacters) {
    if (!store_) {
        return {};
    }
    const Adopted adopted = AdoptSlot(*store_, maxCharacters, [this](const QByteArray& bytes) {
        const std::optional<StoreMark> mark = DecodeMark(bytes);
        return mark && Landed(dataFile_, *mark);
    });
    if (adopted.held) {
        writer_ = std::make_unique<DraftWriter>(*store_);
    }
    return adopted;
}

void DraftKeeper::changed() {
    if (!writer_) {
        return;
    }
    const qint64 now = clock_.elapsed();
    if (const std::optional<qint64> due = throttle_.changed(now)) {
        timer_.start(static_cast<int>(*due - now));
    }
}

void DraftKeeper::writeNow() {
    if (writer_ && throttle_.due()) {
        write();
    }
}

void DraftKeeper::write() {
    timer_.stop();
    throttle_.wrote(clock_.elapsed());
    writer_->keep(takeNote_());
}

void DraftKeeper::keepAndWait() {
    if (!writer_) {
        return;
    }
    writeNow();
    writer_->wait();
}

void DraftKeeper::discard() {
    if (!writer_) {
        return;
    }
    timer_.stop();
    throttle_.cancel();
    writer_->discard();
}

void DraftKeeper::discardAndWait() {
    discard();
    if (writer_) {
        writer_->wait();
    }
}

void DraftKeeper::keepOnExit() {
    if (!writer_ || finished_) {
        return;
    }
    finished_ = true;
    timer_.stop();
    writer_->hold();
    if (!storing_) {  // mid-store, the draft holds the note already
        writer_->keepHeld(takeNote_()());
    }
}

void DraftKeeper::appending(const QString& path, std::string_view bytes) {
    if (!writer_ || storing_) {
        return;
    }
    storing_ = true;
    timer_.stop();
    throttle_.wrote(clock_.elapsed());
    writer_->hold();
    writer_->keepHeld(takeNote_()());
    if (const std::optional<StoreMark> mark = MarkFor(dataFile_, path, bytes)) {
        store_->writeMark(EncodeMark(*mark));
    }
}

void DraftKeeper::appended(bool stored) {
    if (!storing_) {
        return;
    }
    storing_ = false;
    if (stored) {
        // Now, not through the queue: a kill before the box empties must not leave the draft.
        writer_->removeHeld();
        throttle_.cancel();
    } else {
        store_->removeMark();
    }
    writer_->resume();
}

}  // namespace drafts
