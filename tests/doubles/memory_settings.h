#pragma once

#include <QMap>

#include "errors/failure.h"
#include "platform/settings_store.h"

// Settings kept in memory, keyed "application/section/key". Reads can be made to throw,
// writes to be refused, to walk the failure paths.
class MemorySettings final : public platform::SettingsStore {
public:
    QMap<QString, QString> values;
    bool failReads = false;
    bool failWrites = false;

    static QString Path(const QString& application, const QString& section, const QString& key) {
        return application + u'/' + section + u'/' + key;
    }
    // The value under application "Lexbin", section "Main".
    QString value(const QString& key) const { return values.value(Path(app(), main(), key)); }
    bool contains(const QString& key) const { return values.contains(Path(app(), main(), key)); }
    void set(const QString& key, const QString& value) { values[Path(app(), main(), key)] = value; }

    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue) const override {
        if (failReads) {
            throw errors::Failure(errors::ErrorNumber::InvalidCall);
        }
        return values.value(Path(application, section, key), defaultValue);
    }
    bool contains(const QString& application, const QString& section,
                  const QString& key) const override {
        if (failReads) {
            throw errors::Failure(errors::ErrorNumber::InvalidCall);
        }
        return values.contains(Path(application, section, key));
    }
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value) override {
        if (failWrites) {
            throw errors::Failure(errors::ErrorNumber::SettingsNotWritable);
        }
        values[Path(application, section, key)] = value;
    }

private:
    static QString app() { return QStringLiteral("Lexbin"); }
    static QString main() { return QStringLiteral("Main"); }
};
