#pragma once

#include <QMap>
#include <atomic>

#include "platform/draft_store.h"

// Drafts answered from memory: which slots hold drafts, which another run holds, what each
// draft's bytes read as. Writes (from the writer's thread) only count and answer `writesWork`.
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
    bool write(const QByteArray&) override {
        ++writes;
        return writesWork;
    }
    bool remove() override { return writesWork; }
};
