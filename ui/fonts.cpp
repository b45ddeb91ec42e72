#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace padscope {

void installFontSubstitutes()
{
    const QString family = QString::fromUtf8(kUiFontFamily);
    if (QFontDatabase::hasFamily(family))
        return;
    // IPAPGothic has the same metrics as MS P Gothic.
    const QStringList substitutes{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    QFont::insertSubstitutions(family, substitutes);
}

QFont uiFont(int pixelSize)
{
    QFont font(QString::fromUtf8(kUiFontFamily));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

}  // namespace padscope
