// The about box and the link labels, driven as widgets.
#include "ui/about_box.h"
#include "ui/fonts.h"
#include "ui/link_label.h"
#include "ui/program_icon.h"
#include "ui/version_text.h"

#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

using namespace padscope;

namespace {

struct OpenedLink {
    QUrl target;
    QWidget* owner;
};

void hover(QWidget* w, bool enter)
{
    if (enter) {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(w->mapToGlobal(QPoint(1, 1))));
        QApplication::sendEvent(w, &event);
    } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(w, &event);
    }
}

// Counts the events that raising or moving a window leaves behind.
class WindowWatch : public QObject {
public:
    int raised = 0;
    int moved = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ZOrderChange)
            ++raised;
        if (event->type() == QEvent::Move)
            ++moved;
        return false;
    }
};

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> mainWindow_;
    QPointer<AboutBox> box_;
    std::unique_ptr<AboutBox> ownedBox_;  // goes with the main window
    std::vector<OpenedLink> opened_;
    int manualsShown_ = 0;

    QPoint centred() const
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        return screen.topLeft() + AboutBox::centredOrigin(screen.size(), box_->frameGeometry().size());
    }

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void init()
    {
        mainWindow_ = std::make_unique<QWidget>();
        mainWindow_->resize(810, 638);
        mainWindow_->show();
        opened_.clear();
        manualsShown_ = 0;
        ownedBox_ = std::make_unique<AboutBox>(
            mainWindow_.get(), [this](const QUrl& target, QWidget* owner) { opened_.push_back({target, owner}); },
            [this] { ++manualsShown_; });
        box_ = ownedBox_.get();
    }

    void cleanup()
    {
        ownedBox_.reset();
        mainWindow_.reset();
    }

    void windowAndControls()
    {
        QVERIFY(!box_->isVisible());
        QCOMPARE(box_->objectName(), QStringLiteral("AboutBox"));
        QCOMPARE(box_->windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(box_->minimumSize(), QSize(298, 213));
        QCOMPARE(box_->maximumSize(), QSize(298, 213));
        QVERIFY(!(box_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(box_->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!box_->isModal());
        // A top-level of its own, so it may lie behind the main window, and
        // one that does not keep the program alive.
        QCOMPARE(box_->parentWidget(), nullptr);
        QVERIFY(!box_->testAttribute(Qt::WA_QuitOnClose));

        auto* panel = box_->findChild<QWidget*>(QStringLiteral("Panel1"));
        QVERIFY(panel);
        QCOMPARE(panel->geometry(), QRect(8, 8, 281, 161));
        auto label = [panel](const char* name) { return panel->findChild<QLabel*>(QString::fromLatin1(name)); };
        QCOMPARE(label("ProgramIcon")->geometry(), QRect(8, 8, 65, 57));
        QCOMPARE(label("ProductName")->pos(), QPoint(88, 16));
        QCOMPARE(label("ProductName")->text(), QStringLiteral("プロダクト名 Padscope"));
        QCOMPARE(label("Version")->pos(), QPoint(88, 40));
        QCOMPARE(label("Version")->text(), QStringLiteral("バージョン番号 1.1"));
        QCOMPARE(label("Copyright")->pos(), QPoint(8, 80));
        QVERIFY(label("Copyright")->text().startsWith(QStringLiteral("著作権表記 ")));
        QCOMPARE(label("Label2"), box_->webLink());
        QCOMPARE(label("Label2")->pos(), QPoint(48, 104));
        QCOMPARE(label("Label1"), box_->mailLink());
        QCOMPARE(label("Label1")->pos(), QPoint(48, 128));
        for (const char* name : {"ProductName", "Version", "Copyright", "Label2", "Label1"}) {
            QLabel* l = label(name);
            QVERIFY2(l->width() >= l->sizeHint().width(), name);
            QVERIFY2(panel->rect().contains(l->geometry()), name);
        }

        QPushButton* ok = box_->okButton();
        QCOMPARE(ok->objectName(), QStringLiteral("OKButton"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(111, 180, 75, 25));
        QVERIFY(ok->isDefault());
        // The button is the only control that takes the focus.
        for (QWidget* w : box_->findChildren<QWidget*>())
            QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == ok);
    }

    void programPictureHasSixteenColours()
    {
        const QImage image = programImage();
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.colorCount(), 16);
        // A drawing, not a blank: several colours are used.
        QSet<int> used;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                used.insert(image.pixelIndex(x, y));
        QVERIFY(used.size() >= 6);
        QVERIFY(!box_->windowIcon().isNull());
    }

    void centredFirstThenWhereItWasLeft()
    {
        box_->showFromVersionLabel();
        QVERIFY(box_->isVisible());
        QCOMPARE(box_->frameGeometry().topLeft(), centred());

        box_->move(17, 29);
        box_->okButton()->click();
        QVERIFY(!box_->isVisible());
        box_->showFromVersionLabel();
        QVERIFY(box_->isVisible());
        QCOMPARE(box_->pos(), QPoint(17, 29));
    }

    // Shown by other means than the version label, it is centred all the same.
    void plainShowIsCentredToo()
    {
        AboutBox other(nullptr, {});
        other.show();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(other.frameGeometry().topLeft(),
                 screen.topLeft() + AboutBox::centredOrigin(screen.size(), other.frameGeometry().size()));
        // Links with no opener do nothing.
        QTest::mouseClick(other.webLink(), Qt::LeftButton);
        QVERIFY(other.isVisible());
    }

    void centringNeverGoesNegative()
    {
        QCOMPARE(AboutBox::centredOrigin({800, 600}, {298, 213}), QPoint(251, 193));
        QCOMPARE(AboutBox::centredOrigin({1920, 1080}, {301, 240}), QPoint(809, 420));
        QCOMPARE(AboutBox::centredOrigin({200, 150}, {298, 213}), QPoint(0, 0));
    }

    // Showing again while the box is open neither moves nor raises it.
    void versionLabelClickWhileOpenChangesNothing()
    {
        box_->showFromVersionLabel();
        QVERIFY(QTest::qWaitForWindowExposed(box_.data()));
        box_->move(40, 50);
        WindowWatch watch;
        box_->installEventFilter(&watch);
        box_->showFromVersionLabel();
        QCoreApplication::processEvents();
        QCOMPARE(watch.raised, 0);
        QCOMPARE(watch.moved, 0);
        QCOMPARE(box_->pos(), QPoint(40, 50));
        QVERIFY(box_->isVisible());
        box_->removeEventFilter(&watch);
    }

    void escapeIsIgnoredEnterHides()
    {
        box_->showFromVersionLabel();
        QSignalSpy finished(box_.data(), &QDialog::finished);
        QTest::keyClick(box_.data(), Qt::Key_Escape);
        QVERIFY(box_->isVisible());
        QTest::keyClick(box_->okButton(), Qt::Key_Escape);
        QVERIFY(box_->isVisible());
        QCOMPARE(finished.size(), 0);

        QTest::keyClick(box_.data(), Qt::Key_Return);
        QVERIFY(!box_->isVisible());
        box_->showFromVersionLabel();
        QTest::keyClick(box_->okButton(), Qt::Key_Enter);
        QVERIFY(!box_->isVisible());
    }

    void closeButtonHidesTheSameInstance()
    {
        box_->showFromVersionLabel();
        box_->move(60, 70);
        QVERIFY(box_->close());
        QVERIFY(!box_->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box_);
        box_->showFromVersionLabel();
        QVERIFY(box_->isVisible());
        QCOMPARE(box_->pos(), QPoint(60, 70));
    }

    // Built without a home page, as the tests are: the web link opens the
    // user's manual; the mail link writes to the contact found at build time.
    void linksOpenTheManualAndTheContactForTheMainWindow()
    {
        box_->showFromVersionLabel();
        QCOMPARE(box_->webLink()->text(), QStringLiteral("Padscope の使い方"));
        QTest::mouseClick(box_->webLink(), Qt::LeftButton);
        QCOMPARE(manualsShown_, 1);
        QTest::mouseClick(box_->mailLink(), Qt::LeftButton);
        QTest::mouseClick(box_->mailLink(), Qt::RightButton);
        QCOMPARE(opened_.size(), 1u);
        QCOMPARE(opened_[0].target.toString(), QStringLiteral("mailto:") + box_->mailLink()->text());
        QCOMPARE(opened_[0].target.scheme(), QStringLiteral("mailto"));
        QCOMPARE(opened_[0].owner, mainWindow_.get());
        // A real address: someone at a host that is not a reserved example.
        const QString address = box_->mailLink()->text();
        QVERIFY(address.contains(QLatin1Char('@')));
        QVERIFY(!address.contains(QStringLiteral("example")));
        // The box itself stays as it was.
        QVERIFY(box_->isVisible());
    }

    void linksLookLikePlainTextAndChangeColourUnderThePointer()
    {
        for (LinkLabel* link : {box_->webLink(), box_->mailLink()}) {
            QVERIFY(!link->font().underline());
            QVERIFY(!link->testAttribute(Qt::WA_SetCursor));
            QCOMPARE(link->textFormat(), Qt::PlainText);
            hover(link, true);
            QCOMPARE(link->textColour(), QColor(0, 0, 255));
            hover(link, false);
            QCOMPARE(link->textColour(), QColor(0, 0, 0));
            QVERIFY(!link->testAttribute(Qt::WA_SetCursor));
        }
    }

    // The version label of the main window is the same kind of label.
    void versionLabelTextAndClicks()
    {
        const QString text = QString::fromUtf8(kVersionLabelText.data(), qsizetype(kVersionLabelText.size()));
        QVERIFY(text.startsWith(QStringLiteral("Padscope version 1.1  ")));
        QVERIFY(!text.startsWith(QStringLiteral("Padscope version 1.1   ")));
        QVERIFY(text.contains(QStringLiteral("Padscope Project")));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b20\\d\\d\\b"))));

        LinkLabel label(text);
        QSignalSpy clicks(&label, &LinkLabel::clicked);
        label.adjustSize();
        label.show();
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicks.size(), 1);
        // Pressed on the label but released off it: no click.
        QTest::mousePress(&label, Qt::LeftButton);
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(label.width() + 20, 3));
        QCOMPARE(clicks.size(), 1);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "panel_about_box_test.moc"
