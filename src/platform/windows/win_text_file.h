#pragma once

#include "platform/text_file.h"

namespace platform {

class WindowsTextFile final : public TextFile {
public:
    void appendLine(const QString& path, std::string_view line) override;
    bool isPrivateFolder(const QString& folder) const override;
    bool isFile(const QString& path) const override;
    void createFolder(const QString& folder) override;
};

}  // namespace platform
