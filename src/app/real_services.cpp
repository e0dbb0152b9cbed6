#include "real_services.h"

#include "error_box_reporter.h"
#include "platform/dialogs.h"
#include "platform/draft_store.h"
#include "platform/encoding.h"
#include "platform/input_method.h"
#include "platform/os_parts.h"
#include "platform/qtcore/qt_application.h"
#include "platform/qtcore/resource_string_table.h"
#include "platform/qtcore/system_clock.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"

struct RealServices::Parts {
    platform::SystemClock clock;
    platform::QtApplication application;
    // The operating system's parts, from the folder CMake chose (platform/os_parts.h).
    std::unique_ptr<platform::SettingsStore> settings = platform::NewSettingsStore();
    std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    std::unique_ptr<platform::Encoding> encoding = platform::NewSystemEncoding();
    std::unique_ptr<platform::Dialogs> dialogs = platform::NewDialogs();
    ErrorBoxReporter reporter{*dialogs, application};
    platform::ResourceStringTable strings;
    std::unique_ptr<platform::InputMethod> inputMethod = platform::NewInputMethod();
};

RealServices::RealServices()
    : parts_(std::make_unique<Parts>()),
      services_{{.clock = parts_->clock,
                 .application = parts_->application,
                 .settings = *parts_->settings,
                 .textFile = *parts_->textFile,
                 .encoding = *parts_->encoding,
                 .reporter = parts_->reporter},
                *parts_->dialogs,
                parts_->strings,
                *parts_->inputMethod} {}

RealServices::~RealServices() = default;

std::unique_ptr<platform::DraftStore> RealDraftStore() {
    return platform::NewDraftStore();
}
