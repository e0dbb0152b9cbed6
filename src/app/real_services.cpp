#include "app/real_services.h"

#include "app/error_box_reporter.h"
#include "platform/draft_store.h"
#include "platform/input_method.h"
#include "platform/os_parts.h"
#include "platform/os_services.h"
#include "platform/qtcore/resource_string_table.h"
#include "platform/widgets/qt_dialogs.h"

struct RealServices::Parts {
    platform::OsCoreServices core;  // the system's, assembled in platform/os_services.h
    platform::QtDialogs dialogs;
    ErrorBoxReporter reporter{dialogs, core.application()};
    platform::ResourceStringTable strings;
    std::unique_ptr<platform::InputMethod> inputMethod = platform::NewInputMethod();
};

RealServices::RealServices()
    : parts_(std::make_unique<Parts>()),
      services_{parts_->core.with(parts_->reporter), parts_->dialogs, parts_->strings,
                *parts_->inputMethod} {}

RealServices::~RealServices() = default;

std::unique_ptr<platform::DraftStore> RealDraftStore() {
    return platform::NewDraftStore();
}
