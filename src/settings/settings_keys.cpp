#include "settings/settings_keys.h"

#include <cassert>

#include "platform/services.h"
#include "platform/settings_store.h"

namespace settings {

const KeyInfo& Info(Key key) {
    for (const KeyInfo& info : kKeys) {
        if (info.key == key) {
            return info;
        }
    }
    return kKeys[0];  // not reached: every key has its row (settings_keys.h)
}

QString KeyName(Key key) {
    return QString::fromUtf16(Info(key).name);
}

QString FixedDefault(Key key) {
    const char16_t* value = Info(key).fixedDefault;
    assert(value != nullptr);
    return value ? QString::fromUtf16(value) : QString();
}

QString GetSetting(const platform::CoreServices& services, Key key, const QString& defaultValue) {
    return services.settings.get(QString::fromUtf16(kApplication), QString::fromUtf16(kSection),
                                 KeyName(key), defaultValue);
}

bool HasSetting(const platform::CoreServices& services, Key key) {
    return services.settings.contains(QString::fromUtf16(kApplication),
                                      QString::fromUtf16(kSection), KeyName(key));
}

void SaveSetting(const platform::CoreServices& services, Key key, const QString& value) {
    services.settings.save(QString::fromUtf16(kApplication), QString::fromUtf16(kSection),
                           KeyName(key), value);
}

}  // namespace settings
