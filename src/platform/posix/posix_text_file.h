#pragma once

#include <sys/types.h>

#include <QByteArray>

#include "platform/text_file.h"

namespace platform {

// What decides whether a folder may hold the default data file.
struct FolderFacts {
    QByteArray path;  // absolute, links resolved
    uid_t owner = 0;
    mode_t mode = 0;
    uid_t user = 0;         // the effective user
    bool writable = false;  // the user may create files in it
};

// Whether the folder is the user's own: owned by the user, writable, closed to group and
// others (someone else could plant a data file there beforehand, and read it), and no system
// folder (/, or in /usr, /bin, /sbin, /opt), where even root keeps no notes.
bool IsPrivateFolder(const FolderFacts& folder);

class PosixTextFile final : public TextFile {
public:
    void appendLine(const QString& path, std::string_view line) override;
    bool isPrivateFolder(const QString& folder) const override;
    bool isFile(const QString& path) const override;
    void createFolder(const QString& folder) override;
    std::optional<End> endOf(const QString& path) const override;
    std::optional<QByteArray> readAt(const QString& path, const QByteArray& identity, qint64 offset,
                                     qint64 length) const override;
};

}  // namespace platform
