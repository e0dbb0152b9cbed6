#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace drafts {

// A draft's bytes: the note as the box gives it (CR LF line breaks), in UTF-8 whatever the
// locale, so that a draft reads back the same under another one.
QByteArray EncodeDraft(const QString& note);

// The note in a draft; nothing when the bytes are not UTF-8 or the note would not fit a box
// of `maxCharacters` (where a CR LF counts as one).
std::optional<QString> DecodeDraft(const QByteArray& bytes, qsizetype maxCharacters);

// The most bytes a draft of a note of `maxCharacters` can take.
qint64 MaxDraftBytes(qsizetype maxCharacters);

}  // namespace drafts
