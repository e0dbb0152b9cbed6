// What the console launcher does on Ctrl+C, for the end-to-end test (Wine has no console to
// press it in): stop_lexbin.exe sets the stop event of every running lexbin.exe. Exit status
// 0 when it found one, 1 when none runs. Plain Win32, no Qt.
#include <windows.h>
// After windows.h, whose types it needs.
#include <tlhelp32.h>

#include <string>

int wmain();

int wmain() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 2;
    }
    int found = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"lexbin.exe") != 0) {
            continue;
        }
        const std::wstring name = L"Local\\Lexbin-stop-" + std::to_wstring(entry.th32ProcessID);
        const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
        if (event != nullptr && SetEvent(event)) {
            ++found;
        }
        if (event != nullptr) {
            CloseHandle(event);
        }
    }
    CloseHandle(snapshot);
    return found > 0 ? 0 : 1;
}
