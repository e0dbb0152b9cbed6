// The floor of `lexbin --note x` through the console launcher under Wine: a console program
// loading the same DLLs as lexbin.com (QtCore and the system's), that creates a
// QCoreApplication, appends the same record to the file named by its argument (CreateFileW
// for appending, WriteFile, FlushFileBuffers, CloseHandle) and exits.
#include <windows.h>
// After windows.h, whose types it needs.
#include <shellapi.h>

#include <QCoreApplication>
#include <QDateTime>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        return 2;
    }
    const QByteArray record =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd,HH:mm")).toUtf8() +
        ",C,x\r\n";
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(arguments[1].utf16()),
                                    FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const bool done =
        WriteFile(file, record.constData(), DWORD(record.size()), &written, nullptr) &&
        written == DWORD(record.size()) && FlushFileBuffers(file);
    // The launcher's other imports (never called here), so that the same DLLs are mapped at
    // start.
    if (arguments.size() > 99) {
        int words = 0;
        LocalFree(CommandLineToArgvW(GetCommandLineW(), &words));
        RegCloseKey(HKEY_CURRENT_USER);
        MessageBoxW(nullptr, L"", L"", MB_OK);
    }
    return CloseHandle(file) && done ? 0 : 1;
}
