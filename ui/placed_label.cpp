#include "ui/placed_label.h"

namespace padscope {

QLabel* placeLabel(QLabel* label, const QString& name, QPoint at)
{
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(at);
    label->adjustSize();
    return label;
}

}  // namespace padscope
