#pragma once

#include <QString>
#include <string_view>

#include "storage/importance.h"

namespace platform {
struct CoreServices;
}

namespace storage {

// Told of a store as it happens, so that the note's draft keeps in step with it.
class StoreWatch {
public:
    virtual ~StoreWatch() = default;
    // The record (`bytes`, encoded) is about to be appended to the file at `path`.
    virtual void appending(const QString& path, std::string_view bytes) = 0;
    // The append that `appending` announced ended: on the disk, or failed (before the failure
    // is reported).
    virtual void appended(bool stored) = 0;
};

}  // namespace storage

namespace mdlLexbin {

// Appends the note as one record to the data file. A blank note writes nothing. Failures
// are reported (in the error box), never passed on. Returns true when the note is safe (stored,
// or blank and so nothing to store), false when storing failed and the user was told.
bool SaveData(const platform::CoreServices& services, const QString& text,
              storage::Importance importance, storage::StoreWatch* watch = nullptr);

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
