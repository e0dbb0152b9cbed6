// Notes nobody means to type, stored through the main window into a real data file.
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTextBlock>
#include <QtTest>

#include "app/note_edit.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

enum class Via { SetText, Paste, Drop };

// Puts `text` into the box the way a user or the program would.
void Put(NoteEdit& box, const QString& text, Via via) {
    switch (via) {
        case Via::SetText:
            box.setPlainText(text);
            return;
        case Via::Paste:
            QGuiApplication::clipboard()->setText(text);
            box.paste();
            return;
        case Via::Drop: {
            QMimeData data;
            data.setText(text);
            const QPointF at(5, 5);
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(box.viewport(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(box.viewport(), &drop);
            return;
        }
    }
}

const QByteArray kHead = "2001/04/22,09:34,C,";

}  // namespace

Q_DECLARE_METATYPE(Via)

class HostileNotesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storeThroughTheWindow_data();
    void storeThroughTheWindow();
    void longLinesAreHeldInShortParagraphs_data();
    void longLinesAreHeldInShortParagraphs();
    void editingAroundAnInsertedBreak_data();
    void editingAroundAnInsertedBreak();
    void noteOverTheLimitIsRefused_data();
    void noteOverTheLimitIsRefused();
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
    // The box keeps a NUL; the record never holds one.
    QTest::newRow("NUL inside dropped")
        << (u"before"_s + nul + u"after"_s) << head + "beforeafter\r\n"
        << 0;
    QTest::newRow("NULs only are a blank note") << QString(3, nul) << QByteArray() << 0;
    QTest::newRow("NUL next to a line break dropped")
        << (u"a"_s + nul + u"\r\n"_s + nul + u"b"_s) << head + "ab\r\n"
        << 0;

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

void HostileNotesTest::longLinesAreHeldInShortParagraphs_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<Via>("via");
    constexpr int kLength = NoteEdit::kParagraphLength;
    const QString digits = QString::number(1234567).repeated(100 * 1024 / 7);
    const QString pair = u"\U0001F600"_s;
    const QString straddling = QString(kLength - 1, u'a') + pair + QString(5000, u'b');
    const QString marked = QString(kLength, u'a') + QChar(0x301) + QString(5000, u'b');
    const QString lines = QString(QString(5000, u'x') + u"\r\n"_s).repeated(3) + u"end"_s;
    const QString japanese = u"日本語のメモ、"_s.repeated(3000) + pair.repeated(3000);
    for (const auto& [name, via] : {std::pair{"set", Via::SetText}, std::pair{"pasted", Via::Paste},
                                    std::pair{"dropped", Via::Drop}}) {
        QTest::addRow("100 KiB of digits %s", name) << digits << via;
        QTest::addRow("surrogate pair across the paragraph length %s", name) << straddling << via;
        QTest::addRow("base and combining mark across it %s", name) << marked << via;
        QTest::addRow("long lines with CR LF %s", name) << lines << via;
        QTest::addRow("Japanese and emoji %s", name) << japanese << via;
    }
}

void HostileNotesTest::longLinesAreHeldInShortParagraphs() {
    QFETCH(QString, note);
    QFETCH(Via, via);
    MainWindowFixture f;
    frmMain& w = f.show();
    Put(*w.txtMain(), note, via);

    const QTextDocument& document = *w.txtMain()->document();
    QVERIFY(document.blockCount() > note.count(u"\r\n"_s) + 1);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        QVERIFY(text.size() <= NoteEdit::kParagraphLength);
        QVERIFY2(
            text.isEmpty() || (!text.front().isLowSurrogate() && !text.back().isHighSurrogate() &&
                               text.front().category() != QChar::Mark_NonSpacing),
            qPrintable(u"paragraph %1"_s.arg(block.blockNumber())));
    }
    QVERIFY(w.txtMain()->noteText() == note);

    w.mnuFileSave_Click();
    QVERIFY(f.data() == kHead + QString(note).remove(u"\r\n"_s).toUtf8() + "\r\n");
}

