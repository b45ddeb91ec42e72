#include "ui/port_menu.h"

#include "core/midi/input_session.h"
#include "ui/pad_button.h"
#include "core/midi/port_session.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>

#include <tuple>

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
    // What the listing met (an input that has gone) is told first: its box
    // comes up now, and the list opens once it is closed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    if (QWidget* box = QApplication::activeModalWidget()) {
        connect(box, &QObject::destroyed, menu_, [menu = menu_, globalPos] { menu->popup(globalPos); });
        return;
    }
    menu_->popup(globalPos);
}

void PortMenu::fill()
{
    menu_->clear();
    session_.refreshPorts();
    const int open = session_.openPortIndex();
    const std::vector<std::string> names = session_.portNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        const bool synth = !synth_.portName.empty() && name == synth_.portName;
        QString caption = QString::fromStdString(name);
        if (const QString fonts = synth ? synth_.fonts() : QString(); !fonts.isEmpty())
            caption += QStringLiteral(" (%1)").arg(fonts);
        QAction* action = menu_->addAction(literalCaption(caption));
        action->setCheckable(true);
        action->setChecked(i == open);
        connect(action, &QAction::triggered, this, [this, i] { choose_(i); });
        if (synth) {
            QAction* soundFont = menu_->addAction(tr("SoundFont…"));
            soundFont->setObjectName(QStringLiteral("SoundFontAction"));
            connect(soundFont, &QAction::triggered, this, [this] { synth_.choose(); });
        }
    }
    if (input_.session)
        fillInput();
    if (openFind_) {
        menu_->addSeparator();
        QAction* find = menu_->addAction(tr("探す…"));
        find->setObjectName(QStringLiteral("FindAction"));
        connect(find, &QAction::triggered, this, [this] { openFind_(); });
    }
    if (openHelp_) {
        QAction* help = menu_->addAction(tr("ヘルプ"));
        help->setObjectName(QStringLiteral("HelpAction"));
        // Shown beside the entry; the main window's own F1 does the work.
        help->setShortcut(QKeySequence::HelpContents);
        help->setShortcutContext(Qt::WidgetShortcut);
        connect(help, &QAction::triggered, this, [this] { openHelp_(); });
    }
    if (languages_.choose)
        fillLanguages();
}

void PortMenu::fillLanguages()
{
    // Each language under its own name, so that it is found whichever one
    // the captions are in.
    if (!languageMenu_) {
        languageMenu_ = new QMenu(tr("言語 (Language)"), menu_);
        languageMenu_->setObjectName(QStringLiteral("LanguageMenu"));
    }
    QMenu* languages = languageMenu_;
    languages->clear();
    menu_->addMenu(languages);
    const Language current = languages_.current();
    for (const auto& [language, name, objectName] :
         {std::tuple{Language::Japanese, QStringLiteral("日本語"), QStringLiteral("JapaneseAction")},
          std::tuple{Language::English, QStringLiteral("English"), QStringLiteral("EnglishAction")}}) {
        QAction* action = languages->addAction(name);
        action->setObjectName(objectName);
        action->setCheckable(true);
        action->setChecked(language == current);
        connect(action, &QAction::triggered, this, [this, language] { languages_.choose(language); });
    }
}

void PortMenu::fillInput()
{
    // Listed for the translation tools; the core says it (input_session.h).
    [[maybe_unused]] static constexpr const char* kInputGone =
        QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩ入力が見つかりません。「なし」にしました");

    menu_->addSeparator();
    QAction* heading = menu_->addAction(tr("入力"));
    heading->setObjectName(QStringLiteral("InputHeading"));
    heading->setEnabled(false);
    // Reading the list may find the watched port gone, and say so.
    input_.session->refreshPorts();
    const int open = input_.session->openPortIndex();
    auto addChoice = [this](const QString& caption, int index, bool checked) {
        QAction* action = menu_->addAction(caption);
        action->setCheckable(true);
        action->setChecked(checked);
        connect(action, &QAction::triggered, this, [this, index] { input_.choose(index); });
        return action;
    };
    addChoice(tr("なし"), -1, open < 0)->setObjectName(QStringLiteral("NoInput"));
    const std::vector<std::string>& names = input_.session->portNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i)
        addChoice(literalCaption(QString::fromStdString(names[static_cast<std::size_t>(i)])), i, i == open);
    QAction* thru = menu_->addAction(QStringLiteral("Thru"));
    thru->setObjectName(QStringLiteral("ThruAction"));
    thru->setCheckable(true);
    thru->setChecked(input_.thru());
    connect(thru, &QAction::toggled, this, [this](bool on) { input_.setThru(on); });
}

}  // namespace padscope
