// The draft logic: when drafts are written, which slot a start takes, what a draft may hold.
#include <QSemaphore>
#include <QtTest>
#include <thread>

#include "doubles/memory_draft_store.h"
#include "drafts/draft_keeper.h"
#include "drafts/draft_text.h"
#include "drafts/slot_choice.h"
#include "drafts/store_mark.h"
#include "platform/os_parts.h"
#include "platform/text_file.h"
#include "support/temp_folder.h"

using namespace Qt::StringLiterals;
using platform::DraftBytes;

class DraftsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void throttleWritesSoonButAtMostOnceASecond_data();
    void throttleWritesSoonButAtMostOnceASecond();
    void decodeTakesOnlyUtf8ThatFitsTheBox_data();
    void decodeTakesOnlyUtf8ThatFitsTheBox();
    void encodeIsUtf8WhateverTheLocale();
    void startTakesTheOldestFreeDraft_data();
    void startTakesTheOldestFreeDraft();
    void noDraftIsKeptWhereItWouldNotBeSafe_data();
    void noDraftIsKeptWhereItWouldNotBeSafe();
    void aDraftWithAStoreMarkGoesOnlyIfItsRecordLanded_data();
    void aDraftWithAStoreMarkGoesOnlyIfItsRecordLanded();
    void aStoreRemovesTheDraftOnlyOnceStored_data();
    void aStoreRemovesTheDraftOnlyOnceStored();
    void anAbruptEndWritesTheNoteAtOnceAndOnce();
};

namespace {

// A keeper of `store` whose box holds `*note`.
std::unique_ptr<drafts::DraftKeeper> KeeperOf(MemoryDraftStore* store,
                                              const platform::TextFile& dataFile,
                                              const QString* note) {
    auto keeper = std::make_unique<drafts::DraftKeeper>(
        std::unique_ptr<platform::DraftStore>(store), dataFile, [note] {
            return [copy = *note] {
                return copy;
            };
        });
    return keeper;
}

}  // namespace

void DraftsTest::throttleWritesSoonButAtMostOnceASecond_data() {
    // Events: "cT" a change at T ms, "wT" a write at T, "x" the draft dropped. The due time
    // each change answers, -1 for none (a write is already due).
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<qint64>>("dues");
    QTest::newRow("first change is written after the short delay")
        << QStringList{u"c0"_s} << QList<qint64>{500};
    QTest::newRow("typing on does not put the write off")
        << QStringList{u"c0"_s, u"c100"_s, u"c499"_s} << QList<qint64>{500, -1, -1};
    QTest::newRow("a change right after a write waits out the second")
        << QStringList{u"c0"_s, u"w500"_s, u"c600"_s} << QList<qint64>{500, 1500};
    QTest::newRow("a change long after a write waits only the delay")
        << QStringList{u"c0"_s, u"w500"_s, u"c9000"_s} << QList<qint64>{500, 9500};
    QTest::newRow("a dropped draft leaves nothing due")
        << QStringList{u"c0"_s, u"x"_s, u"c100"_s} << QList<qint64>{500, 600};
}

void DraftsTest::throttleWritesSoonButAtMostOnceASecond() {
    QFETCH(QStringList, events);
    QFETCH(QList<qint64>, dues);
    drafts::WriteThrottle throttle;
    QList<qint64> got;
    for (const QString& event : events) {
        const qint64 at = event.mid(1).toLongLong();
        if (event.startsWith(u'c')) {
            got.append(throttle.changed(at).value_or(-1));
        } else if (event.startsWith(u'w')) {
            throttle.wrote(at);
        } else {
            throttle.cancel();
        }
    }
    QCOMPARE(got, dues);
}

void DraftsTest::decodeTakesOnlyUtf8ThatFitsTheBox_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("note");
    // The box of these rows holds 5 characters.
    QTest::newRow("Japanese") << "\xe3\x83\xa1\xe3\x83\xa2"_ba << true << u"メモ"_s;
    QTest::newRow("CR LF counts as one character") << "a\r\nb\r\nc"_ba << true << u"a\r\nb\r\nc"_s;
    QTest::newRow("empty draft is an empty note") << QByteArray() << true << QString();
    QTest::newRow("longer than the box") << "abcdef"_ba << false << QString();
    QTest::newRow("not UTF-8") << "a\xff"_ba << false << QString();
    QTest::newRow("cut in a character") << "a\xe3\x83"_ba << false << QString();
    QTest::newRow("encoded surrogate") << "\xed\xa0\x80"_ba << false << QString();
    QTest::newRow("leading byte order mark dropped") << "\xef\xbb\xbf"
                                                        "ab"_ba
                                                     << true << u"ab"_s;
    QTest::newRow("byte order mark after the start kept") << "a\xef\xbb\xbf"
                                                             "b"_ba
                                                          << true << u"a\uFEFFb"_s;
}

