#include "platform/qtcore/qt_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "build_info.h"
#include "common/xdg_folder.h"

using namespace Qt::StringLiterals;

namespace platform {

QString QtApplication::folder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString UserDataFolderPath(const QString& xdgDataHome, const QString& home) {
    return common::XdgProgramFolder(xdgDataHome, home, u".local/share"_s);
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
