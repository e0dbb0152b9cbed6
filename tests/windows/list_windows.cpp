// The end-to-end test's eyes under Wine: list_windows.exe OUTPUT EXE-NAME writes, as UTF-8,
// one block per visible top-level window of the processes whose program is EXE-NAME:
//   window <class> enabled=<0|1> topmost=<0|1> owner=<owner's title> title=<title>
//   text <line>                    (the static controls' texts, one line per CR LF line)
// Plain Win32, no Qt: it must not depend on what it looks at.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Text(HWND window) {
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring ProgramOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    const std::wstring full = path;
    return full.substr(full.find_last_of(L"\\/") + 1);
}

struct Listing {
    std::wstring program;
    std::FILE* out;
};

BOOL CALLBACK WriteStatic(HWND child, LPARAM listing) {
    auto* list = reinterpret_cast<Listing*>(listing);
    if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) {
        return TRUE;
    }
    // Split at CR LF only: a lone CR or LF would be a fault the test should see.
    std::wstring text = Text(child);
    if (text.empty()) {
        return TRUE;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        std::fprintf(list->out, "text %s\n", Utf8(text.substr(start, end - start)).c_str());
    }
    std::fprintf(list->out, "text %s\n", Utf8(text.substr(start)).c_str());
    return TRUE;
}

BOOL CALLBACK WriteWindow(HWND window, LPARAM listing) {
    auto* list = reinterpret_cast<Listing*>(listing);
    if (!IsWindowVisible(window) || lstrcmpiW(ProgramOf(window).c_str(), list->program.c_str())) {
        return TRUE;
    }
    const HWND owner = GetWindow(window, GW_OWNER);
    std::fprintf(list->out, "window %s enabled=%d topmost=%d owner=%s title=%s\n",
                 Utf8(ClassOf(window)).c_str(), IsWindowEnabled(window) ? 1 : 0,
                 (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
                 owner ? Utf8(Text(owner)).c_str() : "", Utf8(Text(window)).c_str());
    EnumChildWindows(window, WriteStatic, listing);
    return TRUE;
}

}  // namespace

// The wide-character entry point (mingw's -municode), which no header declares.
int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: list_windows OUTPUT EXE-NAME\n");
        return 2;
    }
    Listing list{argv[2], _wfopen(argv[1], L"wb")};
    if (list.out == nullptr) {
        return 1;
    }
    EnumWindows(WriteWindow, reinterpret_cast<LPARAM>(&list));
    return std::fclose(list.out) == 0 ? 0 : 1;
}
