#pragma once

#include "controllers.h"

#include <QObject>

#include <array>
#include <cstddef>

class QLabel;
class QGroupBox;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace padscope {

class ClickLabel;

// Fills the effect page (TabSheet2) with the controller panel: the 15 scroll
// bars with their caption and value labels, and the map selector's frame and
// radio buttons. The positions of the bars are the controller state; nothing
// here sends MIDI, the pad press reads values() when it happens.
//
// The object lives as a child of the page it fills.
class ControllerPage : public QObject {
    Q_OBJECT
public:
    explicit ControllerPage(QWidget* page);

    // The positions shown now, ScrollBar1 first.
    ControllerValues values() const;

    QScrollBar* bar(std::size_t index) const;        // 0 = ScrollBar1; nullptr past the end
    QLabel* valueLabel(std::size_t index) const;     // 0 = Label39
    ClickLabel* captionLabel(std::size_t index) const;  // 0 = Label38
    QRadioButton* mapButton(int mapIndex) const;     // by map index 0..4; nullptr otherwise
    QGroupBox* mapFrame() const { return mapFrame_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showValue(std::size_t index, int position);
    void resetBar(std::size_t index);

    std::array<QScrollBar*, kControllerCount> bars_{};
    std::array<ClickLabel*, kControllerCount> captions_{};
    std::array<QLabel*, kControllerCount> values_{};
    std::array<QRadioButton*, 5> mapButtons_{};  // RadioButton1 first
    QGroupBox* mapFrame_ = nullptr;
};

}  // namespace padscope
