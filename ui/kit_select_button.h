#pragma once

#include <QPushButton>

namespace padscope {

// A kit button: a click selects its kit, and so does any character typed
// while it has the focus.
class KitSelectButton final : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

signals:
    void characterTyped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace padscope
