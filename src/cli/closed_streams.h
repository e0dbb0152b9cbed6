#pragma once

namespace cli {

// Which of the standard streams the program was started without.
struct ClosedStreams {
    bool input = false;
    bool output = false;
};

// Opens /dev/null on each closed standard stream (input, output, error), before anything
// else opens a file: otherwise the next file opened takes the stream's number, and
// "--note -" reads whatever that is (Qt's event notifier, as it happens), or an error line
// lands in the data file. Returns which were closed, so that reading standard input or
// writing standard output still fails as it would have. Never throws.
ClosedStreams FillClosedStandardStreams() noexcept;

}  // namespace cli
