#pragma once

#include "platform/settings_store.h"

namespace platform {

// QSettings' file in the native format of Linux, with the application name as both
// organisation and application: ~/.config/Lexbin/Lexbin.conf (XDG_CONFIG_HOME honoured); the
// section is a group. The file is looked at before QSettings opens it: one that is not a
// regular file is neither read nor written. (Windows keeps its settings in the registry:
// platform/windows/registry_settings_store.h.)
class QSettingsStore final : public SettingsStore {
public:
    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue) const override;
    bool contains(const QString& application, const QString& section,
                  const QString& key) const override;
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value) override;
};

}  // namespace platform
