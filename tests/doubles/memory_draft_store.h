#pragma once

#include <QMap>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/draft_store.h"

// Drafts answered from memory: which slots hold drafts, which another run holds, what each
// draft's bytes read as. Writes and removals (from the writer's thread or the holder's) count,
// answer `writesWork` and keep the held slot's bytes and mark in `held` and `mark`;
// `whileWriting` runs inside each write, and `overlapped` tells whether two ever ran at once.
class MemoryDraftStore final : public platform::DraftStore {
public:
    bool isUsable = true;
    QStringList slotsWithDrafts;  // oldest first
    QStringList heldElsewhere;
    QMap<QString, platform::DraftBytes> drafts;
    bool setAsideWorks = true;
    bool writesWork = true;

    QString taken;
    QStringList reads;  // the slot of every read
    int setAsides = 0;
    std::atomic<int> writes = 0;
    std::function<void()> whileWriting;
    std::atomic<bool> overlapped = false;

    std::mutex mutex;
    std::optional<QByteArray> held;  // the held slot's draft as written, none when removed
    std::optional<QByteArray> mark;

    bool usable() const override { return isUsable; }
    QStringList draftSlots() const override { return slotsWithDrafts; }
    bool take(const QString& slot) override {
        if (!taken.isEmpty() || heldElsewhere.contains(slot)) {
            return false;
        }
        taken = slot;
        return true;
    }
    platform::DraftBytes read(qint64) override {
        reads.append(taken);
        return drafts.value(taken);
    }
    bool setAside() override {
        setAsides += setAsideWorks ? 1 : 0;
        return setAsideWorks;
    }
    bool write(const QByteArray& bytes) override {
        Busy busy(*this);
        ++writes;
        if (whileWriting) {
            whileWriting();
        }
        if (writesWork) {
            std::lock_guard lock(mutex);
            held = bytes;
            mark.reset();
        }
        return writesWork;
    }
    bool remove() override {
        Busy busy(*this);
        if (writesWork) {
            std::lock_guard lock(mutex);
            held.reset();
            mark.reset();
        }
        return writesWork;
    }
    bool writeMark(const QByteArray& bytes) override {
        Busy busy(*this);
        std::lock_guard lock(mutex);
        mark = bytes;
        return true;
    }
    platform::DraftBytes readMark(qint64) override {
        std::lock_guard lock(mutex);
        return mark ? platform::DraftBytes{platform::DraftBytes::State::Read, *mark}
                    : platform::DraftBytes{};
    }
    bool removeMark() override {
        Busy busy(*this);
        std::lock_guard lock(mutex);
        mark.reset();
        return true;
    }

private:
    struct Busy {
        explicit Busy(MemoryDraftStore& store) : store_(store) {
            if (store_.inUse.exchange(true)) {
                store_.overlapped = true;
            }
        }
        ~Busy() { store_.inUse = false; }
        MemoryDraftStore& store_;
    };
    std::atomic<bool> inUse = false;
};
