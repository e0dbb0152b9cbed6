// The Windows parts against the real Win32 calls (under Wine in code page 932): the file
// append, its failures, the ANSI code page encoding, and the settings in the registry.
#include <windows.h>
// After windows.h, whose types it needs.
#include <imm.h>

#include <QDir>
#include <QtTest>

#include "errors/failure.h"
#include "platform/file_failure.h"
#include "platform/windows/imm_input_method.h"
#include "platform/windows/piped_input.h"
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/win_encoding.h"
#include "platform/windows/win_text_file.h"
#include "settings/settings_keys.h"
#include "support/temp_folder.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::string)

class WindowsPlatformTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void win32ErrorsGiveTheLinuxNumbers_data();
    void win32ErrorsGiveTheLinuxNumbers();
    void appendStartsOnItsOwnLine_data();
    void appendStartsOnItsOwnLine();
    void refusedAppends_data();
    void refusedAppends();
    void encodesWithoutLookAlikes_data();
    void encodesWithoutLookAlikes();
    void pipedInputReadsAsUtf8OrTheCodePage_data();
    void pipedInputReadsAsUtf8OrTheCodePage();
    void settingsAreTextInTheUsersOwnKey();
    void foreignSettingsValues_data();
    void foreignSettingsValues();
    void inputMethodOpensTheWindowsContext();
};

namespace {

const wchar_t kMainKey[] = L"Software\\Lexbin\\Lexbin\\Main";

// Sets a value of any type in a key made if need be.
void SetValue(HKEY root, const wchar_t* path, DWORD type, const QByteArray& data) {
    HKEY key = nullptr;
    QCOMPARE(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
             ERROR_SUCCESS);
    QCOMPARE(
        RegSetValueExW(key, L"FontSize", 0, type, reinterpret_cast<const BYTE*>(data.constData()),
                       static_cast<DWORD>(data.size())),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

void ForgetLexbinKeys() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Lexbin");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Lexbin");
}

}  // namespace

void WindowsPlatformTest::initTestCase() {
    // Wine takes the code page from LC_ALL: an ungenerated ja_JP.UTF-8 gives 1252.
    QCOMPARE(GetACP(), 932u);
}

void WindowsPlatformTest::win32ErrorsGiveTheLinuxNumbers_data() {
    QTest::addColumn<int>("win32");
    QTest::addColumn<int>("number");
    const auto row = [](const char* name, DWORD win32, int number) {
        QTest::newRow(name) << static_cast<int>(win32) << number;
    };
    row("missing folder", ERROR_PATH_NOT_FOUND, 76);
    row("missing file", ERROR_FILE_NOT_FOUND, 76);  // as ENOENT on Linux
    row("a file as a folder", ERROR_DIRECTORY, 76);
    row("missing drive", ERROR_INVALID_DRIVE, 76);
    row("missing share", ERROR_BAD_NETPATH, 76);
    row("access denied", ERROR_ACCESS_DENIED, 70);
    row("write-protected medium", ERROR_WRITE_PROTECT, 70);
    row("open elsewhere without sharing", ERROR_SHARING_VIOLATION, 70);
    row("locked range", ERROR_LOCK_VIOLATION, 70);
    row("disk full", ERROR_DISK_FULL, 61);
    row("disk full for the handle", ERROR_HANDLE_DISK_FULL, 61);
    row("quota", 1295, 61);  // ERROR_DISK_QUOTA_EXCEEDED
    row("file too large", ERROR_FILE_TOO_LARGE, 61);
    row("device not ready", ERROR_NOT_READY, 57);
    row("device error", ERROR_IO_DEVICE, 57);
    row("bad name", ERROR_INVALID_NAME, 52);
    row("name too long", ERROR_FILENAME_EXCED_RANGE, 52);
    row("out of memory", ERROR_NOT_ENOUGH_MEMORY, 7);
    row("anything else", ERROR_INVALID_FUNCTION, 75);
}

