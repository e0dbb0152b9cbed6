#include "platform/os_parts.h"

#include <QDir>

#include "iconv_encoding.h"
#include "posix_draft_store.h"
#include "posix_text_file.h"

namespace platform {

std::unique_ptr<TextFile> NewTextFile() {
    return std::make_unique<PosixTextFile>();
}

std::unique_ptr<Encoding> NewSystemEncoding() {
    return std::make_unique<IconvEncoding>(IconvEncoding::SystemCodeSet());
}

std::unique_ptr<Encoding> NewUtf8Encoding() {
    return std::make_unique<IconvEncoding>("UTF-8");
}

// The window manager places a window that does not say where it wants to be.
std::optional<QPoint> SystemDefaultPlace(QSize) {
    return std::nullopt;
}

std::unique_ptr<DraftStore> NewDraftStore() {
    return std::make_unique<PosixDraftStore>(
        DraftFolderPath(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath()));
}

}  // namespace platform
