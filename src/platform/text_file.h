#pragma once

#include <QString>
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
};

}  // namespace platform