void WindowsPlatformTest::win32ErrorsGiveTheLinuxNumbers() {
    QFETCH(int, win32);
    QFETCH(int, number);
    const errors::Failure failure = platform::FileFailure(win32, u"C:\\x\\LexbinDB.txt"_s);
    QCOMPARE(failure.number(), number);
    QVERIFY(failure.description().endsWith(u" (C:\\x\\LexbinDB.txt)"_s));
}

void WindowsPlatformTest::appendStartsOnItsOwnLine_data() {
    QTest::addColumn<QByteArray>("before");  // null: no file yet
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << "a\r\n"_ba;
    QTest::newRow("empty file") << ""_ba
                                << "a\r\n"_ba;
    QTest::newRow("after a record") << "x\r\n"_ba
                                    << "x\r\na\r\n"_ba;
    QTest::newRow("after a bare line feed") << "x\n"_ba
                                            << "x\na\r\n"_ba;
    QTest::newRow("hand-edited last line") << "x"_ba
                                           << "x\r\na\r\n"_ba;
    QTest::newRow("last line ends in CR") << "x\r"_ba
                                          << "x\r\r\na\r\n"_ba;
}

void WindowsPlatformTest::appendStartsOnItsOwnLine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TempFolder folder;
    const QString file = folder.path(u"LexbinDB.txt"_s);
    if (!before.isNull()) {
        TempFolder::write(file, before);
    }
    platform::WindowsTextFile textFile;
    textFile.appendLine(QDir::toNativeSeparators(file), "a\r\n");
    QCOMPARE(TempFolder::read(file), after);
}

void WindowsPlatformTest::refusedAppends_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::newRow("missing folder") << u"missing folder"_s << 76;
    QTest::newRow("a file as folder") << u"file as folder"_s << 76;
    QTest::newRow("a folder") << u"folder"_s << 75;
    QTest::newRow("name too long") << u"long"_s << 52;
    QTest::newRow("read-only file") << u"read-only"_s << 70;
    QTest::newRow("empty path") << u"empty"_s << 52;
}

