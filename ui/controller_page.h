#pragma once

#include "core/midi/controllers.h"

#include "catalogue/kits.h"

#include <QWidget>

#include <array>
#include <cstddef>

class QLabel;
class QGroupBox;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace padscope {

class ClickLabel;

// The "エフェクト" page, TabSheet2: the controller panel's 15 scroll bars with
// their caption and value labels, and the map selector's frame and radio
// buttons. The positions of the bars are the controller state; nothing here
// sends MIDI, the pad press reads values() when it happens. Its controls are
// named ScrollBar1..15, Label38..Label72, RadioGroup1 and RadioButton1..5,
// numbered across the whole window, by which the tests find them.
class ControllerPage final : public QWidget {
    Q_OBJECT
public:
    explicit ControllerPage(QWidget* parent = nullptr);

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
    std::array<QRadioButton*, kDrumMaps.size()> mapButtons_{};  // RadioButton1 first
    QGroupBox* mapFrame_ = nullptr;
};

}  // namespace padscope
