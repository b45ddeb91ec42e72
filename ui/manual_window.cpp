#include "ui/manual_window.h"

#include "ui/program_icon.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace padscope {

namespace {

// Where the build puts the manual's pages among the program's resources.
QUrl manualPage(Language language)
{
    return QUrl(language == Language::English ? QStringLiteral("qrc:/manual/manual-en.html")
                                              : QStringLiteral("qrc:/manual/manual-ja.html"));
}

}  // namespace

ManualWindow::ManualWindow(QWidget* mainWindow, Language language) : QWidget(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowTitle(tr("Padscope の使い方"));
    setWindowIcon(QIcon(programPixmap()));
    // Closing the main window ends the program even while the manual is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("ManualText"));
    text_->setOpenExternalLinks(true);
    text_->setSource(manualPage(language), QTextDocument::HtmlResource);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    resize(720, 640);
}

void ManualWindow::showInFront()
{
    if (!shownBefore_ && parentWidget()) {
        shownBefore_ = true;
        // Beside the main window where the screen has room, else over it.
        const QRect owner = parentWidget()->frameGeometry();
        QPoint place = owner.topRight() + QPoint(8, 0);
        if (const QScreen* screen = parentWidget()->screen()) {
            const QRect area = screen->availableGeometry();
            if (place.x() + width() > area.right())
                place.setX(std::max(area.left(), area.right() - width()));
            place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - height())));
        }
        move(place);
    }
    showNormal();
    raise();
    activateWindow();
}

}  // namespace padscope
