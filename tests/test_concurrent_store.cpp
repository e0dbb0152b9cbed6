// Two processes storing into one data file at once: every line whole, none lost.
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "support/temp_folder.h"

using namespace Qt::StringLiterals;

class ConcurrentStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoWritersNeverInterleave();
};

void ConcurrentStoreTest::twoWritersNeverInterleave() {
    TempFolder folder;
    const QString file = folder.path(u"shared.txt"_s);
    const int count = 500;
    QProcess first;
    QProcess second;
    const QString driver = QStringLiteral(STORE_DRIVER);
    first.start(driver, {file, QString::number(count), u"one"_s});
    second.start(driver, {file, QString::number(count), u"two"_s});
    for (QProcess* writer : {&first, &second}) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer->exitCode(), 0);
    }

    const QList<QByteArray> lines = TempFolder::read(file).split('\n');
    QCOMPARE(lines.size(), 2 * count + 1);
    QVERIFY(lines.last().isEmpty());
    const QRegularExpression record(
        u"^\\d{4}/\\d\\d/\\d\\d,\\d\\d:\\d\\d,B,(one|two)-(\\d+)-x{64}\\r$"_s);
    QHash<QString, int> next{{u"one"_s, 1}, {u"two"_s, 1}};
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const auto match = record.match(QString::fromUtf8(lines[i]));
        QVERIFY2(match.hasMatch(), lines[i].constData());
        // Each writer's notes appear complete and in its own order.
        QCOMPARE(match.captured(2).toInt(), next[match.captured(1)]++);
    }
    QCOMPARE(next[u"one"_s], count + 1);
    QCOMPARE(next[u"two"_s], count + 1);
}

QTEST_GUILESS_MAIN(ConcurrentStoreTest)
#include "test_concurrent_store.moc"
