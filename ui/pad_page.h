#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace padscope {

class KeyReleaseFilter;
class PadButton;

inline constexpr int kPadCount = 128;

// The "楽器" page, TabSheet1: 128 pads in octave columns with their
// note-name and octave headings, and the port-change button. Its controls
// are named Button1..Button129 and Label3..Label37, numbered across the whole
// window, by which the tests find them.
class PadPage final : public QWidget {
    Q_OBJECT
public:
    explicit PadPage(QWidget* parent = nullptr);

    // pads()[n] plays note n (Button{n+1}).
    const std::array<PadButton*, kPadCount>& pads() const { return pads_; }
    QPushButton* portButton() const { return portButton_; }  // Button129
    // Shared by every pad: tells the keyboard's auto-repeat from a key going up.
    KeyReleaseFilter* releaseFilter() const { return releases_; }

private:
    std::array<PadButton*, kPadCount> pads_{};
    QPushButton* portButton_ = nullptr;
    KeyReleaseFilter* releases_ = nullptr;
};

}  // namespace padscope
