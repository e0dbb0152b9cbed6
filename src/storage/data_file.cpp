#include "storage/data_file.h"

#include <QDir>

#include "errors/trap.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/services.h"
#include "platform/text_file.h"
#include "settings/settings_keys.h"
#include "storage/note_record.h"

using namespace Qt::StringLiterals;

namespace storage {
namespace {

const QString kDataFileName = u"LexbinDB.txt"_s;

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(u'/') || folder.endsWith(QDir::separator())) {
        return folder + name;  // a drive or file system root
    }
    return folder + QDir::separator() + name;
}

// Empty when there is no data folder (no absolute home): the store then fails and says so,
// rather than write into the working folder or the root.
QString UserDataFilePath(const platform::CoreServices& services) {
    const QString folder = services.application.userDataFolder();
    return folder.isEmpty() ? QString() : JoinPath(folder, kDataFileName);
}

// Tells the watch how the append ended, also when it ends by a throw.
class WatchedAppend {
public:
    WatchedAppend(StoreWatch* watch, const QString& path, std::string_view bytes) : watch_(watch) {
        if (watch_) {
            watch_->appending(path, bytes);
        }
    }
    WatchedAppend(const WatchedAppend&) = delete;
    WatchedAppend& operator=(const WatchedAppend&) = delete;
    ~WatchedAppend() {
        if (watch_) {
            watch_->appended(stored_);
        }
    }
    void stored() { stored_ = true; }

private:
    StoreWatch* watch_;
    bool stored_ = false;
};

}  // namespace

QString DefaultFilePath(const platform::CoreServices& services) {
    // The program's folder may be a build tree, which `rm -rf build` takes away, or a folder
    // of programs: notes are kept there only where the user chose so by putting the file there
    // (a portable copy on a stick), and where no one else could have planted it.
    const QString folder = services.application.folder();
    const QString beside = JoinPath(folder, kDataFileName);
    if (services.textFile.isFile(beside) && services.textFile.isPrivateFolder(folder)) {
        return beside;
    }
    return UserDataFilePath(services);
}

}  // namespace storage

namespace mdlLexbin {

QString GetFilePath(const platform::CoreServices& services) {
    QString path;
    errors::Trap(services.reporter, u"mdlLexbin!GetFilePath"_s, [&] {
        // A missing key and a blank value both mean the default, which is worked out only
        // then: it costs a look at the file system.
        const QString stored = settings::GetSetting(services, settings::Key::DataFilePath, {});
        path = storage::IsOnlySpaces(stored) ? storage::DefaultFilePath(services) : stored;
    });
    return path;
}

bool SaveData(const platform::CoreServices& services, const QString& text,
              storage::Importance importance, storage::StoreWatch* watch) {
    return errors::Trap(services.reporter, u"mdlLexbin!SaveData"_s, [&] {
        const QString flat = storage::FlattenNote(text);
        if (storage::IsOnlySpaces(flat)) {
            return;
        }
        const QString record = storage::BuildRecord(services.clock.now(),
                                                    services.clock.separators(), importance, flat) +
                               u"\r\n"_s;
        // Encode before touching the file: a note that cannot be represented writes nothing.
        const std::string bytes = services.encoding.encode(record);
        const QString path = GetFilePath(services);
        if (!path.isEmpty() && path == storage::UserDataFilePath(services)) {
            services.textFile.createFolder(services.application.userDataFolder());
        }
        storage::WatchedAppend watched(watch, path, bytes);
        services.textFile.appendLine(path, bytes);
        watched.stored();
    });
}

}  // namespace mdlLexbin
