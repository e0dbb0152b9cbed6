#pragma once

#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace platform {

class Dialogs;
class DraftStore;
class Encoding;
class InputMethod;
class SettingsStore;
class TextFile;

// The operating system's own parts of the services, assembled once per system: CMake builds
// the folder it chose (platform/CMakeLists.txt), whose os_parts.cpp defines these; the input
// method, the settings store and the modal host are defined beside each system's own (fcitx,
// QSettings' file and Qt's boxes; IMM32, the registry and MessageBoxW). The program and the test
// support both take their parts from here.

// The user's settings: ~/.config/Lexbin/Lexbin.conf on Linux, HKEY_CURRENT_USER on Windows.
std::unique_ptr<SettingsStore> NewSettingsStore();
// The append of data files.
std::unique_ptr<TextFile> NewTextFile();
// The system's character set for data files: the locale's on Linux, the ANSI code page on
// Windows.
std::unique_ptr<Encoding> NewSystemEncoding();
// UTF-8 through the same code: what the tests store, whatever the test machine's locale.
std::unique_ptr<Encoding> NewUtf8Encoding();
// The folder of drafts of this user; null where the system has none yet.
std::unique_ptr<DraftStore> NewDraftStore();
// Switches the note box's input method on.
std::unique_ptr<InputMethod> NewInputMethod();
// Calls `stop` on `context`'s thread, from its event loop, when the process is asked to end
// (SIGTERM, SIGHUP, SIGINT on Linux; on Windows the stop event that the console launcher sets
// on Ctrl+C, Ctrl+Break and the console's close), for as long as `context` lives. The end of
// a Windows session reaches a windowed program only through Qt: commitDataRequest
// (WM_QUERYENDSESSION), then aboutToQuit (WM_ENDSESSION).
void WatchStopSignals(QObject& context, std::function<void()> stop);
// The modal host: Qt's boxes on Linux, the system's MessageBoxW on Windows (both with Qt's
// input box and the program's own dialogs).
std::unique_ptr<Dialogs> NewDialogs();
// Where the system itself puts a new top-level window with a frame of `frame` pixels, for a
// first start with nothing stored: on Windows its default place (Qt would centre the window
// instead); none where a window manager places it (Linux).
std::optional<QPoint> SystemDefaultPlace(QSize frame);

}  // namespace platform
