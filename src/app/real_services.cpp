#include "real_services.h"

#include "error_box_reporter.h"
#include "platform/fcitx_input_method.h"
#include "platform/qsettings_store.h"
#include "platform/qt_application.h"
#include "platform/qt_dialogs.h"
#include "platform/resource_string_table.h"
#include "platform/system_clock.h"
#ifdef _WIN32
#include "platform/win_encoding.h"
#include "platform/win_text_file.h"
#else
#include "platform/iconv_encoding.h"
#include "platform/posix_text_file.h"
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
    platform::FcitxInputMethod inputMethod;
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
