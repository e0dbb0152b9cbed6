#pragma once

#include "platform/settings_store.h"

namespace platform {

// The user's registry: HKEY_CURRENT_USER\Software\<application>\<application>\<section>, each
// key a REG_SZ value. Only that key is read: none of the fallbacks QSettings would also read
// (the organisation's key, HKEY_LOCAL_MACHINE). A key that exists but cannot be opened, and a
// value that is not REG_SZ, are the settings-not-readable failure, naming the key.
class RegistrySettingsStore final : public SettingsStore {
public:
    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue) const override;
    bool contains(const QString& application, const QString& section,
                  const QString& key) const override;
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value) override;

    // The key's path below HKEY_CURRENT_USER.
    static QString KeyPath(const QString& application, const QString& section);
};

}  // namespace platform
