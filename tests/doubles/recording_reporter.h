#pragma once

#include <QList>
#include <QStringList>

#include "errors/failure.h"
#include "errors/reporter.h"

// Records every reported failure instead of showing it.
class RecordingReporter final : public errors::Reporter {
public:
    struct Report {
        int number;
        QString description;
        QString location;
    };
    QList<Report> reports;

    void report(const errors::Failure& failure, const QString& location) override {
        reports.append({failure.number(), failure.description(), location});
    }
    QList<int> numbers() const {
        QList<int> numbers;
        for (const Report& report : reports) {
            numbers.append(report.number);
        }
        return numbers;
    }
    QStringList locations() const {
        QStringList locations;
        for (const Report& report : reports) {
            locations.append(report.location);
        }
        return locations;
    }
};
