#include "program_icon.h"

namespace padscope {

QImage programImage()
{
    // A 32 x 32 drawing in the 16 VGA colours, kept as an indexed PNG.
    return QImage(QStringLiteral(":/padscope/padscope.png"));
}

QPixmap programPixmap()
{
    return QPixmap::fromImage(programImage());
}

}  // namespace padscope
