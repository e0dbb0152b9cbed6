#pragma once

#include "platform/settings_store.h"

namespace platform {

// QSettings in the native format with the application name as both organisation and
// application: ~/.config/Lexbin/Lexbin.conf on Linux (XDG_CONFIG_HOME honoured),
// HKCU\Software\Lexbin\Lexbin on Windows; the section is a group. On Linux the file is
// looked at before QSettings opens it: one that is not a regular file is neither read nor
// written.
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
