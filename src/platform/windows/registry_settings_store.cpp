#include "platform/windows/registry_settings_store.h"

#include <windows.h>

#include <optional>
#include <string>

#include "errors/failure.h"
#include "platform/os_parts.h"

using namespace Qt::StringLiterals;
using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// An open registry key, closed on every path out.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring Wide(const QString& text) {
    return text.toStdWString();
}

Failure NotReadable(const QString& keyPath) {
    return Failure(ErrorNumber::SettingsNotReadable, u"HKEY_CURRENT_USER\\"_s + keyPath);
}

// The value `name` of the section's key: nullopt when the key or the value is missing.
std::optional<QString> Read(const QString& application, const QString& section,
                            const QString& name) {
    const QString path = RegistrySettingsStore::KeyPath(application, section);
    Key key;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    if (opened != ERROR_SUCCESS) {
        throw NotReadable(path);
    }
    const std::wstring valueName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS queried =
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (queried == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    if (queried != ERROR_SUCCESS || type != REG_SZ) {
        throw NotReadable(path);
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    queried = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &bytes);
    if (queried != ERROR_SUCCESS || type != REG_SZ) {
        throw NotReadable(path);
    }
    data.resize(bytes / sizeof(wchar_t));
    // REG_SZ data usually, not always, ends in its terminating null.
    while (!data.empty() && data.back() == L'\0') {
        data.pop_back();
    }
    return QString::fromStdWString(data);
}

}  // namespace

QString RegistrySettingsStore::KeyPath(const QString& application, const QString& section) {
    return u"Software\\"_s + application + u'\\' + application + u'\\' + section;
}

QString RegistrySettingsStore::get(const QString& application, const QString& section,
                                   const QString& key, const QString& defaultValue) const {
    return Read(application, section, key).value_or(defaultValue);
}

bool RegistrySettingsStore::contains(const QString& application, const QString& section,
                                     const QString& key) const {
    return Read(application, section, key).has_value();
}

void RegistrySettingsStore::save(const QString& application, const QString& section,
                                 const QString& key, const QString& value) {
    Key opened;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(KeyPath(application, section)).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, opened.out(),
                        nullptr) != ERROR_SUCCESS) {
        throw Failure(ErrorNumber::SettingsNotWritable);
    }
    const std::wstring data = Wide(value);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(opened.get(), Wide(key).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()), bytes) != ERROR_SUCCESS) {
        throw Failure(ErrorNumber::SettingsNotWritable);
    }
}

std::unique_ptr<SettingsStore> NewSettingsStore() {
    return std::make_unique<RegistrySettingsStore>();
}

}  // namespace platform
