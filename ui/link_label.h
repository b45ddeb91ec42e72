#pragma once

#include "ui/click_label.h"

#include <QColor>

namespace padscope {

// A clickable label that looks like plain text (no underline, the ordinary
// pointer) and only turns blue while the pointer is over it. Leaving sets
// it to black, not back to the palette's text colour it started with.
class LinkLabel : public ClickLabel {
    Q_OBJECT
public:
    static constexpr QColor kHoverColour{0, 0, 255};
    static constexpr QColor kRestColour{0, 0, 0};

    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    QColor textColour() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setTextColour(const QColor& colour);
};

}  // namespace padscope
