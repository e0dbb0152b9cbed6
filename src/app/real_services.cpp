#include "app/real_services.h"

#include <QDir>

#include "app/error_box_reporter.h"
#include "platform/qtcore/qsettings_store.h"
#include "platform/qtcore/qt_application.h"
#include "platform/qtcore/resource_string_table.h"
#include "platform/qtcore/system_clock.h"
#include "platform/widgets/qt_dialogs.h"
// The operating system's parts; CMake links the one folder that matches (platform/).
#ifdef _WIN32
#include "platform/windows/imm_input_method.h"
#include "platform/windows/win_encoding.h"
#include "platform/windows/win_text_file.h"
#else
#include "platform/posix/iconv_encoding.h"
#include "platform/posix/posix_draft_store.h"
#include "platform/posix/posix_text_file.h"
#include "platform/widgets/fcitx_input_method.h"
#endif

struct RealServices::Parts {
    platform::SystemClock clock;
    platform::QtApplication application;
    platform::QSettingsStore settings;
#ifdef _WIN32
    platform::WindowsTextFile textFile;
    platform::WindowsAnsiEncoding encoding;
#else
    platform::PosixTextFile textFile;
    platform::IconvEncoding encoding{platform::IconvEncoding::SystemCodeSet()};
#endif
    platform::QtDialogs dialogs;
    ErrorBoxReporter reporter{dialogs, application};
    platform::ResourceStringTable strings;
#ifdef _WIN32
    platform::ImmInputMethod inputMethod;
#else
    platform::FcitxInputMethod inputMethod;
#endif
};

RealServices::RealServices()
    : parts_(std::make_unique<Parts>()),
      services_{{.clock = parts_->clock,
                 .application = parts_->application,
                 .settings = parts_->settings,
                 .textFile = parts_->textFile,
                 .encoding = parts_->encoding,
                 .reporter = parts_->reporter},
                parts_->dialogs,
                parts_->strings,
                parts_->inputMethod} {}

RealServices::~RealServices() = default;

std::unique_ptr<platform::DraftStore> RealDraftStore() {
#ifdef _WIN32
    return nullptr;
#else
    return std::make_unique<platform::PosixDraftStore>(
        platform::DraftFolderPath(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath()));
#endif
}
