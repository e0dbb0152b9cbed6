#include "qsettings_store.h"

#include <QSettings>
#include <QStringList>

#include "errors/failure.h"

using namespace Qt::StringLiterals;

namespace platform {

QString QSettingsStore::get(const QString& application, const QString& section, const QString& key,
                            const QString& defaultValue) const {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application, application);
    store.beginGroup(section);
    const QVariant value = store.value(key);
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited value with an unquoted comma comes back as a list: join it again.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

void QSettingsStore::save(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application, application);
    // The status also reports a file that could not be parsed (FormatError); it is written
    // afresh all the same, so only a store that cannot be written is a failure.
    if (!store.isWritable()) {
        throw errors::Failure(errors::ErrorNumber::SettingsNotWritable);
    }
    store.beginGroup(section);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    if (store.status() == QSettings::AccessError) {
        throw errors::Failure(errors::ErrorNumber::SettingsNotWritable);
    }
}

}  // namespace platform
