#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace platform {
class TextFile;
}

namespace drafts {

// Where a store of the draft's note puts its record: the data file (its path and identity),
// the offset the record starts at, and the record's length and SHA-256. The record's bytes
// at that offset prove the note was stored: the record holds the time of the store, so an
// earlier record of the same text never matches, and a record cut short never does either.
struct StoreMark {
    QString path;
    QByteArray identity;
    qint64 offset = 0;
    qint64 length = 0;
    QByteArray digest;
};

// The mark for appending `record` to the file at `path`; nothing when where it will go
// cannot be told.
std::optional<StoreMark> MarkFor(const platform::TextFile& textFile, const QString& path,
                                 std::string_view record);

QByteArray EncodeMark(const StoreMark& mark);
std::optional<StoreMark> DecodeMark(const QByteArray& bytes);
constexpr qint64 kMaxMarkBytes = 64 * 1024;

// Whether the data file holds the marked record, whole, where the mark says.
bool Landed(const platform::TextFile& textFile, const StoreMark& mark);

}  // namespace drafts
