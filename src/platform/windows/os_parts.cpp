#include "platform/os_parts.h"

#include <windows.h>

#include "platform/draft_store.h"
#include "platform/windows/stop_event.h"
#include "platform/windows/win_draft_store.h"
#include "platform/windows/win_encoding.h"
#include "platform/windows/win_text_file.h"

namespace platform {

std::unique_ptr<TextFile> NewTextFile() {
    return std::make_unique<WindowsTextFile>();
}

std::unique_ptr<Encoding> NewSystemEncoding() {
    return std::make_unique<WindowsAnsiEncoding>(CP_ACP);
}

std::unique_ptr<Encoding> NewUtf8Encoding() {
    return std::make_unique<WindowsAnsiEncoding>(CP_UTF8);
}

std::unique_ptr<DraftStore> NewDraftStore() {
    return std::make_unique<WindowsDraftStore>(DraftFolderPath());
}

// The console launcher's Ctrl+C, Ctrl+Break and console close (lexbin.com sets the event);
// the end of the session reaches the window as commitDataRequest and aboutToQuit
// (app/note_guard.cpp).
void WatchStopSignals(QObject& context, std::function<void()> stop) {
    WatchStopEvent(context, std::move(stop));
}

}  // namespace platform
