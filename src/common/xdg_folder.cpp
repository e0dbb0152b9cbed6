#include "common/xdg_folder.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace common {

QString XdgProgramFolder(const QString& xdgValue, const QString& home,
                         const QString& homeRelative) {
    if (xdgValue.startsWith(u'/')) {
        return QDir::cleanPath(xdgValue + u"/Lexbin"_s);
    }
    if (home.startsWith(u'/')) {
        return QDir::cleanPath(home + u'/' + homeRelative + u"/Lexbin"_s);
    }
    return {};
}

}  // namespace common
