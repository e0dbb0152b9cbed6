#include "note_command.h"

#include "command_line.h"
#include "errors/trap.h"
#include "exit_status.h"
#include "input.h"
#include "platform/posix/iconv_encoding.h"
#include "platform/posix/posix_text_file.h"
#include "platform/qtcore/qsettings_store.h"
#include "platform/qtcore/qt_application.h"
#include "platform/qtcore/system_clock.h"
#include "platform/services.h"
#include "storage/data_file.h"

using namespace Qt::StringLiterals;

namespace cli {

int StoreNote(const QString& text, const QString& importance, platform::IconvEncoding& encoding,
              errors::Reporter& reporter) {
    platform::SystemClock clock;
    platform::QtApplication application;
    platform::QSettingsStore settings;
    platform::PosixTextFile textFile;
    const platform::CoreServices services{.clock = clock,
                                          .application = application,
                                          .settings = settings,
                                          .textFile = textFile,
                                          .encoding = encoding,
                                          .reporter = reporter};
    bool stored = false;
    errors::Trap(reporter, u"lexbin!StoreNote"_s, [&] {
        const QString note = AsNoteText(IsStandardInput(text) ? ReadStandardInput(encoding) : text);
        stored = mdlLexbin::SaveData(services, note, importance);
    });
    return stored ? kSuccess : kFailed;
}

}  // namespace cli
