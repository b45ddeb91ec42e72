#include "fonts.h"

#include <QFontDatabase>

namespace padscope {

void installFontSubstitutes()
{
    const QString family = QString::fromUtf8(kUiFontFamily);
    if (QFontDatabase::hasFamily(family))
        return;
    // IPAPGothic has the same metrics as MS P Gothic.
    QFont::insertSubstitutions(family, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAPゴシック"),
                                        QStringLiteral("IPAGothic")});
}

QFont uiFont(int pixelSize)
{
    QFont font(QString::fromUtf8(kUiFontFamily));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

}  // namespace padscope
