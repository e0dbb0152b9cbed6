// The floor of `lexbin --note x`: a program linked against the same Qt libraries that
// creates a QCoreApplication, appends the same record to the file named by its argument
// (open, write, fdatasync, close) and exits.
#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDateTime>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    const QByteArray record =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd,HH:mm")).toUtf8() +
        ",C,x\r\n";
    const int fd = ::open(argv[1], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return 1;
    }
    const bool written =
        ::write(fd, record.constData(), record.size()) == record.size() && ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && written ? 0 : 1;
}
