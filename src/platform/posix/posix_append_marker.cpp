#include "platform/posix/posix_append_marker.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/posix/digest64.h"

namespace platform {
namespace {

constexpr char kAttribute[] = "user.lexbin.append";

// Our write stamps the file's mtime as it starts; a write that comes later moves it on.
constexpr long long kWriteStartsWithinNs = 5'000'000'000;

// The take-back knows where the file ends, not where the write stopped, so it needs the
// digest of the record up to exactly that boundary: no fewer bytes than one digest for each
// boundary can tell every possible torn length apart from foreign bytes after it. Those
// digests are chained: the one at a boundary digests the piece since the boundary before,
// seeded with that boundary's digest (the first with the record's length), so each stands for
// every byte from the record's start.
//
// The mark must fit where ext4 keeps a file's extended attributes, one 4 KiB block shared
// with ACLs and security labels: 3 KiB, at most 368 digests of 8 bytes after the numbers. A
// record that crosses more boundaries (one of more than 1.4 MiB with 4 KiB pages) is covered
// up to its 368th; cut short beyond it, it is not provably ours and stays.
constexpr std::size_t kDigestBytes = sizeof(std::uint64_t);
constexpr std::size_t kMaxDigests = 368;
constexpr std::size_t kMaxMarkBytes = 128 + kMaxDigests * kDigestBytes;

struct Mark {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long setAtNs = 0;  // wall clock
    long long start = 0;
    long long length = 0;
    std::string_view digests;  // kDigestBytes each, boundary by boundary
};

long PageSize() {
    static const long page = ::sysconf(_SC_PAGESIZE);
    return page;
}

// The same clock as the file's timestamps, so an mtime stamped after the mark is never
// earlier than the mark's time.
long long WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// "device inode time start length", a line feed, then the digests. A mark of an earlier
// version (no line feed, no digests) does not parse, so its bytes stay.
bool Parse(const char* text, const char* end, Mark& mark) {
    const char* const numbersEnd = static_cast<const char*>(std::memchr(text, '\n', end - text));
    if (numbersEnd == nullptr || (end - numbersEnd - 1) % kDigestBytes != 0) {
        return false;
    }
    mark.digests = std::string_view(numbersEnd + 1, end - numbersEnd - 1);
    const auto number = [&](auto& value) {
        const auto parsed = std::from_chars(text, numbersEnd, value);
        text = parsed.ptr;
        if (parsed.ec != std::errc()) {
            return false;
        }
        if (text != numbersEnd && *text == ' ') {
            ++text;
            return true;
        }
        return text == numbersEnd;
    };
    return number(mark.device) && number(mark.inode) && number(mark.setAtNs) &&
           number(mark.start) && number(mark.length) && text == numbersEnd;
}

bool ReadFully(int fd, char* buffer, std::size_t length, off_t at) {
    while (length > 0) {
        const ssize_t got = ::pread(fd, buffer, length, at);
        if (got <= 0) {
            return false;  // cannot look (a write-only descriptor): not provably ours
        }
        buffer += got;
        length -= static_cast<std::size_t>(got);
        at += got;
    }
    return true;
}

// Whether the file's bytes from the record's start to `size` (a page boundary) hold no line
// feed and have, boundary by boundary, the mark's digests.
bool HoldsTheRecordsFirstBytes(int fd, const Mark& mark, off_t size) {
    const long page = PageSize();
    const auto boundaries = static_cast<std::size_t>(size / page - mark.start / page);
    if (boundaries > mark.digests.size() / kDigestBytes) {
        return false;  // beyond what the mark covers
    }
    std::vector<char> piece(static_cast<std::size_t>(page));
    std::uint64_t digest = static_cast<std::uint64_t>(mark.length);
    off_t from = mark.start;
    for (std::size_t i = 0; i < boundaries; ++i) {
        const off_t boundary = (from / page + 1) * page;
        const auto length = static_cast<std::size_t>(boundary - from);
        if (!ReadFully(fd, piece.data(), length, from) ||
            std::memchr(piece.data(), '\n', length) != nullptr) {
            return false;
        }
        digest = Digest64({piece.data(), length}, digest);
        std::uint64_t expected;
        std::memcpy(&expected, mark.digests.data() + i * kDigestBytes, kDigestBytes);
        if (digest != expected) {
            return false;
        }
        from = boundary;
    }
    return true;
}

// Whether the file's tail from the mark's start is the torn record of the append that set
// the mark, and nothing else.
bool IsTornTail(int fd, const struct stat& file, const Mark& mark) {
    const long page = PageSize();
    const long long mtimeNs = file.st_mtim.tv_sec * 1'000'000'000LL + file.st_mtim.tv_nsec;
    return mark.device == file.st_dev && mark.inode == file.st_ino && mtimeNs >= mark.setAtNs &&
           mark.setAtNs >= mtimeNs - kWriteStartsWithinNs && mark.start >= 0 && mark.length > 0 &&
           file.st_size > mark.start && file.st_size - mark.start < mark.length && page > 0 &&
           file.st_size % page == 0 && HoldsTheRecordsFirstBytes(fd, mark, file.st_size);
}

}  // namespace

void TakeBackInterruptedAppend(int fd, struct stat& file) {
    char value[kMaxMarkBytes];
    const ssize_t length = ::fgetxattr(fd, kAttribute, value, sizeof value);
    if (length < 0 && errno != ERANGE) {
        return;  // no append died in its write (the usual case), or no extended attributes
    }
    Mark mark;
    if (length >= 0 && Parse(value, value + length, mark) && IsTornTail(fd, file, mark) &&
        ::ftruncate(fd, mark.start) == 0) {
        file.st_size = mark.start;
    }
    ::fremovexattr(fd, kAttribute);  // a mark too long (ERANGE) is none of ours either
}

std::string MarkValue(const struct stat& file, long long setAtNs, off_t start,
                      std::string_view record) {
    std::string value = std::to_string(file.st_dev) + ' ' + std::to_string(file.st_ino) + ' ' +
                        std::to_string(setAtNs) + ' ' + std::to_string(start) + ' ' +
                        std::to_string(record.size()) + '\n';
    const long page = PageSize();
    const off_t end = start + static_cast<off_t>(record.size());
    std::uint64_t digest = record.size();
    off_t from = start;
    for (std::size_t i = 0; i < kMaxDigests && page > 0; ++i) {
        const off_t boundary = (from / page + 1) * page;
        if (boundary >= end) {
            break;  // a record that crosses no boundary needs no digest
        }
        digest = Digest64(record.substr(static_cast<std::size_t>(from - start),
                                        static_cast<std::size_t>(boundary - from)),
                          digest);
        char bytes[kDigestBytes];
        std::memcpy(bytes, &digest, kDigestBytes);
        value.append(bytes, kDigestBytes);
        from = boundary;
    }
    return value;
}

AppendMark::AppendMark(int fd, const struct stat& file, off_t start, std::string_view record)
    : fd_(fd) {
    const std::string value = MarkValue(file, WallClockNs(), start, record);
    ::fsetxattr(fd_, kAttribute, value.data(), value.size(), 0);
}

AppendMark::~AppendMark() {
    ::fremovexattr(fd_, kAttribute);
}

}  // namespace platform