// The box holds 'a' x 4096, an inserted break at 4096, 'b' x 4000.
void HostileNotesTest::editingAroundAnInsertedBreak_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QList<Qt::Key>>("keys");
    QTest::addColumn<QString>("expected");
    const QString a(NoteEdit::kParagraphLength, u'a');
    const QString b(4000, u'b');
    const int after = NoteEdit::kParagraphLength + 1;
    QTest::newRow("typed after the break") << after << QList{Qt::Key_X} << a + u'x' + b;
    QTest::newRow("backspace removes only the break") << after << QList{Qt::Key_Backspace} << a + b;
    QTest::newRow("delete removes only the break") << after - 1 << QList{Qt::Key_Delete} << a + b;
    QTest::newRow("Enter after the break is a line break")
        << after << QList{Qt::Key_Return} << a + u"\r\n"_s + b;
    QTest::newRow("Enter before the break is a line break")
        << after - 1 << QList{Qt::Key_Return} << a + u"\r\n"_s + b;
    QTest::newRow("Enter inside the second part")
        << after + 10 << QList{Qt::Key_Return} << a + b.left(10) + u"\r\n"_s + b.mid(10);
    QTest::newRow("the cursor crosses the break like a line end")
        << after - 2 << QList{Qt::Key_Right, Qt::Key_Right, Qt::Key_X} << a + u'x' + b;
}

void HostileNotesTest::editingAroundAnInsertedBreak() {
    QFETCH(int, position);
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(QString, expected);
    MainWindowFixture f;
    frmMain& w = f.show();
    NoteEdit& box = *w.txtMain();
    Put(box, QString(NoteEdit::kParagraphLength, u'a') + QString(4000, u'b'), Via::Paste);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(position);
    box.setTextCursor(cursor);
    for (const Qt::Key key : keys) {
        QTest::keyClick(&box, key);
    }
    QVERIFY(box.noteText() == expected);

    box.selectAll();
    box.copy();
    QVERIFY(QGuiApplication::clipboard()->text() == QString(expected).replace(u"\r\n"_s, u"\n"_s));
    w.mnuFileSave_Click();
    QVERIFY(f.data() == kHead + QString(expected).remove(u"\r\n"_s).toUtf8() + "\r\n");
}

void HostileNotesTest::noteOverTheLimitIsRefused_data() {
    QTest::addColumn<QString>("held");
    QTest::addColumn<Via>("via");
    QTest::addColumn<qsizetype>("added");  // characters
    QTest::addColumn<bool>("refused");
    constexpr qsizetype kMax = NoteEdit::kMaxCharacters;
    const QString held = u"keep\r\nthis"_s;  // 9 characters in the box
    QTest::newRow("pasted up to the limit") << held << Via::Paste << kMax - 9 << false;
    QTest::newRow("pasted one over the limit") << held << Via::Paste << kMax - 8 << true;
    QTest::newRow("dropped one over the limit") << held << Via::Drop << kMax - 8 << true;
    QTest::newRow("set one over the limit") << held << Via::SetText << kMax + 1 << true;
    QTest::newRow("typed at the limit")
        << QString(kMax, u'z') << Via::Paste << qsizetype{1} << true;
}

void HostileNotesTest::noteOverTheLimitIsRefused() {
    QFETCH(QString, held);
    QFETCH(Via, via);
    QFETCH(qsizetype, added);
    QFETCH(bool, refused);
    MainWindowFixture f;
    frmMain& w = f.show();
    NoteEdit& box = *w.txtMain();
    Put(box, held, Via::Paste);
    QVERIFY(f.ts.dialogs.shown.isEmpty());
    if (added == 1) {
        QTest::keyClick(&box, Qt::Key_Z);
    } else {
        Put(box, QString(added, u'x'), via);
    }

    if (refused) {
        QCOMPARE(f.ts.dialogs.shown.size(), 1);
        QCOMPARE(f.ts.dialogs.shown[0].title, u"ヒント - Lexbin"_s);
        QCOMPARE(f.ts.dialogs.shown[0].text, u"メモが長すぎます（16777216 文字まで）。"_s);
        QCOMPARE(f.ts.dialogs.shown[0].icon, platform::MessageIcon::Information);
        QVERIFY(box.noteText() == held);
    } else {
        QVERIFY(f.ts.dialogs.shown.isEmpty());
        QCOMPARE(box.noteText().size(), held.size() + added);
    }
}

QTEST_MAIN(HostileNotesTest)
#include "test_hostile_notes.moc"
