#include "ui/find_dialog.h"

#include "catalogue/kits.h"
#include "catalogue/sound_finder.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace padscope {

namespace {

// A place, kept in its row: program, map and note in one number.
constexpr int kPlaceRole = Qt::UserRole;
// A name's row keeps its index in the sounds found.
constexpr int kSoundRole = Qt::UserRole + 1;
// How many places are shown opened after a search, about a screenful.
constexpr std::size_t kPlacesOpened = 60;

int packed(const SoundPlace& p)
{
    return (p.program << 16) | (p.map << 8) | p.note;
}

}  // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(tr("探す"));
    setModal(false);

    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    text_->setPlaceholderText(tr("ドラム音の名前"));
    text_->setClearButtonEnabled(true);

    results_ = new QTreeWidget(this);
    results_->setObjectName(QStringLiteral("FindResults"));
    results_->setHeaderLabels({tr("名前"), tr("キット"), tr("マップ"), tr("ノート")});
    results_->setRootIsDecorated(true);
    results_->setUniformRowHeights(true);
    results_->header()->setStretchLastSection(false);
    results_->setColumnWidth(0, 220);
    results_->setColumnWidth(1, 130);
    results_->setColumnWidth(2, 90);
    results_->setColumnWidth(3, 80);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(results_);
    resize(560, 360);

    text_->installEventFilter(this);
    connect(text_, &QLineEdit::textChanged, this, &FindDialog::search);
    // Enter in the field takes the row that is current in the list.
    connect(text_, &QLineEdit::returnPressed, this, [this] { choose(results_->currentItem()); });
    connect(results_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(results_, &QTreeWidget::itemExpanded, this, &FindDialog::addPlaces);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow keys in the field move through the list, so typing, Down
    // and Enter choose a place without leaving the field.
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            return QApplication::sendEvent(results_, event);
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::showForSearch()
{
    show();
    raise();
    activateWindow();
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void FindDialog::search(const QString& text)
{
    results_->setUpdatesEnabled(false);
    results_->clear();
    found_ = findSounds(text.toStdString());
    QList<QTreeWidgetItem*> rows;
    for (std::size_t i = 0; i < found_.size(); ++i) {
        auto* row = new QTreeWidgetItem({QString::fromUtf8(found_[i].name)});
        row->setData(0, kSoundRole, static_cast<int>(i));
        row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        rows.append(row);
    }
    results_->addTopLevelItems(rows);
    // One letter finds most of the table: only the first names are opened,
    // the others get their places when the user opens them.
    std::size_t opened = 0;
    for (QTreeWidgetItem* row : rows) {
        opened += found_[static_cast<std::size_t>(row->data(0, kSoundRole).toInt())].places.size();
        if (opened > kPlacesOpened)
            break;
        addPlaces(row);
        row->setExpanded(true);
    }
    if (!rows.isEmpty()) {
        addPlaces(rows.front());
        results_->setCurrentItem(rows.front()->child(0));
    }
    results_->setUpdatesEnabled(true);
}

void FindDialog::addPlaces(QTreeWidgetItem* row)
{
    if (row->childCount() > 0 || row->parent())
        return;
    const FoundSound& sound = found_[static_cast<std::size_t>(row->data(0, kSoundRole).toInt())];
    for (const SoundPlace& place : sound.places) {
        auto* under = new QTreeWidgetItem(row, {QString(), QString::fromUtf8(findKit(place.program)->caption),
                                                QString::fromUtf8(findMap(place.map)->name),
                                                QString::fromStdString(noteName(place.note))});
        under->setData(0, kPlaceRole, packed(place));
    }
}

void FindDialog::choose(QTreeWidgetItem* item)
{
    if (item && !item->parent()) {
        addPlaces(item);
        item = item->child(0);
    }
    if (!item)
        return;
    const int place = item->data(0, kPlaceRole).toInt();
    emit chosen(place >> 16, (place >> 8) & 0xff, place & 0xff);
}

}  // namespace padscope
