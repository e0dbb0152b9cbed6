#include "platform/file_size_limit.h"

namespace platform {

// Windows has no file-size limit signal: a write past a quota simply fails.
void LetWritesFailAtTheFileSizeLimit() {}

}  // namespace platform
