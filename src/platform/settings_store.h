#pragma once

#include <QString>

namespace platform {

// The per-user store of string settings, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `defaultValue` when the key or the whole store is missing. Throws
    // errors::Failure (settings not readable) when the store exists but cannot be read.
    virtual QString get(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) const = 0;
    // Whether the key has a value, an empty text included. Fails as get() does.
    virtual bool contains(const QString& application, const QString& section,
                          const QString& key) const = 0;
    // Stores the text durably; throws errors::Failure when the store cannot be written.
    virtual void save(const QString& application, const QString& section, const QString& key,
                      const QString& value) = 0;
};

}  // namespace platform
