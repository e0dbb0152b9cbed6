#include "platform/file_size_limit.h"

#include <csignal>

namespace platform {

void LetWritesFailAtTheFileSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace platform
