// The input method switch, against a stand-in fcitx5 on a private session bus.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QtTest>

#include "app/note_edit.h"
#include "app/option_button.h"
#include "platform/widgets/fcitx_input_method.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;

// Answers fcitx5's controller interface and counts the calls to Activate.
class FakeFcitxController : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")

public:
    int activations = 0;

public Q_SLOTS:
    void Activate() { ++activations; }
};

class FcitxInputMethodTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void activatesOncePerFocusInWhenTheChoiceIsOn_data();
    void activatesOncePerFocusInWhenTheChoiceIsOn();
    void doesNothingWhenNoInputMethodRuns();

private:
    void registerFake(bool present);
    // Lets the bus deliver what was sent, then answers with a round trip of our own.
    void drainBus();

    QProcess bus_;
    FakeFcitxController controller_;
    std::unique_ptr<QDBusConnection> service_;
};

void FcitxInputMethodTest::initTestCase() {
    bus_.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
    QVERIFY2(bus_.waitForStarted(), "dbus-daemon (Debian package dbus) is needed");
    QVERIFY(bus_.waitForReadyRead(30000));
    const QByteArray address = bus_.readLine().trimmed();
    QVERIFY(!address.isEmpty());
    // Before the program's first use of the session bus, which reads the variable once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    service_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromUtf8(address), u"fake-fcitx"_s));
    QVERIFY(service_->isConnected());
    QVERIFY(
        service_->registerObject(u"/controller"_s, &controller_, QDBusConnection::ExportAllSlots));
}

void FcitxInputMethodTest::cleanupTestCase() {
    service_.reset();
    QDBusConnection::disconnectFromBus(u"fake-fcitx"_s);
    bus_.kill();
    bus_.waitForFinished();
}

void FcitxInputMethodTest::registerFake(bool present) {
    if (present) {
        QVERIFY(service_->registerService(u"org.fcitx.Fcitx5"_s));
    } else {
        service_->unregisterService(u"org.fcitx.Fcitx5"_s);
    }
}

void FcitxInputMethodTest::drainBus() {
    // A call on the program's own connection is answered only after everything it sent
    // before has gone through the bus; then give the fake's connection time to dispatch.
    QDBusConnection::sessionBus().interface()->isServiceRegistered(u"org.fcitx.Fcitx5"_s);
    QTest::qWait(50);
}

void FcitxInputMethodTest::activatesOncePerFocusInWhenTheChoiceIsOn_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("expected");
    QTest::newRow("on") << u"1"_s << 3;
    QTest::newRow("off") << u"0"_s << 0;
}

void FcitxInputMethodTest::activatesOncePerFocusInWhenTheChoiceIsOn() {
    QFETCH(QString, choice);
    QFETCH(int, expected);
    registerFake(true);
    controller_.activations = 0;
    platform::FcitxInputMethod fcitx;
    MainWindowFixture f(&fcitx);  // the real switch, the rest doubles
    f.ts.settings.set(u"AutoEnableIME"_s, choice);
    frmMain& w = f.show();  // the text box gets the focus: one
    for (int i = 0; i < 2; ++i) {
        w.optImportance(0)->setFocus();
        w.txtMain()->setFocus();  // and one more each time it comes back
    }
    drainBus();
    QTRY_COMPARE_WITH_TIMEOUT(controller_.activations, expected, 30000);
    registerFake(false);
}

void FcitxInputMethodTest::doesNothingWhenNoInputMethodRuns() {
    registerFake(false);
    controller_.activations = 0;
    platform::FcitxInputMethod fcitx;
    QWidget widget;
    QElapsedTimer timer;
    timer.start();
    fcitx.switchOn(widget);
    QVERIFY(timer.elapsed() < 500);  // never waits for an answer
    drainBus();
    QCOMPARE(controller_.activations, 0);
}

QTEST_MAIN(FcitxInputMethodTest)
#include "test_fcitx_input_method.moc"
