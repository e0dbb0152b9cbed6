#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace platform {

// Append-only access to text files; every failure is thrown as errors::Failure.
class TextFile {
public:
    virtual ~TextFile() = default;
    // Appends `line` (already encoded and ending in its line break) to the file at `path`,
    // creating the file (for the user alone) but never its folder. The bytes go out in one
    // write and reach the disk before this returns. If the file does not end in a line feed,
    // a CR LF is put in front so that the line never runs on from a hand-edited last line.
    virtual void appendLine(const QString& path, std::string_view line) = 0;
    // Whether a data file found in `folder` may be taken as the user's own: the user can
    // write there and no one else can have put the file there. Never writes to the folder.
    virtual bool isPrivateFolder(const QString& folder) const = 0;
    // Whether `path` names an existing file that is no folder (links followed).
    virtual bool isFile(const QString& path) const = 0;
    // Creates `folder` and its missing parents, for the user alone.
    virtual void createFolder(const QString& folder) = 0;

    // Where the next appendLine to `path` will put its line, as far as it can be told
    // beforehand (a take-back or another writer may still move it): the file's identity
    // (empty for a file not there yet), size, and whether a CR LF will come first. Nothing
    // for what is no plain file, or on a system that cannot tell. Never throws.
    struct End {
        QByteArray identity;
        qint64 size = 0;
        bool open = false;  // the last byte is no line feed
    };
    virtual std::optional<End> endOf(const QString& /*path*/) const { return std::nullopt; }
    // The `length` bytes at `offset` in the file at `path`, if it is the file `identity`
    // names (any plain file for an empty one) and holds them all. Never throws.
    virtual std::optional<QByteArray> readAt(const QString& /*path*/,
                                             const QByteArray& /*identity*/, qint64 /*offset*/,
                                             qint64 /*length*/) const {
        return std::nullopt;
    }
};

}  // namespace platform
