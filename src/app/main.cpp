#include <QApplication>
#include <QLabel>

#include "platform/real_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::RealServices services;
    QLabel window(u"Lexbin"_s);
    window.setWindowTitle(u"Lexbin"_s);
    window.resize(492, 270);
    window.show();
    return QApplication::exec();
}
