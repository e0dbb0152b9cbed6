#include "drafts/draft_text.h"

#include "common/utf8.h"

using namespace Qt::StringLiterals;

namespace drafts {

QByteArray EncodeDraft(const QString& note) {
    return note.toUtf8();
}

std::optional<QString> DecodeDraft(const QByteArray& bytes, qsizetype maxCharacters) {
    std::optional<QString> note = common::DecodeStrictUtf8(bytes);
    if (!note || note->size() - note->count(u"\r\n"_s) > maxCharacters) {
        return std::nullopt;
    }
    return note;
}

qint64 MaxDraftBytes(qsizetype maxCharacters) {
    // Three UTF-8 bytes per UTF-16 unit at most; a line break (one character) takes two.
    return 3 * qint64{maxCharacters} + 1;
}

}  // namespace drafts
