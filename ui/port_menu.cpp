#include "port_menu.h"

#include "pad_button.h"
#include "port_session.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>

namespace padscope {

PortMenu::PortMenu(QPushButton* button, PortSession& session, Choose choose)
    : QObject(button), button_(button), session_(session), choose_(std::move(choose)),
      menu_(new QMenu(button))
{
    menu_->setObjectName(QStringLiteral("PortMenu"));
    button_->installEventFilter(this);
}

bool PortMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != button_ || event->type() != QEvent::ContextMenu)
        return QObject::eventFilter(watched, event);
    const auto* request = static_cast<QContextMenuEvent*>(event);
    // From the keyboard the menu opens under the button, not at the pointer.
    popup(request->reason() == QContextMenuEvent::Keyboard ? button_->mapToGlobal(QPoint(0, button_->height()))
                                                           : request->globalPos());
    return true;
}

void PortMenu::popup(const QPoint& globalPos)
{
    fill();
    menu_->popup(globalPos);
}

void PortMenu::fill()
{
    menu_->clear();
    session_.refreshPorts();
    const int open = session_.openPortIndex();
    const std::vector<std::string> names = session_.portNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        QAction* action = menu_->addAction(literalCaption(QString::fromStdString(names[static_cast<std::size_t>(i)])));
        action->setCheckable(true);
        action->setChecked(i == open);
        connect(action, &QAction::triggered, this, [this, i] { choose_(i); });
    }
    if (openFind_) {
        menu_->addSeparator();
        QAction* find = menu_->addAction(tr("探す…"));
        find->setObjectName(QStringLiteral("FindAction"));
        connect(find, &QAction::triggered, this, [this] { openFind_(); });
    }
}

}  // namespace padscope
