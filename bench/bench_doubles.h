#pragma once

// What the store benchmarks put in place of the settings, the application and the error
// box: a data file path set by the benchmark, a fixed folder, and a failure that stops the run.
#include <QString>
#include <utility>

#include "errors/failure.h"
#include "errors/reporter.h"
#include "platform/application.h"
#include "platform/settings_store.h"

class OnePathSettings final : public platform::SettingsStore {
public:
    QString path;
    QString get(const QString&, const QString&, const QString&, const QString&) const override {
        return path;
    }
    bool contains(const QString&, const QString&, const QString&) const override { return true; }
    void save(const QString&, const QString&, const QString&, const QString&) override {}
};

class BenchApplication final : public platform::Application {
public:
    explicit BenchApplication(QString folder) : folder_(std::move(folder)) {}
    QString folder() const override { return folder_; }
    QString userDataFolder() const override { return folder_; }
    int majorVersion() const override { return 1; }
    int minorVersion() const override { return 2; }

private:
    QString folder_;
};

class AbortingReporter final : public errors::Reporter {
public:
    void report(const errors::Failure& failure, const QString& location) override {
        qFatal("store failed in %s: %s", qPrintable(location), qPrintable(failure.description()));
    }
};
