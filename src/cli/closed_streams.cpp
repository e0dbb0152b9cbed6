#include "cli/closed_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace cli {
namespace {

// Whether `fd` is closed; if so, /dev/null takes its number (the lowest free one, the lower
// streams being open by now).
bool Fill(int fd) noexcept {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
        return false;
    }
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened != -1 && opened != fd) {
        ::close(opened);  // not the number it was to take: of no use
    }
    return true;
}

}  // namespace

ClosedStreams FillClosedStandardStreams() noexcept {
    ClosedStreams closed;
    closed.input = Fill(STDIN_FILENO);
    closed.output = Fill(STDOUT_FILENO);
    Fill(STDERR_FILENO);
    return closed;
}

}  // namespace cli
