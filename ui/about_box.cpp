#include "ui/about_box.h"

#include "ui/fonts.h"
#include "ui/link_label.h"
#include "ui/placed_label.h"
#include "ui/program_icon.h"
#include "ui/version_text.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <qdrawutil.h>

#include <algorithm>
#include <chrono>
#include <string_view>

namespace padscope {

namespace {

// A panel with a lowered outer bevel and a raised inner one, each a pixel
// wide, in the window's colour.
class BevelPanel : public QFrame {
public:
    explicit BevelPanel(QWidget* parent) : QFrame(parent) { setContentsMargins(2, 2, 2, 2); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

constexpr QSize kClientSize{298, 213};

QMargins frameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// Given when the program is built: the project's home page, if it has one,
// and whom to write to.
constexpr std::string_view kHomePage = PADSCOPE_HOME_PAGE;
constexpr std::string_view kContactAddress = PADSCOPE_CONTACT;

// How long to look for the window manager's frame after the first showing.
constexpr std::chrono::milliseconds kFrameCheckInterval{50};

}  // namespace

LinkOpener desktopLinkOpener()
{
    return [](const QUrl& target, QWidget*) { QDesktopServices::openUrl(target); };
}

AboutBox::AboutBox(QWidget* mainWindow, LinkOpener opener, std::function<void()> showManual)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow),
      opener_(std::move(opener)),
      showManual_(std::move(showManual))
{
    setObjectName(QStringLiteral("AboutBox"));
    frameWatch_.setInterval(kFrameCheckInterval);
    connect(&frameWatch_, &QTimer::timeout, this, [this] { checkFrame(true); });
    setWindowTitle(tr("バージョン情報"));
    setModal(false);
    setFont(uiFont(12));
    setWindowIcon(QIcon(programPixmap()));
    setFixedSize(kClientSize);
    setSizeGripEnabled(false);
    // Closing the main window ends the program even while the box is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 281, 161);
    panel->setFocusPolicy(Qt::NoFocus);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(8, 8, 65, 57);
    // Stretched to fill the control, pixel for pixel rather than smoothed.
    icon->setPixmap(programPixmap().scaled(icon->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));

    placeLabel(new QLabel(tr("プロダクト名 Padscope"), panel), QStringLiteral("ProductName"), {88, 16});
    placeLabel(new QLabel(tr("バージョン番号 1.1"), panel), QStringLiteral("Version"), {88, 40});
    placeLabel(new QLabel(tr("著作権表記 パッドスコープ・プロジェクト"), panel), QStringLiteral("Copyright"), {8, 80});

    const QString homePage = QString::fromUtf8(kHomePage);
    webLink_ = new LinkLabel(homePage.isEmpty() ? tr("Padscope の使い方") : homePage, panel);
    placeLabel(webLink_, QStringLiteral("Label2"), {48, 104});
    const QString contact = QString::fromUtf8(kContactAddress);
    mailLink_ = new LinkLabel(contact, panel);
    placeLabel(mailLink_, QStringLiteral("Label1"), {48, 128});

    connect(webLink_, &LinkLabel::clicked, this, [this, homePage] {
        if (!homePage.isEmpty())
            openLink(QUrl(homePage));
        else if (showManual_)
            showManual_();
    });
    connect(mailLink_, &LinkLabel::clicked, this,
            [this, contact] {
                if (!contact.isEmpty())
                    openLink(QUrl(QStringLiteral("mailto:") + contact));
            });

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setGeometry(111, 180, 75, 25);
    okButton_->setDefault(true);
    okButton_->setFocusPolicy(Qt::StrongFocus);
    connect(okButton_, &QPushButton::clicked, this, &QWidget::hide);

    setTabOrder(panel, okButton_);
    okButton_->setFocus();
}

// Rounded down on both axes; QStyle::alignedRect rounds the vertical half up,
// a pixel lower than the box has always been placed.
QPoint AboutBox::centredOrigin(QSize screen, QSize window)
{
    return {std::max(0, (screen.width() - window.width()) / 2), std::max(0, (screen.height() - window.height()) / 2)};
}

void AboutBox::showFromVersionLabel()
{
    // A window manager that ignores the "no minimise" hint lets the user
    // minimise the box; the label is then the only way to get it back.
    if (isMinimized()) {
        showNormal();
        return;
    }
    if (isVisible())
        return;
    show();
}

void AboutBox::setVisible(bool visible)
{
    if (visible && !shownBefore_) {
        shownBefore_ = true;
        // Creating the native window first lets the platforms that know
        // their frame in advance report its size.
        winId();
        centreOnScreen();
        // Most window managers add the frame only after the first showing,
        // and Qt may first guess it from another window: centre again
        // whenever the frame turns out other than it was centred for. Its
        // arrival need not come with an event of the box, so look for it
        // for a while as well.
        frameSettled_ = false;
        frameChecks_ = 0;
        frameWatch_.start();
    }
    QDialog::setVisible(visible);
}

void AboutBox::centreOnScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame's margins: the box's own once the window manager has told
    // them, until then those of the main window, framed by the same manager.
    QMargins margins = frameMargins(*this);
    if (margins.isNull() && mainWindow_ && mainWindow_->isVisible())
        margins = frameMargins(*mainWindow_);
    centredWith_ = margins;
    const QSize frame = size().grownBy(margins);
    const QRect area = screen->geometry();
    const QPoint client = area.topLeft() + centredOrigin(area.size(), frame) + QPoint(margins.left(), margins.top());
    setGeometry(QRect(client, size()));
}

bool AboutBox::event(QEvent* event)
{
    if (event->type() != QEvent::Timer)
        checkFrame(false);
    return QDialog::event(event);
}

void AboutBox::checkFrame(bool tick)
{
    // Until the window manager's frame is known, centre the outer frame, not
    // the client area, as the first showing meant to. A frame that stays as
    // centred for leaves the box where it is, even if the user moved it.
    if (frameSettled_ || !isVisible())
        return;
    const QMargins margins = frameMargins(*this);
    if (!margins.isNull() && margins != centredWith_)
        centreOnScreen();
    if (tick && ++frameChecks_ > kFrameChecks) {
        frameSettled_ = true;
        frameWatch_.stop();
    }
}

void AboutBox::reject() {}

// The title bar's close button only hides the box; the same instance comes
// back at the next click on the version label.
void AboutBox::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
}

void AboutBox::openLink(const QUrl& target)
{
    if (opener_)
        opener_(target, mainWindow_.data());
}

}  // namespace padscope
