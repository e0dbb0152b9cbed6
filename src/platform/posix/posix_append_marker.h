#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

namespace platform {

// A store killed in the middle of its write leaves a torn record: the kernel may cut a write
// short between two pages when the process gets SIGKILL. So while a write that spans pages
// is in flight, the append marks the file itself (an extended attribute) with the file's
// device and inode, the wall-clock time, where its record starts and how long it is, and a
// digest of the record's bytes up to each page boundary it crosses. The next append, holding
// the lock, takes the partial record back out before it writes, but only when the bytes are
// provably that torn record of ours: the mark names this very file, its mtime lies just after
// the mark's time, the size stops strictly inside the record and on a page boundary, no line
// feed follows the record's start, and the bytes from the record's start to the file's end
// have the digest the mark holds for that length. So a foreign append after the torn record,
// however soon and whatever its length, is never cut. Anything else is left as it is and the
// mark is forgotten.
//
// All of this does nothing where the file system keeps no user extended attributes.

// Run by every append that holds the lock, before it writes: if the mark left by an append
// that never finished describes the file's torn tail, cuts that tail off and updates
// `file.st_size`. Forgets any mark, acted on or not.
void TakeBackInterruptedAppend(int fd, struct stat& file);

// The mark for `record` written from `start` into `file`, set at `setAtNs` (wall clock).
std::string MarkValue(const struct stat& file, long long setAtNs, off_t start,
                      std::string_view record);

// Marks the file while `record` is being written from `start` (after any CR LF put in front
// of it), and removes the mark on every way out of the scope: only a store that died in its
// write leaves one behind.
class AppendMark {
public:
    AppendMark(int fd, const struct stat& file, off_t start, std::string_view record);
    ~AppendMark();
    AppendMark(const AppendMark&) = delete;
    AppendMark& operator=(const AppendMark&) = delete;

private:
    int fd_;
};

}  // namespace platform
