// The Windows folder of drafts on a real file system (under Wine): what is no folder to
// use, the slot's handle that shares nothing, the replace, the set-aside.
#include <windows.h>

#include <QtTest>
#include <memory>

#include "platform/windows/win_draft_store.h"
#include "platform/windows/win_handle.h"
#include "support/temp_folder.h"

using namespace Qt::StringLiterals;
using platform::DraftBytes;
using platform::WindowsDraftStore;

namespace {

// A mount point (junction) at `at` to the folder `target`, through the reparse data the
// system's mklink /J writes; false where the file system cannot hold one.
bool MakeJunction(const QString& at, const QString& target) {
    if (!CreateDirectoryW(platform::NativePath(at).c_str(), nullptr)) {
        return false;
    }
    const HANDLE dir =
        CreateFileW(platform::NativePath(at).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (dir == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::wstring substitute = L"\\??\\" + platform::NativePath(target);
    const auto bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    QByteArray buffer(8 + 8 + bytes + 2 * sizeof(wchar_t), '\0');
    auto put16 = [&](int offset, WORD value) {
        memcpy(buffer.data() + offset, &value, 2);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(buffer.data(), &tag, 4);
    put16(4, static_cast<WORD>(buffer.size() - 8));  // the data's length
    put16(8, 0);                                     // the substitute name: offset, length
    put16(10, bytes);
    put16(12, static_cast<WORD>(bytes + 2));  // the print name (empty): offset, length
    put16(14, 0);
    memcpy(buffer.data() + 16, substitute.data(), bytes);
    DWORD returned = 0;
    const bool made =
        DeviceIoControl(dir, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr) != 0;
    CloseHandle(dir);
    return made;
}

}  // namespace

class WindowsDraftStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whatIsNoPlainFolderIsNotUsed_data();
    void whatIsNoPlainFolderIsNotUsed();
    void aSlotIsHeldByOneStoreAtATime();
    void aWriteReplacesTheDraftAndLeavesNoTemporaryFile();
    void setAsideNeverReplacesAnEarlierOne();
    void readRefusesWhatIsNotAPlainDraft();
};

void WindowsDraftStoreTest::whatIsNoPlainFolderIsNotUsed_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file") << u"file"_s;
    QTest::newRow("a junction to a folder") << u"junction"_s;
    QTest::newRow("a symbolic link to a folder") << u"link"_s;
}

void WindowsDraftStoreTest::whatIsNoPlainFolderIsNotUsed() {
    QFETCH(QString, kind);
    TempFolder temp;
    const QString folder = temp.path(u"drafts"_s);
    const QString real = temp.path(u"real"_s);
    QVERIFY(QDir().mkdir(real));
    if (kind == u"file"_s) {
        TempFolder::write(folder, "x");
    } else if (kind == u"junction"_s) {
        if (!MakeJunction(folder, real)) {
            QSKIP(qPrintable(u"no junction can be made here (Wine's), error "_s +
                             QString::number(GetLastError())));
        }
    } else if (!CreateSymbolicLinkW(
                   platform::NativePath(folder).c_str(), platform::NativePath(real).c_str(),
                   SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        QSKIP("no symbolic link can be made here");
    }
    const DWORD made = GetFileAttributesW(platform::NativePath(folder).c_str());
    if (kind != u"file"_s &&
        (made == INVALID_FILE_ATTRIBUTES || (made & FILE_ATTRIBUTE_REPARSE_POINT) == 0)) {
        QSKIP(qPrintable(u"the link was reported made, but no reparse point is there (Wine's): "_s +
                         (made == INVALID_FILE_ATTRIBUTES
                              ? u"nothing"_s
                              : u"attributes 0x"_s + QString::number(made, 16))));
    }
    WindowsDraftStore store(folder);
    QVERIFY(!store.usable());
    QVERIFY(!store.take(u"1"_s));
    QVERIFY(!store.write("note"));
    QVERIFY(QDir(real).isEmpty());
}

void WindowsDraftStoreTest::aSlotIsHeldByOneStoreAtATime() {
    TempFolder temp;
    const QString folder = temp.path(u"Lexbin/drafts"_s);  // made with its parent
    auto first = std::make_unique<WindowsDraftStore>(folder);
    WindowsDraftStore second(folder);
    QVERIFY(second.usable());  // a second instance's look at the folder is not refused
    QVERIFY(first->take(u"1"_s));
    QVERIFY(!first->take(u"2"_s));  // one slot a run
    QVERIFY(!second.take(u"1"_s));
    QVERIFY(second.take(u"2"_s));
    first.reset();  // the run ends: its slot is free, its lock file stays
    WindowsDraftStore third(folder);
    QVERIFY(third.take(u"1"_s));
    QVERIFY(QFile::exists(folder + u"/1.lock"_s));
}

void WindowsDraftStoreTest::aWriteReplacesTheDraftAndLeavesNoTemporaryFile() {
    TempFolder temp;
    WindowsDraftStore store(temp.path());
    QVERIFY(!store.write("before the slot is taken"));
    QVERIFY(store.take(u"1"_s));
    // A temporary file left read-only by an earlier run does not stop the write.
    TempFolder::write(temp.path(u"1.tmp"_s), "stale");
    QVERIFY(SetFileAttributesW(platform::NativePath(temp.path(u"1.tmp"_s)).c_str(),
                               FILE_ATTRIBUTE_READONLY));
    QVERIFY(store.write("first"));
    QVERIFY(store.write("second"));
    QVERIFY(store.writeMark("mark"));
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files),
             (QStringList{u"1.lock"_s, u"1.stored"_s, u"1.txt"_s}));
    QCOMPARE(store.read(100).bytes, "second"_ba);
    QCOMPARE(store.readMark(100).bytes, "mark"_ba);
    QCOMPARE(store.draftSlots(), QStringList{u"1"_s});
    QVERIFY(store.remove());
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList{u"1.lock"_s});
    QVERIFY(store.remove());  // none is fine
}

