#pragma once

#include <QScrollBar>

namespace padscope {

// A horizontal scroll bar of the controller page, with the keyboard focus
// mark over it while it has the focus.
class ControllerBar final : public QScrollBar {
public:
    explicit ControllerBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace padscope
