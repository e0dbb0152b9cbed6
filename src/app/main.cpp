#include <QApplication>

#include "frm_main.h"
#include "platform/file_size_limit.h"
#include "real_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    platform::LetWritesFailAtTheFileSizeLimit();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(u"lexbin"_s);
    RealServices services;

    frmMain window(services.services());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