void DraftsTest::decodeTakesOnlyUtf8ThatFitsTheBox() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, taken);
    QFETCH(QString, note);
    const std::optional<QString> got = drafts::DecodeDraft(bytes, 5);
    QCOMPARE(got.has_value(), taken);
    if (taken) {
        QCOMPARE(*got, note);
        QCOMPARE(drafts::DecodeDraft(drafts::EncodeDraft(note), 5), note);
    }
}

void DraftsTest::encodeIsUtf8WhateverTheLocale() {
    QCOMPARE(drafts::EncodeDraft(u"超重要\r\n𠮷"_s),
             "\xe8\xb6\x85\xe9\x87\x8d\xe8\xa6\x81\r\n\xf0\xa0\xae\xb7"_ba);
}

void DraftsTest::startTakesTheOldestFreeDraft_data() {
    QTest::addColumn<QStringList>("withDrafts");  // oldest first
    QTest::addColumn<QStringList>("heldElsewhere");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("setAsides");
    QTest::newRow("no draft: the first slot")
        << QStringList{} << QStringList{} << u"1"_s << QString() << 0;
    QTest::newRow("the oldest draft first")
        << QStringList{u"3"_s, u"1"_s} << QStringList{} << u"3"_s << u"note 3"_s << 0;
    QTest::newRow("a draft of a running instance is passed by")
        << QStringList{u"3"_s, u"1"_s} << QStringList{u"3"_s} << u"1"_s << u"note 1"_s << 0;
    QTest::newRow("every draft held: the lowest free slot")
        << QStringList{u"1"_s, u"2"_s} << QStringList{u"1"_s, u"2"_s} << u"3"_s << QString() << 0;
    QTest::newRow("an unreadable draft is set aside")
        << QStringList{u"4"_s} << QStringList{} << u"4"_s << QString() << 1;
}

void DraftsTest::startTakesTheOldestFreeDraft() {
    QFETCH(QStringList, withDrafts);
    QFETCH(QStringList, heldElsewhere);
    QFETCH(QString, taken);
    QFETCH(QString, note);
    QFETCH(int, setAsides);
    MemoryDraftStore store;
    store.slotsWithDrafts = withDrafts;
    store.heldElsewhere = heldElsewhere;
    for (const QString& slot : withDrafts) {
        store.drafts[slot] = {DraftBytes::State::Read, "note "_ba + slot.toLatin1()};
    }
    store.drafts[u"4"_s] = {DraftBytes::State::Read, "\xff\xfe"_ba};

    const drafts::Adopted adopted = drafts::AdoptSlot(store, 100);
    QVERIFY(adopted.held);
    QCOMPARE(store.taken, taken);
    QCOMPARE(adopted.note, note);
    QCOMPARE(store.reads, QStringList{taken});  // no other slot's draft was read
    QCOMPARE(store.setAsides, setAsides);
    QCOMPARE(adopted.setAside, setAsides == 1);
}

void DraftsTest::noDraftIsKeptWhereItWouldNotBeSafe_data() {
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("setAsideWorks");
    QTest::newRow("folder not usable") << false << true;
    // Its first write would replace the unread bytes.
    QTest::newRow("unreadable draft that stays in place") << true << false;
}

void DraftsTest::noDraftIsKeptWhereItWouldNotBeSafe() {
    QFETCH(bool, usable);
    QFETCH(bool, setAsideWorks);
    MemoryDraftStore store;
    store.isUsable = usable;
    store.setAsideWorks = setAsideWorks;
    store.slotsWithDrafts = {u"1"_s};
    store.drafts[u"1"_s] = {DraftBytes::State::Unreadable, {}};
    const drafts::Adopted adopted = drafts::AdoptSlot(store, 100);
    QVERIFY(!adopted.held);
    QVERIFY(adopted.note.isEmpty());
}

void DraftsTest::aDraftWithAStoreMarkGoesOnlyIfItsRecordLanded_data() {
    // The data file holds "old\r\n" and then the record "rec\r\n" at offset 5.
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("sameFile");
    QTest::addColumn<bool>("draftBack");
    QTest::newRow("the record where the mark says") << qint64{5} << "rec\r\n"_ba << true << false;
    QTest::newRow("the same text elsewhere (typed again)")
        << qint64{0} << "rec\r\n"_ba << true << true;
    QTest::newRow("the record cut short") << qint64{5} << "rec\r\nmore"_ba << true << true;
    QTest::newRow("another file at the path") << qint64{5} << "rec\r\n"_ba << false << true;
}

