#pragma once

#include <QImage>
#include <QPixmap>

namespace padscope {

// The program's picture: a 32 x 32, 16-colour drawing of a pad controller
// with one pad struck (ui/resources/padscope.xpm, also the source of the
// installed icons). programImage() keeps the indexed 16-colour form.
QImage programImage();
QPixmap programPixmap();

}  // namespace padscope