void WindowsPlatformTest::refusedAppends() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    TempFolder folder;
    QString file = QDir::toNativeSeparators(folder.path(u"LexbinDB.txt"_s));
    if (kind == u"missing folder") {
        file = QDir::toNativeSeparators(folder.path(u"missing/LexbinDB.txt"_s));
    } else if (kind == u"file as folder") {
        TempFolder::write(folder.path(u"plain"_s), "x");
        file = QDir::toNativeSeparators(folder.path(u"plain/LexbinDB.txt"_s));
    } else if (kind == u"long") {
        file = QDir::toNativeSeparators(folder.path(QString(300, u'n')));
    } else if (kind == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(u"LexbinDB.txt"_s));
    } else if (kind == u"read-only") {
        if (qEnvironmentVariableIsSet("LEXBIN_WINE_AS_ROOT")) {
            QSKIP("Wine run by root writes read-only files: not shown here");
        }
        TempFolder::write(file, "x\r\n");
        QVERIFY(SetFileAttributesW(file.toStdWString().c_str(), FILE_ATTRIBUTE_READONLY));
    } else if (kind == u"empty") {
        file.clear();
    }
    platform::WindowsTextFile textFile;
    try {
        textFile.appendLine(file, "a\r\n");
        QFAIL("the append went through");
    } catch (const errors::Failure& failure) {
        QCOMPARE(failure.number(), number);
        if (!file.isEmpty()) {
            QVERIFY2(failure.description().endsWith(u" ("_s + file + u')'),
                     qPrintable(failure.description()));
        }
    }
    if (kind == u"read-only") {
        QCOMPARE(TempFolder::read(file), "x\r\n"_ba);
        SetFileAttributesW(file.toStdWString().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

void WindowsPlatformTest::encodesWithoutLookAlikes_data() {
    QTest::addColumn<unsigned>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");  // null: unrepresentable
    QTest::addColumn<QString>("named");     // the character the description names
    QTest::newRow("932") << 932u << u"超重要"_s << "\x92\xb4\x8f\x64\x97\x76"_ba << QString();
    QTest::newRow("the system's, 932")
        << unsigned{CP_ACP} << u"超重要"_s << "\x92\xb4\x8f\x64\x97\x76"_ba << QString();
    QTest::newRow("yen sign in 932") << 932u << u"ab¥"_s << QByteArray() << u"(「¥」U+00A5)"_s;
    // 1252 would write "A" for "Ā" with best-fit mapping.
    QTest::newRow("no best fit") << 1252u << u"Ā"_s << QByteArray() << u"(「Ā」U+0100)"_s;
    QTest::newRow("first of several") << 932u << u"a超¥€"_s << QByteArray() << u"(「¥」U+00A5)"_s;
    QTest::newRow("outside the BMP") << 932u << u"a😀"_s << QByteArray() << u"U+1F600"_s;
    QTest::newRow("UTF-8") << unsigned{CP_UTF8} << u"¥超"_s << "\xc2\xa5\xe8\xb6\x85"_ba
                           << QString();
    QTest::newRow("lone surrogate")
        << unsigned{CP_UTF8} << QString(QChar(0xd800)) << QByteArray() << u"U+D800"_s;
    QTest::newRow("empty") << 932u << QString() << ""_ba << QString();
}

void WindowsPlatformTest::encodesWithoutLookAlikes() {
    QFETCH(unsigned, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    const platform::WindowsAnsiEncoding encoding(codePage);
    try {
        const std::string encoded = encoding.encode(text);
        QVERIFY2(!bytes.isNull(), encoded.c_str());
        QCOMPARE(QByteArray::fromStdString(encoded), bytes);
    } catch (const errors::Failure& failure) {
        QVERIFY2(bytes.isNull(), qPrintable(failure.description()));
        QCOMPARE(failure.number(), 1001);
        QVERIFY2(failure.description().contains(named), qPrintable(failure.description()));
    }
}

void WindowsPlatformTest::pipedInputReadsAsUtf8OrTheCodePage_data() {
    QTest::addColumn<unsigned>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");  // null: no text
    QTest::newRow("UTF-8") << 932u << "\xe9\x9b\xbb\xe8\xa9\xb1\r\n"_ba << u"電話\r\n"_s;
    QTest::newRow("UTF-8 after its mark, the mark dropped")
        << 932u << "\xef\xbb\xbf\xe9\x9b\xbb"_ba << u"電"_s;
    QTest::newRow("code page 932") << 932u << "\x93\x64\x98\x62"_ba << u"電話"_s;
    QTest::newRow("half-width katakana in 932") << 932u << "\xb1\xb2"_ba << u"ｱｲ"_s;
    QTest::newRow("ASCII") << 932u << "memo 1"_ba << u"memo 1"_s;
    QTest::newRow("empty") << 932u << ""_ba << u""_s;
    QTest::newRow("another ANSI code page") << 1252u << "caf\xe9"_ba << u"café"_s;
    QTest::newRow("a cut lead byte is neither") << 932u << "ab\x81"_ba << QString();
    QTest::newRow("a lead byte before a control is neither") << 932u << "\x81\x0a"_ba << QString();
    QTest::newRow("after a UTF-8 mark only UTF-8")
        << 932u << "\xef\xbb\xbf\x93\x64"_ba << QString();
    QTest::newRow("UTF-8 as the ANSI code page reads nothing else")
        << unsigned{CP_UTF8} << "\x93\x64"_ba << QString();
}

void WindowsPlatformTest::pipedInputReadsAsUtf8OrTheCodePage() {
    QFETCH(unsigned, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const std::optional<QString> read = platform::DecodePipedInput(bytes, codePage);
    QCOMPARE(read.has_value(), !text.isNull());
    if (read) {
        QCOMPARE(*read, text);
    }
}

void WindowsPlatformTest::settingsAreTextInTheUsersOwnKey() {
    ForgetLexbinKeys();
    TestServices ts;
    platform::RegistrySettingsStore registry;
    const platform::CoreServices services = ts.core({.settings = &registry});
    for (const settings::KeyInfo& info : settings::kKeys) {
        settings::SaveSetting(services, info.key, u"値 "_s + QString::fromUtf16(info.name));
    }
    for (const settings::KeyInfo& info : settings::kKeys) {
        const QString name = QString::fromUtf16(info.name);
        DWORD type = 0;
        wchar_t data[64] = {};
        DWORD size = sizeof data;
        QCOMPARE(RegGetValueW(HKEY_CURRENT_USER, kMainKey, name.toStdWString().c_str(),
                              RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size),
                 ERROR_SUCCESS);
        QCOMPARE(type, DWORD{REG_SZ});
        QCOMPARE(QString::fromWCharArray(data), u"値 "_s + name);
        QCOMPARE(settings::GetSetting(services, info.key, {}), u"値 "_s + name);
    }
    ForgetLexbinKeys();
}

void WindowsPlatformTest::foreignSettingsValues_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("refused");  // else: read as missing
    QTest::newRow("a number") << u"user"_s << int{REG_DWORD} << true;
    QTest::newRow("bytes") << u"user"_s << int{REG_BINARY} << true;
    QTest::newRow("expandable text") << u"user"_s << int{REG_EXPAND_SZ} << true;
    QTest::newRow("several texts") << u"user"_s << int{REG_MULTI_SZ} << true;
    // Qt's fallbacks: none of the program's.
    QTest::newRow("organisation key") << u"organisation"_s << int{REG_SZ} << false;
    QTest::newRow("machine key") << u"machine"_s << int{REG_SZ} << false;
    QTest::newRow("no key") << QString() << int{REG_SZ} << false;
}

void WindowsPlatformTest::foreignSettingsValues() {
    QFETCH(QString, where);
    QFETCH(int, type);
    QFETCH(bool, refused);
    ForgetLexbinKeys();
    const QByteArray data("1\0\0\0\0\0\0\0", 8);  // as text: "1", twice null-terminated
    if (where == u"user") {
        SetValue(HKEY_CURRENT_USER, kMainKey, static_cast<DWORD>(type), data);
    } else if (where == u"organisation") {
        SetValue(HKEY_CURRENT_USER, L"Software\\Lexbin\\OrganizationDefaults\\Main", REG_SZ, data);
    } else if (where == u"machine") {
        SetValue(HKEY_LOCAL_MACHINE, kMainKey, REG_SZ, data);
    }
    const platform::RegistrySettingsStore registry;
    try {
        QCOMPARE(registry.get(u"Lexbin"_s, u"Main"_s, u"FontSize"_s, u"default"_s), u"default"_s);
        QVERIFY(!registry.contains(u"Lexbin"_s, u"Main"_s, u"FontSize"_s));
        QVERIFY(!refused);
    } catch (const errors::Failure& failure) {
        QVERIFY2(refused, qPrintable(failure.description()));
        QCOMPARE(failure.number(), 1003);
        QCOMPARE(failure.description(),
                 u"設定を読み込めません。 (HKEY_CURRENT_USER\\Software\\Lexbin\\Lexbin\\Main)"_s);
    }
    ForgetLexbinKeys();
}

// The IME is opened in the context the window has; a window whose context Qt has taken away
// (a widget that refuses input methods has the focus) is left alone.
void WindowsPlatformTest::inputMethodOpensTheWindowsContext() {
    const HWND window = CreateWindowExW(0, L"Static", L"note", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                        nullptr, nullptr, nullptr, nullptr);
    QVERIFY(window != nullptr);
    const HIMC context = ImmCreateContext();
    if (context == nullptr) {
        DestroyWindow(window);
        QSKIP("no input method here (Wine's null display driver has none)");
    }
    ImmAssociateContext(window, context);
    ImmSetOpenStatus(context, FALSE);
    QVERIFY(platform::OpenInputMethod(window));
    QVERIFY(ImmGetOpenStatus(context));

    ImmSetOpenStatus(context, FALSE);
    ImmAssociateContext(window, nullptr);
    QVERIFY(!platform::OpenInputMethod(window));
    QVERIFY(!ImmGetOpenStatus(context));
    ImmDestroyContext(context);
    DestroyWindow(window);
}

QTEST_GUILESS_MAIN(WindowsPlatformTest)
#include "test_windows_platform.moc"
