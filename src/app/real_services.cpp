#include "real_services.h"

#include "fcitx_input_method.h"
#include "qsettings_store.h"
#include "qt_application.h"
#include "qt_dialogs.h"
#include "resource_string_table.h"
#include "system_clock.h"
#ifdef _WIN32
#include "win_encoding.h"
#include "win_text_file.h"
#else
#include "iconv_encoding.h"
#include "posix_text_file.h"
#endif

namespace platform {

struct RealServices::Parts {
    SystemClock clock;
    QtApplication application;
    QSettingsStore settings;
#ifdef _WIN32
    WindowsTextFile textFile;
    WindowsAnsiEncoding encoding;
#else
    PosixTextFile textFile;
    IconvEncoding encoding{IconvEncoding::SystemCodeSet()};
#endif
    QtDialogs dialogs;
    ResourceStringTable strings;
    FcitxInputMethod inputMethod;
};

RealServices::RealServices()
    : parts_(std::make_unique<Parts>()), services_{parts_->clock,    parts_->application,
                                                   parts_->settings, parts_->textFile,
                                                   parts_->encoding, parts_->dialogs,
                                                   parts_->strings,  parts_->inputMethod} {}

RealServices::~RealServices() = default;

}  // namespace platform
