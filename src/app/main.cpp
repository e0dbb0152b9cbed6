#include <QApplication>

#include "frm_main.h"
#include "real_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(u"lexbin"_s);
    RealServices services;

    frmMain window(services.services());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
