// The modal host: what it shows, and closing everything it has open at once.
#include <QAbstractButton>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QtTest>

#include "platform/qtcore/qt_japanese_texts.h"
#include "platform/widgets/qt_dialogs.h"

using namespace Qt::StringLiterals;

class QtDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cancelAllClosesNestedBoxesInnermostFirst();
    void inputBoxGivesNothingForCancel();
    void inputBoxButtonsAreJapanese();
};

// Runs `step` once the host's innermost modal loop is running.
template <typename Step>
void WhenOpen(QObject* context, Step step) {
    QMetaObject::invokeMethod(context, step, Qt::QueuedConnection);
}

void QtDialogsTest::cancelAllClosesNestedBoxesInnermostFirst() {
    platform::QtDialogs host;
    QDialog dialog;
    QStringList closed;
    QString boxText;
    connect(&dialog, &QDialog::finished, this, [&] { closed.append(u"dialog"_s); });
    WhenOpen(&dialog, [&] {
        WhenOpen(&dialog, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxText = box->text();
                connect(box, &QDialog::finished, this, [&] { closed.append(u"box"_s); });
            }
            host.cancelAll();
        });
        host.messageBox({u"inner\r\nbox"_s, u"title"_s});
    });
    host.runDialog(dialog);  // returns only because cancelAll closed both
    QCOMPARE(boxText, u"inner\nbox"_s);
    QCOMPARE(closed, QStringList({u"box"_s, u"dialog"_s}));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void QtDialogsTest::inputBoxGivesNothingForCancel() {
    platform::QtDialogs host;
    QWidget anchor;
    QString offered;
    WhenOpen(&anchor, [&] {
        if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            offered = input->labelText() + u'|' + input->textValue();
        }
        host.cancelAll();
    });
    QCOMPARE(host.inputBox(u"prompt"_s, u"title"_s, u"prefilled"_s), QString());
    QCOMPARE(offered, u"prompt|prefilled"_s);
}

void QtDialogsTest::inputBoxButtonsAreJapanese() {
    const platform::QtJapaneseTexts qtTexts;
    QVERIFY(qtTexts.installed());
    platform::QtDialogs host;
    QWidget anchor;
    QStringList buttons;
    WhenOpen(&anchor, [&] {
        if (QWidget* input = QApplication::activeModalWidget()) {
            for (const QAbstractButton* button : input->findChildren<QAbstractButton*>()) {
                buttons.append(button->text());
            }
        }
        host.cancelAll();
    });
    host.inputBox(u"prompt"_s, u"title"_s, QString());
    buttons.sort();
    QCOMPARE(buttons, QStringList({u"OK"_s, u"キャンセル"_s}));
}

QTEST_MAIN(QtDialogsTest)
#include "test_qt_dialogs.moc"
