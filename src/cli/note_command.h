#pragma once

#include <QString>

namespace errors {
class Reporter;
}
namespace platform {
class IconvEncoding;
}

namespace cli {

// lexbin --note: stores `text` ("-": standard input) as a note of `importance` ("A", "B" or
// "C") through the program's own store, exactly as the window's Ctrl+S would, and returns
// the exit status. Failures go to `reporter`. Needs a QCoreApplication.
int StoreNote(const QString& text, const QString& importance, platform::IconvEncoding& encoding,
              errors::Reporter& reporter);

}  // namespace cli
