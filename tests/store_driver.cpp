// Test driver: stores numbered notes into one data file in a loop, printing "storing N"
// before and "stored N" after each store, so a test that kills it knows which store was in
// flight. Used to check concurrent and interrupted stores.
//   store_driver <data file> <count> <tag>
#include <QCoreApplication>
#include <cstdio>

#include "platform/file_size_limit.h"
#include "platform/qtcore/system_clock.h"
#include "storage/data_file.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    platform::LetWritesFailAtTheFileSizeLimit();  // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: store_driver <data file> <count> <tag>\n");
        return 2;
    }
    TestServices ts;
    platform::SystemClock clock;
    ts.settings.set(u"DataFilePath"_s, args[1]);
    const int count = args[2].toInt();
    const QString padding(64, u'x');  // long enough that a torn line would show
    for (int i = 1; i <= count; ++i) {
        const QString note = args[3] + u'-' + QString::number(i) + u'-' + padding;
        const platform::CoreServices services = ts.core({.clock = &clock});
        std::printf("storing %d\n", i);
        std::fflush(stdout);
        if (!mdlLexbin::SaveData(services, note, storage::Importance::Important)) {
            const RecordingReporter::Report& failure = ts.reporter.reports.last();
            std::fprintf(stderr, "%d %s\n", failure.number, qPrintable(failure.description));
            return 1;
        }
        std::printf("stored %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
