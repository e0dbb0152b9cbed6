#pragma once

namespace platform {

// A write past the file-size limit (ulimit -f) sends SIGXFSZ, which by default ends the
// program and takes the note in the box with it. Ignored, the write fails with EFBIG instead,
// and the store reports it as a full disk. Call once at start-up.
void LetWritesFailAtTheFileSizeLimit();

}  // namespace platform
