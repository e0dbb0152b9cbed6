#pragma once

#include <memory>

#include "doubles/counting_input_method.h"
#include "doubles/fake_application.h"
#include "doubles/fake_clock.h"
#include "doubles/fake_string_table.h"
#include "doubles/memory_settings.h"
#include "doubles/recording_reporter.h"
#include "doubles/scripted_dialogs.h"
#include "platform/encoding.h"
#include "platform/os_parts.h"
#include "platform/services.h"
#include "platform/text_file.h"

// What a test puts in place of a double (a real class, or a double of its own).
struct Replacements {
    platform::Clock* clock = nullptr;
    platform::SettingsStore* settings = nullptr;
    platform::StringTable* strings = nullptr;
    platform::InputMethod* inputMethod = nullptr;
};

// Doubles for clock, settings, failures and boxes; the real file append and encoding of the
// operating system (UTF-8, whatever the machine's locale), taken from the same assembly
// point as the program's, so stores hit real files in the test's temporary folder.
struct TestServices {
    FakeClock clock;
    FakeApplication application;
    MemorySettings settings;
    std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    std::unique_ptr<platform::Encoding> encoding = platform::NewUtf8Encoding();
    RecordingReporter reporter;
    ScriptedDialogs dialogs;
    FakeStringTable strings;
    CountingInputMethod inputMethod;

    platform::CoreServices core(const Replacements& with = {}) {
        return {.clock = Pick(with.clock, clock),
                .application = application,
                .settings = Pick(with.settings, settings),
                .textFile = *textFile,
                .encoding = *encoding,
                .reporter = reporter};
    }
    platform::Services services(const Replacements& with = {}) {
        return {core(with), dialogs, Pick(with.strings, strings),
                Pick(with.inputMethod, inputMethod)};
    }

private:
    template <typename Interface, typename Double>
    static Interface& Pick(Interface* replacement, Double& own) {
        return replacement ? *replacement : own;
    }
};
