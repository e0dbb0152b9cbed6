#include "platform/qtcore/qsettings_store.h"

#include <QSettings>
#include <QStringList>
#include <memory>

#include <sys/stat.h>

#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "errors/failure.h"
#include "platform/os_parts.h"

using namespace Qt::StringLiterals;
using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// Where QSettings keeps the user's settings of `application`.
QString SettingsFile(const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           application + u'/' + application + u".conf"_s;
}

// Whether `path` is missing or, links followed, a regular file. A folder, a FIFO (opening it
// would wait for a writer forever), a device (it reads as an empty file), a socket, a
// dangling or looping link and a path that cannot be looked at are not.
bool MissingOrRegularFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat target {};
    if (::stat(name.constData(), &target) == 0) {
        return S_ISREG(target.st_mode);
    }
    struct stat link {};
    return (errno == ENOENT || errno == ENOTDIR) && ::lstat(name.constData(), &link) != 0;
}

// The user's settings of `application`, read. Throws `refusal` (with the file's path for
// the settings-not-readable failure) when the file exists but cannot be read.
std::unique_ptr<QSettings> OpenSettings(const QString& application, ErrorNumber refusal) {
    const auto refuse = [refusal](const QString& path) {
        return refusal == ErrorNumber::SettingsNotReadable ? Failure(refusal, path)
                                                           : Failure(refusal);
    };
    // The file alone: the fallbacks QSettings would also read (an organisation file, the
    // system's folders) are none of the program's, and each would be one more file to
    // check before opening it.
    const QString path = SettingsFile(application);
    if (!MissingOrRegularFile(path)) {
        throw refuse(path);
    }
    auto store = std::make_unique<QSettings>(path, QSettings::NativeFormat);
    // A file that could not be parsed reports FormatError and reads as empty: it is no
    // failure (a save writes it afresh). One that could not be opened is.
    if (store->status() == QSettings::AccessError) {
        throw refuse(path);
    }
    return store;
}

}  // namespace

QString QSettingsStore::get(const QString& application, const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const auto store = OpenSettings(application, ErrorNumber::SettingsNotReadable);
    store->beginGroup(section);
    const QVariant value = store->value(key);
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited value with an unquoted comma comes back as a list: join it again.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

bool QSettingsStore::contains(const QString& application, const QString& section,
                              const QString& key) const {
    const auto store = OpenSettings(application, ErrorNumber::SettingsNotReadable);
    store->beginGroup(section);
    return store->contains(key);
}

void QSettingsStore::save(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    // A file that cannot be read is not written either: what it holds would be lost, and a
    // link to something else than a regular file would be replaced by a file.
    const auto store = OpenSettings(application, ErrorNumber::SettingsNotWritable);
    if (!store->isWritable()) {
        throw Failure(ErrorNumber::SettingsNotWritable);
    }
    store->beginGroup(section);
    store->setValue(key, value);
    store->endGroup();
    store->sync();
    if (store->status() == QSettings::AccessError) {
        throw Failure(ErrorNumber::SettingsNotWritable);
    }
}

std::unique_ptr<SettingsStore> NewSettingsStore() {
    return std::make_unique<QSettingsStore>();
}

}  // namespace platform
