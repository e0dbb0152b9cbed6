// The draft folder on a real file system: locks, durable private writes, what is not a draft.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>
#include <memory>

#include "platform/posix/posix_draft_store.h"
#include "support/temp_folder.h"

using namespace Qt::StringLiterals;
using platform::DraftBytes;
using platform::PosixDraftStore;

namespace {

int Mode(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void SetModifiedSecondsAgo(const QString& path, int seconds) {
    const QDateTime at = QDateTime::currentDateTime().addSecs(-seconds);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(at, QFileDevice::FileModificationTime));
}

}  // namespace

class PosixDraftStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderFollowsXdgStateHome_data();
    void folderFollowsXdgStateHome();
    void folderIsMadePrivate();
    void folderNotTheUsersOwnIsNotUsed_data();
    void folderNotTheUsersOwnIsNotUsed();
    void aSlotIsHeldByOneRunAtATime();
    void draftsAreListedOldestFirst();
    void writeReplacesTheDraftPrivately();
    void failedWriteKeepsTheDraftBefore();
    void readRefusesWhatIsNotAPlainDraft_data();
    void readRefusesWhatIsNotAPlainDraft();
    void setAsideKeepsEveryByte();
    void aStoreMarkLivesOnlyWithItsDraft();
};

void PosixDraftStoreTest::folderFollowsXdgStateHome_data() {
    QTest::addColumn<QString>("xdgStateHome");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("folder");
    QTest::newRow("absolute XDG_STATE_HOME")
        << u"/s/state/"_s << u"/home/u"_s << u"/s/state/Lexbin"_s;
    QTest::newRow("relative XDG_STATE_HOME is ignored")
        << u"state"_s << u"/home/u"_s << u"/home/u/.local/state/Lexbin"_s;
    QTest::newRow("unset") << QString() << u"/home/u"_s << u"/home/u/.local/state/Lexbin"_s;
    QTest::newRow("no home either") << QString() << QString() << QString();
}

void PosixDraftStoreTest::folderFollowsXdgStateHome() {
    QFETCH(QString, xdgStateHome);
    QFETCH(QString, home);
    QFETCH(QString, folder);
    QCOMPARE(platform::DraftFolderPath(xdgStateHome, home), folder);
}

void PosixDraftStoreTest::folderIsMadePrivate() {
    TempFolder temp;
    const QString folder = temp.path(u"state/Lexbin"_s);
    PosixDraftStore store(folder);
    QVERIFY(store.usable());
    QCOMPARE(Mode(folder), 0700);
    QCOMPARE(Mode(temp.path(u"state"_s)), 0700);

    QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7755)));
    PosixDraftStore again(folder);  // a folder of ours opened to others is closed again
    QVERIFY(again.usable());
    QCOMPARE(Mode(folder), 0700);
}

void PosixDraftStoreTest::folderNotTheUsersOwnIsNotUsed_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file") << u"file"_s;
    QTest::newRow("a link to a folder") << u"link"_s;
    QTest::newRow("another user's folder") << u"foreign"_s;
}

void PosixDraftStoreTest::folderNotTheUsersOwnIsNotUsed() {
    QFETCH(QString, kind);
    TempFolder temp;
    const QString folder = temp.path(u"Lexbin"_s);
    if (kind == u"file"_s) {
        TempFolder::write(folder, "x");
    } else if (kind == u"link"_s) {
        QVERIFY(QDir().mkdir(temp.path(u"real"_s)));
        QVERIFY(QFile::link(temp.path(u"real"_s), folder));
    } else {
        QVERIFY(QDir().mkdir(folder));
        const uid_t other = ::geteuid() == 0 ? 65534 : ::geteuid() + 1;
        if (::chown(QFile::encodeName(folder).constData(), other, other) != 0) {
            QSKIP("cannot give a folder to another user here");
        }
    }
    PosixDraftStore store(folder);
    QVERIFY(!store.usable());
    QVERIFY(!store.take(u"1"_s));
    QVERIFY(!store.write("note"));
    QCOMPARE(
        QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size(),
        kind == u"link"_s ? 2 : 1);  // nothing made beside or inside it
}

void PosixDraftStoreTest::aSlotIsHeldByOneRunAtATime() {
    TempFolder temp;
    auto first = std::make_unique<PosixDraftStore>(temp.path());
    PosixDraftStore second(temp.path());
    QVERIFY(first->take(u"1"_s));
    QVERIFY(!first->take(u"2"_s));  // one slot a run
    QVERIFY(!second.take(u"1"_s));
    QVERIFY(!second.take(u"01"_s));  // not a slot name
    QVERIFY(second.take(u"2"_s));
    first.reset();  // the run ends: its slot is free, its lock file stays
    PosixDraftStore third(temp.path());
    QVERIFY(third.take(u"1"_s));
    QVERIFY(QFile::exists(temp.path(u"1.lock"_s)));
}

void PosixDraftStoreTest::draftsAreListedOldestFirst() {
    TempFolder temp;
    const struct {
        const char16_t* name;
        int age;
    } files[] = {{u"2.txt", 30},  {u"10.txt", 50}, {u"1.txt", 10}, {u"unreadable-3-x.txt", 90},
                 {u"03.txt", 90}, {u"4.tmp", 90},  {u"5.lock", 90}};
    for (const auto& [name, age] : files) {
        TempFolder::write(temp.path(QString::fromUtf16(name)), "x");
        SetModifiedSecondsAgo(temp.path(QString::fromUtf16(name)), age);
    }
    QCOMPARE(PosixDraftStore(temp.path()).draftSlots(), (QStringList{u"10"_s, u"2"_s, u"1"_s}));
}

