#include "platform/widgets/design_font.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace platform {

QFont DesignFont(double pointSize) {
    QFont font;
    // The design's face first, then Japanese Gothic faces found on Linux desktops.
    font.setFamilies({u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s, u"Noto Sans CJK JP"_s,
                      u"VL PGothic"_s, u"Takao PGothic"_s, u"IPAexGothic"_s,
                      u"Source Han Sans JP"_s});
    font.setPointSizeF(pointSize);
    return font;
}

}  // namespace platform
