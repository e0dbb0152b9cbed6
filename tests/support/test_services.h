#pragma once

#include "counting_input_method.h"
#include "fake_application.h"
#include "fake_clock.h"
#include "fake_string_table.h"
#include "memory_settings.h"
#include "platform/iconv_encoding.h"
#include "platform/posix_text_file.h"
#include "platform/services.h"
#include "recording_reporter.h"
#include "scripted_dialogs.h"

// Doubles for clock, settings, failures and boxes; the real file append and encoding, so stores hit
// real files in the test's temporary folder.
struct TestServices {
    FakeClock clock;
    FakeApplication application;
    MemorySettings settings;
    platform::PosixTextFile textFile;
    platform::IconvEncoding encoding{"UTF-8"};
    RecordingReporter reporter;
    ScriptedDialogs dialogs;
    FakeStringTable strings;
    CountingInputMethod inputMethod;

    platform::Services services() {
        return {clock,    application, settings, textFile,   encoding,
                reporter, dialogs,     strings,  inputMethod};
    }
};