void DraftsTest::aDraftWithAStoreMarkGoesOnlyIfItsRecordLanded() {
    QFETCH(qint64, offset);
    QFETCH(QByteArray, record);
    QFETCH(bool, sameFile);
    QFETCH(bool, draftBack);
    TempFolder folder;
    const QString file = folder.path(u"notes.txt"_s);
    TempFolder::write(file, "old\r\n"_ba);
    const std::unique_ptr<platform::TextFile> dataFile = platform::NewTextFile();
    const platform::TextFile& textFile = *dataFile;
    const std::string bytes = record.toStdString();
    std::optional<drafts::StoreMark> mark = drafts::MarkFor(textFile, file, bytes);
    QVERIFY(mark);
    mark->offset = offset;
    TempFolder::write(file, "old\r\nrec\r\n"_ba);  // the same file, written over
    if (!sameFile) {
        QVERIFY(QFile::rename(file, folder.path(u"kept aside"_s)));  // its inode stays taken
        TempFolder::write(file, "old\r\nrec\r\n"_ba);
    }
    auto* store = new MemoryDraftStore;
    store->drafts[u"1"_s] = {DraftBytes::State::Read, "rec"_ba};
    store->held = "rec"_ba;
    store->mark = drafts::EncodeMark(*mark);
    const QString note;
    const auto keeper = KeeperOf(store, textFile, &note);
    const drafts::Adopted adopted = keeper->adopt(100);
    QVERIFY(adopted.held);
    QCOMPARE(adopted.note, draftBack ? u"rec"_s : QString());
    QCOMPARE(store->held.has_value(), draftBack);
    QVERIFY(!store->mark);  // a mark is never left behind
}

void DraftsTest::aStoreRemovesTheDraftOnlyOnceStored_data() {
    QTest::addColumn<bool>("stored");
    QTest::newRow("stored: draft and mark go at once") << true;
    QTest::newRow("failed: the draft stays, the mark goes") << false;
}

void DraftsTest::aStoreRemovesTheDraftOnlyOnceStored() {
    QFETCH(bool, stored);
    TempFolder folder;
    const std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    auto* store = new MemoryDraftStore;
    QString note = u"typed"_s;
    const auto keeper = KeeperOf(store, *textFile, &note);
    QVERIFY(keeper->adopt(100).held);
    keeper->changed();  // a write due, not made yet
    keeper->appending(folder.path(u"notes.txt"_s), "a record\r\n");
    {
        std::lock_guard lock(store->mutex);
        QCOMPARE(store->held, std::optional("typed"_ba));  // on the disk before the append
        QVERIFY(store->mark);
    }
    keeper->appended(stored);
    keeper->writeNow();
    keeper->keepAndWait();
    std::lock_guard lock(store->mutex);
    QCOMPARE(store->held.has_value(), !stored);
    QVERIFY(!store->mark);
    QCOMPARE(store->writes.load(), 1);  // nothing queued before the store ran after it
}

void DraftsTest::anAbruptEndWritesTheNoteAtOnceAndOnce() {
    const std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    auto* store = new MemoryDraftStore;
    QString note = u"first"_s;
    const auto keeper = KeeperOf(store, *textFile, &note);
    QVERIFY(keeper->adopt(100).held);
    // A write of "first" is in hand when the end comes with "second" in the box.
    QSemaphore entered;
    QSemaphore go;
    std::atomic<bool> first = true;
    store->whileWriting = [&] {
        if (first.exchange(false)) {
            entered.release();
            go.acquire();
        }
    };
    keeper->changed();
    keeper->writeNow();
    entered.acquire();
    note = u"second"_s;
    keeper->changed();
    std::thread releaser([&go] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        go.release();
    });
    keeper->keepOnExit();  // waits for the write in hand only
    releaser.join();
    {
        std::lock_guard lock(store->mutex);
        QCOMPARE(store->held, std::optional("second"_ba));
    }
    QVERIFY(!store->overlapped);
    QCOMPARE(store->writes.load(), 2);
    note = u"third"_s;
    keeper->changed();
    keeper->keepOnExit();  // once
    QTest::qWait(1200);    // no throttled write either: the writer is stopped for good
    QCOMPARE(store->writes.load(), 2);
}

QTEST_GUILESS_MAIN(DraftsTest)
#include "test_drafts.moc"
