#include "qt_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "build_info.h"

using namespace Qt::StringLiterals;

namespace platform {

QString QtApplication::folder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString QtApplication::userDataFolder() const {
    // GenericDataLocation is ~/.local/share (XDG_DATA_HOME) on Linux, AppData\Local on Windows.
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Lexbin"_s);
}

int QtApplication::majorVersion() const {
    return build_info::kVersionMajor;
}
int QtApplication::minorVersion() const {
    return build_info::kVersionMinor;
}

}  // namespace platform