void PosixDraftStoreTest::writeReplacesTheDraftPrivately() {
    TempFolder temp;
    PosixDraftStore store(temp.path());
    QVERIFY(!store.write("before the slot is taken"));
    QVERIFY(store.take(u"1"_s));
    const mode_t before = ::umask(0);
    const bool first = store.write("first");
    ::umask(before);
    QVERIFY(first);
    QVERIFY(store.write("second"));
    QCOMPARE(TempFolder::read(temp.path(u"1.txt"_s)), "second"_ba);
    QCOMPARE(Mode(temp.path(u"1.txt"_s)), 0600);
    QVERIFY(!QFile::exists(temp.path(u"1.tmp"_s)));
    QCOMPARE(store.read(100).bytes, "second"_ba);
    QVERIFY(store.remove());
    QVERIFY(!QFile::exists(temp.path(u"1.txt"_s)));
    QVERIFY(store.remove());  // none is fine
}

void PosixDraftStoreTest::failedWriteKeepsTheDraftBefore() {
    TempFolder temp;
    PosixDraftStore store(temp.path());
    QVERIFY(store.take(u"1"_s));
    QVERIFY(store.write("kept"));
    // The file-size limit stands in for a full disk; the program ignores SIGXFSZ too.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 8;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.write("far too long for the limit");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!written);
    QCOMPARE(TempFolder::read(temp.path(u"1.txt"_s)), "kept"_ba);
    QVERIFY(!QFile::exists(temp.path(u"1.tmp"_s)));
}

void PosixDraftStoreTest::readRefusesWhatIsNotAPlainDraft_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<DraftBytes::State>("state");
    QTest::newRow("no draft") << u"none"_s << DraftBytes::State::None;
    QTest::newRow("a draft") << u"draft"_s << DraftBytes::State::Read;
    QTest::newRow("larger than asked") << u"large"_s << DraftBytes::State::Unreadable;
    QTest::newRow("a link") << u"link"_s << DraftBytes::State::Unreadable;
    QTest::newRow("a FIFO") << u"fifo"_s << DraftBytes::State::Unreadable;
}

void PosixDraftStoreTest::readRefusesWhatIsNotAPlainDraft() {
    QFETCH(QString, kind);
    QFETCH(DraftBytes::State, state);
    TempFolder temp;
    const QString draft = temp.path(u"1.txt"_s);
    if (kind == u"draft"_s || kind == u"large"_s) {
        TempFolder::write(draft, kind == u"draft"_s ? "0123456789"_ba : "0123456789X"_ba);
    } else if (kind == u"link"_s) {
        TempFolder::write(temp.path(u"elsewhere"_s), "x");
        QVERIFY(QFile::link(temp.path(u"elsewhere"_s), draft));
    } else if (kind == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(draft).constData(), 0600), 0);
    }
    PosixDraftStore store(temp.path());
    QVERIFY(store.take(u"1"_s));
    const DraftBytes got = store.read(10);  // returns at once, also for the FIFO
    QCOMPARE(got.state, state);
    QCOMPARE(got.bytes, state == DraftBytes::State::Read ? "0123456789"_ba : QByteArray());
}

void PosixDraftStoreTest::setAsideKeepsEveryByte() {
    TempFolder temp;
    PosixDraftStore store(temp.path());
    QVERIFY(store.take(u"1"_s));
    for (const QByteArray& bytes : {"\xff garbage one"_ba, "\xfe garbage two"_ba}) {
        TempFolder::write(temp.path(u"1.txt"_s), bytes);
        QVERIFY(store.setAside());
    }
    QVERIFY(!QFile::exists(temp.path(u"1.txt"_s)));
    const QStringList aside = QDir(temp.path()).entryList({u"unreadable-1-*.txt"_s}, QDir::Files);
    QCOMPARE(aside.size(), 2);  // the second did not replace the first
    QByteArrayList kept;
    for (const QString& name : aside) {
        kept.append(TempFolder::read(temp.path(name)));
    }
    std::sort(kept.begin(), kept.end());
    QCOMPARE(kept, (QByteArrayList{"\xfe garbage two"_ba, "\xff garbage one"_ba}));
    QVERIFY(PosixDraftStore(temp.path()).draftSlots().isEmpty());
}

// The mark is private and on the disk like a draft; a new draft, or the draft's removal,
// takes it away.
void PosixDraftStoreTest::aStoreMarkLivesOnlyWithItsDraft() {
    TempFolder folder;
    PosixDraftStore store(folder.path());
    QVERIFY(store.take(u"1"_s));
    QVERIFY(store.write("note"_ba));
    QVERIFY(store.writeMark("mark"_ba));
    QCOMPARE(Mode(folder.path(u"1.stored"_s)), 0600);
    QCOMPARE(store.readMark(100).bytes, "mark"_ba);
    QVERIFY(store.write("newer note"_ba));
    QCOMPARE(store.readMark(100).state, DraftBytes::State::None);
    QVERIFY(store.writeMark("mark"_ba));
    QVERIFY(store.remove());
    QCOMPARE(store.read(100).state, DraftBytes::State::None);
    QCOMPARE(store.readMark(100).state, DraftBytes::State::None);
    QCOMPARE(store.draftSlots(), QStringList{});
}

QTEST_GUILESS_MAIN(PosixDraftStoreTest)
#include "test_posix_draft_store.moc"
