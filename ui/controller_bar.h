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

// What an arrow, Page or Home/End key does to a controller bar: the bars
// step by their own steps whatever their direction on screen. No action for
// any other key.
QAbstractSlider::SliderAction controllerBarAction(int key);

}  // namespace padscope
