#pragma once

#include <sys/types.h>

#include <cstddef>

namespace platform {

// A store killed in the middle of its write leaves a torn record: the kernel may cut a write
// short between two pages when the process gets SIGKILL. So while a write that spans pages
// is in flight, the append notes on the file itself (an extended attribute) where it starts
// and how long it is. The next append, holding the lock, finds the file not ending in a line
// feed and takes the partial record back out before it writes. A note left over from an
// append that landed whole is harmless: it describes bytes that are all there.
//
// All three do nothing where the file system keeps no extended attributes.

// If an earlier append was cut short, takes its partial record back out (a complete one
// stays) and forgets the note. `size` is the file's size, updated when it shrinks.
void TakeBackInterruptedAppend(int fd, off_t& size);

// Notes an append of `length` bytes at `start`.
void MarkAppend(int fd, off_t start, std::size_t length);

// The append has landed whole.
void UnmarkAppend(int fd);

}  // namespace platform