void WindowsDraftStoreTest::setAsideNeverReplacesAnEarlierOne() {
    TempFolder temp;
    WindowsDraftStore store(temp.path());
    QVERIFY(store.take(u"1"_s));
    for (const QByteArray& bytes : {"\xff garbage one"_ba, "\xfe garbage two"_ba}) {
        TempFolder::write(temp.path(u"1.txt"_s), bytes);
        QVERIFY(store.setAside());  // within the same second: the second takes another name
    }
    const QStringList aside = QDir(temp.path()).entryList({u"unreadable-1-*.txt"_s}, QDir::Files);
    QCOMPARE(aside.size(), 2);
    QByteArrayList kept;
    for (const QString& name : aside) {
        kept.append(TempFolder::read(temp.path(name)));
    }
    std::sort(kept.begin(), kept.end());
    QCOMPARE(kept, (QByteArrayList{"\xfe garbage two"_ba, "\xff garbage one"_ba}));
    QVERIFY(store.draftSlots().isEmpty());
}

void WindowsDraftStoreTest::readRefusesWhatIsNotAPlainDraft() {
    TempFolder temp;
    WindowsDraftStore store(temp.path());
    QVERIFY(store.take(u"1"_s));
    QCOMPARE(store.read(10).state, DraftBytes::State::None);
    TempFolder::write(temp.path(u"1.txt"_s), "0123456789X");
    QCOMPARE(store.read(10).state, DraftBytes::State::Unreadable);
    QVERIFY(QFile::remove(temp.path(u"1.txt"_s)));
    QVERIFY(QDir().mkdir(temp.path(u"1.txt"_s)));
    QCOMPARE(store.read(10).state, DraftBytes::State::Unreadable);
}

QTEST_GUILESS_MAIN(WindowsDraftStoreTest)
#include "test_windows_draft_store.moc"
