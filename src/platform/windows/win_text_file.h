#pragma once

#include "platform/text_file.h"

namespace platform {

class WindowsTextFile final : public TextFile {
public:
    void appendLine(const QString& path, std::string_view line) override;
    bool isPrivateFolder(const QString& folder) const override;
    bool isFile(const QString& path) const override;
    void createFolder(const QString& folder) override;
    // The identity is the volume's serial number and the file's index on it.
    std::optional<End> endOf(const QString& path) const override;
    std::optional<QByteArray> readAt(const QString& path, const QByteArray& identity, qint64 offset,
                                     qint64 length) const override;
};

}  // namespace platform
