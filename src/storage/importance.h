#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace storage {

// How important a note is, as the window's three option buttons and --importance grade it;
// None when no button is selected.
enum class Importance { None, VeryImportant, Important, Normal };

// The importance's code in the record: "A" (very important), "B", "C" (normal); "" for None.
QString ImportanceCode(Importance importance);

// The importance whose code is `code` ("A", "B" or "C", as ImportanceCode gives them); none
// for any other text, the empty one included.
std::optional<Importance> ImportanceFromCode(QStringView code);

}  // namespace storage
