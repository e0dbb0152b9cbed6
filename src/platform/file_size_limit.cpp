#include "file_size_limit.h"

#include <csignal>

namespace platform {

void LetWritesFailAtTheFileSizeLimit() {
#ifdef SIGXFSZ  // POSIX only
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace platform
