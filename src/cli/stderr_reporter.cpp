#include "stderr_reporter.h"

#include <unistd.h>

#include "errors/failure.h"
#include "output.h"
#include "storage/note_record.h"

using namespace Qt::StringLiterals;

namespace cli {

QString ErrorLine(const errors::Failure& failure) {
    const QString description =
        mdlLexbin::WithCrLfBreaks(failure.description()).replace(u"\r\n"_s, u"\\n"_s);
    return u"lexbin: エラー番号:"_s + QString::number(failure.number()) + u' ' + description;
}

void StderrReporter::report(const errors::Failure& failure, const QString& /*location*/) {
    // The location names a procedure inside the program: of no use to whoever reads the
    // error stream.
    Write(STDERR_FILENO, ErrorLine(failure) + u'\n', encoding_);
}

}  // namespace cli
