#pragma once

#include <QPushButton>

namespace padscope {

class KeyReleaseFilter;

// A note pad: sounds on press and stops on release, with any mouse button
// or any key but those held for a shortcut. It has no click action of its own.
class PadButton final : public QPushButton {
    Q_OBJECT
public:
    // `releases` is shared by all pads, so a key release held back on one pad
    // still comes before the next event on any other.
    PadButton(int note, KeyReleaseFilter* releases, QWidget* parent);
    int note() const { return note_; }

signals:
    void mouseDown();
    void mouseUp();
    void keyDown();
    void keyUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int note_;
    KeyReleaseFilter* releases_;
};

// Button captions are shown literally: "&" is not a shortcut marker here.
QString literalCaption(QStringView text);

}  // namespace padscope
