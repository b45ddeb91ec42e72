#pragma once

#include "catalogue/sound_finder.h"

#include <QDialog>

#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace padscope {

// "探す": a search field over the drum names and the sounds found, one row
// per name with a row under it for each kit, map and note that plays it;
// a search again with every keystroke.
// Choosing a place (double click or Enter; on a name, its first place) tells
// the main window, which selects it. Not modal: the window stays usable.
class FindDialog final : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);

    // Shows the dialog in front, its text selected to be typed over.
    void showForSearch();

signals:
    void chosen(int program, int map, int note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(const QString& text);
    void addPlaces(QTreeWidgetItem* row);  // the places under a name, once
    void choose(QTreeWidgetItem* item);

    QLineEdit* text_;
    QTreeWidget* results_;
    std::vector<FoundSound> found_;  // the rows' sounds, in their order
};

}  // namespace padscope
