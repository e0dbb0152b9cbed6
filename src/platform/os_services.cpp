#include "platform/os_services.h"

#include "platform/encoding.h"
#include "platform/os_parts.h"
#include "platform/qtcore/qt_application.h"
#include "platform/qtcore/system_clock.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"

namespace platform {

struct OsCoreServices::Parts {
    SystemClock clock;
    QtApplication application;
    std::unique_ptr<SettingsStore> settings = NewSettingsStore();
    std::unique_ptr<TextFile> textFile = NewTextFile();
    std::unique_ptr<Encoding> encoding = NewSystemEncoding();
};

OsCoreServices::OsCoreServices() : parts_(std::make_unique<Parts>()) {}

OsCoreServices::~OsCoreServices() = default;

CoreServices OsCoreServices::with(errors::Reporter& reporter) const {
    return {.clock = parts_->clock,
            .application = parts_->application,
            .settings = *parts_->settings,
            .textFile = *parts_->textFile,
            .encoding = *parts_->encoding,
            .reporter = reporter};
}

Application& OsCoreServices::application() const {
    return parts_->application;
}

Encoding& OsCoreServices::encoding() const {
    return *parts_->encoding;
}

}  // namespace platform
