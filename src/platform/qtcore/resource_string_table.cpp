#include "platform/qtcore/resource_string_table.h"

#include <QFile>
#include <QStringList>

#include "errors/failure.h"

using namespace Qt::StringLiterals;

namespace platform {

QHash<int, QString> ResourceStringTable::Parse(const QString& content) {
    QHash<int, QString> entries;
    for (const QString& line : content.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (tab > 0 && ok) {
            entries.insert(id, line.mid(tab + 1));
        }
    }
    return entries;
}

QString ResourceStringTable::text(int id) const {
    if (!loaded_) {
        QFile file(u":/lexbin/strings.txt"_s);
        if (file.open(QIODevice::ReadOnly)) {
            entries_ = Parse(QString::fromUtf8(file.readAll()));
        }
        loaded_ = true;
    }
    const auto entry = entries_.constFind(id);
    if (entry == entries_.constEnd()) {
        throw errors::Failure(errors::ErrorNumber::ResourceNotFound);
    }
    return *entry;
}

}  // namespace platform
