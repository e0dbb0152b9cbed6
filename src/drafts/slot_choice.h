#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {
class DraftStore;
}

namespace drafts {

// What a start found for its slot.
struct Adopted {
    bool held = false;      // the run has a slot; without one it keeps no draft
    QString note;           // the draft's note, empty when there was none
    bool setAside = false;  // the slot's draft could not be read and was renamed
};

// Takes a slot for this run: the one with the oldest draft whose lock is free, else the
// lowest-numbered free one; then reads its draft. A draft that cannot be read is set aside.
// A draft whose store mark `stored` says reached the data file is removed, not given: its note
// was stored just before the run ended. Any other mark is dropped.
using MarkCheck = std::function<bool(const QByteArray& mark)>;
Adopted AdoptSlot(platform::DraftStore& store, qsizetype maxCharacters,
                  const MarkCheck& stored = {});

}  // namespace drafts
