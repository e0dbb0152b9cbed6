#include "drafts/slot_choice.h"

#include "drafts/draft_text.h"
#include "drafts/store_mark.h"
#include "platform/draft_store.h"

namespace drafts {

namespace {

// More instances than anyone runs at once; past it the run keeps no draft.
constexpr int kMaxSlots = 1000;

bool TakeOne(platform::DraftStore& store) {
    for (const QString& slot : store.draftSlots()) {
        if (store.take(slot)) {
            return true;
        }
    }
    for (int n = 1; n <= kMaxSlots; ++n) {
        if (store.take(QString::number(n))) {
            return true;
        }
    }
    return false;
}

}  // namespace

Adopted AdoptSlot(platform::DraftStore& store, qsizetype maxCharacters, const MarkCheck& stored) {
    Adopted adopted;
    if (!store.usable() || !TakeOne(store)) {
        return adopted;
    }
    adopted.held = true;
    const platform::DraftBytes mark = store.readMark(kMaxMarkBytes);
    if (mark.state == platform::DraftBytes::State::Read && stored && stored(mark.bytes) &&
        store.remove()) {
        return adopted;
    }
    if (mark.state != platform::DraftBytes::State::None) {
        store.removeMark();
    }
    // Read only now: a draft found while listing may belong to a run that still holds it.
    const platform::DraftBytes found = store.read(MaxDraftBytes(maxCharacters));
    switch (found.state) {
        case platform::DraftBytes::State::None:
            return adopted;
        case platform::DraftBytes::State::Read:
            if (const std::optional<QString> note = DecodeDraft(found.bytes, maxCharacters)) {
                adopted.note = *note;
                return adopted;
            }
            break;
        case platform::DraftBytes::State::Unreadable:
            break;
    }
    adopted.setAside = store.setAside();
    // A draft that stays where it was would be overwritten by the first write: rather keep
    // no draft this run than lose those bytes.
    adopted.held = adopted.setAside;
    return adopted;
}

}  // namespace drafts
