#include "drafts/store_mark.h"

#include <QCryptographicHash>
#include <QList>

#include "platform/text_file.h"

namespace drafts {

namespace {

constexpr QByteArrayView kMagic = "lexbin store mark 1";

QByteArray Digest(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

}  // namespace

std::optional<StoreMark> MarkFor(const platform::TextFile& textFile, const QString& path,
                                 std::string_view record) {
    const std::optional<platform::TextFile::End> end = textFile.endOf(path);
    if (!end) {
        return std::nullopt;
    }
    const QByteArrayView bytes(record.data(), static_cast<qsizetype>(record.size()));
    return StoreMark{path, end->identity, end->size + (end->open ? 2 : 0), bytes.size(),
                     Digest(bytes)};
}

// One field a line; the path and identity in hexadecimal, as they may hold any byte.
QByteArray EncodeMark(const StoreMark& mark) {
    return kMagic.toByteArray() + '\n' + mark.path.toUtf8().toHex() + '\n' + mark.identity.toHex() +
           '\n' + QByteArray::number(mark.offset) + '\n' + QByteArray::number(mark.length) + '\n' +
           mark.digest.toHex() + '\n';
}

std::optional<StoreMark> DecodeMark(const QByteArray& bytes) {
    const QList<QByteArray> fields = bytes.split('\n');
    if (fields.size() != 7 || fields[0] != kMagic || !fields[6].isEmpty()) {
        return std::nullopt;
    }
    StoreMark mark;
    bool offsetOk = false;
    bool lengthOk = false;
    mark.path = QString::fromUtf8(QByteArray::fromHex(fields[1]));
    mark.identity = QByteArray::fromHex(fields[2]);
    mark.offset = fields[3].toLongLong(&offsetOk);
    mark.length = fields[4].toLongLong(&lengthOk);
    mark.digest = QByteArray::fromHex(fields[5]);
    if (!offsetOk || !lengthOk || mark.offset < 0 || mark.length <= 0 || mark.path.isEmpty() ||
        mark.digest.size() != 32) {
        return std::nullopt;
    }
    return mark;
}

bool Landed(const platform::TextFile& textFile, const StoreMark& mark) {
    const std::optional<QByteArray> found =
        textFile.readAt(mark.path, mark.identity, mark.offset, mark.length);
    return found && Digest(*found) == mark.digest;
}

}  // namespace drafts
