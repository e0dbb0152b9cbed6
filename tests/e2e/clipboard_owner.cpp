// Holds the X clipboard for the end-to-end scripts: puts the UTF-8 text of the file given
// on the command line on the clipboard, prints "ready", and serves it until killed.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: clipboard_owner FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
