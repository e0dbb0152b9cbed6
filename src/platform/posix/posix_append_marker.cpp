#include "posix_append_marker.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <charconv>
#include <string>

namespace platform {
namespace {

constexpr char kAttribute[] = "user.lexbin.append";

}  // namespace

void TakeBackInterruptedAppend(int fd, off_t& size) {
    char value[48];
    const ssize_t length = ::fgetxattr(fd, kAttribute, value, sizeof value);
    if (length <= 0) {
        return;  // no append in flight when the last one ended (the usual case)
    }
    long long start = -1;
    long long expected = 0;
    const char* end = value + length;
    auto parsed = std::from_chars(value, end, start);
    if (parsed.ec == std::errc() && parsed.ptr != end && *parsed.ptr == ' ') {
        parsed = std::from_chars(parsed.ptr + 1, end, expected);
    }
    // Cut short: more than nothing and less than all of it landed. Anything else (nothing,
    // all, or more bytes after it from some other program) is left as it is.
    const bool torn = parsed.ec == std::errc() && start >= 0 && expected > 0 && size > start &&
                      size < start + expected;
    if (torn && ::ftruncate(fd, start) == 0) {
        size = start;
    }
    ::fremovexattr(fd, kAttribute);
}

void MarkAppend(int fd, off_t start, std::size_t length) {
    const std::string value = std::to_string(start) + ' ' + std::to_string(length);
    ::fsetxattr(fd, kAttribute, value.data(), value.size(), 0);
}

void UnmarkAppend(int fd) {
    ::fremovexattr(fd, kAttribute);
}

}  // namespace platform
