// Notes nobody means to type, stored through the main window into a real data file.
#include <QElapsedTimer>
#include <QtTest>

#include "note_edit.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;

class HostileNotesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storeThroughTheWindow_data();
    void storeThroughTheWindow();
};

void HostileNotesTest::storeThroughTheWindow_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<QByteArray>("file");  // the data file afterwards; empty: never created
    QTest::addColumn<int>("number");       // the error box shown; 0: none

    const QByteArray head = "2001/04/22,09:34,C,";
    // 10 MiB of numbered 16-character pieces, so a piece lost or doubled shows.
    QString big;
    big.reserve(10 * 1024 * 1024);
    for (int i = 0; big.size() < 10 * 1024 * 1024; ++i) {
        big += QString::number(i).rightJustified(15, u'0') + u' ';
    }
    QTest::newRow("10 MiB") << big << head + big.toLatin1() + "\r\n" << 0;

    const QChar nul(0);
    QTest::newRow("NUL inside") << (u"before"_s + nul + u"after"_s)
                                << head + QByteArray("before\0after\r\n", 14) << 0;
    QTest::newRow("NULs only") << QString(3, nul) << head + QByteArray(3, '\0') + "\r\n" << 0;
    QTest::newRow("NUL next to a line break")
        << (u"a"_s + nul + u"\r\n"_s + nul + u"b"_s) << head + QByteArray("a\0\0b\r\n", 6) << 0;

    QTest::newRow("lone high surrogate")
        << (u"a"_s + QChar(0xD800) + u"b"_s) << QByteArray() << 1001;
    QTest::newRow("lone low surrogate") << (u"a"_s + QChar(0xDFFF)) << QByteArray() << 1001;
    QTest::newRow("surrogates swapped")
        << (QChar(0xDC00) + QChar(0xD800) + u"x"_s) << QByteArray() << 1001;
    QTest::newRow("high surrogate at the end of many lines")
        << (u"ok\r\n"_s.repeated(1000) + QChar(0xDBFF)) << QByteArray() << 1001;

    QTest::newRow("100000 CR LF") << u"\r\n"_s.repeated(100000) << QByteArray() << 0;
}

void HostileNotesTest::storeThroughTheWindow() {
    QFETCH(QString, note);
    QFETCH(QByteArray, file);
    QFETCH(int, number);
    MainWindowFixture f;
    frmMain& w = f.show();
    w.txtMain()->setPlainText(note);
    QCOMPARE(w.txtMain()->noteText().size(), note.size());
    QVERIFY(w.txtMain()->noteText() == note);  // the box holds the note unchanged

    QElapsedTimer timer;
    timer.start();
    w.mnuFileSave_Click();
    qInfo("%s: stored in %lld ms", QTest::currentDataTag(), timer.elapsed());

    if (file.isEmpty()) {
        QVERIFY(!QFile::exists(f.dataFile()));
    } else {
        const QByteArray data = f.data();
        QCOMPARE(data.size(), file.size());
        QVERIFY(data == file);  // one whole record (QCOMPARE would print megabytes)
    }
    if (number == 0) {
        QVERIFY(f.silent());
        QVERIFY(w.txtMain()->document()->isEmpty());
    } else {
        QCOMPARE(f.ts.reporter.locations(), QStringList{u"mdlLexbin!SaveData"_s});
        QCOMPARE(f.ts.reporter.numbers(), QList<int>{number});
        QVERIFY(w.txtMain()->noteText() == note);  // kept for another try
    }
}

QTEST_MAIN(HostileNotesTest)
#include "test_hostile_notes.moc"
