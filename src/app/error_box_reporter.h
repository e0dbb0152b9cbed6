#pragma once

#include "errors/reporter.h"

namespace platform {
class Application;
class Dialogs;
}  // namespace platform

// Tells the user of a failure in the system-modal error box, and returns when they have
// closed it.
class ErrorBoxReporter final : public errors::Reporter {
public:
    ErrorBoxReporter(platform::Dialogs& dialogs, const platform::Application& application)
        : dialogs_(dialogs), application_(application) {}

    void report(const errors::Failure& failure, const QString& location) override;

private:
    platform::Dialogs& dialogs_;
    const platform::Application& application_;
};
