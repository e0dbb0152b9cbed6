#pragma once

#include <QTranslator>

namespace platform {

// Qt's own texts in Japanese, like every caption of the program: the buttons of the input box,
// the text box's context menu. The translation is compiled into the program, since the Windows
// Qt ships none and a Linux system need not have the package. Needs a QCoreApplication; the
// texts stay for this object's lifetime.
class QtJapaneseTexts {
public:
    QtJapaneseTexts();
    // Whether the translation was found and installed.
    bool installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace platform
