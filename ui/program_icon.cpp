#include "ui/program_icon.h"

#include "ui/resources/padscope.xpm"

namespace padscope {

QImage programImage()
{
    // Compiled in as XPM, which QImage reads itself: loading a file would
    // first load every image format plugin installed.
    return QImage(padscopePicture);
}

QPixmap programPixmap()
{
    return QPixmap::fromImage(programImage());
}

}  // namespace padscope
