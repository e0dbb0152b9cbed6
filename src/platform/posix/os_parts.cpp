#include "platform/os_parts.h"

#include <QDir>

#include "platform/posix/iconv_encoding.h"
#include "platform/posix/posix_draft_store.h"
#include "platform/posix/posix_text_file.h"
#include "platform/posix/stop_signals.h"

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

std::unique_ptr<DraftStore> NewDraftStore() {
    return std::make_unique<PosixDraftStore>(
        DraftFolderPath(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath()));
}

void WatchStopSignals(QObject& context, std::function<void()> stop) {
    QObject::connect(new StopSignals(&context), &StopSignals::received, &context,
                     [stop = std::move(stop)](int) { stop(); });
}

}  // namespace platform
