#include "posix_append_marker.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <ctime>
#include <string>

namespace platform {
namespace {

constexpr char kAttribute[] = "user.lexbin.append";

// Our write stamps the file's mtime as it starts; a write that comes later moves it on.
constexpr long long kWriteStartsWithinNs = 5'000'000'000;

struct Mark {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long setAtNs = 0;  // wall clock
    long long start = 0;
    long long length = 0;
};

// The same clock as the file's timestamps, so an mtime stamped after the mark is never
// earlier than the mark's time.
long long WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

bool Parse(const char* text, const char* end, Mark& mark) {
    const auto number = [&](auto& value) {
        const auto parsed = std::from_chars(text, end, value);
        text = parsed.ptr;
        if (parsed.ec != std::errc()) {
            return false;
        }
        if (text != end && *text == ' ') {
            ++text;
            return true;
        }
        return text == end;
    };
    return number(mark.device) && number(mark.inode) && number(mark.setAtNs) &&
           number(mark.start) && number(mark.length) && text == end;
}

// Whether no line feed lies in the file from `start` to its end.
bool NoLineFeedFrom(int fd, off_t start, off_t size) {
    char buffer[65536];
    while (start < size) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, start);
        if (got <= 0) {
            return false;  // cannot look (a write-only descriptor): not provably ours
        }
        if (std::memchr(buffer, '\n', static_cast<std::size_t>(got)) != nullptr) {
            return false;
        }
        start += got;
    }
    return true;
}

// Whether the file's tail from the mark's start is the torn record of the append that set
// the mark, and nothing else.
bool IsTornTail(int fd, const struct stat& file, const Mark& mark) {
    static const long page = ::sysconf(_SC_PAGESIZE);
    const long long mtimeNs = file.st_mtim.tv_sec * 1'000'000'000LL + file.st_mtim.tv_nsec;
    return mark.device == file.st_dev && mark.inode == file.st_ino && mtimeNs >= mark.setAtNs &&
           mark.setAtNs >= mtimeNs - kWriteStartsWithinNs && mark.start >= 0 && mark.length > 0 &&
           file.st_size > mark.start && file.st_size - mark.start < mark.length && page > 0 &&
           file.st_size % page == 0 && NoLineFeedFrom(fd, mark.start, file.st_size);
}

}  // namespace

void TakeBackInterruptedAppend(int fd, struct stat& file) {
    char value[128];
    const ssize_t length = ::fgetxattr(fd, kAttribute, value, sizeof value);
    if (length < 0) {
        return;  // no append died in its write (the usual case), or no extended attributes
    }
    Mark mark;
    if (Parse(value, value + length, mark) && IsTornTail(fd, file, mark) &&
        ::ftruncate(fd, mark.start) == 0) {
        file.st_size = mark.start;
    }
    ::fremovexattr(fd, kAttribute);
}

AppendMark::AppendMark(int fd, const struct stat& file, off_t start, std::size_t length) : fd_(fd) {
    const std::string value = std::to_string(file.st_dev) + ' ' + std::to_string(file.st_ino) +
                              ' ' + std::to_string(WallClockNs()) + ' ' + std::to_string(start) +
                              ' ' + std::to_string(length);
    ::fsetxattr(fd_, kAttribute, value.data(), value.size(), 0);
}

AppendMark::~AppendMark() {
    ::fremovexattr(fd_, kAttribute);
}

}  // namespace platform
