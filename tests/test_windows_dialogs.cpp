// The system's message boxes (under Wine): their style, what they show, their owner, and
// closing everything open at once. Each box is read and closed from a queued call, which Qt
// delivers inside the box's own loop.
#include <windows.h>

#include <QDialog>
#include <QtTest>

#include "platform/windows/win_dialogs.h"

using namespace Qt::StringLiterals;
using platform::MessageIcon;

Q_DECLARE_METATYPE(platform::MessageIcon)

class WindowsDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boxesShowTheirTextTitleAndStyle_data();
    void boxesShowTheirTextTitleAndStyle();
    void boxIsOwnedByTheActiveWindowWhichItDisables();
    void cancelAllClosesBoxesOverBoxesAndDialogs();
};

namespace {

struct Box {
    HWND window = nullptr;
    QString title;
    QString text;
    bool topmost = false;
    bool icon = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};

QString Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return QString::fromWCharArray(text);
}

BOOL CALLBACK ReadChild(HWND child, LPARAM box) {
    auto* read = reinterpret_cast<Box*>(box);
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            // A box without an icon may keep the control, hidden and empty.
            read->icon = read->icon ||
                         (IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0);
        } else if (!Text(child).isEmpty()) {
            read->text = Text(child);
        }
    }
    return TRUE;
}

BOOL CALLBACK CollectBox(HWND window, LPARAM boxes) {
    wchar_t name[16] = {};
    if (GetClassNameW(window, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0 &&
        IsWindowVisible(window)) {
        Box box;
        box.window = window;
        box.title = Text(window);
        box.topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        box.owner = GetWindow(window, GW_OWNER);
        box.ownerEnabled = box.owner == nullptr || IsWindowEnabled(box.owner);
        EnumChildWindows(window, ReadChild, reinterpret_cast<LPARAM>(&box));
        reinterpret_cast<QList<Box>*>(boxes)->append(box);
    }
    return TRUE;
}

// The message boxes this thread shows now.
QList<Box> OpenBoxes() {
    QList<Box> boxes;
    EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

// Runs `step` once the innermost modal loop, Qt's or the system's, is running.
template <typename Step>
void WhenOpen(QObject* context, Step step) {
    QMetaObject::invokeMethod(context, step, Qt::QueuedConnection);
}

}  // namespace

void WindowsDialogsTest::boxesShowTheirTextTitleAndStyle_data() {
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<bool>("systemModal");
    QTest::addColumn<unsigned>("style");
    QTest::newRow("error box: system-modal, critical") << MessageIcon::Critical << true << 0x1010u;
    QTest::newRow("path warning: system-modal, exclamation")
        << MessageIcon::Exclamation << true << 4144u;
    QTest::newRow("About box: system-modal, no icon") << MessageIcon::None << true << 4096u;
    QTest::newRow("font size hint: information") << MessageIcon::Information << false << 64u;
}

void WindowsDialogsTest::boxesShowTheirTextTitleAndStyle() {
    QFETCH(MessageIcon, icon);
    QFETCH(bool, systemModal);
    QFETCH(unsigned, style);
    const platform::MessageBoxRequest request{u"エラー番号:76\r\n場所:mdlLexbin!SaveData"_s,
                                              u"エラー - Lexbin"_s, icon, systemModal};
    QCOMPARE(platform::MessageBoxStyle(request), style);

    platform::WindowsDialogs host;
    QObject anchor;
    QList<Box> seen;
    WhenOpen(&anchor, [&] {
        seen = OpenBoxes();
        host.cancelAll();
    });
    host.messageBox(request);  // returns only because cancelAll closed it
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, request.title);
    QCOMPARE(seen[0].text, u"エラー番号:76\n場所:mdlLexbin!SaveData"_s.replace(u'\n', u"\r\n"_s));
    QCOMPARE(seen[0].topmost, systemModal);
    QCOMPARE(seen[0].icon, icon != MessageIcon::None);
    QVERIFY(OpenBoxes().isEmpty());
}

void WindowsDialogsTest::boxIsOwnedByTheActiveWindowWhichItDisables() {
    const HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    QVERIFY(owner != nullptr);
    SetActiveWindow(owner);
    QCOMPARE(GetActiveWindow(), owner);
    platform::WindowsDialogs host;
    QObject anchor;
    QList<Box> seen;
    WhenOpen(&anchor, [&] {
        seen = OpenBoxes();
        host.cancelAll();
    });
    host.messageBox({u"text"_s, u"title"_s, MessageIcon::Information});
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].owner, owner);
    QVERIFY(!seen[0].ownerEnabled);
    QVERIFY(IsWindowEnabled(owner));  // again after the box
    DestroyWindow(owner);
}

// The font size hint over frmSetFont, and a box opened over that: one cancelAll closes all
// three; the inner box is owned by the outer one, which it disables.
void WindowsDialogsTest::cancelAllClosesBoxesOverBoxesAndDialogs() {
    platform::WindowsDialogs host;
    QDialog dialog;
    QList<Box> seen;
    QStringList returned;
    WhenOpen(&dialog, [&] {
        WhenOpen(&dialog, [&] {
            WhenOpen(&dialog, [&] {
                seen = OpenBoxes();
                host.cancelAll();
            });
            host.messageBox({u"inner"_s, u"inner"_s, MessageIcon::Critical, true});
            returned.append(u"inner"_s);
        });
        host.messageBox({u"outer"_s, u"outer"_s, MessageIcon::Information});
        returned.append(u"outer"_s);
    });
    host.runDialog(dialog);
    returned.append(u"dialog"_s);
    QCOMPARE(returned, QStringList({u"inner"_s, u"outer"_s, u"dialog"_s}));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(seen.size(), 2);
    const Box& inner = seen[0].title == u"inner"_s ? seen[0] : seen[1];
    const Box& outer = seen[0].title == u"inner"_s ? seen[1] : seen[0];
    QCOMPARE(inner.owner, outer.window);
    QVERIFY(!inner.ownerEnabled);
    QVERIFY(OpenBoxes().isEmpty());
}

QTEST_MAIN(WindowsDialogsTest)
#include "test_windows_dialogs.moc"
