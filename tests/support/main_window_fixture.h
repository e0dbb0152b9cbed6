#pragma once

#include <QDir>

#include <QtTest>
#include <memory>

#include "app/frm_main.h"
#include "platform/qtcore/resource_string_table.h"
#include "support/temp_folder.h"
#include "support/test_services.h"

// A main window over test doubles, the program's real string table, and a data file in a
// temporary folder.
struct MainWindowFixture {
    TempFolder folder;
    TestServices ts;
    platform::ResourceStringTable strings;
    platform::Services services;
    std::unique_ptr<frmMain> window;

    // The counting input method double unless the test brings another.
    explicit MainWindowFixture(platform::InputMethod* inputMethod = nullptr)
        : services(ts.services({.strings = &strings, .inputMethod = inputMethod})) {
        // In native form, as the real one gives them.
        ts.application.programFolder = QDir::toNativeSeparators(folder.path());
        ts.application.dataFolder =
            QDir::toNativeSeparators(folder.path(QStringLiteral("userdata")));
        ts.settings.set(QStringLiteral("DataFilePath"), dataFile());
    }
    // No failure reported and no box shown.
    bool silent() const { return ts.reporter.reports.isEmpty() && ts.dialogs.shown.isEmpty(); }
    QString dataFile() const { return folder.path(QStringLiteral("notes.txt")); }
    QByteArray data() const { return TempFolder::read(dataFile()); }

    frmMain& create() {
        window = std::make_unique<frmMain>(services);
        return *window;
    }
    frmMain& load() {
        create().Form_Load();
        return *window;
    }
    // Loaded, shown and active, so that shortcuts and focus work.
    frmMain& show() {
        load().show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qWarning("the main window did not become active");
        }
        return *window;
    }
};
