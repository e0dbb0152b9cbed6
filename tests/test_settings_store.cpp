// The settings store through the real QSettings file in a temporary XDG_CONFIG_HOME.
#include <QtTest>

#include "errors/failure.h"
#include "platform/qtcore/qsettings_store.h"
#include "settings/settings_keys.h"
#include "support/temp_folder.h"
#include "support/test_services.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

class SettingsStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void everyKeyRoundTrips();
    void missingKeyGivesTheDefault();
    void fileLivesWhereUsersLookForIt();
    void handEditedCommaReadsBackAsWritten();
    void readOnlyStoreRaisesTheSettingsFailure();

private:
    platform::CoreServices services() { return ts_.core({.settings = &store_}); }
    QString configFile() const { return config_.path(u"Lexbin/Lexbin.conf"_s); }

    TempFolder config_;
    TestServices ts_;
    platform::QSettingsStore store_;
};

void SettingsStoreTest::initTestCase() {
    // Before the first QSettings: Qt reads the location once.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
}

void SettingsStoreTest::init() {
    QFile::remove(configFile());
}

void SettingsStoreTest::everyKeyRoundTrips() {
    const QString values[] = {
        u"10.5"_s, u"1"_s, u"-60"_s, u"1200"_s, u"7380"_s, u"4044"_s, u" /tmp/a b,c.txt "_s};
    static_assert(std::extent_v<decltype(values)> == std::size(settings::kKeys));
    int i = 0;
    for (const settings::KeyInfo& info : settings::kKeys) {
        settings::SaveSetting(services(), info.key, values[i++]);
    }
    i = 0;
    for (const settings::KeyInfo& info : settings::kKeys) {
        QCOMPARE(settings::GetSetting(services(), info.key, u"default"_s), values[i++]);
    }
}

void SettingsStoreTest::missingKeyGivesTheDefault() {
    QCOMPARE(settings::GetSetting(services(), settings::Key::AutoEnableIME,
                                  settings::FixedDefault(settings::Key::AutoEnableIME)),
             u"0"_s);
    QVERIFY(!QFile::exists(configFile()));  // reading writes nothing
}

void SettingsStoreTest::fileLivesWhereUsersLookForIt() {
    settings::SaveSetting(services(), settings::Key::FontSize, u"12"_s);
    const QByteArray text = TempFolder::read(configFile());
    QVERIFY2(text.contains("[Main]\nFontSize=12\n"), text.constData());
}

void SettingsStoreTest::handEditedCommaReadsBackAsWritten() {
    QVERIFY(QDir().mkpath(config_.path(u"Lexbin"_s)));
    TempFolder::write(configFile(), "[Main]\nDataFilePath=/home/u/a,b.txt\nLeft=1,5\n");
    QCOMPARE(settings::GetSetting(services(), settings::Key::DataFilePath, {}),
             u"/home/u/a,b.txt"_s);
    QCOMPARE(settings::GetSetting(services(), settings::Key::Left, {}), u"1,5"_s);
}

void SettingsStoreTest::readOnlyStoreRaisesTheSettingsFailure() {
    settings::SaveSetting(services(), settings::Key::Top, u"100"_s);
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther |
                          QFile::ReadGroup | QFile::ExeGroup;
    QVERIFY(QFile::setPermissions(configFile(), QFile::ReadOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(config_.path(u"Lexbin"_s), readOnly));
    QVERIFY(QFile::setPermissions(config_.path(), readOnly));
    const int status = RunUnprivileged([&] {
        try {
            settings::SaveSetting(services(), settings::Key::Top, u"200"_s);
            return 1;
        } catch (const errors::Failure& failure) {
            return failure.number() == 1002 ? 0 : 2;
        }
    });
    QCOMPARE(status, 0);
    QVERIFY(QFile::setPermissions(config_.path(), readOnly | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(config_.path(u"Lexbin"_s), readOnly | QFile::WriteOwner));
    QCOMPARE(settings::GetSetting(services(), settings::Key::Top, {}), u"100"_s);
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "test_settings_store.moc"
