// Renders the effect page and the about box headlessly to PNG files:
//   panel_screenshots <output folder>
// writes effects-page.png and about-box.png there.
#include "about_box.h"
#include "controller_page.h"
#include "fonts.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include <cstdio>

using namespace padscope;

namespace {

bool save(QWidget& widget, const QDir& folder, const char* name)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "panel_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutes();
    if (argc != 2) {
        std::fprintf(stderr, "usage: panel_screenshots <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "panel_screenshots: no folder %s\n", argv[1]);
        return 2;
    }

    // The page control of the main window, reduced to its two pages.
    QTabWidget tabs;
    tabs.setFont(uiFont(12));
    tabs.resize(801, 473);
    tabs.addTab(new QWidget, QStringLiteral("楽器"));
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet2"));
    tabs.addTab(sheet, QStringLiteral("エフェクト"));
    new ControllerPage(sheet);  // owned by the page it fills
    tabs.setCurrentIndex(1);
    tabs.show();

    QWidget owner;
    AboutBox box(&owner, [](const QUrl&, QWidget*) {});
    box.showFromVersionLabel();
    QApplication::processEvents();

    const bool ok = save(tabs, folder, "effects-page.png") && save(box, folder, "about-box.png");
    return ok ? 0 : 1;
}
