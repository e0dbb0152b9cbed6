#pragma once

#include <QHash>

#include "platform/string_table.h"

namespace platform {

// The string table compiled into the program (resources/strings.txt), read at first use.
class ResourceStringTable final : public StringTable {
public:
    QString text(int id) const override;

    // Parses "ID<tab>text" lines; '#' lines and blank lines are skipped.
    static QHash<int, QString> Parse(const QString& content);

private:
    mutable QHash<int, QString> entries_;
    mutable bool loaded_ = false;
};

}  // namespace platform
