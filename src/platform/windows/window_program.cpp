#include "platform/window_program.h"

#include <windows.h>

#include <QByteArray>
#include <string>

#include "platform/file_failure.h"
#include "platform/windows/stop_event.h"

namespace platform {
namespace {

// What the console's control handler, on a thread of its own, works with.
HANDLE stopEvent = nullptr;
HANDLE windowProcess = nullptr;

// Ctrl+C, Ctrl+Break, the console's close, a logoff or shutdown: the window program is asked
// to end (its note kept as a draft, its boxes cancelled, its settings saved), and the
// launcher goes on waiting for its exit status. The system ends the launcher once this
// returns from a close (and after 5 seconds anyway): the window first, within that time.
BOOL WINAPI OnConsoleControl(DWORD type) {
    SetEvent(stopEvent);
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
        WaitForSingleObject(windowProcess, 4000);
    }
    return TRUE;
}

// lexbin.exe in the launcher's own folder.
std::wstring WindowProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw FileFailure(static_cast<int>(GetLastError()), QStringLiteral("lexbin.exe"));
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"lexbin.exe";
}

// A standard handle the window program is to inherit; null stays null.
HANDLE Inherited(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    return handle;
}

void WriteAll(HANDLE pipe, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min<qsizetype>(bytes.size() - at, 1 << 20));
        if (!WriteFile(pipe, bytes.constData() + at, piece, &written, nullptr) || written == 0) {
            return;  // the window program ended or stopped reading: its status says why
        }
        at += written;
    }
}

}  // namespace

int RunWindowProgram(const std::optional<QString>& input) {
    const std::wstring program = WindowProgramPath();
    const QString shownPath = QString::fromStdWString(program);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (input) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
            throw FileFailure(static_cast<int>(GetLastError()), shownPath);
        }
        SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);  // the launcher's end alone
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input ? readEnd : Inherited(STD_INPUT_HANDLE);
    startup.hStdOutput = Inherited(STD_OUTPUT_HANDLE);
    startup.hStdError = Inherited(STD_ERROR_HANDLE);
    std::wstring commandLine = GetCommandLineW();
    PROCESS_INFORMATION process{};
    // Suspended until its stop event exists, so that no Ctrl+C is lost in between.
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    const DWORD error = GetLastError();
    if (readEnd != nullptr) {
        CloseHandle(readEnd);
    }
    if (!started) {
        if (writeEnd != nullptr) {
            CloseHandle(writeEnd);
        }
        throw FileFailure(static_cast<int>(error), shownPath);
    }
    windowProcess = process.hProcess;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, StopEventName(process.dwProcessId).c_str());
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    if (input) {
        // One line break more than the text holds: the reader drops one at the end.
        WriteAll(writeEnd, QByteArray("\xEF\xBB\xBF") + (*input + u'\n').toUtf8());
        CloseHandle(writeEnd);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    return static_cast<int>(status);
}

}  // namespace platform
