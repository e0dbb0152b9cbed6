#include "captions/resource_id.h"

#include <QLocale>
#include <limits>

#include "errors/failure.h"
#include "settings/number_text.h"

namespace captions {

std::int32_t StrictWholeNumber(const QString& text) {
    return settings::RoundToLong(settings::TextToDouble(text, QLocale()));
}

std::int16_t StrictShortNumber(const QString& text) {
    const std::int32_t value = StrictWholeNumber(text);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throw errors::Failure(errors::ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(value);
}

std::int32_t LeadingWholeNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    const settings::DecimalPrefix number = settings::ReadDecimalPrefix(text, i, u'.');
    if (number.plain.empty()) {
        return 0;  // no leading digits
    }
    return settings::RoundToLong(settings::PlainDecimalToDouble(number.plain));
}

}  // namespace captions
