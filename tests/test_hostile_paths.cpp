// Data file paths that cannot take a record, stored to through the main window: one error
// box, the note kept, and nothing written anywhere else.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QtTest>
#include <csignal>

#include "app/note_edit.h"
#include "support/main_window_fixture.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

namespace {

// Every entry under `root` with what it is: files with size and a hash of their bytes, links
// with their target. Special files are never opened.
QStringList Tree(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString entry = QDir(root).relativeFilePath(path);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
            entry += u" (gone)"_s;
        } else if (S_ISLNK(info.st_mode)) {
            entry += u" -> "_s + QFileInfo(path).symLinkTarget();
        } else if (S_ISDIR(info.st_mode)) {
            entry += u'/';
        } else if (S_ISREG(info.st_mode)) {
            entry += u' ' + QString::number(info.st_size) + u' ' +
                     QString::fromLatin1(
                         QCryptographicHash::hash(TempFolder::read(path), QCryptographicHash::Sha1)
                             .toHex());
        } else {
            entry += u" (special)"_s;
        }
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

// Ends the test with a message when a store blocks, instead of letting it hang.
void StoreBlocked(int) {
    static const char kMessage[] = "FAIL: the store blocked for 20 s\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    ::_exit(1);
}

// The number of the only failure reported, when SaveData reported it; 0 for anything else.
int OnlySaveDataError(const RecordingReporter& reporter) {
    if (reporter.locations() != QStringList{u"mdlLexbin!SaveData"_s}) {
        return 0;
    }
    return reporter.numbers()[0];
}

}  // namespace

class HostilePathsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storeFailsAndKeepsTheNote_data();
    void storeFailsAndKeepsTheNote();
};

void HostilePathsTest::storeFailsAndKeepsTheNote_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::newRow("folder") << u"folder"_s << 75;
    QTest::newRow("fifo") << u"fifo"_s << 75;
    QTest::newRow("/dev/full") << u"/dev/full"_s << 61;
    QTest::newRow("terminal nobody reads") << u"pty"_s << 57;
    QTest::newRow("NUL inside") << u"nul"_s << 52;
    QTest::newRow("5000 characters") << u"long"_s << 52;
    QTest::newRow("dangling symbolic link") << u"dangling"_s << 53;
    QTest::newRow("file without write permission") << u"read-only"_s << 70;
    QTest::newRow("missing folder") << u"missing"_s << 76;
}

void HostilePathsTest::storeFailsAndKeepsTheNote() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    MainWindowFixture f;
    const QString root = f.folder.path();
    QString path;
    int terminal = -1;  // the pty's master side, never read
    if (kind == u"folder"_s) {
        QVERIFY(QDir(root).mkdir(u"folder"_s));
        path = root + u"/folder"_s;
    } else if (kind == u"fifo"_s) {
        path = root + u"/fifo"_s;
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    } else if (kind == u"/dev/full"_s) {
        path = kind;
    } else if (kind == u"pty"_s) {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        path = QFile::decodeName(::ptsname(terminal));
        // Fill its buffers, so that the next write waits for a reader. The kernel moves
        // bytes on between them in the background: fill until a pause frees no room.
        const int end = ::open(::ptsname(terminal), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        QVERIFY(end >= 0);
        for (bool took = true; took; QThread::msleep(50)) {
            took = false;
            while (::write(end, "f", 1) == 1) {
                took = true;
            }
            QCOMPARE(errno, EAGAIN);
        }
        ::close(end);
    } else if (kind == u"nul"_s) {
        // Cut at the NUL, this would name a file that can be created.
        path = root + u"/notes"_s + QChar(0) + u".txt"_s;
    } else if (kind == u"long"_s) {
        path = root + u'/';
        while (path.size() < 5000) {
            path += QString(99, u'd') + u'/';
        }
        path += u"notes.txt"_s;
    } else if (kind == u"dangling"_s) {
        // The target's folder exists: following the link would create the file.
        path = root + u"/link"_s;
        QVERIFY(QFile::link(root + u"/target.txt"_s, path));
    } else if (kind == u"read-only"_s) {
        path = f.dataFile();
        TempFolder::write(path, "kept\r\n");
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // The folder itself is open to everyone: a store that replaced the file would succeed.
        QCOMPARE(::chmod(QFile::encodeName(root).constData(), 0777), 0);
    } else if (kind == u"missing"_s) {
        path = root + u"/missing/notes.txt"_s;
    }
    QVERIFY(!path.isEmpty());
    f.ts.settings.set(u"DataFilePath"_s, path);
    frmMain& w = f.show();
    QTest::keyClicks(w.txtMain(), u"keep me"_s);
    const QStringList before = Tree(root);

    const auto store = [&] {
        QTest::keyClick(w.txtMain(), Qt::Key_S, Qt::ControlModifier);  // mnuFileSave_Click
        const int seen = OnlySaveDataError(f.ts.reporter);
        return w.txtMain()->noteText() == u"keep me"_s ? seen : 255;
    };
    // A store that blocks (a FIFO nobody reads) ends the test instead of hanging it.
    std::signal(SIGALRM, StoreBlocked);
    ::alarm(20);
    QElapsedTimer clock;
    clock.start();
    const int seen = kind == u"read-only"_s ? RunUnprivileged(store) : store();
    const qint64 took = clock.elapsed();
    ::alarm(0);
    if (terminal >= 0) {
        ::close(terminal);
    }

    QCOMPARE(seen, number);  // 255: the note left the box
    QVERIFY2(took < 4500, qPrintable(u"the store took %1 ms"_s.arg(took)));
    QCOMPARE(Tree(root), before);
}

QTEST_MAIN(HostilePathsTest)
#include "test_hostile_paths.moc"
