#pragma once

#include <QString>

#include "storage/importance.h"

namespace platform {
struct CoreServices;
}

namespace mdlLexbin {

// Appends the note as one record to the data file. A blank note writes nothing. Failures
// are reported (in the error box), never passed on. Returns true when the note is safe (stored,
// or blank and so nothing to store), false when storing failed and the user was told.
bool SaveData(const platform::CoreServices& services, const QString& text,
              storage::Importance importance);

// The data file's path: the DataFilePath setting as stored, or DefaultFilePath() when the
// setting is missing or blank. Looked up anew at every call. After a failure (already
// reported) it returns the empty string.
QString GetFilePath(const platform::CoreServices& services);

}  // namespace mdlLexbin

namespace storage {

// LexbinDB.txt in the per-user data folder; LexbinDB.txt beside the program only in a
// portable copy, where that file already exists and the folder is the user's own.
QString DefaultFilePath(const platform::CoreServices& services);

}  // namespace storage
