#pragma once

#include "errors/reporter.h"

namespace platform {
class IconvEncoding;
}

namespace cli {

// "lexbin: エラー番号:N description" on one line: the description's line breaks (a path may
// hold some) shown as "\n".
QString ErrorLine(const errors::Failure& failure);

// The command line's reporter: each failure as one ErrorLine on standard error.
class StderrReporter final : public errors::Reporter {
public:
    explicit StderrReporter(const platform::IconvEncoding& encoding) : encoding_(encoding) {}
    void report(const errors::Failure& failure, const QString& location) override;

private:
    const platform::IconvEncoding& encoding_;
};

}  // namespace cli
