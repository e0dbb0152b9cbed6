#include "platform/windows/win_dialogs.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/os_parts.h"

namespace platform {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";  // the class of a message box

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) > 0 && lstrcmpW(name, kDialogClass) == 0;
}

// How many message boxes own `box`: a box opened over another is owned by it.
int Depth(HWND box) {
    int depth = 0;
    for (HWND owner = GetWindow(box, GW_OWNER); owner != nullptr;
         owner = GetWindow(owner, GW_OWNER)) {
        depth += IsDialog(owner) ? 1 : 0;
    }
    return depth;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM boxes) {
    if (IsDialog(window)) {
        reinterpret_cast<std::vector<HWND>*>(boxes)->push_back(window);
    }
    return TRUE;
}

}  // namespace

unsigned MessageBoxStyle(const MessageBoxRequest& request) {
    unsigned style = MB_OK | (request.systemModal ? MB_SYSTEMMODAL : MB_APPLMODAL);
    switch (request.icon) {
        case MessageIcon::Critical:
            style |= MB_ICONHAND;
            break;
        case MessageIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Information:
            style |= MB_ICONASTERISK;
            break;
        case MessageIcon::None:
            break;
    }
    return style;
}

void WindowsDialogs::messageBox(const MessageBoxRequest& request) {
    // The thread's active window: the main window, frmSetFont or a box already open. Qt
    // delivers queued calls and posted events inside the box's own loop.
    MessageBoxW(GetActiveWindow(), Wide(request.text), Wide(request.title),
                MessageBoxStyle(request));
}

QString WindowsDialogs::inputBox(const QString& prompt, const QString& title,
                                 const QString& prefilled) {
    return qt_.inputBox(prompt, title, prefilled);
}

void WindowsDialogs::runDialog(QDialog& dialog) {
    qt_.runDialog(dialog);
}

void WindowsDialogs::cancelAll() {
    std::vector<HWND> boxes;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&boxes));
    std::vector<std::pair<int, HWND>> innermostFirst;
    for (HWND box : boxes) {
        innermostFirst.emplace_back(Depth(box), box);
    }
    std::stable_sort(innermostFirst.begin(), innermostFirst.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [depth, box] : innermostFirst) {
        // A box with one OK button ends with IDOK; Enter would do the same.
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    qt_.cancelAll();
}

std::unique_ptr<Dialogs> NewDialogs() {
    return std::make_unique<WindowsDialogs>();
}

}  // namespace platform
