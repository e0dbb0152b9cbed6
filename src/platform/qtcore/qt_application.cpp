#include "platform/qtcore/qt_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "build_info.h"

using namespace Qt::StringLiterals;

namespace platform {

QString QtApplication::folder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString UserDataFolderPath(const QString& xdgDataHome, const QString& home) {
    // The XDG rule: a relative value is to be ignored (Qt's own lookup would take it as it is,
    // against the working folder).
    if (xdgDataHome.startsWith(u'/')) {
        return QDir::cleanPath(xdgDataHome + u"/Lexbin"_s);
    }
    if (home.startsWith(u'/')) {
        return QDir::cleanPath(home + u"/.local/share/Lexbin"_s);
    }
    return {};
}

QString QtApplication::userDataFolder() const {
#ifdef Q_OS_WIN
    // GenericDataLocation is %LOCALAPPDATA% on Windows.
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Lexbin"_s);
#else
    return UserDataFolderPath(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
#endif
}

int QtApplication::majorVersion() const {
    return build_info::kVersionMajor;
}
int QtApplication::minorVersion() const {
    return build_info::kVersionMinor;
}

}  // namespace platform
