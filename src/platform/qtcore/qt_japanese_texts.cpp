#include "platform/qtcore/qt_japanese_texts.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace platform {

QtJapaneseTexts::QtJapaneseTexts() {
    // Read in place from the resource: no file is opened.
    installed_ = translator_.load(u":/lexbin/translations/qtbase_ja.qm"_s) &&
                 QCoreApplication::installTranslator(&translator_);
}

}  // namespace platform
