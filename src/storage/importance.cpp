#include "storage/importance.h"

using namespace Qt::StringLiterals;

namespace storage {

QString ImportanceCode(Importance importance) {
    switch (importance) {
        case Importance::VeryImportant:
            return u"A"_s;
        case Importance::Important:
            return u"B"_s;
        case Importance::Normal:
            return u"C"_s;
        case Importance::None:
            break;
    }
    return {};
}

std::optional<Importance> ImportanceFromCode(QStringView code) {
    for (const Importance importance :
         {Importance::VeryImportant, Importance::Important, Importance::Normal}) {
        if (code == ImportanceCode(importance)) {
            return importance;
        }
    }
    return std::nullopt;
}

}  // namespace storage
