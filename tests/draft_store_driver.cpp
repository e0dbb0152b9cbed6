// Test driver: Ctrl+S as the drafts see it. Takes a draft slot in <draft folder>, keeps
// <note> as its draft (on the disk), prints "storing", stores the note into <data file> with
// the drafts watching, prints "stored". A test kills it while it stores.
//   draft_store_driver <data file> <draft folder> <note>
#include <QCoreApplication>
#include <cstdio>

#include "drafts/draft_keeper.h"
#include "platform/posix/posix_draft_store.h"
#include "platform/qtcore/system_clock.h"
#include "storage/data_file.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: draft_store_driver <data file> <draft folder> <note>\n");
        return 2;
    }
    TestServices ts;
    platform::SystemClock clock;
    ts.settings.set(u"DataFilePath"_s, args[1]);
    const QString note = args[3];
    drafts::DraftKeeper keeper(std::make_unique<platform::PosixDraftStore>(args[2]), *ts.textFile,
                               [&note] {
                                   return [note] {
                                       return note;
                                   };
                               });
    const drafts::Adopted adopted = keeper.adopt(1000);
    if (!adopted.held || !adopted.note.isEmpty()) {
        std::fprintf(stderr, "no free slot, or a draft left\n");
        return 3;
    }
    keeper.changed();
    keeper.keepAndWait();
    std::printf("storing\n");
    std::fflush(stdout);
    if (!mdlLexbin::SaveData(ts.core({.clock = &clock}), note, storage::Importance::Important,
                             &keeper)) {
        return 1;
    }
    std::printf("stored\n");
    std::fflush(stdout);
    return 0;
}
