#pragma once

#include <QLabel>
#include <QPoint>

namespace padscope {

// Names a label, shows its text as plain text (never as markup) and puts it
// at `at`, sized to its text in the font it has now.
QLabel* placeLabel(QLabel* label, const QString& name, QPoint at);

}  // namespace padscope
