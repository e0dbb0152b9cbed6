#pragma once

#include <QHash>

#include "errors/failure.h"
#include "platform/string_table.h"

// A string table of the test's own entries.
class FakeStringTable final : public platform::StringTable {
public:
    QHash<int, QString> entries;
    QString text(int id) const override {
        const auto entry = entries.constFind(id);
        if (entry == entries.constEnd()) {
            throw errors::Failure(errors::ErrorNumber::ResourceNotFound);
        }
        return *entry;
    }
};
