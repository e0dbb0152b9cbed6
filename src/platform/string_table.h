#pragma once

#include <QString>

namespace platform {

// The program's numbered texts (captions and messages).
class StringTable {
public:
    virtual ~StringTable() = default;
    // The text of `id`; throws errors::Failure (ResourceNotFound) for an ID without an entry.
    virtual QString text(int id) const = 0;
};

}  // namespace platform
